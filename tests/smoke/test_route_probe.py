"""The route probe (scripts/lib/can_run_32bit.py) tells native 32-bit support
from an emulator registered with binfmt_misc, which makes every 32-bit
program start as well. The kernel is modelled: a program runs when an
enabled entry matches it (through the emulator) or the host runs 32-bit code."""

import importlib.util
import tempfile
import unittest
from pathlib import Path

SCRIPT = Path(__file__).resolve().parents[2] / "scripts" / "lib" / "can_run_32bit.py"
spec = importlib.util.spec_from_file_location("can_run_32bit", SCRIPT)
probe = importlib.util.module_from_spec(spec)
spec.loader.exec_module(probe)

# The entry scripts/lib/deps.sh registers, and one that also ignores the
# ELF header's ABI version byte.
QEMU = ("enabled\ninterpreter /usr/bin/qemu-i386-static\nflags: PF\noffset 0\n"
        "magic 7f454c4601010100000000000000000002000300\n"
        "mask fffffffffffefe00fffffffffffffffffeffffff\n")
BROAD = QEMU.replace("fffffffffffefe00ffff", "fffffffffffefe000000")
OTHER_ARCH = QEMU.replace("02000300", "02002800")  # arm


class RouteProbeTest(unittest.TestCase):

    def classify(self, host_native, entries, status="enabled"):
        with tempfile.TemporaryDirectory() as folder:
            folder = Path(folder)
            (folder / "status").write_text(status + "\n")
            (folder / "register").write_text("")
            for number, text in enumerate(entries):
                (folder / f"entry{number}").write_text(text)
            found = probe.binfmt_entries(folder)

        def kernel_runs(program):
            return host_native or any(probe.matches(e, program) for e in found)
        return probe.classify(kernel_runs, found)

    def test_native_emulated_or_none(self):
        cases = [
            ("no 32-bit, nothing registered", False, [], "enabled", probe.NONE),
            ("native, nothing registered", True, [], "enabled", probe.NATIVE),
            ("no 32-bit, emulator registered", False, [QEMU], "enabled", probe.EMULATED),
            ("native and an emulator registered", True, [QEMU], "enabled", probe.NATIVE),
            ("emulator that matches the probe too", True, [BROAD], "enabled", probe.EMULATED),
            ("emulator entry disabled", False, [QEMU.replace("enabled", "disabled", 1)],
             "enabled", probe.NONE),
            ("binfmt_misc switched off", False, [QEMU], "disabled", probe.NONE),
            ("emulator of another processor", False, [OTHER_ARCH], "enabled", probe.NONE),
        ]
        for name, host_native, entries, status, expected in cases:
            with self.subTest(name):
                self.assertEqual(expected, self.classify(host_native, entries, status))


if __name__ == "__main__":
    unittest.main()
