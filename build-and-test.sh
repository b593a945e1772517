#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
#   TREKMOR_SANITIZE=1  AddressSanitizer and UndefinedBehaviorSanitizer, into build-sanitize/
#   TREKMOR_RELEASE=1   the optimised Release configuration, into build-release/
#   TREKMOR_WERROR=1    compiler warnings stop the build (continuous integration)
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-packages.sh
build=build-tests
options=(-DCMAKE_BUILD_TYPE=Debug)
if [ "${TREKMOR_SANITIZE:-0}" = 1 ]; then
  build=build-sanitize
  options+=(-DTREKMOR_SANITIZE=ON)
  export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
elif [ "${TREKMOR_RELEASE:-0}" = 1 ]; then
  build=build-release
  options=(-DCMAKE_BUILD_TYPE=Release)
fi
if [ "${TREKMOR_WERROR:-0}" = 1 ]; then
  options+=(-DTREKMOR_WARNINGS_AS_ERRORS=ON)
else
  options+=(-DTREKMOR_WARNINGS_AS_ERRORS=OFF)
fi
cmake -S . -B "$build" -G Ninja "${options[@]}"
cmake --build "$build"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j2
