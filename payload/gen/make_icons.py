#!/usr/bin/env python3
"""Writes the viewer's icons, one .ico file per icon (each with a 32 and a
16 pixel image, 32-bit colour with an AND mask, the form every Windows
version reads). The order is the icon index the shell sees: 0 is the
viewer's and the image types' icon, 7 the thumbnails links', 8 audio's and
9 video's."""

import os
import struct
import sys

from pixels import Canvas, Cell, draw_motif

ICONS = (
    ("landscape", (90, 150, 220, 255)),
    ("frame", (200, 120, 60, 255)),
    ("disc", (120, 180, 90, 255)),
    ("plus", (180, 90, 160, 255)),
    ("left", (220, 190, 70, 255)),
    ("right", (70, 170, 170, 255)),
    ("minus", (160, 160, 160, 255)),
    ("grid", (70, 110, 200, 255)),
    ("note", (220, 110, 110, 255)),
    ("film", (110, 90, 170, 255)),
)
INK = (24, 24, 40, 255)
SIZES = (32, 16)


def icon_image(motif, colour, size):
    canvas = Canvas(size, size)
    draw_motif(Cell(canvas, 0, size), motif, colour, INK)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour_rows = bytearray()
    for row in reversed(list(canvas.rows())):  # bottom-up
        for r, g, b, a in row:
            colour_rows += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask_rows = bytearray()
    for row in reversed(list(canvas.rows())):
        bits = bytearray(mask_stride)
        for x, pixel in enumerate(row):
            if pixel[3] == 0:  # transparent: screen shows through
                bits[x // 8] |= 0x80 >> (x % 8)
        mask_rows += bits
    return header + colour_rows + mask_rows


def ico_file(motif, colour):
    images = [icon_image(motif, colour, size) for size in SIZES]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(SIZES, images):
        directory += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return directory + b"".join(images)


def main(folder):
    os.makedirs(folder, exist_ok=True)
    for index, (motif, colour) in enumerate(ICONS):
        with open(os.path.join(folder, f"icon{index}.ico"), "wb") as f:
            f.write(ico_file(motif, colour))


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: make_icons.py FOLDER")
    main(sys.argv[1])
