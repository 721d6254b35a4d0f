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


TRUE_GREEN = (30, 150, 60)
FALSE_RED = (200, 50, 40)
PANEL = (235, 235, 235)


def letter_t(x, y, ox):
    return near_segment(x, y, ox + 15, 8, ox + 35, 8, 1.6) or near_segment(x, y, ox + 25, 8, ox + 25, 23, 1.6)


def letter_f(x, y, ox):
    return (near_segment(x, y, ox + 18, 8, ox + 18, 23, 1.6) or near_segment(x, y, ox + 18, 8, ox + 33, 8, 1.6)
            or near_segment(x, y, ox + 18, 15, ox + 29, 15, 1.6))


def true_false(left_fill=None, right_fill=None, frame=None, left_frame=None, right_frame=None):
    """A 100 x 30 true/false picture: "T" on the left half, "F" on the right.
    Overlay pictures (every one but the base) are magenta where they leave
    the base picture showing."""
    base = left_fill is None and right_fill is None and frame is None and left_frame is None and right_frame is None

    def pixel(x, y):
        left = x < 50
        fill = left_fill if left else right_fill
        half_frame = left_frame if left else right_frame
        edge = x in (0, 99) or y in (0, 29)
        half_edge = edge or x in (49, 50)
        if frame is not None and edge:
            return frame
        if half_frame is not None and half_edge:
            return half_frame
        if fill is not None:
            glyph = letter_t(x, y, 0) if left else letter_f(x, y, 50)
            return WHITE if glyph else fill
        if base:
            if edge or x in (49, 50):
                return (120, 120, 120)
            if letter_t(x, y, 0):
                return TRUE_GREEN
            if letter_f(x, y, 50):
                return FALSE_RED
            return PANEL
        return MAGENTA
    return pixel


def small_sun(glow):
    def pixel(x, y):
        if inside_circle(x, y, 20, 20, 12):
            return (255, 210, 0)
        if glow is not None and inside_circle(x, y, 20, 20, 18):
            return glow
        return (32, 32, 64)  # the page colour of the question it is used on
    return pixel


def stars(x, y):
    # A tile of night sky with a few stars; tiles seamlessly.
    for sx, sy in ((3, 5), (17, 2), (26, 13), (9, 20), (22, 27), (13, 11)):
        if (x - sx) ** 2 + (y - sy) ** 2 <= 1:
            return (255, 255, 230)
    return (16, 20, 48)


def comet(x, y):
    if inside_circle(x, y, 48, 12, 7):
        return (235, 245, 255)
    if near_segment(x, y, 4, 34, 44, 15, 3 - x // 25):
        return (150, 190, 255)
    return (16, 20, 48)


def start_button(fill, rim):
    def pixel(x, y):
        if x < 2 or y < 2 or x > 117 or y > 37:
            return rim
        # A "play" triangle pointing right.
        if 48 <= x <= 72 and abs(y - 20) * 2 <= 72 - x:
            return (255, 255, 255)
        return fill
    return pixel


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
    # True/false buttons: base, pointer over, pointer over the false half,
    # true, false, true with the pointer over the false half, false with
    # the pointer over the true half.
    write_bmp(os.path.join(target, "tf-base.bmp"), 100, 30, true_false())
    write_bmp(os.path.join(target, "tf-over.bmp"), 100, 30, true_false(frame=(0, 120, 215)))
    write_bmp(os.path.join(target, "tf-over-false.bmp"), 100, 30, true_false(right_frame=FALSE_RED))
    write_bmp(os.path.join(target, "tf-true.bmp"), 100, 30, true_false(left_fill=TRUE_GREEN))
    write_bmp(os.path.join(target, "tf-false.bmp"), 100, 30, true_false(right_fill=FALSE_RED))
    write_bmp(os.path.join(target, "tf-true-over-false.bmp"), 100, 30,
              true_false(left_fill=TRUE_GREEN, right_frame=FALSE_RED))
    write_bmp(os.path.join(target, "tf-false-over-true.bmp"), 100, 30,
              true_false(right_fill=FALSE_RED, left_frame=TRUE_GREEN))
    # A draggable Sun: normal, pointer over, being dragged.
    write_bmp(os.path.join(target, "drag-sun.bmp"), 40, 40, small_sun(None))
    write_bmp(os.path.join(target, "drag-sun-over.bmp"), 40, 40, small_sun((255, 240, 150)))
    write_bmp(os.path.join(target, "drag-sun-down.bmp"), 40, 40, small_sun((255, 150, 0)))
    # Backgrounds: a tile of night sky and a comet for the corners.
    write_bmp(os.path.join(target, "stars.bmp"), 32, 32, stars)
    write_bmp(os.path.join(target, "comet.bmp"), 60, 40, comet)
    # The picture that starts the test: normal, pointer over, pressed.
    write_bmp(os.path.join(target, "start.bmp"), 120, 40, start_button((40, 150, 60), (20, 90, 30)))
    write_bmp(os.path.join(target, "start-over.bmp"), 120, 40, start_button((60, 180, 80), (255, 210, 0)))
    write_bmp(os.path.join(target, "start-down.bmp"), 120, 40, start_button((20, 110, 40), (255, 210, 0)))


if __name__ == "__main__":
    main()
