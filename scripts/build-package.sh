#!/usr/bin/env bash
# Builds the Debian package from an optimised Release configuration:
#   build-package/aprs-trekmor-configurator_VERSION-1_ARCH.deb
# (installs missing packages first). scripts/check-package.sh checks it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-packages.sh --packaging
build=build-package
# Debian's hardening flags, all of them (immediate binding included), given
# on every run: a build folder keeps the flags of its first configuration.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
rm -f "$build"/*.deb
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTREKMOR_BUILD_TESTS=OFF \
      -DTREKMOR_WARNINGS_AS_ERRORS="${TREKMOR_WERROR:-0}" \
      -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
      -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
      -DCMAKE_SHARED_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)"
cmake --build "$build"
(cd "$build" && cpack -G DEB)
ls -l "$build"/*.deb
