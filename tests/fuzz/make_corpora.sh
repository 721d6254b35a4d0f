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
         language_file handoff rtf results_file scoring page_record journal item_analysis
         import_gift import_moodle import_qti results_read results_table verify picture)
for t in "${targets[@]}"; do
  mkdir -p "$out/$t"
  # seeds-qt/ holds the seeds of the targets the core tests cannot replay.
  for seeds in "$source_dir/tests/fuzz/seeds/$t" "$source_dir/tests/fuzz/seeds-qt/$t"; do
    if [ -d "$seeds" ]; then
      cp "$seeds"/* "$out/$t/" 2>/dev/null || true
    fi
  done
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

# elements FILE PREFIX: every zx... element of FILE (a page) as PREFIX-<n>-<key>.txt.
elements() {
  python3 - "$1" "$2" <<'EOF'
import re, sys
text = open(sys.argv[1], 'rb').read()
for n, m in enumerate(re.finditer(rb'<(zx[A-Za-z]+)>.*?</\1>', text, re.S)):
    open('%s-%02d-%s.txt' % (sys.argv[2], n, m.group(1).decode()), 'wb').write(m.group(0))
EOF
}

sources=("$source_dir/examples/sample-bank")
for b in "$source_dir"/tests/data/banks/*/; do sources+=("${b%/}"); done

# Page records and settings as they are, their elements one by one, each
# question alone after the settings and a zero byte.
for bank in "${sources[@]}"; do
  name="$(basename "$bank")"
  cp "$bank/settings.txt" "$out/tagged_text/$name-settings.txt"
  for page in "$bank"/pages/*.txt; do
    seed="$name-$(basename "$page" .txt)"
    cp "$page" "$out/page_record/$seed.txt"
    elements "$page" "$work/$seed"
    cp "$work/$seed"-* "$out/tagged_text/" 2>/dev/null || true
    cp "$work/$seed"-*-zxDrag.txt "$out/drag_targets/" 2>/dev/null || true
    cp "$work/$seed"-*-zxField.txt "$out/typed_answer/" 2>/dev/null || true
    case "$page" in
      */q*.txt)
        { cat "$bank/settings.txt"; printf '\0<questionFile0>'; cat "$page"; printf '</questionFile0>'; } \
          > "$out/scoring/$seed.txt" ;;
    esac
  done
done

# Whole banks; the sample bank with its first three questions only, so
# that the seeds stay small enough for the fuzzers to run fast.
sample="$work/sample-bank"
cp -r "$source_dir/examples/sample-bank" "$sample"
rm -f "$sample"/pages/pre-0[12].txt "$sample"/pages/q0[3-9].txt "$sample"/pages/q1*.txt
banks=("$sample" "${sources[@]:1}")
rtf_seeds=("$source_dir"/tests/fuzz/seeds/rtf/*)
for bank in "${banks[@]}"; do
  name="$(basename "$bank")"
  settings="$bank/settings.txt"

  # The question list, after the settings and a zero byte.
  list="$work/$name-list.txt"
  : > "$list"
  n=0
  for page in "$bank"/pages/q*.txt; do
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
    # A timed test's record after the list.
    printf '<testTiming><timeLimitMinutes>30</timeLimitMinutes><extraTimePercent>25</extraTimePercent>'
    printf '<secondsAllowed>2250</secondsAllowed><secondsUsed>%d</secondsUsed>' "${#name}"
    printf '<secondsNotRunning>12</secondsNotRunning><timeRanOut>0</timeRanOut></testTiming>'
  } > "$out/results_file/$name.txt"
  for t in results_read results_table verify; do
    cp "$out/results_file/$name.txt" "$out/$t/$name.txt"
  done

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

# The item analysis reads results contents too.
cp "$out/results_file"/* "$out/item_analysis/" 2>/dev/null || true

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

# Question sources for the importer: the test examples, one file each.
cp "$source_dir"/tests/data/import/*.gift "$out/import_gift/"
cp "$source_dir"/tests/data/import/moodle-*.xml "$out/import_moodle/"
cp "$source_dir"/tests/data/import/qti/*.xml "$source_dir"/tests/data/import/*.zip "$out/import_qti/"

for t in "${targets[@]}"; do
  printf '%-16s %4d seeds\n' "$t" "$(find "$out/$t" -type f | wc -l)"
done
