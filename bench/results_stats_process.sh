#!/usr/bin/env bash
# Whole-process timing of `zxresults stats` and `zxresults table` on the
# same results files of a 50-question test (10000 by default), against
# `cat` of those files; best of three runs each, files in the page cache.
# The files are written by zxbench (a few minutes for 10000).
#   bench/results_stats_process.sh [BUILD_DIR] [FILES]
set -euo pipefail
build="${1:-build}"
count="${2:-10000}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ZX_RESULTS_BENCH_FILES="$count" ZX_RESULTS_BENCH_DIR="$work/ZXResults" \
  "$build/zxbench" --benchmark_filter=BM_ResultsTableOfFolder >/dev/null 2>&1
best() {
  local best_ns=
  for _ in 1 2 3; do
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null
    end=$(date +%s%N)
    if [[ -z "$best_ns" || $((end - start)) -lt $best_ns ]]; then best_ns=$((end - start)); fi
  done
  echo "$best_ns"
}
files=("$work"/ZXResults/*.zxr)
cat_ns=$(best cat "${files[@]}")
stats=$(best "$build/zxresults" stats "$work/ZXResults")
table=$(best "$build/zxresults" table "$work/ZXResults")
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", a / b }'; }
echo "files:           ${#files[@]} ($(du -sh "$work/ZXResults" | cut -f1))"
echo "zxresults stats: $((stats / 1000000)) ms"
echo "zxresults table: $((table / 1000000)) ms"
echo "cat:             $((cat_ns / 1000000)) ms"
echo "stats / table:   $(ratio "$stats" "$table")"
echo "table / cat:     $(ratio "$table" "$cat_ns")"
echo "stats / cat:     $(ratio "$stats" "$cat_ns")"
