"""A small RGBA canvas and the few shapes the generated toolbar skins and
icons are drawn from. Coordinates are given in a 0..1 square and scaled to the
canvas, so one motif draws at 16, 24 and 32 pixels alike."""


class Canvas:
    def __init__(self, width, height):
        self.width = width
        self.height = height
        self.pixels = [(0, 0, 0, 0)] * (width * height)

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y * self.width + x] = colour

    def rows(self):
        for y in range(self.height):
            yield self.pixels[y * self.width:(y + 1) * self.width]


class Cell:
    """One square cell of a canvas (a toolbar button or a whole icon)."""

    def __init__(self, canvas, left, size):
        self.canvas = canvas
        self.left = left
        self.size = size

    def _span(self, a, b):
        return int(round(a * self.size)), int(round(b * self.size))

    def rect(self, x0, y0, x1, y1, colour):
        xa, xb = self._span(x0, x1)
        ya, yb = self._span(y0, y1)
        for y in range(ya, max(yb, ya + 1)):
            for x in range(xa, max(xb, xa + 1)):
                self.canvas.put(self.left + x, y, colour)

    def frame(self, x0, y0, x1, y1, colour):
        edge = 1.0 / self.size
        self.rect(x0, y0, x1, y0 + edge, colour)
        self.rect(x0, y1 - edge, x1, y1, colour)
        self.rect(x0, y0, x0 + edge, y1, colour)
        self.rect(x1 - edge, y0, x1, y1, colour)

    def disc(self, cx, cy, radius, colour):
        for y in range(self.size):
            for x in range(self.size):
                dx = (x + 0.5) / self.size - cx
                dy = (y + 0.5) / self.size - cy
                if dx * dx + dy * dy <= radius * radius:
                    self.canvas.put(self.left + x, y, colour)

    def triangle(self, pointing_right, x0, y0, x1, y1, colour):
        """An arrow head between the given bounds, pointing left or right."""
        for y in range(self.size):
            fy = (y + 0.5) / self.size
            if not y0 <= fy <= y1:
                continue
            half = (y1 - y0) / 2
            reach = (1 - abs(fy - (y0 + half)) / half) * (x1 - x0)
            for x in range(self.size):
                fx = (x + 0.5) / self.size
                inside = fx <= x0 + reach if pointing_right else fx >= x1 - reach
                if x0 <= fx <= x1 and inside:
                    self.canvas.put(self.left + x, y, colour)

    def peak(self, x0, y0, x1, y1, colour):
        """A mountain: a triangle with its tip at the top centre."""
        for y in range(self.size):
            fy = (y + 0.5) / self.size
            if not y0 <= fy <= y1:
                continue
            half = (fy - y0) / (y1 - y0) * (x1 - x0) / 2
            centre = (x0 + x1) / 2
            for x in range(self.size):
                if abs((x + 0.5) / self.size - centre) <= half:
                    self.canvas.put(self.left + x, y, colour)


def draw_motif(cell, motif, colour, ink):
    """Draws one of the named motifs on a cell: a rounded background in
    `colour` and a symbol in `ink`."""
    cell.rect(0.08, 0.08, 0.92, 0.92, colour)
    cell.frame(0.08, 0.08, 0.92, 0.92, ink)
    if motif == "landscape":
        cell.disc(0.68, 0.32, 0.1, (255, 220, 60, 255))
        cell.peak(0.12, 0.4, 0.72, 0.88, ink)
    elif motif == "grid":
        for gx in (0.18, 0.54):
            for gy in (0.18, 0.54):
                cell.rect(gx, gy, gx + 0.28, gy + 0.28, ink)
    elif motif == "note":
        cell.disc(0.38, 0.7, 0.13, ink)
        cell.rect(0.47, 0.2, 0.53, 0.7, ink)
        cell.rect(0.47, 0.2, 0.75, 0.28, ink)
    elif motif == "film":
        cell.rect(0.2, 0.16, 0.8, 0.84, ink)
        for fy in (0.2, 0.4, 0.6, 0.76):
            cell.rect(0.24, fy, 0.3, fy + 0.06, colour)
            cell.rect(0.7, fy, 0.76, fy + 0.06, colour)
    elif motif == "left":
        cell.triangle(False, 0.22, 0.22, 0.7, 0.78, ink)
    elif motif == "right":
        cell.triangle(True, 0.3, 0.22, 0.78, 0.78, ink)
    elif motif == "plus":
        cell.rect(0.24, 0.45, 0.76, 0.55, ink)
        cell.rect(0.45, 0.24, 0.55, 0.76, ink)
    elif motif == "minus":
        cell.rect(0.24, 0.45, 0.76, 0.55, ink)
    elif motif == "disc":
        cell.disc(0.5, 0.5, 0.26, ink)
    elif motif == "frame":
        cell.frame(0.24, 0.24, 0.76, 0.76, ink)
        cell.frame(0.32, 0.32, 0.68, 0.68, ink)
    else:
        raise ValueError(f"unknown motif {motif}")


MOTIFS = ("landscape", "grid", "note", "film", "left", "right", "plus", "minus", "disc", "frame")
