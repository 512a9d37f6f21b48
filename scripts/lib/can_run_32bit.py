"""Tells whether this host runs 32-bit x86 programs natively, only through a
registered emulator, or not at all:
    exit 0   natively
    exit 1   not at all
    exit 2   not natively, but binfmt_misc hands i386 programs to an emulator

Writes the smallest static 32-bit Linux program (exit(0) through int 0x80)
into the given folder and runs it: on hosts whose kernel or hypervisor gives
user space no 32-bit code segment the exec fails or the program faults. Once
an emulator is registered for i386 programs the kernel runs such a program
through it and it succeeds too, so the probe carries a header byte the kernel
ignores but an emulator's usual match rejects, and a run counts as native only
when no enabled binfmt_misc entry matches the probe at all.
    python3 scripts/lib/can_run_32bit.py FOLDER
"""

import os
import struct
import subprocess
import sys
import tempfile
from pathlib import Path

NATIVE, NONE, EMULATED = 0, 1, 2

BINFMT_DIR = Path("/proc/sys/fs/binfmt_misc")
BASE = 0x08048000
ELF_HEADER_SIZE, PROGRAM_HEADER_SIZE = 52, 32
# e_ident[EI_ABIVERSION]: Linux does not look at it; an emulator's match
# requires it to be 0.
ABI_VERSION_OFFSET = 8
CODE = bytes([
    0xB8, 0x01, 0x00, 0x00, 0x00,  # mov eax, 1  (exit)
    0x31, 0xDB,                    # xor ebx, ebx (status 0)
    0xCD, 0x80,                    # int 0x80
])


def tiny_elf32(abi_version=0):
    entry_offset = ELF_HEADER_SIZE + PROGRAM_HEADER_SIZE
    size = entry_offset + len(CODE)
    ident = b"\x7fELF" + bytes([1, 1, 1, 0, abi_version]) + bytes(7)  # 32-bit, little-endian, version 1
    header = ident + struct.pack("<HHIIIIIHHHHHH",
                                 2, 3, 1,                   # executable, i386, version
                                 BASE + entry_offset,       # entry
                                 ELF_HEADER_SIZE, 0, 0,     # program headers, no sections, flags
                                 ELF_HEADER_SIZE, PROGRAM_HEADER_SIZE, 1, 0, 0, 0)
    load = struct.pack("<IIIIIIII", 1, 0, BASE, BASE, size, size, 5, 0x1000)  # PT_LOAD, R+X
    return header + load + CODE


def binfmt_entries(folder=BINFMT_DIR):
    """(offset, magic, mask) of every enabled magic entry; none when
    binfmt_misc is not mounted or switched off as a whole."""
    status = folder / "status"
    if not status.exists() or status.read_text().strip() != "enabled":
        return []
    entries = []
    for entry in folder.iterdir():
        if entry.name in ("status", "register"):
            continue
        try:
            lines = entry.read_text().splitlines()
        except OSError:
            continue
        fields = dict(line.split(" ", 1) for line in lines if " " in line)
        if not lines or lines[0] != "enabled" or "magic" not in fields:
            continue
        magic = bytes.fromhex(fields["magic"])
        mask = bytes.fromhex(fields.get("mask", "ff" * len(magic)))
        entries.append((int(fields.get("offset", "0")), magic, mask))
    return entries


def matches(entry, program):
    offset, magic, mask = entry
    window = program[offset:offset + len(magic)]
    return len(window) == len(magic) and all(
        (byte & m) == (want & m) for byte, want, m in zip(window, magic, mask))


def runs(folder, program):
    with tempfile.NamedTemporaryFile(dir=folder, prefix="probe32-", delete=False) as f:
        f.write(program)
        path = f.name
    try:
        os.chmod(path, 0o755)
        try:
            result = subprocess.run([path], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                    timeout=10)
        except OSError:  # Exec format error
            return False
        return result.returncode == 0
    finally:
        os.unlink(path)


def classify(native_run, entries):
    """NATIVE, NONE or EMULATED from the probe's run (a callable, so that it
    is not run when its answer would say nothing) and the enabled entries."""
    probe = tiny_elf32(abi_version=1)
    emulator = any(matches(e, tiny_elf32()) for e in entries)
    if not any(matches(e, probe) for e in entries) and native_run(probe):
        return NATIVE
    return EMULATED if emulator else NONE


def main(folder):
    os.makedirs(folder, exist_ok=True)
    return classify(lambda program: runs(folder, program), binfmt_entries())


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else tempfile.gettempdir()))
