#!/usr/bin/env bash
# The per-user desktop entry of `./setup.sh install` for a program whose
# path holds every character Exec treats specially: the entry validates
# and its Exec line is escaped as desktop entries want it.
#   tests/package/check_desktop_entry.sh SOURCE_DIR
set -euo pipefail
source_dir="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
program='/opt/my exams & more/100%/"quoted"/$HOME/back\slash/`tick`#1/zxexam'
"$source_dir/tools/desktop_entry.sh" "$source_dir/app/desktop/zxexam.desktop.in" "$program" > "$work/zxexam.desktop"
expected='Exec="/opt/my exams & more/100%%/\\"quoted\\"/\\$HOME/back\\\\slash/\\`tick\\`#1/zxexam" openShellCall %f'
actual="$(grep '^Exec=' "$work/zxexam.desktop")"
if [ "$actual" != "$expected" ]; then
  printf 'FAIL: Exec line\n  got:  %s\n  want: %s\n' "$actual" "$expected" >&2
  exit 1
fi
[ "$(grep -c . "$work/zxexam.desktop")" = "$(grep -c . "$source_dir/app/desktop/zxexam.desktop.in")" ] \
  || { echo "FAIL: lines lost" >&2; exit 1; }
if command -v desktop-file-validate > /dev/null; then
  desktop-file-validate "$work/zxexam.desktop"
fi
"$source_dir/tools/desktop_entry.sh" "$source_dir/app/desktop/zxexam.desktop.in" $'/a\nb' > /dev/null 2>&1 \
  && { echo "FAIL: a line break was written into Exec" >&2; exit 1; }
echo "desktop entry: Exec escaped"
