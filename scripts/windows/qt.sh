#!/usr/bin/env bash
# Builds a static Qt 6 for Windows (Core, Gui, Widgets, Test; the windows and
# minimal platforms, the windowsvista style) with mingw-w64 from Debian's
# qt6-base source package, and prints the folder it is installed in. Debian
# has no Qt for mingw; its source package is the same version as the host
# tools (moc, rcc, uic) that the build takes from qt6-base-dev-tools.
#
# The result lives outside the source tree, in
# ${KXP40S_CACHE:-~/.cache/kxp40s}/qt6-base-<version>-mingw-<hash>, the hash
# being that of this script and the toolchain file: a changed recipe builds
# afresh, an unchanged one is reused. About half an hour at -j2.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
toolchain="$root/cmake/mingw-w64.cmake"

"$root/scripts/install-packages.sh" g++-mingw-w64-x86-64-posix qt6-base-dev qt6-base-dev-tools \
  libwine-dev dpkg-dev cmake ninja-build perl xz-utils

version="$(dpkg-query -W -f='${Version}' qt6-base-dev-tools)"
hash="$(cat "$0" "$toolchain" | sha256sum | cut -c1-12)"
cache="${KXP40S_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/kxp40s}"
prefix="$cache/qt6-base-${version//[^A-Za-z0-9.+-]/_}-mingw-$hash"
if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

# apt-get source needs a deb-src line; the first one is made from the
# machine's own Debian sources, so the same mirror serves both.
add_deb_src() {
  if grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    return
  fi
  local from=/etc/apt/sources.list.d/debian.sources
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  if [ -f "$from" ]; then
    sed 's/^Types: deb$/Types: deb-src/' "$from" | $sudo tee /etc/apt/sources.list.d/kxp40s-src.sources >/dev/null
  else
    grep -E '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' |
      $sudo tee /etc/apt/sources.list.d/kxp40s-src.list >/dev/null
  fi
  $sudo apt-get update -qq >&2
}
add_deb_src

work="$cache/work-$hash"
rm -rf "$work" "$prefix"
mkdir -p "$work"
trap 'rm -rf "$work"' EXIT
(
  cd "$work"
  apt-get source --download-only "qt6-base=$version" >&2
  dpkg-source -x qt6-base_*.dsc src >/dev/null
)
src="$work/src"

# Debian's source leaves out the tablet headers; Wine's stand in. They use
# two of Wine's own macros for the A/W names, defined here as Windows does.
mkdir -p "$src/src/3rdparty/wintab"
cp /usr/include/wine/wine/windows/wintab.h "$src/src/3rdparty/wintab/wine_wintab.h"
cp /usr/include/wine/wine/windows/pktdef.h "$src/src/3rdparty/wintab/pktdef.h"
cat >"$src/src/3rdparty/wintab/wintab.h" <<'EOF'
#pragma once
#include <windows.h>
#ifndef WINELIB_NAME_AW
#ifdef UNICODE
#define WINELIB_NAME_AW(name) name##W
#else
#define WINELIB_NAME_AW(name) name##A
#endif
#define DECL_WINELIB_TYPE_AW(type) typedef WINELIB_NAME_AW(type) type;
#endif
#include "wine_wintab.h"
#ifndef API
#define API WINAPI
#endif
EOF

# Without OpenGL and Direct2D the windows platform still names code of both.
plugin="$src/src/plugins/platforms/windows"
sed -i 's/^#if QT_CONFIG(dynamicgl)/#if QT_CONFIG(opengl) \&\& QT_CONFIG(dynamicgl)/' \
  "$plugin/qwindowswindow.cpp"
sed -i 's/^#if QT_CONFIG(directwrite3)$/#if QT_CONFIG(directwrite3) \&\& QT_CONFIG(direct2d)/' \
  "$plugin/qwindowsintegration.cpp"

features=(opengl sql network dbus xml printsupport concurrent direct2d freetype zstd
          icu vulkan jpeg gif system-zlib system-pcre2 system-png system-harfbuzz
          system-doubleconversion sql-sqlite)
options=()
for f in "${features[@]}"; do options+=("-DFEATURE_${f//-/_}=OFF"); done

cmake -S "$src" -B "$work/build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DQT_HOST_PATH=/usr \
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DBUILD_SHARED_LIBS=OFF \
  -DINPUT_opengl=no \
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
  -DFEATURE_widgets=ON -DFEATURE_testlib=ON -DFEATURE_accessibility=ON \
  "${options[@]}" >&2
nice -n 10 cmake --build "$work/build" -j"${KXP40S_JOBS:-2}" >&2
cmake --install "$work/build" >&2
touch "$prefix/.complete"
echo "$prefix"
