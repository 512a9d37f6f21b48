#!/usr/bin/env python3
"""Restores the spelling of window class names in compiled dialog templates.

The resource compiler stores every class name of a CONTROL statement in
capitals ("SYSLISTVIEW32"); the templates are meant to carry the names as the
classes are registered ("SysListView32", "msctls_progress32"). This walks
each DIALOGEX template of a .res file and rewrites those names in place (the
length does not change, so nothing else moves).

Usage: fix_dialog_classes.py INPUT.res OUTPUT.res
"""

import struct
import sys

RT_DIALOG = 5
CLASS_NAMES = ["SysListView32", "msctls_progress32"]


def skip_sz_or_ordinal(data, offset):
    """Returns (text or None, offset after the field) of a sz-or-ordinal field."""
    if data[offset:offset + 2] == b'\xff\xff':
        return None, offset + 4
    end = offset
    while data[end:end + 2] != b'\0\0':
        end += 2
    return data[offset:end].decode('utf-16-le'), end + 2


def fix_template(template, base):
    """Class names to rewrite in one DIALOGEX template: (absolute offset, name)."""
    version, signature = struct.unpack_from('<HH', template, 0)
    if (version, signature) != (1, 0xFFFF):
        raise SystemExit('only DIALOGEX templates are expected')
    style = struct.unpack_from('<I', template, 12)[0]
    count = struct.unpack_from('<H', template, 16)[0]
    offset = 26
    for _ in range(3):  # menu, class, caption
        _, offset = skip_sz_or_ordinal(template, offset)
    if style & 0x40:  # DS_SETFONT: point size, weight, italic, charset, face
        offset += 6
        _, offset = skip_sz_or_ordinal(template, offset)
    fixes = []
    for _ in range(count):
        offset = (offset + 3) & ~3
        offset += 24
        start = offset
        name, offset = skip_sz_or_ordinal(template, offset)
        for proper in CLASS_NAMES:
            if name is not None and name != proper and name.upper() == proper.upper():
                fixes.append((base + start, proper))
        _, offset = skip_sz_or_ordinal(template, offset)  # caption
        extra = struct.unpack_from('<H', template, offset)[0]
        offset += 2 + extra
    return fixes


def main():
    data = bytearray(open(sys.argv[1], 'rb').read())
    offset = 0
    while offset < len(data):
        data_size, header_size = struct.unpack_from('<II', data, offset)
        header = data[offset + 8:offset + header_size]
        body = offset + header_size
        if header[:2] == b'\xff\xff' and struct.unpack_from('<H', header, 2)[0] == RT_DIALOG:
            for position, proper in fix_template(bytes(data[body:body + data_size]), body):
                encoded = proper.encode('utf-16-le')
                data[position:position + len(encoded)] = encoded
        offset = (body + data_size + 3) & ~3
    with open(sys.argv[2], 'wb') as f:
        f.write(data)


if __name__ == '__main__':
    main()
