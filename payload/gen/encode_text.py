#!/usr/bin/env python3
"""Writes a UTF-8 source text as the viewer's files are stored: CP1252 with
CRLF line ends. A character outside CP1252 stops the build rather than
turning into a question mark in the installed file."""

import sys


def main(source, target):
    with open(source, encoding="utf-8", newline="") as f:
        text = f.read()
    text = text.replace("\r\n", "\n").replace("\n", "\r\n")
    with open(target, "wb") as f:
        f.write(text.encode("cp1252"))


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: encode_text.py SOURCE TARGET")
    main(sys.argv[1], sys.argv[2])
