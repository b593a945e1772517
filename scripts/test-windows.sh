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
# Wine's own Tahoma, the font its dialogs name ("MS Shell Dlg"), where the
# windows platform's font database finds it: without it the window falls
# back to the first font family installed, a mathematical one.
cp -n /usr/share/wine/fonts/tahoma*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
"$wineserver" -p 60 2>/dev/null || true  # one server for all the runs below (if none runs yet)
trap '"$wineserver" -k 2>/dev/null || true' EXIT

failures=0

# --- the test programs -------------------------------------------------------
# The window's tests run on Qt's offscreen platform, which finds its fonts in
# a folder; hidapi.dll is hidapi's own (Wine shows it no HID device).
export QT_QPA_FONTDIR='Z:\usr\share\fonts\truetype\dejavu'
# test NAME PROGRAM [ARGUMENT...]: one test program under Wine, with the
# variables given before the call.
test_program() {
  local name=$1 program=$2 log=$win/tests/$1.log
  shift 2
  if WINEPATH="$win" "$wine" "$win/tests/$program.exe" --gtest_brief=1 "$@" >"$log" 2>&1; then
    echo "$name: $(grep -a -h -E '^\[  (PASSED|SKIPPED) *\] [0-9]+ test' "$log" | tr -d '\r' | paste -sd ' ')"
  else
    echo "$name FAILED:"
    tr -d '\r' <"$log" | tail -40
    failures=$((failures + 1))
  fi
}
start=$(date +%s)
test_program core_tests core_tests
test_program device_tests device_tests
QT_QPA_PLATFORM=offscreen TREKMOR_EXPECT_NO_TRACKER=1 test_program gui_tests gui_tests
QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=2 test_program gui_tests-scale-2 gui_tests "--gtest_filter=WindowGeometry.*"
QT_QPA_PLATFORM=offscreen test_program robustness_tests robustness_tests
echo "Test programs under Wine in $(($(date +%s) - start)) s"

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
# SETTINGS its variables ("NAME=value ..." as a shell takes them). Each side
# keeps the history of its runs in its own folder.
run() {
  local side=$1 settings=$2 arguments=$3 status=0
  if [ "$side" = linux ]; then
    (cd "$work/linux" && eval "env TREKMOR_SIM_EEPROM=eeprom.bin TREKMOR_HISTORY_DIR=history $settings LD_PRELOAD='$linux/libtrekmor-devsim.so' \
      '$linux/aprs-trekmor-cli' $arguments" >stdout 2>stderr) || status=$?
  else
    (cd "$work/$side" && eval "env TREKMOR_SIM_EEPROM=eeprom.bin TREKMOR_HISTORY_DIR=history $settings '$wine' ./aprs-trekmor-cli.exe $arguments" \
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
# Several trackers and the history.
compare "TREKMOR_SIM_DEVICES=3" "devices --json"
compare "TREKMOR_SIM_DEVICES=3" "info"
compare "TREKMOR_SIM_DEVICES=2" "write start.cfg --seed 6 --keep-before --verify --serial 300024000f5138333536a080" eeprom.bin.2
compare "" "write start.cfg --seed 7 --backup kopia-ż.bin"
compare "" "history export 0123456789ab x.bin" x.bin
compare "" "history prune --keep 1"
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

# --- the window itself, on the windows platform in a virtual display ----------
# It must come up with its caption, and with a file named on its command line
# that does not exist, with its information box, both painted; their pictures
# are kept as build-windows/screenshots/window.png and dialog.png.
if command -v Xvfb >/dev/null && command -v xwininfo >/dev/null && command -v import >/dev/null; then
  display=:$((90 + RANDOM % 400))
  Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  mkdir -p "$win/screenshots"
  # show_window TITLE PICTURE [ARGUMENT]: starts the window and waits for a
  # window with that title, then keeps the display's picture.
  show_window() {
    local title=$1 picture=$2 shown="" program
    shift 2
    # (in a shell of its own, whose notice of the program's end goes nowhere)
    ( (cd "$work/real" && DISPLAY=$display exec "$wine" "$win/aprs-trekmor-configurator.exe" "$@" >/dev/null 2>&1) &
      wait ) 2>/dev/null &
    program=$!
    for _ in $(seq 1 60); do
      sleep 1
      if xwininfo -display "$display" -root -tree 2>/dev/null | grep -qF "\"$title\""; then shown=yes; break; fi
    done
    if [ -n "$shown" ]; then
      sleep 3  # let the splash go and the windows paint
      # ImageMagick's import takes each window in its own visual (xwd -root
      # shows Wine's dialogs, drawn in another visual, as black).
      import -display "$display" -window root "$win/screenshots/$picture.png"
      # An unpainted window is black: the window's own area must be light.
      local area brightness
      area=$(xwininfo -display "$display" -name "$title" |
        awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} /Width:/ {w=$NF} /Height:/ {h=$NF}
             END {print w "x" h "+" x "+" y}')
      brightness=$(convert "$win/screenshots/$picture.png" -crop "$area" +repage -format '%[fx:int(100*mean)]' info:)
      if [ "$brightness" -ge 50 ]; then
        echo "The window under Wine shows \"$title\"${1:+ for the argument $1}, painted (brightness $brightness %)"
      else
        echo "FAILED: \"$title\"${1:+ for the argument $1} under Wine is not painted (brightness $brightness %)"
        failures=$((failures + 1))
      fi
    else
      echo "FAILED: the window under Wine did not show \"$title\"${1:+ for the argument $1} within 60 s"
      failures=$((failures + 1))
    fi
    "$wineserver" -k 2>/dev/null || true
    wait "$program" 2>/dev/null || true
    "$wineserver" -p 60 2>/dev/null || true
  }
  show_window "APRS Trekmor Configurator v1.12" window
  show_window "Information" dialog "brak-pliku.cfg"
  kill "$xvfb" 2>/dev/null || true
  wait 2>/dev/null || true
else
  echo "FAILED: Xvfb, xwininfo and ImageMagick are needed to start the window (scripts/install-packages.sh --windows)"
  failures=$((failures + 1))
fi

# --- the installer -----------------------------------------------------------
# A silent install puts every file, the shortcut and the entry in the list of
# programs in place; the installed programs run; a silent uninstall takes all
# of it away again but for a file of the user's.
installer=$win/aprs-trekmor-configurator-1.12-setup.exe
folder="$WINEPREFIX/drive_c/Program Files/APRS Trekmor Configurator"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/APRS Trekmor Configurator.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\org.trekmor.configurator'
installed() {  # the files below Program Files and the Start menu
  (cd "$WINEPREFIX/drive_c" && find "Program Files" "ProgramData/Microsoft/Windows/Start Menu" 2>/dev/null | sort)
}
installer_problem() { echo "FAILED: installer: $*"; failures=$((failures + 1)); }
if [ ! -f "$installer" ]; then
  installer_problem "$installer was not built"
else
  before=$(installed)
  failures_before=$failures
  "$wine" "$installer" /S >/dev/null 2>&1 || installer_problem "the silent install exited with $?"
  for file in aprs-trekmor-configurator.exe aprs-trekmor-cli.exe hidapi.dll LICENSE.txt README.txt uninstall.exe; do
    [ -f "$folder/$file" ] || installer_problem "$file is not in $folder"
  done
  [ -f "$shortcut" ] || installer_problem "no Start-menu shortcut"
  entry=$("$wine" reg query "$key" 2>/dev/null | tr -d '\r')
  for value in "DisplayName.*APRS Trekmor Configurator" "DisplayVersion.*1\.12" "Publisher.*developers" \
               "DisplayIcon.*aprs-trekmor-configurator.exe" "UninstallString.*uninstall.exe"; do
    grep -q "$value" <<<"$entry" || installer_problem "the uninstall entry lacks $value"
  done
  program='C:\Program Files\APRS Trekmor Configurator'
  version=$("$wine" "$program\aprs-trekmor-configurator.exe" --version 2>/dev/null </dev/null | tr -d '\r') ||
    installer_problem "the installed configurator's --version exited with $?"
  [ "$version" = "aprs-trekmor-configurator 1.12" ] || installer_problem "--version printed '$version'"
  (cd "$work" && "$wine" "$program\aprs-trekmor-cli.exe" defaults installed.cfg >/dev/null 2>&1) &&
    grep -q '^\[' "$work/installed.cfg" || installer_problem "the installed command-line companion did not run"
  echo "; kept by its owner" >"$folder/mine.cfg"
  "$wine" "$program\uninstall.exe" /S >/dev/null 2>&1 || installer_problem "the silent uninstall exited with $?"
  # The uninstaller runs from a copy of itself and returns at once.
  for _ in $(seq 1 60); do [ -f "$folder/uninstall.exe" ] || break; sleep 1; done
  sleep 1
  left=$(cd "$folder" 2>/dev/null && ls -A)
  [ "$left" = mine.cfg ] || installer_problem "the uninstall left '$left' in the folder, not the user's file alone"
  rm -rf "$folder"
  [ "$(installed)" = "$before" ] || installer_problem "the uninstall left: $(diff <(echo "$before") <(installed) | grep '^>')"
  "$wine" reg query "$key" >/dev/null 2>&1 && installer_problem "the uninstall entry is still there"
  [ "$failures" -ne "$failures_before" ] || echo "Installer: silent install, --version, defaults and silent uninstall under Wine"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "All Windows checks passed"
