#!/usr/bin/env bash
# Checks the Debian package as packagers do: its file list against
# tests/install/package-files.txt, its control fields and computed
# dependencies, lintian (no error), desktop-file-validate, appstreamcli
# validate and both manual pages rendered with warnings on. With
# --install-remove (continuous integration; root) it also installs the package
# with apt, runs the installed programs, removes it again and checks that
# none of its files is left.
#   scripts/check-package.sh [--install-remove] [PACKAGE.deb]
set -euo pipefail
cd "$(dirname "$0")/.."
install_remove=0
if [ "${1:-}" = "--install-remove" ]; then
  install_remove=1
  shift
fi
deb="${1:-$(ls build-package/*.deb)}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failed=0
fail() {
  echo "FAILED: $*" >&2
  failed=1
}
# Runs a checker; any output from it (a warning or worse) counts as a failure.
quiet() {
  if ! "$@" >"$work/said" 2>&1 || [ -s "$work/said" ]; then
    cat "$work/said"
    fail "$*"
  fi
}

echo "== $deb: $(stat -c %s "$deb") bytes"
dpkg-deb -f "$deb" Package Version Architecture Section Installed-Size Depends
name="$(basename "$deb")"
[ "$(dpkg-deb -f "$deb" Package)_$(dpkg-deb -f "$deb" Version)_$(dpkg-deb -f "$deb" Architecture).deb" = "$name" ] ||
  fail "the file name $name does not match the package's name, version and architecture"
[ "$(dpkg-deb -f "$deb" Section)" = hamradio ] || fail "section is not hamradio"
depends="$(dpkg-deb -f "$deb" Depends)"
for library in libc6 libstdc++6 libhidapi-hidraw0 libqt6core6 libqt6gui6 libqt6widgets6 libqt6svgwidgets6; do
  [[ ", $depends," == *", $library "* ]] || fail "Depends lacks $library"
done

echo "== files"
dpkg-deb -c "$deb" | tee "$work/listing" | awk '$1 !~ /^d/ {sub(/^\./, "", $6); print $6}' | sort >"$work/files"
diff -u tests/install/package-files.txt "$work/files" || fail "the package's files differ from tests/install/package-files.txt"
awk '$2 != "root/root" {print; bad = 1} END {exit bad}' "$work/listing" || fail "files not owned by root"

echo "== lintian"
lintian_options=(--fail-on error --display-info)
[ "$(id -u)" -ne 0 ] || lintian_options+=(--allow-root)
lintian "${lintian_options[@]}" "$deb" || fail "lintian"

echo "== desktop entry, AppStream metadata, manual pages, maintainer scripts"
dpkg-deb -x "$deb" "$work/root"
dpkg-deb -e "$deb" "$work/control"
quiet desktop-file-validate "$work"/root/usr/share/applications/*.desktop
appstreamcli validate --no-net --explain "$work"/root/usr/share/metainfo/*.xml || fail "appstreamcli validate"
for page in "$work"/root/usr/share/man/man1/*.1.gz; do
  warnings="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)"
  [ -z "$warnings" ] || { echo "$warnings"; fail "man --warnings $(basename "$page")"; }
done
for script in postinst postrm; do
  sh -n "$work/control/$script" || fail "$script does not parse"
done

if [ "$install_remove" = 1 ]; then
  echo "== apt install, run, apt remove"
  package="$(dpkg-deb -f "$deb" Package)"
  if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    fail "$package is installed already: remove it before this check"
  else
    cp "$deb" "$work/"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$work/$name"
    dpkg-query -L "$package" >"$work/installed"
    aprs-trekmor-configurator --version || fail "the installed configurator does not answer --version"
    aprs-trekmor-cli --help >/dev/null || fail "the installed command-line companion does not answer --help"
    man -w aprs-trekmor-cli >/dev/null || fail "man does not find the installed manual page"
    DEBIAN_FRONTEND=noninteractive apt-get remove -y -q "$package"
    while read -r path; do
      if [ -f "$path" ] || [ -L "$path" ]; then fail "left behind after removal: $path"; fi
    done <"$work/installed"
    # dpkg keeps the record of a removed package that has a postrm until it is purged.
    dpkg --purge "$package"
  fi
fi

if [ "$failed" != 0 ]; then
  echo "The package check failed." >&2
  exit 1
fi
echo "The package check passed."
