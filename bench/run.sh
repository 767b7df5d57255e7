#!/usr/bin/env bash
# Builds the benchmarks in Release, runs them, keeps their JSON output in
# build/bench/results/ and prints the module/bare table and the list walk's
# cost per row. Extra arguments go to every benchmark program (e.g.
# --benchmark_filter=TagList).
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/bench
out=$build/results
mkdir -p "$out"
if ! { cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DORPHANEX_BUILD_BENCH=ON &&
  cmake --build "$build" --target tag_scan_bench shader_scan_bench list_walk_bench -j2; } >"$out/build.log" 2>&1; then
  cat "$out/build.log"
  exit 1
fi

for program in tag_scan_bench shader_scan_bench list_walk_bench; do
  "$build/bench/$program" --benchmark_out="$out/$program.json" --benchmark_out_format=json "$@"
done

echo
echo "| benchmark | module ms | bare ms | ratio | target | met |"
echo "|---|---:|---:|---:|---:|---|"
jq -r '.benchmarks[] | select(.ratio != null)
  | "| \(.run_name | sub("/iterations:[0-9]+"; "") | sub("/manual_time"; "")) | \(.real_time * 100 | round / 100)"
    + " | \(.bare_ms * 100 | round / 100) | \(.ratio * 100 | round / 100) | \(.target)"
    + " | \(if .ratio <= .target then "yes" else "no" end) |"' "$out"/tag_scan_bench.json "$out"/shader_scan_bench.json

echo
echo "| every run | ms per iteration |"
echo "|---|---:|"
jq -r '.benchmarks[]
  | "| \(.run_name | sub("/iterations:[0-9]+"; "") | sub("/manual_time"; "")) | \(.real_time * 100 | round / 100) |"' \
  "$out"/tag_scan_bench.json "$out"/shader_scan_bench.json

echo
echo "| list walk | rows | ms | ns per row |"
echo "|---|---:|---:|---:|"
jq -r '.benchmarks[] | select(.run_type == "iteration")
  | (.run_name | split("/")) as $p
  | "| \($p[0]) | \($p[1]) | \(.real_time * 1000 | round / 1000) | \(.real_time * 1e6 / ($p[1] | tonumber) * 10 | round / 10) |"' \
  "$out"/list_walk_bench.json
jq -r '.benchmarks[] | select(.aggregate_name == "BigO" or .aggregate_name == "RMS")
  | "\(.name): \(if .aggregate_name == "RMS" then "\(.rms * 1000 | round / 10) %" else "O(\(.big_o)), \(.real_coefficient * 10 | round / 10) ns per row" end)"' \
  "$out"/list_walk_bench.json
