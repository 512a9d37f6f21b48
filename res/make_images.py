#!/usr/bin/env python3
"""Draws the setup's own bitmaps and icons (standard library only).

Usage: make_images.py OUTPUT_DIR

Bitmaps are 8 bits per pixel with a 256-entry palette, uncompressed; icons
hold one image each (32x32 in 16 colours, 16x16 in 256 colours, 16x16 in
24-bit colour). Shapes are drawn with 4x4 supersampling and then reduced
to the image's palette.
"""

import math
import os
import struct
import sys

SUPERSAMPLE = 4


class Canvas:
    """An RGBA picture with float channels; shapes are blended by coverage."""

    def __init__(self, width, height, background=None):
        self.width = width
        self.height = height
        fill = (0.0, 0.0, 0.0, 0.0) if background is None else tuple(map(float, background)) + (1.0,)
        self.pixels = [list(fill) for _ in range(width * height)]

    def blend(self, x, y, colour, coverage):
        if coverage <= 0.0 or not (0 <= x < self.width and 0 <= y < self.height):
            return
        p = self.pixels[y * self.width + x]
        a = coverage
        out_a = a + p[3] * (1.0 - a)
        for i in range(3):
            p[i] = (colour[i] * a + p[i] * p[3] * (1.0 - a)) / out_a if out_a else 0.0
        p[3] = out_a

    def fill(self, inside, colour, box):
        """Blends `colour` where inside(x, y) holds, within box (x0, y0, x1, y1)."""
        x0, y0, x1, y1 = box
        x0, y0 = max(0, int(math.floor(x0))), max(0, int(math.floor(y0)))
        x1, y1 = min(self.width, int(math.ceil(x1))), min(self.height, int(math.ceil(y1)))
        step = 1.0 / SUPERSAMPLE
        offsets = [(i + 0.5) * step for i in range(SUPERSAMPLE)]
        total = SUPERSAMPLE * SUPERSAMPLE
        for y in range(y0, y1):
            for x in range(x0, x1):
                hits = 0
                for oy in offsets:
                    for ox in offsets:
                        if inside(x + ox, y + oy):
                            hits += 1
                if hits:
                    self.blend(x, y, colour, hits / total)

    # Shapes ---------------------------------------------------------------

    def rect(self, x, y, w, h, colour):
        self.fill(lambda px, py: x <= px < x + w and y <= py < y + h, colour, (x, y, x + w, y + h))

    def rounded_rect(self, x, y, w, h, r, colour):
        def inside(px, py):
            if not (x <= px < x + w and y <= py < y + h):
                return False
            cx = min(max(px, x + r), x + w - r)
            cy = min(max(py, y + r), y + h - r)
            return (px - cx) ** 2 + (py - cy) ** 2 <= r * r
        self.fill(inside, colour, (x, y, x + w, y + h))

    def frame(self, x, y, w, h, colour, t=1):
        self.rect(x, y, w, t, colour)
        self.rect(x, y + h - t, w, t, colour)
        self.rect(x, y, t, h, colour)
        self.rect(x + w - t, y, t, h, colour)

    def vertical_gradient(self, x, y, w, h, top, bottom):
        for row in range(h):
            f = row / max(1, h - 1)
            colour = tuple(top[i] + (bottom[i] - top[i]) * f for i in range(3))
            self.rect(x, y + row, w, 1, colour)

    def ellipse(self, cx, cy, rx, ry, colour):
        self.fill(lambda px, py: ((px - cx) / rx) ** 2 + ((py - cy) / ry) ** 2 <= 1.0,
                  colour, (cx - rx, cy - ry, cx + rx, cy + ry))

    def circle(self, cx, cy, r, colour):
        self.ellipse(cx, cy, r, r, colour)

    def ring(self, cx, cy, r, width, colour):
        inner = r - width
        self.fill(lambda px, py: inner * inner <= (px - cx) ** 2 + (py - cy) ** 2 <= r * r,
                  colour, (cx - r, cy - r, cx + r, cy + r))

    def polygon(self, points, colour):
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]

        def inside(px, py):
            result = False
            j = len(points) - 1
            for i in range(len(points)):
                xi, yi = points[i]
                xj, yj = points[j]
                if (yi > py) != (yj > py) and px < (xj - xi) * (py - yi) / (yj - yi) + xi:
                    result = not result
                j = i
            return result
        self.fill(inside, colour, (min(xs), min(ys), max(xs), max(ys)))

    def line(self, x0, y0, x1, y1, width, colour):
        """A stroke with round caps."""
        half = width / 2.0
        dx, dy = x1 - x0, y1 - y0
        length2 = dx * dx + dy * dy

        def inside(px, py):
            t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((px - x0) * dx + (py - y0) * dy) / length2))
            qx, qy = x0 + t * dx, y0 + t * dy
            return (px - qx) ** 2 + (py - qy) ** 2 <= half * half
        self.fill(inside, colour, (min(x0, x1) - half, min(y0, y1) - half,
                                   max(x0, x1) + half, max(y0, y1) + half))

    def polyline(self, points, width, colour):
        for a, b in zip(points, points[1:]):
            self.line(a[0], a[1], b[0], b[1], width, colour)

    def arc(self, cx, cy, rx, ry, start_deg, end_deg, width, colour, steps=24):
        points = []
        for i in range(steps + 1):
            angle = math.radians(start_deg + (end_deg - start_deg) * i / steps)
            points.append((cx + rx * math.cos(angle), cy - ry * math.sin(angle)))
        self.polyline(points, width, colour)

    def text_lines(self, x, y, widths, colour, height=2, gap=4):
        """Grey bars standing in for lines of text."""
        for i, w in enumerate(widths):
            self.rect(x, y + i * (height + gap), w, height, colour)

    # Output ---------------------------------------------------------------

    def over(self, background):
        """The picture flattened onto an opaque background colour."""
        out = []
        for r, g, b, a in self.pixels:
            out.append(tuple(int(round(c * a + background[i] * (1.0 - a))) for i, c in enumerate((r, g, b))))
        return out

    def mask(self):
        """True where the pixel is transparent (coverage below one half)."""
        return [p[3] < 0.5 for p in self.pixels]


# Lettering: "Tessolo" in strokes on a 10-unit em (cap height 10, x-height 7).

def draw_word(canvas, word, x, y, size, weight, colour):
    scale = size / 10.0

    def at(px, py):
        return (x + px * scale, y + py * scale)

    w = weight
    pen = x
    for ch in word:
        ox = (pen - x) / scale
        if ch == 'T':
            canvas.line(*at(ox, 0.5), *at(ox + 6.5, 0.5), w, colour)
            canvas.line(*at(ox + 3.25, 0.5), *at(ox + 3.25, 10), w, colour)
            advance = 7.5
        elif ch == 'e':
            cx, cy = at(ox + 3.0, 6.5)
            canvas.line(*at(ox + 0.3, 6.5), *at(ox + 5.7, 6.5), w, colour)
            canvas.arc(cx, cy, 2.7 * scale, 3.2 * scale, 0, 330, w, colour)
            advance = 7.0
        elif ch == 's':
            canvas.arc(*at(ox + 2.6, 4.9), 2.2 * scale, 1.6 * scale, 20, 270, w, colour, 16)
            canvas.arc(*at(ox + 2.6, 8.1), 2.2 * scale, 1.6 * scale, 90, -160, w, colour, 16)
            advance = 6.2
        elif ch == 'o':
            canvas.arc(*at(ox + 3.0, 6.5), 2.7 * scale, 3.2 * scale, 0, 360, w, colour, 32)
            advance = 7.0
        elif ch == 'l':
            canvas.line(*at(ox + 1.0, 0), *at(ox + 1.0, 10), w, colour)
            advance = 3.0
        else:
            raise ValueError("no glyph for " + ch)
        pen += advance * scale


# Palettes and file formats -----------------------------------------------

VGA16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
         (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
         (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def median_cut(colours, count):
    """A palette of at most `count` entries for the given pixel colours."""
    unique = sorted(set(colours))
    if len(unique) <= count:
        return unique
    boxes = [unique]
    while len(boxes) < count:
        boxes.sort(key=lambda b: max(max(c[i] for c in b) - min(c[i] for c in b) for i in range(3)))
        box = boxes.pop()
        if len(box) < 2:
            boxes.append(box)
            break
        channel = max(range(3), key=lambda i: max(c[i] for c in box) - min(c[i] for c in box))
        box.sort(key=lambda c: c[channel])
        half = len(box) // 2
        boxes += [box[:half], box[half:]]
    return [tuple(sum(c[i] for c in b) // len(b) for i in range(3)) for b in boxes]


def index_pixels(pixels, palette):
    cache = {}
    out = []
    for p in pixels:
        if p not in cache:
            cache[p] = min(range(len(palette)),
                           key=lambda i: sum((palette[i][k] - p[k]) ** 2 for k in range(3)))
        out.append(cache[p])
    return out


def padded_rows(width, height, row_bytes_fn):
    """Rows bottom-up, each padded to a multiple of four bytes."""
    data = b''
    for y in range(height - 1, -1, -1):
        row = row_bytes_fn(y)
        data += row + b'\0' * ((4 - len(row) % 4) % 4)
    return data


def dib(width, height, bits, pixels, palette, mask=None):
    """BITMAPINFOHEADER, palette and pixel rows (and an AND mask for icons)."""
    if bits == 24:
        body = padded_rows(width, height, lambda y: b''.join(
            bytes((p[2], p[1], p[0])) for p in pixels[y * width:(y + 1) * width]))
        colours = b''
    else:
        full = list(palette) + [(0, 0, 0)] * ((1 << bits) - len(palette))
        colours = b''.join(bytes((b, g, r, 0)) for r, g, b in full)
        indices = index_pixels(pixels, palette)
        if bits == 8:
            body = padded_rows(width, height, lambda y: bytes(indices[y * width:(y + 1) * width]))
        else:
            def row4(y):
                line = indices[y * width:(y + 1) * width]
                return bytes((line[i] << 4) | line[i + 1] for i in range(0, width, 2))
            body = padded_rows(width, height, row4)
    and_mask = b''
    if mask is not None:
        def row1(y):
            line = mask[y * width:(y + 1) * width]
            return bytes(sum(0x80 >> k for k in range(8) if line[i + k]) for i in range(0, width, 8))
        and_mask = padded_rows(width, height, row1)
    stored_height = height * 2 if mask is not None else height
    used = 0 if bits == 24 else (1 << bits)
    header = struct.pack('<IiiHHIIiiII', 40, width, stored_height, 1, bits, 0,
                         len(body) + len(and_mask), 2835, 2835, used, 0)
    return header + colours + body + and_mask


def write_bmp(path, canvas, background=(255, 255, 255)):
    pixels = canvas.over(background)
    info = dib(canvas.width, canvas.height, 8, pixels, median_cut(pixels, 256))
    offset = 14 + 40 + 256 * 4
    with open(path, 'wb') as f:
        f.write(struct.pack('<2sIHHI', b'BM', 14 + len(info), 0, 0, offset) + info)


def write_ico(path, canvas, bits):
    size = canvas.width
    mask = canvas.mask()
    pixels = [(0, 0, 0) if m else p for p, m in zip(canvas.over((0, 0, 0)), mask)]
    if bits == 4:
        palette = VGA16
    elif bits == 8:
        palette = median_cut(pixels, 256)
    else:
        palette = []
    image = dib(size, size, bits, pixels, palette, mask)
    colour_count = 16 if bits == 4 else 0
    with open(path, 'wb') as f:
        f.write(struct.pack('<HHH', 0, 1, 1))
        f.write(struct.pack('<BBBBHHII', size, size, colour_count, 0, 1, bits, len(image), 6 + 16))
        f.write(image)


# The pictures --------------------------------------------------------------

INK = (28, 52, 96)
TILE_COLOURS = [(46, 110, 190), (38, 160, 150), (236, 150, 40), (120, 175, 60)]
FACE = (236, 233, 216)
FIELD_BORDER = (127, 157, 185)
BAR_GREY = (160, 160, 160)


def tile_mark(c, x, y, size):
    """The product's mark: four rounded tiles in a 2x2 mosaic, one lifted."""
    gap = size * 0.1
    tile = (size - gap) / 2
    for i, colour in enumerate(TILE_COLOURS):
        tx = x + (i % 2) * (tile + gap)
        ty = y + (i // 2) * (tile + gap)
        lift = -size * 0.08 if i == 2 else 0
        c.rounded_rect(tx + lift, ty + lift, tile, tile, tile * 0.25, colour)


def logo():
    c = Canvas(88, 31, (255, 255, 255))
    c.frame(0, 0, 88, 31, (200, 205, 215))
    tile_mark(c, 4, 5, 21)
    draw_word(c, 'Tessolo', 29, 9, 13, 2.0, INK)
    return c


def magnifier(c, x, y, size, colour, glass=None):
    r = size * 0.3
    cx, cy = x + size * 0.4, y + size * 0.4
    if glass:
        c.circle(cx, cy, r, glass)
    c.ring(cx, cy, r, max(1.2, size * 0.1), colour)
    c.line(cx + r * 0.75, cy + r * 0.75, x + size * 0.92, y + size * 0.92, max(1.8, size * 0.16), colour)


def nav_button(c, cx, cy, r, pointing_left):
    c.circle(cx, cy, r, (250, 250, 250))
    c.ring(cx, cy, r, 1.2, (150, 160, 175))
    d = -1 if pointing_left else 1
    c.polyline([(cx - d * r * 0.1 + d * -r * 0.25, cy - r * 0.4), (cx + d * r * 0.35, cy),
                (cx - d * r * 0.1 + d * -r * 0.25, cy + r * 0.4)], 2.0, (70, 90, 120))


def toolbar_picture():
    """An address bar with a search toolbar beneath it."""
    c = Canvas(434, 61, FACE)
    c.vertical_gradient(0, 0, 434, 30, (248, 248, 246), (228, 226, 214))
    nav_button(c, 15, 15, 10, True)
    nav_button(c, 39, 15, 10, False)
    c.rect(56, 6, 370, 18, (255, 255, 255))
    c.frame(56, 6, 370, 18, FIELD_BORDER)
    c.circle(66, 15, 4.5, (90, 140, 200))
    c.text_lines(76, 14, [150], BAR_GREY, 3)
    c.rect(0, 30, 434, 1, (190, 188, 175))
    c.vertical_gradient(0, 31, 434, 30, (244, 243, 236), (222, 220, 206))
    tile_mark(c, 6, 37, 16)
    c.rect(28, 36, 150, 19, (255, 255, 255))
    c.frame(28, 36, 150, 19, FIELD_BORDER)
    magnifier(c, 184, 37, 17, (60, 90, 140), (215, 232, 250))
    x = 212
    for colour, width in [((230, 170, 40), 40), ((200, 60, 60), 34), ((80, 150, 80), 46)]:
        c.rounded_rect(x, 40, 12, 12, 2.5, colour)
        c.text_lines(x + 16, 45, [width], (110, 110, 110), 3)
        x += width + 30
    return c


def round_logo():
    """A generic globe: a blue disc with meridians and parallels."""
    c = Canvas(47, 46, None)
    cx, cy, r = 23.5, 23, 21
    c.circle(cx, cy, r, (40, 120, 200))
    c.circle(cx - 5, cy - 6, r * 0.55, (80, 160, 225))
    line = (225, 240, 255)
    c.ring(cx, cy, r, 2.0, (25, 80, 150))
    for rx in (r * 0.38, r * 0.78):
        c.arc(cx, cy, rx, r - 1, 0, 360, 1.3, line, 40)
    c.line(cx, cy - r + 1, cx, cy + r - 1, 1.3, line)
    for dy in (-r * 0.5, 0, r * 0.5):
        half = math.sqrt(max(0.0, (r - 1) ** 2 - dy * dy))
        c.line(cx - half, cy + dy, cx + half, cy + dy, 1.3, line)
    return c


def browser_window():
    """A browser window with tabs and a grid of page previews."""
    c = Canvas(423, 155, (255, 255, 255))
    c.rounded_rect(2, 2, 419, 151, 6, (110, 130, 160))
    c.rounded_rect(3, 3, 417, 149, 5, (214, 224, 238))
    tabs = [(10, 'active'), (120, None), (230, None)]
    for x, state in tabs:
        colour = (250, 251, 253) if state else (190, 204, 224)
        c.polygon([(x, 30), (x + 8, 9), (x + 100, 9), (x + 108, 30)], colour)
        c.rounded_rect(x + 14, 15, 9, 9, 2, TILE_COLOURS[tabs.index((x, state))])
        c.text_lines(x + 28, 18, [52 if state else 44], (120, 130, 145), 3)
    c.rect(5, 30, 413, 26, (250, 251, 253))
    nav_button(c, 20, 43, 8, True)
    nav_button(c, 40, 43, 8, False)
    c.rounded_rect(56, 35, 355, 16, 3, (255, 255, 255))
    c.frame(56, 35, 355, 16, FIELD_BORDER)
    c.text_lines(66, 42, [120], BAR_GREY, 3)
    c.rect(5, 56, 413, 94, (244, 246, 250))
    for i in range(4):
        x = 18 + i * 100
        c.rect(x + 2, 68, 88, 66, (210, 214, 222))
        c.rect(x, 66, 88, 66, (255, 255, 255))
        c.frame(x, 66, 88, 66, (185, 192, 205))
        c.rect(x + 6, 72, 76, 16, TILE_COLOURS[i])
        c.text_lines(x + 6, 94, [70, 58, 64, 40], (175, 180, 190), 3, 5)
    return c


def computer_with_box():
    """The setup's icon: a monitor with a software box in front of it."""
    c = Canvas(32, 32, None)
    c.rect(2, 3, 24, 18, (128, 128, 128))
    c.rect(3, 4, 22, 16, (0, 0, 0))
    c.rect(5, 6, 18, 12, (0, 0, 128))
    c.rect(6, 7, 8, 5, (0, 128, 128))
    c.rect(10, 21, 8, 3, (128, 128, 128))
    c.rect(6, 24, 16, 2, (192, 192, 192))
    c.polygon([(17, 14), (25, 11), (31, 14), (23, 17)], (255, 255, 0))
    c.polygon([(17, 14), (23, 17), (23, 29), (17, 26)], (128, 128, 0))
    c.polygon([(23, 17), (31, 14), (31, 26), (23, 29)], (192, 192, 192))
    c.rect(19, 19, 2, 5, (255, 0, 0))
    return c


def form_with_pencil():
    c = Canvas(16, 16, None)
    c.rect(1, 1, 11, 14, (120, 120, 120))
    c.rect(2, 2, 9, 12, (255, 255, 255))
    for y in (4, 7, 10):
        c.rect(3, y, 7, 1, (90, 130, 200))
    c.line(7, 14, 14, 5, 3.0, (230, 170, 40))
    c.line(13, 6, 14.5, 4, 3.0, (220, 90, 90))
    c.line(6.5, 14.5, 7.5, 13, 1.2, (40, 40, 40))
    return c


def window_with_prohibition():
    c = Canvas(16, 16, None)
    c.rect(0, 1, 13, 11, (70, 100, 160))
    c.rect(1, 4, 11, 7, (255, 255, 255))
    c.circle(10.5, 10.5, 5.2, (255, 255, 255))
    c.ring(10.5, 10.5, 5.2, 1.8, (215, 30, 30))
    c.line(7, 7, 14, 14, 1.8, (215, 30, 30))
    return c


def search_magnifier():
    c = Canvas(16, 16, None)
    magnifier(c, 0, 0, 16, (50, 80, 130), (200, 225, 250))
    return c


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    write_bmp(os.path.join(out, 'logo.bmp'), logo())
    write_bmp(os.path.join(out, 'toolbar.bmp'), toolbar_picture())
    write_bmp(os.path.join(out, 'browser_logo.bmp'), round_logo(), FACE)
    write_bmp(os.path.join(out, 'browser_window.bmp'), browser_window())
    write_ico(os.path.join(out, 'setup.ico'), computer_with_box(), 4)
    write_ico(os.path.join(out, 'form_fill.ico'), form_with_pencil(), 8)
    write_ico(os.path.join(out, 'popup_blocker.ico'), window_with_prohibition(), 8)
    write_ico(os.path.join(out, 'search.ico'), search_magnifier(), 24)


if __name__ == '__main__':
    main()
