#!/usr/bin/env bash
# Renders every tab and sub-tab, the splash picture and the special-strings
# window into screenshots/ (not committed). Offscreen by default; set
# QT_QPA_PLATFORM=xcb under xvfb-run to render through an X server instead.
# With --docs it also refreshes the two pictures that the README shows.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-packages.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTREKMOR_BUILD_TESTS=OFF >/dev/null
cmake --build build --target trekmor-screenshots
QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" build/trekmor-screenshots screenshots
ls screenshots
if [ "${1:-}" = --docs ]; then
  cp screenshots/TabSheet_radio.png docs/main-window.png
  cp screenshots/TabSheet_telemetry_reports-TabSheet_analog_channels.png docs/analog-channels.png
fi
