#!/usr/bin/env bash
# Runs every benchmark program once; each prints its own table.
set -euo pipefail
build=${1:-build}
for bench in "$build"/bin/*_bench; do
  [ -x "$bench" ] || continue
  echo "== $(basename "$bench")"
  "$bench"
done
