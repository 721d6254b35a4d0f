#!/usr/bin/env python3
"""Draws the pictures of the sample bank as 24-bit BMP files.

Usage: tools/make_sample_media.py [OUTPUT_DIR]
(default: examples/sample-bank/media beside this script's folder)

Only the standard library is used; the output is the same on every run.
"""

import math
import os
import struct
import sys


def write_bmp(path, width, height, pixel):
    """pixel(x, y) -> (r, g, b), y counted from the top."""
    row_size = (width * 3 + 3) & ~3
    image = bytearray()
    for y in range(height - 1, -1, -1):  # BMP rows run bottom-up
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (row_size - len(row))
        image += row
    header = struct.pack("<2sIHHI", b"BM", 54 + len(image), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(image), 2835, 2835, 0, 0)
    with open(path, "wb") as out:
        out.write(header + info + image)


def inside_circle(x, y, cx, cy, radius):
    return (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= radius * radius


def near_segment(x, y, x0, y0, x1, y1, half_width):
    px, py = x + 0.5, y + 0.5
    dx, dy = x1 - x0, y1 - y0
    t = max(0.0, min(1.0, ((px - x0) * dx + (py - y0) * dy) / (dx * dx + dy * dy)))
    qx, qy = x0 + t * dx, y0 + t * dy
    return (px - qx) ** 2 + (py - qy) ** 2 <= half_width * half_width


WHITE = (255, 255, 255)
MAGENTA = (255, 0, 255)  # the transparent colour of bitmaps drawn transparent


def tick(x, y):
    if near_segment(x, y, 4, 13, 10, 20, 2.2) or near_segment(x, y, 10, 20, 21, 5, 2.2):
        return (0, 150, 0)
    return MAGENTA


def cross(x, y):
    if near_segment(x, y, 5, 5, 19, 19, 2.2) or near_segment(x, y, 19, 5, 5, 19, 2.2):
        return (200, 0, 0)
    return MAGENTA


def choice(fill, ring):
    def pixel(x, y):
        if inside_circle(x, y, 12, 12, 6) and fill is not None:
            return fill
        if inside_circle(x, y, 12, 12, 10) and not inside_circle(x, y, 12, 12, 8):
            return ring
        if inside_circle(x, y, 12, 12, 8):
            return WHITE
        return MAGENTA
    return pixel


def sun(x, y):
    if inside_circle(x, y, 60, 45, 22):
        return (255, 210, 0)
    angle = math.atan2(y + 0.5 - 45, x + 0.5 - 60)
    distance = math.hypot(x + 0.5 - 60, y + 0.5 - 45)
    if 26 <= distance <= 36 and (angle * 12 / math.pi) % 2 < 0.6:
        return (255, 170, 0)
    return (135, 200, 250)


def planets(x, y):
    if y >= 70:
        return (20, 20, 60)
    if inside_circle(x, y, 30, 35, 18):
        return (210, 120, 60)
    if inside_circle(x, y, 90, 35, 12):
        return (70, 130, 220)
    if near_segment(x, y, 64, 36, 116, 34, 1.2) and not inside_circle(x, y, 90, 35, 12):
        return (200, 200, 160)
    return (10, 10, 40) if (x * 7 + y * 13) % 97 else WHITE


def banner(x, y):
    stripe = (y // 10) % 2
    return (40, 90, 160) if stripe == 0 else (60, 120, 200)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "examples", "sample-bank", "media")
    os.makedirs(target, exist_ok=True)
    write_bmp(os.path.join(target, "tick.bmp"), 24, 24, tick)
    write_bmp(os.path.join(target, "cross.bmp"), 24, 24, cross)
    write_bmp(os.path.join(target, "choice-normal.bmp"), 24, 24, choice(None, (90, 90, 90)))
    write_bmp(os.path.join(target, "choice-over.bmp"), 24, 24, choice(None, (0, 120, 215)))
    write_bmp(os.path.join(target, "choice-selected.bmp"), 24, 24, choice((0, 120, 215), (0, 120, 215)))
    write_bmp(os.path.join(target, "sun.bmp"), 120, 90, sun)
    write_bmp(os.path.join(target, "planets.bmp"), 128, 80, planets)
    write_bmp(os.path.join(target, "banner.bmp"), 160, 40, banner)


if __name__ == "__main__":
    main()
