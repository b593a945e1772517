#!/usr/bin/env bash
# Cross-builds the configurator, the command-line companion, the test
# programs, hidapi's Windows backend (hidapi.dll) and the simulator's stand-in
# hidapi.dll into build-windows/ with MinGW-w64, against a static Qt for
# Windows (scripts/build-qt-windows.sh, built once into a cache), then packs
# the zip and the installer for Windows users.
# Installs what is missing first (scripts/install-packages.sh --windows).
#   TREKMOR_WERROR=1  compiler warnings stop the build (continuous integration)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=build-windows

scripts/install-packages.sh --windows

# hidapi's own sources, of the version the Linux build links, from the
# distribution's source package.
hidapi_version=$(dpkg-query -W -f='${Version}' libhidapi-dev)
hidapi_upstream=${hidapi_version%-*}
hidapi_upstream=${hidapi_upstream#*:}
hidapi_source="$root/$out/hidapi-$hidapi_upstream"
mkdir -p "$out"
if [ ! -f "$hidapi_source/windows/hid.c" ]; then
  scripts/apt-source.sh "hidapi=$hidapi_version" "$out"
fi

# Qt for Windows: built once into the cache (about 20 to 30 minutes), then
# taken from there.
qt_prefix=$(scripts/build-qt-windows.sh | tail -1)

# The pictures' renderer, for the build machine: Qt for Windows has no Qt Svg.
cmake -S tools/render-pictures -B "$out/host" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$out/host"

options=(-DCMAKE_BUILD_TYPE=Release -DTREKMOR_BUILD_BENCHMARKS=OFF
         -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake"
         -DTREKMOR_HIDAPI_SOURCE_DIR="$hidapi_source"
         -DTREKMOR_QT_WINDOWS_PREFIX="$qt_prefix"
         -DTREKMOR_PICTURE_RENDERER="$root/$out/host/trekmor-render-pictures")
if [ "${TREKMOR_WERROR:-0}" = 1 ]; then
  options+=(-DTREKMOR_WARNINGS_AS_ERRORS=ON)
else
  options+=(-DTREKMOR_WARNINGS_AS_ERRORS=OFF)
fi
cmake -S . -B "$out" -G Ninja "${options[@]}"
cmake --build "$out" --target aprs-trekmor-cli aprs-trekmor-configurator hidapi_winapi trekmor-devsim \
  core_tests device_tests gui_tests robustness_tests
cmake --build "$out" --target windows-zip windows-installer
