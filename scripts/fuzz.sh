#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer on) and runs each: first every committed seed
# once at its full size, then fuzzing from the seed corpus for a bounded
# number of inputs or seconds, whichever comes first. Any finding fails the
# run; its input is kept in build-fuzz/findings/.
#   FUZZ_RUNS=N      inputs per target (default 200000)
#   FUZZ_SECONDS=N   seconds per target at most (default 25)
#   TREKMOR_WERROR=1 compiler warnings stop the build
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-packages.sh
werror=OFF
[ "${TREKMOR_WERROR:-0}" = 1 ] && werror=ON
cmake -S . -B build-fuzz -G Ninja -DTREKMOR_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTREKMOR_WARNINGS_AS_ERRORS=$werror
cmake --build build-fuzz
runs="${FUZZ_RUNS:-200000}"
seconds="${FUZZ_SECONDS:-25}"
# Short allocation stacks: the targets allocate a lot, and a finding is
# reproduced from its saved input anyway.
export ASAN_OPTIONS="${ASAN_OPTIONS:-malloc_context_size=4}"
findings=build-fuzz/findings
mkdir -p "$findings"

# Runs one libFuzzer command; on a finding shows its whole output and stops.
run() {
  local name=$1
  shift
  local log
  log=$(mktemp)
  if ! "$@" >"$log" 2>&1; then
    cat "$log"
    echo "== $name: FINDING (input kept in $findings/)"
    exit 1
  fi
  grep -E "stat::number_of_executed_units|^Executed .* in" "$log" | tail -n 1 || true
  rm -f "$log"
}

for target in build-fuzz/fuzz/*_fuzz; do
  name=$(basename "$target" _fuzz)
  seeds="fuzz/corpus/$name"
  # Inputs as large as each target needs: a whole image, a device exchange
  # sequence, a configuration file of some size (the megabyte seeds run whole
  # in the first step).
  case "$name" in
    device) max_len=4096 ;;
    numbers) max_len=256 ;;
    *) max_len=65536 ;;
  esac
  echo "== $name: the seeds, whole"
  run "$name" "$target" -artifact_prefix="$findings/$name-" "$seeds"/*
  work=$(mktemp -d)
  echo "== $name: up to $runs inputs or $seconds s"
  run "$name" "$target" -runs="$runs" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/$name-" "$work" "$seeds"
  rm -rf "$work"
done
