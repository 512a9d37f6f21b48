"""Libraries planted under a system library's name beside the setup, beside
the installed uninstaller and in the temporary folder (where the
uninstaller's waiting copy runs) never load: the silent install with every
option and the silent uninstall round trip record nothing, and both still do
their work. Wine prefers its own copy of a system library unless told
otherwise, so every run is told to take a native one first.

Wine's own user32 imports version.dll (Windows' does not), so there a
planted version.dll is loaded into every program at its start, before a line
of the program runs; for that name the programs must never call it (the
import gate shows that they do not import it)."""

import shutil
import unittest

from tests.e2e import test_silent_install as silent
from tests.e2e import test_uninstall as uninstall
from tests.harness.wine import BUILD_DIR, SETUP_DIR_WIN, WinePrefix

# The recorder (tests/tools/planted_library.c), planted under each name.
RECORDER = BUILD_DIR / "tools" / "planted" / "version.dll"
RECORD = r"C:\planted-libraries.log"
# Libraries the programs use that are not among the system's known ones,
# each with the start of the record lines that must not appear.
PLANTED = [
    ("version.dll", "called "),
    ("wininet.dll", ""),
    ("comctl32.dll", ""),
]


def native_first(wp, name):
    """The run's environment: the harness's overrides, and a planted `name`
    taken before Wine's own copy."""
    return {"WINEDLLOVERRIDES": wp.env["WINEDLLOVERRIDES"] + f";{name[:-4]}=n,b"}


def temp_folder(wp):
    """The user's temporary folder, as the programs' GetTempPath names it."""
    users = wp.unix_path("C:\\users")
    folder = next(p for p in users.glob("*/Temp") if p.parent.name != "Public")
    return "C:\\users\\" + folder.parent.name + "\\Temp"


def plant(wp, name, *folders):
    for folder in folders:
        shutil.copy2(RECORDER, wp.unix_path(folder) / name)


def recorded(wp, event=""):
    """The record's lines that start with `event`: "loaded" or "called
    FUNCTION", the planted library, the program it was loaded into."""
    path = wp.unix_path(RECORD)
    lines = path.read_text(encoding="cp1252").splitlines() if path.exists() else []
    return [line for line in lines if line.startswith(event)]


class PlantedLibrariesTest(unittest.TestCase):
    def test_libraries_planted_beside_the_programs_never_load(self):
        for name, event in PLANTED:
            with self.subTest(library=name), WinePrefix("planted", version="winxp") as wp:
                env = native_first(wp, name)
                uninstall.prepare(wp)
                before = uninstall.snapshot(wp)
                plant(wp, name, SETUP_DIR_WIN)
                self.assertEqual(0, wp.run_setup(uninstall.EVERY_OPTION, env=env))
                self.assertEqual([], recorded(wp, event))
                self.assertEqual([], silent.differing_files(wp, uninstall.FOLDER))
                self.assertEqual([], silent.log_texts(wp))

                plant(wp, name, temp_folder(wp), uninstall.FOLDER)
                self.assertEqual(0, wp.run_exact(f'"{uninstall.UNINSTALLER}" /silent',
                                                 cwd_win=SETUP_DIR_WIN, env=env))
                # The waiting copy loads its libraries before it removes the uninstaller.
                self.assertTrue(uninstall.wait_gone(wp, uninstall.UNINSTALLER))
                self.assertEqual([], recorded(wp, event))
                self.assertEqual(before[0], uninstall.snapshot(wp)[0])
                self.assertEqual([name], [p.name for p in wp.unix_path(uninstall.FOLDER).iterdir()])


if __name__ == "__main__":
    unittest.main()
