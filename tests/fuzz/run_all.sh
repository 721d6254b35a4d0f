#!/usr/bin/env bash
# Runs the fuzz targets of a ZX_FUZZ build one after another:
#   tests/fuzz/run_all.sh BUILD_DIR SECONDS [TARGET...]
# each for SECONDS on BUILD_DIR/corpora/<target> (tests/fuzz/make_corpora.sh
# fills it; what a run finds is added to it) with the saved findings of
# tests/fuzz/regressions/<target> as further seeds.  A crash, a hang of 10
# seconds, a leak, undefined behaviour or a broken rule fails the target:
# its input is left in BUILD_DIR/fuzz-artifacts/<target>/ and its log in
# BUILD_DIR/fuzz-logs/<target>.log.  Exits non-zero when any target failed.
# FUZZ_FLAGS adds libFuzzer flags, e.g. FUZZ_FLAGS=-runs=10000000 for a
# long run that stops at ten million executions.
set -uo pipefail
source_dir="$(cd "$(dirname "$0")/../.." && pwd)"
build_dir="$(cd "$1" && pwd)"
seconds="$2"
shift 2

targets=("$@")
if [ "${#targets[@]}" -eq 0 ]; then
  for bin in "$build_dir"/fuzz_*; do
    [ -x "$bin" ] && targets+=("${bin##*/fuzz_}")
  done
fi
if [ "${#targets[@]}" -eq 0 ]; then
  echo "no fuzz targets in $build_dir" >&2
  exit 2
fi

mkdir -p "$build_dir/fuzz-logs" "$build_dir/fuzz-dicts"
failed=()
printf '%-16s %12s %10s  %s\n' target executions "exec/s" result
for name in "${targets[@]}"; do
  corpus="$build_dir/corpora/$name"
  artifacts="$build_dir/fuzz-artifacts/$name"
  log="$build_dir/fuzz-logs/$name.log"
  dict="$build_dir/fuzz-dicts/$name.dict"
  mkdir -p "$corpus" "$artifacts"
  cat "$source_dir/tests/fuzz/tags.dict" > "$dict"
  case "$name" in
    rtf|results_file|results_read|results_table|verify|item_analysis) cat "$source_dir/tests/fuzz/rtf.dict" >> "$dict" ;;
  esac
  extra=()
  [ -d "$source_dir/tests/fuzz/regressions/$name" ] && extra+=("$source_dir/tests/fuzz/regressions/$name")

  "$build_dir/fuzz_$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -dict="$dict" -artifact_prefix="$artifacts/" ${FUZZ_FLAGS:-} "$corpus" "${extra[@]}" > "$log" 2>&1
  rc=$?
  executions="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)"
  rate="$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)"
  if [ "$rc" -eq 0 ]; then
    result=ok
  else
    result="FAILED (exit $rc, see $log)"
    failed+=("$name")
  fi
  printf '%-16s %12s %10s  %s\n' "$name" "${executions:--}" "${rate:--}" "$result"
  if [ "$rc" -ne 0 ]; then
    grep -E 'ERROR|broken rule|SUMMARY|Test unit written' "$log" | head -n 8 | sed 's/^/    /'
  fi
done

if [ "${#failed[@]}" -gt 0 ]; then
  echo "fuzzing found problems in: ${failed[*]}" >&2
  exit 1
fi
