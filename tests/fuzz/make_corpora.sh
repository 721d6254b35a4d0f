#!/usr/bin/env bash
# Seed corpora of the fuzz targets, made from the test banks, the sample
# bank and the language files, plus the hand-made seeds of
# tests/fuzz/seeds/<target>/:
#   tests/fuzz/make_corpora.sh BUILD_DIR
# fills BUILD_DIR/corpora/<target>/ (the zxbank of BUILD_DIR packs the
# banks and writes the stored files).  Files already there, such as what
# earlier runs found, are kept.
set -euo pipefail
source_dir="$(cd "$(dirname "$0")/../.." && pwd)"
build_dir="$(cd "$1" && pwd)"
zxbank="$build_dir/zxbank"
out="$build_dir/corpora"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

targets=(tagged_text stored_file bank_index embedded_files drag_targets typed_answer decimal colour
         language_file handoff rtf results_file scoring page_record)
for t in "${targets[@]}"; do
  mkdir -p "$out/$t"
  if [ -d "$source_dir/tests/fuzz/seeds/$t" ]; then
    cp "$source_dir/tests/fuzz/seeds/$t"/* "$out/$t/" 2>/dev/null || true
  fi
done

# value KEY FILE: the value of the first KEY element of FILE.
value() {
  python3 - "$1" "$2" <<'EOF'
import sys
key, path = sys.argv[1], sys.argv[2]
text = open(path, 'rb').read()
o = text.find(b'<' + key.encode() + b'>')
c = text.find(b'</' + key.encode() + b'>')
if o >= 0 and c > o:
    sys.stdout.buffer.write(text[o + len(key) + 2:c])
EOF
}

banks=("$source_dir/examples/sample-bank")
for b in "$source_dir"/tests/data/banks/*/; do banks+=("${b%/}"); done

rtf_seeds=("$source_dir"/tests/fuzz/seeds/rtf/*)
for bank in "${banks[@]}"; do
  name="$(basename "$bank")"
  settings="$bank/settings.txt"
  pages=("$bank"/pages/q*.txt)

  # Page records and settings, as they are.
  for page in "$bank"/pages/*.txt "$settings"; do
    seed="$name-$(basename "$page")"
    cp "$page" "$out/tagged_text/$seed"
    cp "$page" "$out/page_record/$seed"
    grep -q '<zxDrag>' "$page" && cp "$page" "$out/drag_targets/$seed"
    grep -q '<zxField>' "$page" && cp "$page" "$out/typed_answer/$seed"
  done

  # The question list of the bank, after its settings and a zero byte.
  list="$work/$name-list.txt"
  : > "$list"
  n=0
  for page in "${pages[@]}"; do
    printf '<questionFile%d>' "$n" >> "$list"
    cat "$page" >> "$list"
    printf '</questionFile%d>' "$n" >> "$list"
    n=$((n + 1))
  done
  { cat "$settings"; printf '\0'; cat "$list"; } > "$out/scoring/$name.txt"

  # A results file's content around the list, with one of the reports.
  rtf="${rtf_seeds[$(( ${#name} % ${#rtf_seeds[@]} ))]}"
  {
    printf '<resultsRTF>'; cat "$rtf"; printf '</resultsRTF><resultsSummaryRTF>'; cat "$rtf"
    printf '</resultsSummaryRTF><bankPathAbs>/home/ann/banks/%s.zxb</bankPathAbs>' "$name"
    printf '<bankPathRel>..\\banks\\%s.zxb</bankPathRel><testSettings>' "$name"
    cat "$settings"; printf '</testSettings><qList>'; cat "$list"; printf '</qList>'
  } > "$out/results_file/$name.txt"

  # The packed bank: its index section and the first embedded bytes.
  bank_file="$work/$name.zxb"
  if report="$("$zxbank" pack --allow-unplayable "$bank" "$bank_file" 2>/dev/null)"; then
    length="${report##*index length }"
    head -c "$((length + 2048))" "$bank_file" > "$out/bank_index/$name.zxb"
    "$zxbank" cat "$bank_file" > "$work/$name-index.txt"
    value fileHeader "$work/$name-index.txt" > "$out/embedded_files/$name.txt"
  fi

  # Stored files of every type.
  for ext in zxl zxs zxb zxr zxc; do
    "$zxbank" store "$settings" "$out/stored_file/$name-settings.$ext" >/dev/null
  done
done

for lang in "$source_dir"/lang/*.txt; do
  base="$(basename "$lang" .txt)"
  cp "$lang" "$out/language_file/${base// /_}.txt"
  "$zxbank" store "$lang" "$out/stored_file/${base// /_}.zxc" >/dev/null
done

# Colour texts used by the pages.
for page in "$source_dir"/examples/sample-bank/pages/*.txt; do
  grep -ao '<[A-Za-z]*Colo[u]*r>[^<]*' "$page" | sed 's/^<[^>]*>//' || true
done | sort -u | while IFS= read -r c; do
  printf '%s' "$c" > "$out/colour/page-$(printf '%s' "$c" | tr -c 'A-Za-z0-9$' '_').txt"
done

for t in "${targets[@]}"; do
  printf '%-16s %4d seeds\n' "$t" "$(find "$out/$t" -type f | wc -l)"
done
