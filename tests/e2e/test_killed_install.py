"""An install ended part-way, as a crash or Task Manager ends it (no code of
the setup runs), then run again, leaves what an install that was never
interrupted leaves; uninstalled then, the system is as it was before: the
folder levels the first run created are gone, and the file type another
program owned before is that program's again.

The probe starts the setup and ends it the moment the prefix shows the kill
point (a file or a registry key appearing), so no build of the setup knows
it is being tested."""

import hashlib
import unittest

from tests.e2e.test_registration import CLASSES, FILE_EXTS, ROOTS
from tests.e2e.test_uninstall import USER_CLASSES, USER_SETTINGS, prepare, uninstall, wait_gone
from tests.harness.wine import (CSIDL_COMMON_DESKTOP, CSIDL_COMMON_PROGRAMS, CSIDL_DESKTOP,
                                CSIDL_PROGRAMS, PROBE_EXE, REG_SZ, SETUP_DIR_WIN, SETUP_EXE_WIN,
                                WinePrefix)

# C:\Apps does not exist before: the install creates both levels.
CREATED = r"C:\Apps"
FOLDER = CREATED + r"\Tessolo"
OPTIONS = f'/silent /folder="{FOLDER}" /group=1 /desktop=1 /thumbs=1 /assoc=2'
UNINSTALLER = FOLDER + r"\ts_uninstall.exe"
# The file type another program owns: the machine's extension default and
# the user's choice, as the Vista family has them.
OWNED = ((CLASSES + r"\.png", ""), (FILE_EXTS + r"\.png\UserChoice", "Progid"))


def kill_points(wp):
    """(name, what the probe waits for) in the order the install reaches them."""
    group = wp.special_folder(CSIDL_PROGRAMS) + r"\Tessolo"
    return [
        ("after the first file", f"file:{FOLDER}\\t_solo32.exe"),
        ("half-way", f"file:{FOLDER}\\Plugins\\Glyphs.dll"),  # row 15 of 25
        ("after the files", f"file:{FOLDER}\\t_solo32.ini"),
        ("during the links", f"file:{group}\\Tessolo 4.30.lnk"),
        # .png is taken over by then, .tif not yet.
        ("during the registry", f"key:{CLASSES}\\Tessolo.tif"),
    ]


def read_links(wp, names):
    """{name: the link's fields as the probe reads them back}, all at one start
    of the probe (a Wine start each would take seconds on a busy machine)."""
    links, current = {}, None
    if names:
        out = wp.wine([PROBE_EXE, "lnks", *names], check=True).stdout.decode()
        for line in out.splitlines():
            field, _, value = line.partition(" ")
            if field == "link":
                current = links.setdefault(bytes.fromhex(value).decode("cp1252"), {})
            else:
                current[field] = value
    return links


def state(wp):
    """{(kind, name): content} of everything an install may touch: the keys
    under the setup's roots, the files and folders below C:\\Apps and the
    shell folders (links read back)."""
    found, links = {}, []
    for root in ROOTS + (USER_SETTINGS, USER_CLASSES):
        for key, values in (wp.reg_tree(root) or {}).items():
            found[("key", root + "\\" + key)] = values
    folders = [CREATED] + [wp.special_folder(csidl) for csidl in
                           (CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS, CSIDL_DESKTOP, CSIDL_COMMON_DESKTOP)]
    for folder in folders:
        top = wp.unix_path(folder)
        for path in [top] + sorted(top.rglob("*")) if top.exists() else []:
            name = folder + "".join("\\" + part for part in path.relative_to(top).parts)
            if path.is_dir():
                found[("folder", name)] = None
            elif path.suffix == ".lnk":
                links.append(name)
            else:
                found[("file", name)] = hashlib.sha256(path.read_bytes()).hexdigest()
    found.update({("link", name): fields for name, fields in read_links(wp, links).items()})
    return found


def differences(expected, found):
    """What is missing, what is more and what differs, by name."""
    return {"missing": sorted(expected.keys() - found.keys()),
            "more": sorted(found.keys() - expected.keys()),
            "changed": sorted(k for k in expected.keys() & found.keys() if expected[k] != found[k])}


NONE = {"missing": [], "more": [], "changed": []}


class KilledInstallTest(unittest.TestCase):

    def test_a_rerun_after_a_kill_completes_and_the_uninstall_leaves_nothing(self):
        # One prefix for all rows: each row ends where it started, as checked.
        with WinePrefix("killed-install", version="win7") as wp:
            prepare(wp)
            for key, name in OWNED:
                wp.reg_set(key, name, REG_SZ, "OtherViewer.png")
            before = state(wp)
            self.assertEqual(0, wp.run_setup(OPTIONS))
            installed = state(wp)
            self.assertEqual(0, uninstall(wp, uninstaller=UNINSTALLER))
            self.assertTrue(wait_gone(wp, CREATED))
            self.assertEqual(NONE, differences(before, state(wp)), "uninterrupted")

            for name, point in kill_points(wp):
                with self.subTest(kill=name):
                    killer = wp.wine([PROBE_EXE, "killat", point], env={
                        "PROBE_CMDLINE": f'"{SETUP_EXE_WIN}" {OPTIONS}', "PROBE_CWD": SETUP_DIR_WIN})
                    # The probe only ends a setup that is still running.
                    self.assertEqual(0, killer.returncode, killer.stderr.decode(errors="replace"))
                    self.assertEqual(0, wp.run_setup(OPTIONS))
                    self.assertEqual(NONE, differences(installed, state(wp)), "run again")
                    self.assertEqual(0, uninstall(wp, uninstaller=UNINSTALLER))
                    self.assertTrue(wait_gone(wp, CREATED))
                    self.assertEqual(NONE, differences(before, state(wp)), "uninstalled")


if __name__ == "__main__":
    unittest.main()
