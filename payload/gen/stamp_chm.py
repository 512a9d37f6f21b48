#!/usr/bin/env python3
"""Replaces the compile time that chmcmd writes into a compiled help file
with a fixed one, so that the file depends on its sources alone. chmcmd
records the time of day in milliseconds twice: in the file header (big
endian) and in the #SYSTEM file's record 10 (little endian). Both get the
time of day of SOURCE_DATE_EPOCH, given as the second argument."""

import struct
import sys

_SYSTEM_NAME = b"/#SYSTEM"
_TIMESTAMP_RECORD = 10
_HEADER_TIMESTAMP = 0x10
_SECONDS_PER_DAY = 86400


def _encint(data, pos):
    """Reads a CHM variable-length integer: 7 bits a byte, high bit 'more'."""
    value = 0
    while True:
        byte = data[pos]
        pos += 1
        value = (value << 7) | (byte & 0x7F)
        if not byte & 0x80:
            return value, pos


def _system_offset(data):
    """The file offset and size of the uncompressed #SYSTEM file."""
    if data[:4] != b"ITSF":
        raise ValueError("no ITSF header")
    directory, = struct.unpack_from("<Q", data, 0x48)
    content, = struct.unpack_from("<Q", data, 0x58)
    if data[directory:directory + 4] != b"ITSP":
        raise ValueError("no ITSP directory")
    header_size, _, chunk_size = struct.unpack_from("<III", data, directory + 8)
    first, last = struct.unpack_from("<ii", data, directory + 0x20)
    for index in range(first, last + 1):
        chunk = directory + header_size + index * chunk_size
        if data[chunk:chunk + 4] != b"PMGL":
            continue
        free, = struct.unpack_from("<I", data, chunk + 4)
        pos, end = chunk + 20, chunk + chunk_size - free
        while pos < end:
            length, pos = _encint(data, pos)
            name = data[pos:pos + length]
            section, pos = _encint(data, pos + length)
            offset, pos = _encint(data, pos)
            size, pos = _encint(data, pos)
            if name == _SYSTEM_NAME and section == 0:
                return content + offset, size
    raise ValueError("no #SYSTEM file in section 0")


def stamp(data, epoch):
    """Returns the help file with both compile times set from epoch."""
    data = bytearray(data)
    millis = epoch % _SECONDS_PER_DAY * 1000
    struct.pack_into(">I", data, _HEADER_TIMESTAMP, millis)
    start, size = _system_offset(data)
    pos = start + 4  # past the #SYSTEM version
    while pos + 4 <= start + size:
        code, length = struct.unpack_from("<HH", data, pos)
        if code == _TIMESTAMP_RECORD:
            if length != 4:
                raise ValueError(f"#SYSTEM record 10 has {length} bytes, not 4")
            struct.pack_into("<I", data, pos + 4, millis)
            return bytes(data)
        pos += 4 + length
    raise ValueError("no time stamp record in #SYSTEM")


def main(path, epoch):
    with open(path, "rb") as f:
        data = f.read()
    with open(path, "wb") as f:
        f.write(stamp(data, epoch))


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: stamp_chm.py FILE SOURCE_DATE_EPOCH")
    main(sys.argv[1], int(sys.argv[2]))
