#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the program and the tests need,
# but only those that are missing. With --packaging, also those that build
# the Debian package and check it as packagers do; with --windows, only those
# of the Windows cross-build and its tests under Wine.
set -euo pipefail
packages=(cmake ninja-build g++ qt6-base-dev qt6-svg-dev libgl-dev libhidapi-dev pkg-config
          googletest libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
          xvfb xauth time locales nlohmann-json3-dev)
case "${1:-}" in
  --packaging) packages+=(dpkg-dev file gzip lintian desktop-file-utils appstream man-db groff-base) ;;
  # The Linux Qt (with Qt Svg) gives the Windows build its host tools and
  # renders its pictures; Wine shows the window with the fonts named here.
  --windows) packages=(cmake ninja-build g++-mingw-w64-x86-64-posix wine64 dpkg-dev googletest nlohmann-json3-dev
                       libhidapi-dev g++ qt6-base-dev qt6-svg-dev libgl-dev patch xz-utils nsis
                       fonts-wine fonts-liberation fonts-dejavu-core xvfb xauth x11-utils imagemagick) ;;
esac
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
