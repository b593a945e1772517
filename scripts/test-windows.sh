#!/usr/bin/env bash
# Runs the Windows build (scripts/build-windows.sh) under Wine: the test
# programs that need no Qt, then the command-line companion side by side with
# the Linux build, which must print the same bytes, write the same files and
# exit with the same status, offline and against the simulator (LD_PRELOAD on
# Linux, the stand-in hidapi.dll beside the program on Windows).
#   TREKMOR_LINUX_BUILD=DIR  a Linux build holding aprs-trekmor-cli and
#                            libtrekmor-devsim.so (default: one is made in
#                            build-windows/linux)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
win=$root/build-windows
linux=${TREKMOR_LINUX_BUILD:-$win/linux}
case "$linux" in /*) ;; *) linux=$root/$linux ;; esac

if [ ! -x "$linux/aprs-trekmor-cli" ] || [ ! -f "$linux/libtrekmor-devsim.so" ]; then
  cmake -S . -B "$linux" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTREKMOR_BUILD_WINDOW=OFF -DTREKMOR_BUILD_TESTS=OFF
  cmake --build "$linux" --target aprs-trekmor-cli trekmor-devsim
fi

# Wine in a prefix of its own, without a display, quiet.
wine=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
export WINEPREFIX=$win/wine-prefix WINEDEBUG=-all DISPLAY= WAYLAND_DISPLAY= WINEDLLOVERRIDES="mscoree,mshtml="
# Arguments and the environment reach Wine as UTF-8.
export LC_ALL=C.UTF-8
wineserver=$(command -v wineserver || echo "$(dirname "$wine")/wineserver")
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  start=$(date +%s)
  "$wine" wineboot --init >/dev/null 2>&1
  "$wineserver" -w  # the prefix's registry is saved when its server ends
  echo "Wine prefix created in $(($(date +%s) - start)) s"
fi
"$wineserver" -p 60 2>/dev/null || true  # one server for all the runs below (if none runs yet)
trap '"$wineserver" -k 2>/dev/null || true' EXIT

failures=0

# --- the test programs -------------------------------------------------------
for program in core_tests device_tests; do
  log=$win/tests/$program.log
  if WINEPATH="$win" "$wine" "$win/tests/$program.exe" --gtest_brief=1 >"$log" 2>&1; then
    echo "$program: $(grep -a 'PASSED' "$log" | tr -d '\r')"
  else
    echo "$program FAILED:"
    tr -d '\r' <"$log" | tail -40
    failures=$((failures + 1))
  fi
done

# --- the command-line companion beside the Linux build -----------------------
work=$win/compare
rm -rf "$work"
mkdir -p "$work/linux" "$work/windows" "$work/real"
cp "$win/aprs-trekmor-cli.exe" "$win/sim/hidapi.dll" "$work/windows/"
cp "$win/aprs-trekmor-cli.exe" "$win/hidapi.dll" "$work/real/"

# The same input files on both sides.
inputs() {
  printf '[Settings]\r\nCall=NOCALL\r\n' >"$1/foreign.cfg"
  head -c 33 /dev/zero | tr '\0' '\240' >"$1/fw.bin"
  printf '; kept by hand\r\n[Extra]\r\nMine=1\r\n' >"$1/keep.cfg"
}
inputs "$work/linux"
inputs "$work/windows"

# run SIDE SETTINGS ARGUMENTS: one run in SIDE's folder with the simulator,
# SETTINGS its variables ("NAME=value ..." as a shell takes them).
run() {
  local side=$1 settings=$2 arguments=$3 status=0
  if [ "$side" = linux ]; then
    (cd "$work/linux" && eval "env TREKMOR_SIM_EEPROM=eeprom.bin $settings LD_PRELOAD='$linux/libtrekmor-devsim.so' \
      '$linux/aprs-trekmor-cli' $arguments" >stdout 2>stderr) || status=$?
  else
    (cd "$work/$side" && eval "env TREKMOR_SIM_EEPROM=eeprom.bin $settings '$wine' ./aprs-trekmor-cli.exe $arguments" \
      >stdout 2>stderr) || status=$?
  fi
  echo "$status" >"$work/$side/status"
}

# compare SETTINGS ARGUMENTS [FILE...]: the same exit status, standard output
# and error, and FILEs alike on both sides (or absent on both).
compare() {
  local settings=$1 arguments=$2 problem=""
  shift 2
  run linux "$settings" "$arguments"
  run windows "$settings" "$arguments"
  for file in status stdout stderr "$@"; do
    if [ -e "$work/linux/$file" ] || [ -e "$work/windows/$file" ]; then
      cmp -s "$work/linux/$file" "$work/windows/$file" || problem+=" $file"
    fi
  done
  if [ -n "$problem" ]; then
    echo "FAILED: $settings aprs-trekmor-cli $arguments: differs in$problem"
    for file in stdout stderr; do
      diff <(od -c "$work/linux/$file") <(od -c "$work/windows/$file") | head -10 || true
    done
    failures=$((failures + 1))
  fi
  compared=$((compared + 1))
}

compared=0
start=$(date +%s)
# Offline: usage, conversions and files (a file name in Polish included).
compare "" "--help"
compare "" ""
compare "" "frobnicate"
compare "" "pack --seed x start.cfg start.bin"
compare "" "defaults start.cfg" start.cfg
compare "" "pack --seed 1 start.cfg start.bin" start.bin
compare "" "unpack start.bin back.cfg" back.cfg
compare "" "defaults start.cfg" start.cfg
compare "" "unpack start.bin keep.cfg" keep.cfg
compare "" "defaults zażółć.cfg" zażółć.cfg
compare "" "pack --seed 77 zażółć.cfg gęślą.bin" gęślą.bin
compare "" "unpack gęślą.bin jaźń.cfg" jaźń.cfg
compare "" "unpack brak-ż.bin x.cfg" x.cfg
compare "" "unpack start.cfg x.cfg" x.cfg
compare "" "pack foreign.cfg x.bin" x.bin
compare "" "defaults no-such-folder/x.cfg"
# Against the simulator.
compare "" "write --seed 1 start.cfg" eeprom.bin
compare "TREKMOR_SIM_HARDWARE='Bench unit'" "read dev.cfg" dev.cfg
compare "TREKMOR_SIM_FIRMWARE_VERSION=98 TREKMOR_SIM_SERIAL=00112233445566778899aabb" "info"
compare "TREKMOR_SIM_FAULT=serial-bad-command@0" "info"
compare "TREKMOR_SIM_FAULT=no-answer@1 TREKMOR_SIM_SILENCE_MS=10" "info"
compare "TREKMOR_SIM_FIRMWARE_OUT=received.bin" "upload-firmware fw.bin" received.bin
compare "TREKMOR_SIM_FAULT=block-fail@1" "upload-firmware fw.bin"
compare "TREKMOR_SIM_FIRMWARE_OUT=none.bin" "upload-firmware" none.bin
compare "TREKMOR_SIM_FAULT=write-fail@3" "write --seed 2 zażółć.cfg" eeprom.bin
compare "TREKMOR_SIM_FAULT=read-bad-sum@0" "read out.cfg" out.cfg
compare "TREKMOR_SIM_FAULT=vanish@100" "read out.cfg" out.cfg
compare "TREKMOR_SIM_ABSENT=1" "read out.cfg" out.cfg
compare "TREKMOR_SIM_FIRMWARE_VERSION=x" "info"
compare "TREKMOR_SIM_EEPROM=pamięć.bin" "write --seed 3 jaźń.cfg" pamięć.bin
compare "TREKMOR_SIM_EEPROM=pamięć.bin" "read żółw.cfg" żółw.cfg
# Checks, differences, overrides, backups and read-back.
compare "" "check zażółć.cfg --set Radio.Callsign= --set Radio.TXtail=1001 --json"
compare "" "diff start.cfg gęślą.bin --json"
compare "" "settings"
compare "" "write start.cfg --seed 4 --set Radio.Callsign=SP3ĄĆ --backup kopia-ż.bin --verify" eeprom.bin kopia-ż.bin
compare "" "diff kopia-ż.bin device"
compare "TREKMOR_SIM_FAULT=corrupt@3" "write start.cfg --seed 5 --backup kopia.cfg --verify" eeprom.bin kopia.cfg
compare "" "check start.cfg --set Radio.Calsign=x"
echo "aprs-trekmor-cli: $compared runs compared with the Linux build in $(($(date +%s) - start)) s"

# A device found but not opened: the udev advice is for Linux only.
run linux "TREKMOR_SIM_DENIED=1" "info"
run windows "TREKMOR_SIM_DENIED=1" "info"
expected=$(sed 's/\. On Linux .*/./' "$work/linux/stdout")
if [ "$expected" = "$(cat "$work/linux/stdout")" ]; then
  echo "FAILED: the Linux build gives no advice for a device that cannot be opened"
  failures=$((failures + 1))
fi
if [ "$(cat "$work/windows/status")" != 1 ] || [ "$(cat "$work/windows/stdout")" != "$expected" ]; then
  echo "FAILED: a device that cannot be opened: $(cat "$work/windows/stdout")"
  failures=$((failures + 1))
fi

# hidapi's own Windows backend: Wine shows it no HID device.
run real "" "info"
if [ "$(cat "$work/real/status")" != 1 ] || [ "$(cat "$work/real/stdout")" != "APRS Trekmor not found." ] ||
   [ -s "$work/real/stderr" ]; then
  echo "FAILED: info with hidapi.dll: status $(cat "$work/real/status"), $(cat "$work/real/stdout" "$work/real/stderr")"
  failures=$((failures + 1))
else
  echo "info with hidapi.dll: APRS Trekmor not found., exit status 1"
fi

# The names in Polish arrived whole on the Windows side.
for name in zażółć.cfg gęślą.bin jaźń.cfg pamięć.bin żółw.cfg; do
  [ -f "$work/windows/$name" ] || { echo "FAILED: $name was not written"; failures=$((failures + 1)); }
done

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "All Windows checks passed"
