#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer on) and runs each for a bounded number of inputs,
# starting from the committed seed corpora. Any finding fails the run.
#   FUZZ_RUNS=N   inputs per target (default 200000)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-packages.sh
cmake -S . -B build-fuzz -G Ninja -DTREKMOR_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build-fuzz
runs="${FUZZ_RUNS:-200000}"
for target in build-fuzz/fuzz/*_fuzz; do
  name=$(basename "$target" _fuzz)
  work=$(mktemp -d)
  echo "== $name: $runs runs"
  "$target" -runs="$runs" -max_len=65536 -timeout=10 -rss_limit_mb=2048 "$work" "fuzz/corpus/$name" 2>&1 | tail -n 3
  rm -rf "$work"
done
