#!/usr/bin/env bash
# Runs every libFuzzer program of a fuzzing build for a number of seconds each, on a corpus kept in
# the build folder, and prints libFuzzer's closing statistics.
set -euo pipefail
build=${1:-build-fuzz}
seconds=${2:-60}
status=0
for fuzzer in "$build"/bin/*_fuzz; do
  [ -x "$fuzzer" ] || continue
  name=$(basename "$fuzzer")
  corpus="$build/corpus-$name"
  mkdir -p "$corpus"
  echo "== $name ($seconds s)"
  "$fuzzer" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$build/$name-" \
    "$corpus" 2>&1 | grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|==[0-9]+==ERROR|SUMMARY)' \
    || status=1
done
exit $status
