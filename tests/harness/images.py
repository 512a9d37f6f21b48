"""Pixel comparison of screenshots (ImageMagick's compare), shared by the
look checks and the wait for a dialog to stop changing on screen."""

import subprocess

# Colour differences below this count as the same pixel (font smoothing,
# a caret's edge).
FUZZ = "10%"
# The share of a shot's pixels that may differ beyond FUZZ and still count
# as the same picture: room for a blinking caret, not for a moved control.
TOLERANCE = 0.001


class NotComparable(Exception):
    """The two images cannot be compared, e.g. being of different sizes."""


def different_pixels(first, second, diff=None):
    """How many pixels of the two images differ beyond FUZZ; with `diff`, an
    image of the differences is written there."""
    result = subprocess.run(["compare", "-metric", "AE", "-fuzz", FUZZ, str(first), str(second),
                             str(diff) if diff else "null:"], capture_output=True, text=True)
    if result.returncode > 1:
        raise NotComparable(result.stderr.strip())
    return float(result.stderr.split()[0])


def size(image):
    """(width, height) of an image file."""
    out = subprocess.run(["identify", "-format", "%w %h", str(image)], check=True, capture_output=True,
                         text=True).stdout
    width, height = (int(v) for v in out.split())
    return width, height


def alike(first, second):
    """Whether two shots of the same size show the same picture."""
    width, height = size(second)
    return different_pixels(first, second) <= TOLERANCE * width * height
