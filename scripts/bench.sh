#!/usr/bin/env bash
# Runs every benchmark executable of a build folder, one table each.
set -uo pipefail
build=${1:-build}
rc=0
for exe in $(find "$build/bench" -type f -executable -name 'bench_*' 2>/dev/null | sort); do
  echo "== $(basename "$exe")"
  "$exe" --benchmark_counters_tabular=true || rc=1
done
exit $rc
