#!/usr/bin/env bash
# Whole-process timing of `zxresults table` and `zxresults stats` on
# results files of a 50-question test (1000 unless FILES is given),
# against `cat` of the same files (best of five runs each, files in the
# page cache).  The files are written by zxbench (a few minutes for 10000).
#   bench/results_table_process.sh [BUILD_DIR] [FILES]
set -euo pipefail
build="${1:-build}"
count="${2:-1000}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ZX_RESULTS_BENCH_FILES="$count" ZX_RESULTS_BENCH_DIR="$work/ZXResults" \
  "$build/zxbench" --benchmark_filter=BM_ResultsTableOfFolder >/dev/null 2>&1
best() {
  local best_ns=
  for _ in 1 2 3 4 5; do
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null
    end=$(date +%s%N)
    if [[ -z "$best_ns" || $((end - start)) -lt $best_ns ]]; then best_ns=$((end - start)); fi
  done
  echo "$best_ns"
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", a / b }'; }
files=("$work"/ZXResults/*.zxr)
table=$(best "$build/zxresults" table "$work/ZXResults")
stats=$(best "$build/zxresults" stats "$work/ZXResults")
cat_ns=$(best cat "${files[@]}")
echo "files:           ${#files[@]} ($(du -sh "$work/ZXResults" | cut -f1))"
echo "zxresults table: $((table / 1000000)) ms"
echo "zxresults stats: $((stats / 1000000)) ms"
echo "cat:             $((cat_ns / 1000000)) ms"
echo "ratio:           $(ratio "$table" "$cat_ns") (table / cat)"
echo "stats / table:   $(ratio "$stats" "$table")"
