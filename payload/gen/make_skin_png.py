#!/usr/bin/env python3
"""Draws a toolbar skin: one row of square buttons, `size` pixels high, as an
8-bit RGBA PNG. The button count must match the skin's description file
(its [Info] Buttons key), which the caller passes in."""

import struct
import sys
import zlib

from pixels import MOTIFS, Canvas, Cell, draw_motif

# Background and ink colours of the two skins: a warm parchment and a cool grey.
PALETTES = {
    "vellum": ((238, 226, 196, 255), (96, 64, 32, 255)),
    "quarto": ((214, 220, 228, 255), (40, 56, 80, 255)),
}


def png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def encode_png(canvas):
    raw = bytearray()
    for row in canvas.rows():
        raw.append(0)  # filter type None
        for pixel in row:
            raw.extend(pixel)
    header = struct.pack(">IIBBBBB", canvas.width, canvas.height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header)
            + png_chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + png_chunk(b"IEND", b""))


def main(target, palette, size, buttons):
    colour, ink = PALETTES[palette]
    canvas = Canvas(size * buttons, size)
    for index in range(buttons):
        draw_motif(Cell(canvas, index * size, size), MOTIFS[index % len(MOTIFS)], colour, ink)
    with open(target, "wb") as f:
        f.write(encode_png(canvas))


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit("usage: make_skin_png.py TARGET PALETTE SIZE BUTTONS")
    main(sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4]))
