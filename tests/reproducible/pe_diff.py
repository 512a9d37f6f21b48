"""Compares two builds of a PE file byte for byte and says where each run of
differing bytes lies: in a header, a section, or an embedded resource (by
type, name and language), and, for a resource that is itself a PE file (the
embedded payload programs and libraries), where inside that file.

    python3 -m tests.reproducible.pe_diff FIRST SECOND   exit 1 when they differ
"""

import re
import struct
import sys
from pathlib import Path

from tests.imports.pe_imports import PeFormatError, _Image

# The setup's resource ids, so that a report names the payload file.
_RESOURCE_IDS = Path(__file__).resolve().parents[2] / "res" / "ResourceIds.h"

_RESOURCE_DIRECTORY = 2
_RESOURCE_TYPES = {1: "CURSOR", 2: "BITMAP", 3: "ICON", 4: "MENU", 5: "DIALOG", 6: "STRING",
                   10: "RCDATA", 12: "GROUP_CURSOR", 14: "GROUP_ICON", 16: "VERSION",
                   23: "HTML", 24: "MANIFEST"}
_SUBDIRECTORY = 1 << 31
_MAX_RUNS = 10


def differing_runs(first, second):
    """(offset, length) of each run of differing bytes; a length difference
    counts as one run from the end of the shorter file."""
    runs = []
    common = min(len(first), len(second))
    start = None
    for offset in range(common + 1):
        differs = offset < common and first[offset] != second[offset]
        if differs and start is None:
            start = offset
        elif not differs and start is not None:
            runs.append((start, offset - start))
            start = None
    if len(first) != len(second):
        runs.append((common, max(len(first), len(second)) - common))
    return runs


def _resource_id_names():
    if not _RESOURCE_IDS.is_file():
        return {}
    found = re.findall(r"^#define\s+(IDR_\w+)\s+(\d+)", _RESOURCE_IDS.read_text(), re.M)
    return {int(number): f"{number} {name}" for name, number in found}


def _resource_name(image, section_start, value, types=None):
    if value & _SUBDIRECTORY:
        pos = section_start + (value & ~_SUBDIRECTORY)
        length, = struct.unpack_from("<H", image.data, pos)
        return image.data[pos + 2:pos + 2 + 2 * length].decode("utf-16-le")
    return (types or {}).get(value, str(value))


def resources(image):
    """(file offset, size, "TYPE/name/language") of every resource."""
    rva = image.directory(_RESOURCE_DIRECTORY)[0]
    if not rva:
        return []
    root = image.offset(rva)
    found = []
    id_names = _resource_id_names()

    def walk(directory, path):
        named, ids = struct.unpack_from("<HH", image.data, directory + 12)
        for index in range(named + ids):
            name, target = struct.unpack_from("<II", image.data, directory + 16 + 8 * index)
            label = _resource_name(image, root, name,
                                   [_RESOURCE_TYPES, id_names, {}][min(len(path), 2)])
            if target & _SUBDIRECTORY:
                walk(root + (target & ~_SUBDIRECTORY), path + [label])
            else:
                data_rva, size = struct.unpack_from("<II", image.data, root + target)
                found.append((image.offset(data_rva), size, "/".join(path + [label])))

    walk(root, [])
    return found


def _sections(image):
    pe, = struct.unpack_from("<I", image.data, 0x3C)
    count, optional_size = struct.unpack_from("<2xH12xH", image.data, pe + 4)
    table = pe + 24 + optional_size
    for index in range(count):
        name = image.data[table + 40 * index:table + 40 * index + 8].rstrip(b"\0").decode("ascii", "replace")
        raw_size, raw_offset = struct.unpack_from("<II", image.data, table + 40 * index + 16)
        yield raw_offset, raw_size, name


def locate(data, offset):
    """Where offset lies in the PE file data, innermost last."""
    try:
        image = _Image(data)
    except (PeFormatError, struct.error):
        return "not a PE file"
    try:
        for start, size, name in resources(image):
            if start <= offset < start + size:
                inner = data[start:start + size]
                where = f"resource {name} +{offset - start:#x}"
                if inner[:2] == b"MZ":
                    where += f" ({locate(inner, offset - start)})"
                return where
    except (PeFormatError, struct.error, UnicodeDecodeError):
        pass
    sections = list(_sections(image))
    for start, size, name in sections:
        if start <= offset < start + size:
            return f"section {name} +{offset - start:#x}"
    first = min((start for start, size, _ in sections if size), default=len(data))
    return "headers" if offset < first else "past the sections"


def report(first, second):
    """Lines describing the first runs of differing bytes; empty when equal."""
    runs = differing_runs(first, second)
    if not runs:
        return []
    lines = [f"{sum(length for _, length in runs)} bytes differ in {len(runs)} runs"
             + (f" (sizes {len(first)} and {len(second)})" if len(first) != len(second) else "")]
    places = [locate(first, offset) for offset, _ in runs]
    for (offset, length), place in list(zip(runs, places))[:_MAX_RUNS]:
        lines.append(f"  {offset:#x} ({length} bytes): {place}")
    if len(runs) > _MAX_RUNS:
        lines.append(f"  ... and {len(runs) - _MAX_RUNS} more runs")
    outermost = dict.fromkeys(place.split(" +")[0] for place in places)
    lines.append("Differing parts: " + "; ".join(outermost))
    return lines


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: python3 -m tests.reproducible.pe_diff FIRST SECOND")
    with open(sys.argv[1], "rb") as a, open(sys.argv[2], "rb") as b:
        lines = report(a.read(), b.read())
    print("\n".join(lines) or "identical")
    sys.exit(1 if lines else 0)
