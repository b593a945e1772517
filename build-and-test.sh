#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
# TREKMOR_SANITIZE=1 builds with AddressSanitizer and UndefinedBehaviorSanitizer
# into build-sanitize/ instead.
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
fi
cmake -S . -B "$build" -G Ninja "${options[@]}"
cmake --build "$build"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j2
