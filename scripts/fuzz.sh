#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a while: scripts/fuzz.sh BUILD SECONDS [TARGET...]
# Each starts from its committed seeds (fuzz/corpus/<target>) plus what earlier runs in this
# build directory found; inputs that crash are kept in BUILD/fuzz-crashes/<target>/.
set -uo pipefail
cd "$(dirname "$0")/.."
build=${1:?usage: scripts/fuzz.sh BUILD SECONDS [TARGET...]}
seconds=${2:?usage: scripts/fuzz.sh BUILD SECONDS [TARGET...]}
shift 2
targets=("$@")
if [[ ${#targets[@]} -eq 0 ]]; then
  for dir in fuzz/corpus/*/; do targets+=("$(basename "$dir")"); done
fi

failed=0
printf '%-14s %10s %8s  %s\n' target runs seconds result
for t in "${targets[@]}"; do
  work="$build/fuzz-corpus/$t" crashes="$build/fuzz-crashes/$t/" log="$build/fuzz-$t.log"
  mkdir -p "$work" "$crashes"
  start=$SECONDS
  "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$crashes" "$work" "fuzz/corpus/$t" >"$log" 2>&1
  status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  if [[ $status -eq 0 ]]; then
    result="no findings"
  else
    result="FAILED (exit $status): $(grep -m1 -E 'ERROR|runtime error|Assertion|deadly' "$log")"
    failed=1
  fi
  printf '%-14s %10s %8s  %s\n' "$t" "${runs:-?}" "$((SECONDS - start))" "$result"
done
if [[ $failed -ne 0 ]]; then
  echo "fuzz: findings above; the inputs are in $build/fuzz-crashes/, the logs in $build/fuzz-*.log" >&2
fi
exit $failed
