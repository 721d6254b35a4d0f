#!/usr/bin/env bash
# Writes the desktop entry for a program at PROGRAM (any path) to standard
# output: @ZXEXAM@ in TEMPLATE becomes PROGRAM as one quoted argument of
# Exec, escaped as desktop entries want it.
#   tools/desktop_entry.sh app/desktop/zxexam.desktop.in "$PWD/build/zxexam"
set -euo pipefail
if [ "$#" -ne 2 ]; then
  echo "usage: $0 TEMPLATE PROGRAM" >&2
  exit 2
fi
template="$1"
program="$2"
case "$program" in
  *$'\n'* | *$'\r'*)
    echo "$0: a program path with a line break cannot stand in a desktop entry" >&2
    exit 1
    ;;
esac

# Inside the quotes ", `, $ and \ take a backslash and % is doubled (Exec's
# own rules); then every backslash is doubled again (the rule of all
# string values, applied to the file before Exec's).
quoted='"'
for ((i = 0; i < ${#program}; i++)); do
  c="${program:i:1}"
  case "$c" in
    '"' | '`' | '$' | '\') quoted+="\\$c" ;;
    '%') quoted+='%%' ;;
    *) quoted+="$c" ;;
  esac
done
quoted+='"'
exec_value="${quoted//\\/\\\\}"

while IFS= read -r line || [ -n "$line" ]; do
  if [[ "$line" == *@ZXEXAM@* ]]; then
    printf '%s%s%s\n' "${line%%@ZXEXAM@*}" "$exec_value" "${line#*@ZXEXAM@}"
  else
    printf '%s\n' "$line"
  fi
done < "$template"
