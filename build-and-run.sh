#!/usr/bin/env bash
# Installs what is missing, builds the configurator and starts it.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-packages.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTREKMOR_BUILD_TESTS=OFF
cmake --build build --target aprs-trekmor-configurator
exec build/aprs-trekmor-configurator "$@"
