"""Exits 0 when this host can run 32-bit x86 programs, 1 when it cannot.

Writes the smallest static 32-bit Linux program (exit(0) through int 0x80)
into the given folder and runs it: on hosts whose kernel or hypervisor gives
user space no 32-bit code segment the exec fails or the program faults. No
package is needed, and the answer is the platform's own, not a guess.
    python3 scripts/lib/can_run_32bit.py FOLDER
"""

import os
import struct
import subprocess
import sys
import tempfile

BASE = 0x08048000
ELF_HEADER_SIZE, PROGRAM_HEADER_SIZE = 52, 32
CODE = bytes([
    0xB8, 0x01, 0x00, 0x00, 0x00,  # mov eax, 1  (exit)
    0x31, 0xDB,                    # xor ebx, ebx (status 0)
    0xCD, 0x80,                    # int 0x80
])


def tiny_elf32():
    entry_offset = ELF_HEADER_SIZE + PROGRAM_HEADER_SIZE
    size = entry_offset + len(CODE)
    ident = b"\x7fELF" + bytes([1, 1, 1, 0]) + bytes(8)  # 32-bit, little-endian, version 1
    header = ident + struct.pack("<HHIIIIIHHHHHH",
                                 2, 3, 1,                   # executable, i386, version
                                 BASE + entry_offset,       # entry
                                 ELF_HEADER_SIZE, 0, 0,     # program headers, no sections, flags
                                 ELF_HEADER_SIZE, PROGRAM_HEADER_SIZE, 1, 0, 0, 0)
    load = struct.pack("<IIIIIIII", 1, 0, BASE, BASE, size, size, 5, 0x1000)  # PT_LOAD, R+X
    return header + load + CODE


def main(folder):
    os.makedirs(folder, exist_ok=True)
    with tempfile.NamedTemporaryFile(dir=folder, prefix="probe32-", delete=False) as f:
        f.write(tiny_elf32())
        path = f.name
    try:
        os.chmod(path, 0o755)
        try:
            result = subprocess.run([path], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                    timeout=10)
        except OSError:  # Exec format error
            return 1
        return 0 if result.returncode == 0 else 1
    finally:
        os.unlink(path)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else tempfile.gettempdir()))
