#!/usr/bin/env bash
# Fetches a Debian source package of this machine's release into a folder:
#   scripts/apt-source.sh PACKAGE=VERSION FOLDER [--download-only]
# Where the machine has no source lines yet, it first adds them: a copy of its
# own package sources for this release, as deb-src, in one file of each format.
set -euo pipefail
[ $# -ge 2 ] || { echo "usage: $0 PACKAGE=VERSION FOLDER [--download-only]" >&2; exit 2; }
package=$1
folder=$2
shift 2

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

if ! apt-get source --print-uris "$package" >/dev/null 2>&1; then
  . /etc/os-release
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    awk -v codename="$VERSION_CODENAME" '
      BEGIN { RS = ""; ORS = "\n\n" }
      /(^|\n)Types:[^\n]*deb([ \n]|$)/ && $0 ~ ("Suites:[^\n]*" codename) && $0 !~ /(^|\n)Enabled: *no/ {
        sub(/Types:[^\n]*/, "Types: deb-src"); print }' "$f"
  done | $SUDO tee /etc/apt/sources.list.d/trekmor-deb-src.sources >/dev/null
  lines=$(for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    awk -v codename="$VERSION_CODENAME" '$1 == "deb" && index($0, " " codename) { sub(/^deb/, "deb-src"); print }' "$f"
  done)
  [ -z "$lines" ] || echo "$lines" | $SUDO tee /etc/apt/sources.list.d/trekmor-deb-src.list >/dev/null
  $SUDO apt-get update -qq
fi
mkdir -p "$folder"
cd "$folder"
apt-get source -qq "$@" "$package"
