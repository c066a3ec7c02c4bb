#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing) and
# configures the build tree build/. Extra CMake options may follow; extra
# Debian packages may be named in KXP40S_EXTRA_PACKAGES.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build g++ libgtest-dev libgmock-dev libcli11-dev nlohmann-json3-dev
          qt6-base-dev qt6-qpa-plugins fonts-dejavu-core xvfb xauth
          help2man librsvg2-bin bash-completion dpkg-dev file libxtst-dev)
# A caller's own tools besides, such as the package check's.
read -r -a extra <<<"${KXP40S_EXTRA_PACKAGES:-}"
packages+=("${extra[@]}")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S . -B "${BUILD_DIR:-build}" -G Ninja "$@" >/dev/null
