"""Reads what a PE file imports: its import directory and its delay-load
import directory, by name and by ordinal. Nothing is run; the Windows loader
refuses a program whose import a system DLL does not export, so this list is
what decides whether a file loads on an older Windows.

    python3 -m tests.imports.pe_imports FILE...   prints one "file dll function" line per import
"""

import struct
import sys
from dataclasses import dataclass

_IMPORT_DIRECTORY = 1
_DELAY_IMPORT_DIRECTORY = 13


@dataclass(frozen=True, order=True)
class Import:
    dll: str        # lower case, as the loader compares DLL names
    function: str   # the exported name, or "#ordinal" for an import by ordinal
    delayed: bool = False


class PeFormatError(ValueError):
    pass


class _Image:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise PeFormatError("no MZ header")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise PeFormatError("no PE signature")
        sections, optional_size = struct.unpack_from("<2xH12xH", data, pe + 4)
        optional = pe + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        if magic == 0x10B:
            self.thunk_format, self.ordinal_flag = "<I", 1 << 31
            self.image_base = struct.unpack_from("<I", data, optional + 28)[0]
            directories = optional + 96
        elif magic == 0x20B:
            self.thunk_format, self.ordinal_flag = "<Q", 1 << 63
            self.image_base = struct.unpack_from("<Q", data, optional + 24)[0]
            directories = optional + 112
        else:
            raise PeFormatError(f"unknown optional header magic {magic:#x}")
        count = struct.unpack_from("<I", data, directories - 4)[0]
        self.directories = [struct.unpack_from("<II", data, directories + 8 * i)
                            for i in range(count)]
        table = optional + optional_size
        self.sections = [struct.unpack_from("<8xIIII", data, table + 40 * i)
                         for i in range(sections)]

    def directory(self, index):
        return self.directories[index] if index < len(self.directories) else (0, 0)

    def offset(self, rva):
        for virtual_size, address, raw_size, raw_offset in self.sections:
            if address <= rva < address + max(virtual_size, raw_size):
                return raw_offset + rva - address
        raise PeFormatError(f"RVA {rva:#x} lies in no section")

    def u32(self, rva):
        return struct.unpack_from("<I", self.data, self.offset(rva))[0]

    def text(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def thunks(self, rva):
        """Yields the entries of a name table up to its zero terminator."""
        size = struct.calcsize(self.thunk_format)
        while True:
            entry = struct.unpack_from(self.thunk_format, self.data, self.offset(rva))[0]
            if not entry:
                return
            yield entry
            rva += size

    def functions(self, names_rva, to_rva=lambda value: value):
        for entry in self.thunks(names_rva):
            if entry & self.ordinal_flag:
                yield f"#{entry & 0xFFFF}"
            else:
                yield self.text(to_rva(entry) + 2)  # past the hint


def read_imports(path):
    """Every import of the PE file at path, sorted."""
    with open(path, "rb") as file:
        image = _Image(file.read())
    found = set()

    rva = image.directory(_IMPORT_DIRECTORY)[0]
    while rva:
        names, _, _, dll, addresses = struct.unpack_from("<5I", image.data, image.offset(rva))
        if not (names or dll or addresses):
            break
        # Without a separate name table the address table still holds the names.
        for function in image.functions(names or addresses):
            found.add(Import(image.text(dll).lower(), function))
        rva += 20

    rva = image.directory(_DELAY_IMPORT_DIRECTORY)[0]
    while rva:
        attributes, dll, _, addresses, names = struct.unpack_from("<5I", image.data, image.offset(rva))
        if not (dll or names):
            break
        # Descriptors without the RVA attribute (bit 0) hold virtual addresses.
        base = 0 if attributes & 1 else image.image_base
        to_rva = lambda value: value - base
        for function in image.functions(to_rva(names), to_rva):
            found.add(Import(image.text(to_rva(dll)).lower(), function, delayed=True))
        rva += 32

    return sorted(found)


if __name__ == "__main__":
    for path in sys.argv[1:]:
        for item in read_imports(path):
            print(path, item.dll, item.function, *(["(delay-load)"] if item.delayed else []))
