#!/usr/bin/env python3
"""Turns the release notes (UTF-8, LF) into the what's-new resource:
CP1252 text with CR LF line ends and a terminating zero byte, because the
what's-new page hands the resource's bytes to its edit control as they are.

Usage: make_release_notes.py SOURCE OUTPUT
"""

import sys


def main():
    source, output = sys.argv[1], sys.argv[2]
    with open(source, encoding='utf-8') as f:
        text = f.read()
    lines = text.replace('\r\n', '\n').rstrip('\n').split('\n')
    data = '\r\n'.join(lines).encode('cp1252') + b'\r\n\0'
    with open(output, 'wb') as f:
        f.write(data)


if __name__ == '__main__':
    main()
