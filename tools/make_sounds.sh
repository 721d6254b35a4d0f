#!/bin/sh
# Speaks the texts written by zxlangtext into WAV files for the sound
# folder: for every TEXTDIR/<key>.txt, OUTDIR/<key>.wav, redone only when
# the text is newer than the sound.  Sounds without a text are removed.
# Usage: make_sounds.sh ESPEAK VOICE TEXTDIR OUTDIR
set -eu
espeak=$1
voice=$2
textdir=$3
outdir=$4
mkdir -p "$outdir"

for wav in "$outdir"/*.wav; do
  [ -e "$wav" ] || continue
  key=$(basename "$wav" .wav)
  [ -e "$textdir/$key.txt" ] || rm -f "$wav"
done

todo=""
for txt in "$textdir"/*.txt; do
  [ -e "$txt" ] || continue
  key=$(basename "$txt" .txt)
  wav="$outdir/$key.wav"
  if [ ! -e "$wav" ] || [ "$txt" -nt "$wav" ]; then
    todo="$todo $key"
  fi
done

# Two at a time; each espeak-ng call writes its sound through a temporary
# name so an interrupted build never leaves half a sound behind.  A sound
# that cannot be made is only reported: the program runs without it.
for key in $todo; do echo "$key"; done |
  xargs -r -P 2 -I KEY sh -c '
    "$0" -v "$1" -w "$3/KEY.wav.part" -f "$2/KEY.txt" && mv -f "$3/KEY.wav.part" "$3/KEY.wav"
  ' "$espeak" "$voice" "$textdir" "$outdir" ||
  echo "make_sounds.sh: some message sounds could not be made" >&2
rm -f "$outdir"/*.wav.part
