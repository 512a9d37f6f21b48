#!/usr/bin/env python3
"""Pads a linked file with zero bytes to an exact size. A file that is
already larger cannot be brought to that size, so the build fails instead of
shipping a file of the wrong length."""

import os
import sys


def main(path, size):
    current = os.path.getsize(path)
    if current > size:
        sys.exit(f"{path} is {current} bytes, more than the required {size}")
    with open(path, "ab") as f:
        f.write(b"\0" * (size - current))


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: pad_file.py FILE SIZE")
    main(sys.argv[1], int(sys.argv[2]))
