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
./scripts/install-packages.sh "${packages[@]}"

cmake -S . -B "${BUILD_DIR:-build}" -G Ninja "$@" >/dev/null
