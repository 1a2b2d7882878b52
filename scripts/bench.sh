#!/usr/bin/env bash
# Runs every benchmark, each figure beside its reference in the same run, and prints one table of ratios.
#   bash scripts/bench.sh [BUILD_DIR]        (default build; configured as a Release build when missing)
# The million-activity benchmark generates its database first (about a minute); the whole run takes a few
# minutes on 2 cores. The JSON of each benchmark stays in BUILD_DIR/bench-results/.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DKORVO_BUILD_TESTS=OFF >/dev/null
benches=(korvo_collect_bench korvo_serial_bench korvo_activity_bench korvo_online_bench korvo_start_bench)
cmake --build "$build" -j"$(nproc)" --target "${benches[@]}" korvo_start_probe >/dev/null
out="$build/bench-results"
mkdir -p "$out"
for b in "${benches[@]}"; do
  echo "running $b ..." >&2
  "$build/bin/$b" --benchmark_format=console --benchmark_out="$out/$b.json" --benchmark_out_format=json >&2 ||
    echo "$b failed" >&2
done
python3 bench/ratios.py "$out"
