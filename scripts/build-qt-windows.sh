#!/usr/bin/env bash
# Builds the static Qt 6 for Windows that the configurator's window and its
# tests link (Core, Gui, Widgets, Test; the windows and offscreen platform
# plugins; the Windows styles), from Debian's own qt6-base source package with
# MinGW-w64 and the machine's Linux Qt as host tools (moc, rcc, uic), once:
# the result lives in a cache folder outside the clone, keyed by the Qt
# version, the MinGW compiler and this script's configuration, and later runs
# reuse it at once. Prints the Qt prefix on its last line of standard output;
# everything else goes to standard error.
#   TREKMOR_QT_WINDOWS_PREFIX=DIR  a Qt for Windows built already: used as it is
#   XDG_CACHE_HOME                 the cache's parent (default ~/.cache)
#   TREKMOR_QT_JOBS=N              parallel compiles (default: the processors)
# A build that breaks off leaves only its work folder, which the next run
# resumes; a prefix appears under its final name only once it is complete.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

log() { echo "build-qt-windows: $*" >&2; }
fail() { log "$*"; exit 1; }

if [ -n "${TREKMOR_QT_WINDOWS_PREFIX:-}" ]; then
  [ -f "$TREKMOR_QT_WINDOWS_PREFIX/lib/cmake/Qt6/Qt6Config.cmake" ] ||
    fail "TREKMOR_QT_WINDOWS_PREFIX=$TREKMOR_QT_WINDOWS_PREFIX holds no Qt 6 (lib/cmake/Qt6/Qt6Config.cmake)"
  log "Qt for Windows from TREKMOR_QT_WINDOWS_PREFIX"
  echo "$TREKMOR_QT_WINDOWS_PREFIX"
  exit 0
fi

triplet=x86_64-w64-mingw32
command -v $triplet-g++-posix >/dev/null || fail "MinGW-w64 is missing: scripts/install-packages.sh --windows"
# The host tools and the sources are of the same version: the Linux Qt's.
qt_version=$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null) ||
  fail "the Linux Qt (qt6-base-dev) is missing: scripts/install-packages.sh"
qt_upstream=${qt_version%-*}
qt_upstream=${qt_upstream#*:}
qt_upstream=${qt_upstream%+dfsg*}
mingw_version="$($triplet-g++-posix -dumpfullversion)-$(dpkg-query -W -f='${Version}' g++-mingw-w64-x86-64-posix)"

# The toolchain of the Qt build: the MinGW-w64 compilers (posix threads),
# libraries and headers of the Windows sysroot only.
toolchain_text="set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER $triplet-gcc-posix)
set(CMAKE_CXX_COMPILER $triplet-g++-posix)
set(CMAKE_RC_COMPILER $triplet-windres)
set(CMAKE_FIND_ROOT_PATH /usr/$triplet)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
"
# What is built: a static Release Qt with only what the window and its tests
# use. Debian's repacked source has no wintab, and MinGW no wintab.h, so tablet
# events are off; Qt 6.4 compiles its DirectWrite font database only together
# with Direct2D, so both are off and fonts come through GDI (or FreeType).
qt_options=(
  -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DQT_QMAKE_TARGET_MKSPEC=win32-g++
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DBUILD_WITH_PCH=OFF -DINPUT_opengl=no
  -DFEATURE_dbus=OFF -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_printsupport=OFF
  -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_vulkan=OFF -DFEATURE_tabletevent=OFF
  -DFEATURE_icu=OFF -DFEATURE_zstd=OFF -DFEATURE_pkg_config=OFF -DFEATURE_direct2d=OFF
  -DFEATURE_directwrite=OFF -DFEATURE_directwrite3=OFF
  -DFEATURE_jpeg=OFF -DFEATURE_qmake=OFF -DFEATURE_testlib=ON
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF
  -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_doubleconversion=OFF
)
config_hash=$(printf '%s\n' "$toolchain_text" "${qt_options[@]}" | sha256sum | cut -c1-12)
key="qt-$qt_upstream-mingw-$mingw_version-$config_hash"

cache=${XDG_CACHE_HOME:-$HOME/.cache}/aprs-trekmor/qt-windows
prefix=$cache/$key
work=$cache/work-$key
if [ -f "$prefix/lib/cmake/Qt6/Qt6Config.cmake" ]; then
  log "Qt for Windows from the cache: $prefix"
  echo "$prefix"
  exit 0
fi

mkdir -p "$cache"
exec 9>"$cache/$key.lock"
flock 9  # a second run at once waits for the first and then takes its result
if [ -f "$prefix/lib/cmake/Qt6/Qt6Config.cmake" ]; then
  echo "$prefix"
  exit 0
fi

# step NAME COMMAND...: runs one step of the build into its own log; a
# failure names the step and shows the end of its log.
step() {
  local name=$1 logfile="$work/${1// /-}.log" start=$SECONDS
  shift
  log "$name..."
  # Not a condition: errexit must hold inside the step.
  set +e
  (set -e; "$@") >"$logfile" 2>&1
  local status=$?
  set -e
  if [ "$status" -ne 0 ]; then
    tail -30 "$logfile" >&2
    fail "the step \"$name\" failed; its log is $logfile. Nothing was put in the cache."
  fi
  log "$name: done in $((SECONDS - start)) s"
}
mkdir -p "$work"
start=$SECONDS

# Sources: the orig tarball without its tests and examples (160 MB of the
# 290), then Debian's patches in the order of their series.
source=$work/source
if [ ! -f "$source/.trekmor-patched" ]; then
  step "fetching the qt6-base source package" \
    "$root/scripts/apt-source.sh" "qt6-base=$qt_version" "$work/download" --download-only
  unpack() {
    rm -rf "$source" "$source.tmp"
    mkdir -p "$source.tmp"
    tar -xf "$work"/download/qt6-base_*.orig.tar.* -C "$source.tmp" --strip-components=1 \
      --anchored --no-wildcards-match-slash --exclude='*/tests' --exclude='*/examples'
    tar -xf "$work"/download/qt6-base_*.debian.tar.* -C "$source.tmp"
    (cd "$source.tmp" && while read -r patch _; do
      case "$patch" in ''|'#'*) continue ;; esac
      echo "applying $patch"
      patch -p1 --quiet <"debian/patches/$patch"
    done <debian/patches/series)
    touch "$source.tmp/.trekmor-patched"
    mv "$source.tmp" "$source"
  }
  step "unpacking and patching the sources" unpack
fi

printf '%s' "$toolchain_text" >"$work/mingw-toolchain.cmake"
build=$work/build
step "configuring Qt $qt_upstream for Windows" \
  cmake -S "$source" -B "$build" -G Ninja -Wno-dev \
    -DCMAKE_TOOLCHAIN_FILE="$work/mingw-toolchain.cmake" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_INSTALL_PREFIX="$prefix" "${qt_options[@]}"
step "compiling Qt (about 20 to 30 minutes on two processors the first time)" \
  cmake --build "$build" --parallel "${TREKMOR_QT_JOBS:-$(nproc)}"
# Installed into a folder of its own first; only the rename makes it the
# cache's entry, so a broken-off install is never taken for a complete one.
rm -rf "$prefix.tmp"
step "installing Qt into the cache" cmake --install "$build" --prefix "$prefix.tmp"
[ -f "$prefix.tmp/lib/cmake/Qt6/Qt6Config.cmake" ] || fail "the installed Qt has no Qt6Config.cmake"
mv "$prefix.tmp" "$prefix"
rm -rf "$work"
log "Qt for Windows built in $(((SECONDS - start) / 60)) min: $prefix ($(du -sh "$prefix" | cut -f1))"
echo "$prefix"
