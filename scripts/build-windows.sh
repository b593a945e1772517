#!/usr/bin/env bash
# Cross-builds the command-line companion, the Qt-free test programs, hidapi's
# Windows backend (hidapi.dll) and the simulator's stand-in hidapi.dll into
# build-windows/ with MinGW-w64, then packs the zip for Windows users.
# Installs what is missing first (scripts/install-packages.sh --windows).
#   TREKMOR_WERROR=1  compiler warnings stop the build (continuous integration)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=build-windows

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

scripts/install-packages.sh --windows

# hidapi's own sources, of the version the Linux build links, from the
# distribution's source package.
hidapi_version=$(dpkg-query -W -f='${Version}' libhidapi-dev)
hidapi_upstream=${hidapi_version%-*}
hidapi_upstream=${hidapi_upstream#*:}
hidapi_source="$root/$out/hidapi-$hidapi_upstream"
mkdir -p "$out"
if [ ! -f "$hidapi_source/windows/hid.c" ]; then
  if ! apt-get source --print-uris "hidapi=$hidapi_version" >/dev/null 2>&1; then
    # Source lines for the machine's own package sources: a copy of their
    # entries for this release, as deb-src, in one file of each format.
    . /etc/os-release
    for f in /etc/apt/sources.list.d/*.sources; do
      [ -f "$f" ] || continue
      awk -v codename="$VERSION_CODENAME" '
        BEGIN { RS = ""; ORS = "\n\n" }
        /(^|\n)Types:[^\n]*deb([ \n]|$)/ && $0 ~ ("Suites:[^\n]*" codename) && $0 !~ /(^|\n)Enabled: *no/ {
          sub(/Types:[^\n]*/, "Types: deb-src"); print }' "$f"
    done | $SUDO tee /etc/apt/sources.list.d/trekmor-deb-src.sources >/dev/null
    lines=$(for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
      [ -f "$f" ] || continue
      awk -v codename="$VERSION_CODENAME" '$1 == "deb" && index($0, " " codename) { sub(/^deb/, "deb-src"); print }' "$f"
    done)
    [ -z "$lines" ] || echo "$lines" | $SUDO tee /etc/apt/sources.list.d/trekmor-deb-src.list >/dev/null
    $SUDO apt-get update -qq
  fi
  (cd "$out" && apt-get source -qq "hidapi=$hidapi_version")
fi

options=(-DCMAKE_BUILD_TYPE=Release -DTREKMOR_BUILD_WINDOW=OFF -DTREKMOR_BUILD_BENCHMARKS=OFF
         -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake"
         -DTREKMOR_HIDAPI_SOURCE_DIR="$hidapi_source")
if [ "${TREKMOR_WERROR:-0}" = 1 ]; then
  options+=(-DTREKMOR_WARNINGS_AS_ERRORS=ON)
else
  options+=(-DTREKMOR_WARNINGS_AS_ERRORS=OFF)
fi
cmake -S . -B "$out" -G Ninja "${options[@]}"
cmake --build "$out" --target aprs-trekmor-cli hidapi_winapi trekmor-devsim core_tests device_tests
cmake --build "$out" --target windows-zip
