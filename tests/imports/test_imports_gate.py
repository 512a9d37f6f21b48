"""The import gate: the shipped 32-bit files load on 98 SE, 2000 and XP, and
the gate refuses a file that would not. Static: nothing here runs Windows code."""

import os
import shutil
import subprocess
import tempfile
import unittest
from pathlib import Path

from tests.imports import gate
from tests.imports.pe_imports import Import, read_imports

BUILD = Path(os.environ.get("TESSOLO_BUILD_DIR", "build/win32"))
MINGW = os.environ.get("TESSOLO_MINGW_PREFIX", "i686-w64-mingw32")

# A program without the C runtime that imports a Vista-only function by name,
# a function of a made-up library by ordinal only, and one of another.
PROBE_SOURCE = """
int FarOff(void);
int LateOne(void);
unsigned long long __stdcall GetTickCount64(void);
void *__stdcall __delayLoadHelper2(void *descriptor, void *slot) { (void)descriptor; (void)slot; return 0; }
int start(void) { return (int)GetTickCount64() + FarOff() + LateOne(); }
"""
DEFINITIONS = {"ord": "LIBRARY ord.dll\nEXPORTS\nFarOff @7 NONAME\n",
               "late": "LIBRARY late.dll\nEXPORTS\nLateOne\n"}

# What the setup and the uninstaller may name in their import tables: the
# system's known libraries and the C runtime, which the loader takes from the
# system folder whatever lies beside the program. Anything else they load at
# run time by its full system-folder path.
SYSTEM_LIBRARIES = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll",
                    "ole32.dll", "oleaut32.dll", "msvcrt.dll"}
ELEVATED_PROGRAMS = ("tessolo-setup.exe", "payload/files/ts_uninstall.exe")


class ShippedFiles(unittest.TestCase):
    def test_every_shipped_file_loads_on_98se_2000_and_xp(self):
        files = gate.shipped_files(BUILD)
        self.assertTrue(any("partner" in path.parts for path in files)
                        and any("files" in path.parts for path in files),
                        "the resource scripts named no payload or no partner library")
        facts = gate.load_table()
        refused = []
        for path in files:
            verdict = gate.judge(read_imports(path), facts)
            print(verdict.line(path.name))
            if not verdict.passed:
                refused.append(verdict.line(path.name))
        self.assertEqual(refused, [])


class ImportedLibraries(unittest.TestCase):
    def test_setup_and_uninstaller_import_only_system_libraries(self):
        for program in ELEVATED_PROGRAMS:
            with self.subTest(program=program):
                libraries = {item.dll for item in read_imports(BUILD / program)}
                self.assertIn("kernel32.dll", libraries)
                self.assertEqual(set(), libraries - SYSTEM_LIBRARIES)


class LoadRule(unittest.TestCase):
    def test_an_import_must_be_in_98se_and_in_2000(self):
        cases = [("95", "nt3", "loads"), ("98se", "2000", "loads"), ("stub", "nt4", "stub"),
                 ("me", "nt3", "too new"), ("98", "xp", "too new"), ("none", "vista", "too new")]
        for nine_x, nt, expected in cases:
            with self.subTest(nine_x=nine_x, nt=nt):
                verdict = gate.judge([Import("k.dll", "F")],
                                     {("k.dll", "F"): gate.Fact(nine_x, nt, "")})
                outcome = ("too new" if verdict.too_new else "stub" if verdict.stubs
                           else "loads")
                self.assertEqual(outcome, expected)


class GateOnABuiltProbe(unittest.TestCase):
    def setUp(self):
        self.dir = Path(tempfile.mkdtemp())
        self.addCleanup(shutil.rmtree, self.dir)
        (self.dir / "probe.c").write_text(PROBE_SOURCE)
        for name, text in DEFINITIONS.items():
            (self.dir / f"{name}.def").write_text(text)
        self.run_tool(f"{MINGW}-gcc-win32", "-O2", "-c", "probe.c", "-o", "probe.o")

    def run_tool(self, *command):
        subprocess.run(command, cwd=self.dir, check=True)

    def test_refuses_vista_import_and_imports_missing_from_the_table(self):
        for name in DEFINITIONS:
            self.run_tool(f"{MINGW}-dlltool", "-d", f"{name}.def", "-l", f"lib{name}.a")
        self.run_tool(f"{MINGW}-gcc-win32", "-nostdlib", "-Wl,-e,_start", "-o", "probe.exe",
                      "probe.o", "libord.a", "liblate.a", "-lkernel32")
        imports = read_imports(self.dir / "probe.exe")
        self.assertEqual(imports, [Import("kernel32.dll", "GetTickCount64"),
                                   Import("late.dll", "LateOne"), Import("ord.dll", "#7")])

        facts = gate.load_table()
        verdict = gate.judge(imports, facts)
        self.assertFalse(verdict.passed)
        self.assertEqual(verdict.too_new, ["kernel32.dll!GetTickCount64 (9x none, NT vista)"])
        self.assertEqual(verdict.unknown, ["late.dll!LateOne", "ord.dll!#7"])
        excused = gate.judge(imports, facts, {("kernel32.dll", "GetTickCount64"): "a reason"})
        self.assertEqual(excused.too_new, [])

    # GNU ld leaves the delay-load directory empty; lld-link fills it.
    @unittest.skipUnless(shutil.which("lld-link") and shutil.which("llvm-dlltool"),
                         "needs lld-link and llvm-dlltool")
    def test_reads_delay_load_imports(self):
        for name in DEFINITIONS:
            self.run_tool("llvm-dlltool", "-m", "i386", "-d", f"{name}.def", "-l", f"{name}.lib")
        kernel32 = subprocess.run([f"{MINGW}-gcc-win32", "-print-file-name=libkernel32.a"],
                                  capture_output=True, text=True, check=True).stdout.strip()
        self.run_tool("lld-link", "/out:probe.exe", "/entry:start", "/subsystem:console",
                      "/nodefaultlib", "/safeseh:no", "probe.o", "ord.lib", "late.lib", kernel32,
                      "/delayload:late.dll")
        self.assertIn(Import("late.dll", "LateOne", delayed=True),
                      read_imports(self.dir / "probe.exe"))


if __name__ == "__main__":
    unittest.main()
