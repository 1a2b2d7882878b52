#!/usr/bin/env bash
# A longer fuzzing run than CI's smoke tests: every target in turn, up to RUNS executions or SECONDS
# each, one table of executions and findings at the end. Findings (crash-*, leak-*, timeout-*) go to
# build-fuzz/campaign/<target>/.
#   bash scripts/fuzz-campaign.sh [SECONDS] [RUNS]     (defaults 600 and 10000000)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
runs=${2:-10000000}
cmake --preset fuzz > /dev/null
cmake --build build-fuzz -j"$(nproc)" > /dev/null
out=build-fuzz/campaign
mkdir -p "$out"
printf '%-18s %12s %8s %9s\n' target executions seconds findings > "$out/table.txt"
for bin in build-fuzz/fuzz/korvo_fuzz_*; do
  name=${bin##*/korvo_fuzz_}
  mkdir -p "$out/$name/corpus"
  log="$out/$name/log.txt"
  start=$(date +%s)
  "$bin" -runs="$runs" -max_total_time="$seconds" -max_len=8192 -timeout=30 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$out/$name/" "$out/$name/corpus" "tests/fuzz/corpus/$name" \
    > "$log" 2>&1 || true
  took=$(($(date +%s) - start))
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  found=$(find "$out/$name" -maxdepth 1 -name 'crash-*' -o -maxdepth 1 -name 'leak-*' -o -maxdepth 1 \
    -name 'timeout-*' -o -maxdepth 1 -name 'oom-*' | wc -l)
  printf '%-18s %12s %8s %9s\n' "$name" "${execs:-?}" "$took" "$found" >> "$out/table.txt"
done
cat "$out/table.txt"
