#!/usr/bin/env python3
"""Renders an HTML page in headless Chromium and checks the screenshot.

    page_renders.py PAGE.html SCREENSHOT.png COLOUR [COLOUR...]

Each COLOUR (#rrggbb) must cover at least 200 pixels of the screenshot: the
charts are drawn in their own colours, so a page whose inline SVG does not
render fails.  Exit 0 when all are there, 1 when one is missing, 2 when the
browser cannot be run.
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib


def browser():
    for name in ("chromium", "chromium-browser", "google-chrome"):
        found = shutil.which(name)
        if found:
            return found
    return None


def decode_png(data):
    """(width, height, rows of RGB tuples) of an 8-bit RGB or RGBA PNG."""
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG")
    pos, idat, width, height, colour_type = 8, b"", 0, 0, 0
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour_type, _, _, interlace = struct.unpack(">IIBBBBB", body)
            if depth != 8 or colour_type not in (2, 6) or interlace:
                raise ValueError("unexpected PNG layout")
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    channels = 4 if colour_type == 6 else 3
    raw = zlib.decompress(idat)
    stride = width * channels
    previous = bytearray(stride)
    rows = []
    at = 0
    for _ in range(height):
        kind = raw[at]
        line = bytearray(raw[at + 1:at + 1 + stride])
        at += 1 + stride
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up = previous[i]
            corner = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + left) & 255
            elif kind == 2:
                line[i] = (line[i] + up) & 255
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                pred = left if pa <= pb and pa <= pc else up if pb <= pc else corner
                line[i] = (line[i] + pred) & 255
        rows.append(line)
        previous = line
    return width, height, rows, channels


def main():
    if len(sys.argv) < 4:
        print(__doc__, file=sys.stderr)
        return 2
    page, shot, colours = sys.argv[1], sys.argv[2], sys.argv[3:]
    program = browser()
    if not program:
        print("no Chromium found", file=sys.stderr)
        return 2
    with tempfile.TemporaryDirectory() as profile:
        command = [program, "--headless", "--no-sandbox", "--disable-gpu", "--hide-scrollbars",
                   "--user-data-dir=" + profile, "--window-size=1000,2600",
                   "--screenshot=" + os.path.abspath(shot), "file://" + os.path.abspath(page)]
        done = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, timeout=120)
    if done.returncode != 0 or not os.path.exists(shot):
        print("Chromium failed: " + done.stderr.decode(errors="replace")[-2000:], file=sys.stderr)
        return 2
    with open(shot, "rb") as f:
        width, height, rows, channels = decode_png(f.read())
    wanted = {tuple(int(c[k:k + 2], 16) for k in (1, 3, 5)): c for c in colours}
    counts = {c: 0 for c in colours}
    for line in rows:
        for x in range(0, width * channels, channels):
            name = wanted.get((line[x], line[x + 1], line[x + 2]))
            if name:
                counts[name] += 1
    missing = [c for c in colours if counts[c] < 200]
    print("%dx%d screenshot; pixels per colour: %s" % (width, height, counts))
    if missing:
        print("not drawn: " + ", ".join(missing), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
