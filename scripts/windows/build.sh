#!/usr/bin/env bash
# Builds the core, the command line and the window for 64-bit Windows with
# mingw-w64 and tests them under Wine: the unit, fuzz and window tests, then
# the programs end to end against the Linux simulator through a Wine COM
# port (scripts/windows/e2e.sh). With --package it makes the zip for Windows
# users in the build tree first, and the end-to-end test runs the programs
# unpacked from it.
#
#   scripts/windows/build.sh [--package] [--no-tests] [extra CMake options]
#
# The build tree is build-windows/ (BUILD_DIR); the Linux build tree that
# gives the simulator is build/ (LINUX_BUILD_DIR), configured and built here
# when it is not there yet. The static Qt comes from scripts/windows/qt.sh
# (cached outside the tree); CLI11, nlohmann-json and GoogleTest are staged
# for mingw once in the build tree. Wine keeps its prefix in the build tree
# too, never in ~/.wine, and shows windows on an Xvfb display of its own.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
cd "$root"

package=0
tests=1
cmake_options=()
for argument in "$@"; do
  case "$argument" in
    --package) package=1 ;;
    --no-tests) tests=0 ;;
    *) cmake_options+=("$argument") ;;
  esac
done

build="$(realpath -m "${BUILD_DIR:-build-windows}")"
linux_build="$(realpath -m "${LINUX_BUILD_DIR:-build}")"
jobs="${KXP40S_JOBS:-$(nproc)}"
toolchain="$root/cmake/mingw-w64.cmake"

step() { printf '== %s (%s)\n' "$*" "$(date +%T)" >&2; }

"$root/scripts/install-packages.sh" g++-mingw-w64-x86-64-posix cmake ninja-build libcli11-dev \
  nlohmann-json3-dev googletest librsvg2-bin wine wine64 fonts-dejavu-core xvfb xauth xdotool x11-apps netpbm unzip

step "static Qt for Windows"
qt="$("$here/qt.sh")"

# The header-only libraries keep Debian's CMake packages, copied to where
# the cross-build looks; GoogleTest is built from Debian's source.
stage="$build/stage"
stage_libraries() {
  [ -f "$stage/.complete" ] && return
  step "staging CLI11, nlohmann-json and GoogleTest for mingw"
  rm -rf "$stage" "$build/stage-gtest"
  mkdir -p "$stage/include" "$stage/lib/cmake"
  cp -r /usr/include/CLI /usr/include/nlohmann "$stage/include/"
  cp -r /usr/share/cmake/CLI11 /usr/share/cmake/nlohmann_json "$stage/lib/cmake/"
  cmake -S /usr/src/googletest -B "$build/stage-gtest" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$stage" >/dev/null
  nice -n 10 cmake --build "$build/stage-gtest" -j"$jobs" >/dev/null
  cmake --install "$build/stage-gtest" >/dev/null
  rm -rf "$build/stage-gtest"
  touch "$stage/.complete"
}

configure_and_build() {
  step "configuring $build"
  # Qt's toolchain file loads ours and adds the Qt and staged prefixes to the
  # places a cross-build may take packages from. -O2 as on Linux: at -O3
  # GCC 12 warns of overlapping copies inside std::string that cannot happen.
  cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$toolchain" \
    -DQT_ADDITIONAL_PACKAGES_PREFIX_PATH="$stage" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
    "${cmake_options[@]}" >/dev/null
  step "building"
  nice -n 10 cmake --build "$build" -j"$jobs"
}

# The simulator and the Linux command line that the end-to-end test
# compares with.
build_linux_programs() {
  [ -f "$linux_build/CMakeCache.txt" ] || BUILD_DIR="$linux_build" "$root/scripts/setup.sh"
  step "the Linux simulator and command line"
  nice -n 10 cmake --build "$linux_build" -j"$jobs" --target kxp40s-sim kxp40s-cli
}

# An Xvfb display and a Wine prefix in the build tree, with its server kept
# running: tests that start at once then share one server instead of racing
# to make the prefix.
xvfb=""
stop_wine() {
  wineserver -k 2>/dev/null || true
  [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
}
start_wine() {
  step "Wine prefix $build/wine"
  export WINEPREFIX="$build/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  mkdir -p "$WINEPREFIX"
  rm -f "$build/xvfb-display"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$build/xvfb-display" 2>/dev/null &
  xvfb=$!
  trap stop_wine EXIT
  local i
  for i in $(seq 100); do
    [ -s "$build/xvfb-display" ] && break
    sleep 0.1
  done
  export DISPLAY=":$(head -n1 "$build/xvfb-display")"
  # A server of an earlier run that is still going would refuse the new one.
  wineserver -k 2>/dev/null || true
  wineserver -w
  wineserver -f -p &
  wine cmd /c exit
  # No window manager runs on the display, and Wine waits two seconds for
  # one whenever a window it leaves to a manager is hidden. Windows' dialog
  # font, which Qt takes for the window, is DejaVu Sans here, the font the
  # Linux build shows: Wine's own stand-in is not found by Qt, which then
  # takes a font that draws no text in line edits.
  cat >"$build/wine.reg" <<'EOF'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
"MS Shell Dlg"="DejaVu Sans"
"MS Shell Dlg 2"="DejaVu Sans"
EOF
  wine reg import "$(winepath -w "$build/wine.reg")" 2>/dev/null
}

run_tests() {
  build_linux_programs
  start_wine
  step "unit and fuzz tests under Wine"
  ctest --test-dir "$build" -L 'unit|fuzz' -j"$jobs" --output-on-failure
  # One window at a time: a test's window must stay the active one.
  step "window tests under Wine"
  ctest --test-dir "$build" -L gui --output-on-failure
  step "end to end under Wine"
  "$here/e2e.sh" "$programs" "$linux_build" "$build/e2e"
}

# The zip (dist/windows) and its programs unpacked, which the end-to-end
# test then runs.
make_package() {
  step "package"
  rm -f "$build"/kxp40s-*-windows-x64.zip
  cmake --build "$build" --target package >/dev/null
  local zip
  zip="$(ls "$build"/kxp40s-*-windows-x64.zip)"
  rm -rf "$build/unpacked"
  unzip -q "$zip" -d "$build/unpacked"
  programs="$(ls -d "$build"/unpacked/kxp40s-*)"
  check_subsystem "$programs/kxp40s.exe" "Windows GUI"
  check_subsystem "$programs/kxp40s-cli.exe" "Windows CUI"
  echo "$zip"
}

# The window opens no console window; the command line is a console program.
check_subsystem() {
  local subsystem
  subsystem="$(x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^Subsystem[[:space:]]*[0-9a-f]*[[:space:]]*(\(.*\))$/\1/p')"
  if [ "$subsystem" != "$2" ]; then
    echo "$(basename "$1") is a '$subsystem' program, not '$2'" >&2
    exit 1
  fi
}

programs="$build/bin"
mkdir -p "$build"
stage_libraries
configure_and_build
[ "$package" -eq 0 ] || make_package
[ "$tests" -eq 0 ] || run_tests
