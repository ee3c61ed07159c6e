#!/usr/bin/env python3
"""Draws Vantoc's digit strip, bitmap 102: 13 cells of 63 x 112 pixels side by
side (digits 0-9, decimal point, minus, blank), dark seven-segment glyphs on a
light grey ground with the unlit segments faintly visible.

Standard library only, so it runs anywhere; the output is byte-for-byte
repeatable. Usage: digit_strip.py [OUTPUT.png] (default: ../bitmaps/102.png).
"""

import os
import struct
import sys
import zlib

CELL_W, CELL_H, CELLS = 63, 112, 13

GROUND = (200, 202, 198)
LIT = (28, 30, 34)
UNLIT = (185, 187, 183)

THICK = 9.0      # segment thickness
GAP = 1.5        # space between neighbouring segments
SLANT = 0.07     # italic shear: x shift per pixel above the middle
SUB = 4          # supersampling per axis for smooth edges

LEFT, RIGHT = 13.5, 49.5          # centre lines of the vertical segments
TOP, MIDDLE, BOTTOM = 12.5, 56.0, 99.5  # centre lines of the horizontal ones

# Segments lit per digit, in the usual a..g naming.
DIGIT_SEGMENTS = {
    0: "abcdef", 1: "bc", 2: "abged", 3: "abgcd", 4: "fgbc",
    5: "afgcd", 6: "afgedc", 7: "abc", 8: "abcdefg", 9: "abcdfg",
}


def horizontal(x0, x1, y):
    h = THICK / 2
    x0 += GAP
    x1 -= GAP
    return [(x0, y), (x0 + h, y - h), (x1 - h, y - h), (x1, y), (x1 - h, y + h), (x0 + h, y + h)]


def vertical(x, y0, y1):
    h = THICK / 2
    y0 += GAP
    y1 -= GAP
    return [(x, y0), (x + h, y0 + h), (x + h, y1 - h), (x, y1), (x - h, y1 - h), (x - h, y0 + h)]


def sheared(poly):
    return [(x + (MIDDLE - y) * SLANT, y) for x, y in poly]


SEGMENTS = {
    "a": sheared(horizontal(LEFT, RIGHT, TOP)),
    "g": sheared(horizontal(LEFT, RIGHT, MIDDLE)),
    "d": sheared(horizontal(LEFT, RIGHT, BOTTOM)),
    "f": sheared(vertical(LEFT, TOP, MIDDLE)),
    "b": sheared(vertical(RIGHT, TOP, MIDDLE)),
    "e": sheared(vertical(LEFT, MIDDLE, BOTTOM)),
    "c": sheared(vertical(RIGHT, MIDDLE, BOTTOM)),
}

DOT_CENTRE = (CELL_W / 2 - (BOTTOM - MIDDLE) * SLANT, BOTTOM - 1.0)
DOT_RADIUS = 6.5


def inside_convex(poly, px, py):
    sign = 0
    n = len(poly)
    for i in range(n):
        x0, y0 = poly[i]
        x1, y1 = poly[(i + 1) % n]
        cross = (x1 - x0) * (py - y0) - (y1 - y0) * (px - x0)
        if cross != 0:
            s = 1 if cross > 0 else -1
            if sign == 0:
                sign = s
            elif s != sign:
                return False
    return True


def inside_dot(px, py):
    dx, dy = px - DOT_CENTRE[0], py - DOT_CENTRE[1]
    return dx * dx + dy * dy <= DOT_RADIUS * DOT_RADIUS


def coverage(test):
    """Fraction of each pixel of one cell covered by a shape, as a flat list."""
    cov = []
    for y in range(CELL_H):
        for x in range(CELL_W):
            hits = 0
            for sy in range(SUB):
                for sx in range(SUB):
                    if test(x + (sx + 0.5) / SUB, y + (sy + 0.5) / SUB):
                        hits += 1
            cov.append(hits / (SUB * SUB))
    return cov


def blend(under, over, amount):
    return tuple(round(u + (o - u) * amount) for u, o in zip(under, over))


def draw_cell(layers, masks):
    """layers: list of (shape name, colour); later layers paint over earlier ones."""
    pixels = [GROUND] * (CELL_W * CELL_H)
    for name, colour in layers:
        mask = masks[name]
        pixels = [blend(p, colour, m) if m else p for p, m in zip(pixels, mask)]
    return pixels


def cell_layers(index):
    if index <= 9:
        lit = DIGIT_SEGMENTS[index]
        return [(s, LIT if s in lit else UNLIT) for s in "abcdefg"]
    if index == 10:
        return [("dot", LIT)]
    if index == 11:
        return [(s, LIT if s == "g" else UNLIT) for s in "abcdefg"]
    return [(s, UNLIT) for s in "abcdefg"]


def png(width, height, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = b"".join(b"\x00" + bytes(v for px in row for v in px) for row in rows)
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "bitmaps", "102.png")
    masks = {name: coverage(lambda x, y, p=poly: inside_convex(p, x, y)) for name, poly in SEGMENTS.items()}
    masks["dot"] = coverage(inside_dot)
    cells = [draw_cell(cell_layers(i), masks) for i in range(CELLS)]
    rows = []
    for y in range(CELL_H):
        row = []
        for cell in cells:
            row.extend(cell[y * CELL_W:(y + 1) * CELL_W])
        rows.append(row)
    tmp = out + ".tmp"
    with open(tmp, "wb") as f:
        f.write(png(CELL_W * CELLS, CELL_H, rows))
    os.replace(tmp, out)


if __name__ == "__main__":
    main()
