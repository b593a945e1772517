#!/usr/bin/env bash
# Start-up time and peak memory of the configurator: runs the start-up probe
# N times (default 20) on the offscreen platform and prints the median and
# largest time from process start to the main window built (the 1.5-second
# splash pause left out) and the largest peak resident memory.
#   bench/startup.sh BUILD_DIR [N]
set -euo pipefail
"$(dirname "$0")/../scripts/install-packages.sh"  # /usr/bin/time among them
build=${1:?usage: bench/startup.sh BUILD_DIR [N]}
runs=${2:-20}
probe="$build/bench/startup_probe"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
times=()
peak=0
out=$(mktemp)
trap 'rm -f "$out"' EXIT
for ((i = 0; i < runs; i++)); do
  start=$(date +%s%N)
  /usr/bin/time -f "%M" -o "$out" "$probe" > "$out.built" 2>/dev/null
  built=$(cat "$out.built")
  rss=$(tail -n 1 "$out")
  times+=($(( (built - start) / 1000 )))  # microseconds
  (( rss > peak )) && peak=$rss
done
rm -f "$out.built"
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
median=${sorted[$(( runs / 2 ))]}
echo "runs: $runs"
echo "start to main window built: median $(( median / 1000 )).$(( median % 1000 / 100 )) ms, slowest $(( sorted[runs - 1] / 1000 )) ms"
echo "peak memory (max RSS): $(( peak / 1024 )) MB ($peak KB)"
