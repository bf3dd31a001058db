#!/usr/bin/env python3
"""Draws Pendrax's icons and writes them as .ico files.

usage: make_icons.py OUTPUT-FOLDER

Each picture is a list of shapes in a unit square, painted in order; each
icon gets a 32 x 32 and a 16 x 16 image in the 16 standard colours, with
everything outside the shapes transparent. A shape's edge gets its outline
colour where the pixel beside it lies outside the picture or in another
shape.
"""
import math
import os
import struct
import sys

# The 16 colours of the standard palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, TEAL, SILVER, GREY, YELLOW, WHITE = 0, 6, 7, 8, 11, 15


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, inner, outer):
    return lambda x, y: inner * inner <= (x - cx) ** 2 + (y - cy) ** 2 <= outer * outer


def rect(left, top, right, bottom):
    return lambda x, y: left <= x <= right and top <= y <= bottom


def trapezoid(top, bottom, top_half_width, bottom_half_width, cx=0.5):
    def inside(x, y):
        if not top <= y <= bottom:
            return False
        t = (y - top) / (bottom - top)
        return abs(x - cx) <= top_half_width + t * (bottom_half_width - top_half_width)
    return inside


def stripes(left, top, right, bottom, count):
    """Every other band of a rectangle cut into count horizontal bands."""
    def inside(x, y):
        if not (left <= x <= right and top <= y <= bottom):
            return False
        return int((y - top) / (bottom - top) * count) % 2 == 1
    return inside


# Each shape: (test, fill colour, outline colour or None).
def bulb(glass):
    return [
        (circle(0.5, 0.37, 0.31), glass, BLACK),
        (trapezoid(0.58, 0.72, 0.17, 0.13), glass, BLACK),
        (rect(0.36, 0.72, 0.64, 0.88), SILVER, BLACK),
        (stripes(0.36, 0.72, 0.64, 0.88, 4), GREY, None),
        (rect(0.43, 0.88, 0.57, 0.95), BLACK, None),
    ]


DISK = [
    (circle(0.5, 0.5, 0.46), SILVER, GREY),
    (ring(0.5, 0.5, 0.16, 0.30), TEAL, None),
    (circle(0.5, 0.5, 0.09), GREY, None),
    (rect(0.45, 0.34, 0.55, 0.66), BLACK, None),
    (rect(0.34, 0.45, 0.66, 0.55), BLACK, None),
]

ICONS = {
    "disk.ico": DISK,
    "bulb_unlit.ico": bulb(WHITE),
    "bulb_lit.ico": bulb(YELLOW),
}


def rasterise(shapes, size):
    """Rows of colour indices, None where transparent, top row first."""
    owner = [[None] * size for _ in range(size)]
    for row in range(size):
        for col in range(size):
            x, y = (col + 0.5) / size, (row + 0.5) / size
            for index, (inside, _, _) in enumerate(shapes):
                if inside(x, y):
                    owner[row][col] = index
    pixels = [[None] * size for _ in range(size)]
    for row in range(size):
        for col in range(size):
            index = owner[row][col]
            if index is None:
                continue
            _, fill, outline = shapes[index]
            on_edge = False
            for dr, dc in ((-1, 0), (1, 0), (0, -1), (0, 1)):
                r, c = row + dr, col + dc
                beside = owner[r][c] if 0 <= r < size and 0 <= c < size else None
                if beside is None or (beside != index and shapes[beside][2] is None
                                      and outline is not None and beside < index):
                    on_edge = True
            pixels[row][col] = outline if on_edge and outline is not None else fill
    return pixels


def padded(row_bytes):
    return row_bytes + b"\0" * (-len(row_bytes) % 4)


def image_bytes(pixels):
    """A 4-bit DIB with its AND mask, as an .ico file stores it."""
    size = len(pixels)
    colour_rows, mask_rows = [], []
    for row in reversed(pixels):  # bottom-up
        nibbles = [p if p is not None else 0 for p in row]
        colour_rows.append(padded(bytes((nibbles[i] << 4) | nibbles[i + 1]
                                        for i in range(0, size, 2))))
        bits = [1 if p is None else 0 for p in row]
        mask_rows.append(padded(bytes(int("".join(map(str, bits[i:i + 8])), 2)
                                      for i in range(0, size, 8))))
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + b"".join(colour_rows) + b"".join(mask_rows)


def ico_file(shapes):
    images = [image_bytes(rasterise(shapes, size)) for size in (32, 16)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip((32, 16), images):
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    os.makedirs(sys.argv[1], exist_ok=True)
    for name, shapes in ICONS.items():
        with open(os.path.join(sys.argv[1], name), "wb") as out:
            out.write(ico_file(shapes))


if __name__ == "__main__":
    main()
