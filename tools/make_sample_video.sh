#!/bin/sh
# Makes the small media files of the sample bank's feedback pages with
# GStreamer (package gstreamer1.0-tools):
#   orbit.avi  2 seconds of a moving ball, 80 x 60, Motion JPEG in AVI
#   chime.wav  a short 660 Hz tone, 8 kHz mono 8-bit PCM
# Usage: tools/make_sample_video.sh [OUTPUT_DIR]
# (default: examples/sample-bank/media beside this script's folder).
# The output is the same on every run.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here/../examples/sample-bank/media}
mkdir -p "$out"

gst-launch-1.0 -q videotestsrc num-buffers=10 pattern=ball \
  ! video/x-raw,width=80,height=60,framerate=5/1 \
  ! jpegenc quality=40 ! avimux ! filesink location="$out/orbit.avi.part"
mv "$out/orbit.avi.part" "$out/orbit.avi"

gst-launch-1.0 -q audiotestsrc num-buffers=3 samplesperbuffer=800 freq=660 volume=0.4 \
  ! audio/x-raw,format=U8,rate=8000,channels=1 \
  ! wavenc ! filesink location="$out/chime.wav.part"
mv "$out/chime.wav.part" "$out/chime.wav"
