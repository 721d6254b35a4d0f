#!/usr/bin/env bash
# Peak memory of opening a bank that holds a 1 GB video: packs such a bank
# and renders its pages headless (which unpacks every embedded file), and
# prints the largest resident set size of each step.
#   bench/extract_memory.sh [BUILD_DIR]
set -euo pipefail
build="${1:-build}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/src/pages" "$work/src/media"
printf '<version>1</version>' > "$work/src/settings.txt"
printf '<windowSize>1</windowSize><zxText><feedback>0</feedback><zxString>A page with a big video</zxString></zxText>' \
  > "$work/src/pages/q00.txt"
{ printf 'RIFF\x00\x00\x00\x00AVI LIST'; head -c 1073741824 /dev/zero; } > "$work/src/media/big.avi"
peak() { /usr/bin/time -f '%M' "$@" 2>&1 >/dev/null | tail -1; }
echo "pack:    $(peak "$build/zxbank" pack "$work/src" "$work/big.zxb") KB peak"
echo "extract: $(peak "$build/zxexam" --render-pages "$work/out" "$work/big.zxb") KB peak"
