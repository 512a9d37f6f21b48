"""The setup and the uninstaller as Windows 98 SE answers them (the
personality tool, tests/tools/personality): the tool's redirections, the
silent install with every option for the current user and for all users, the
settings folder without APPDATA, a payload file held with write sharing, and
the install -> uninstall round trip."""

import tempfile
import unittest

from tests.e2e.test_silent_install import differing_files, ini
from tests.e2e.test_uninstall import EVERY_OPTION, FOLDER, UNINSTALLER, prepare, snapshot, wait_gone
from tests.harness.personality import (PERSONALITY_EXE, TOOLS_DIR, personality_prefix, run_as,
                                       run_setup_as)
from tests.harness.wine import CSIDL_DESKTOP, CSIDL_PROGRAMS, wait_until

PROBE = TOOLS_DIR / "personality_probe.exe"
FAILS = "fails"  # any error code
# The redirected calls (see PersonalityProbe.cpp) -> how they answer.
ANSWERS = {
    "98": {
        "common_programs": FAILS, "programs": "ok", "share_delete": "87", "share_read": "ok",
        "move_file_ex": "120", "create_semaphore_w": "120", "multibyte_to_widechar": "ok",
        "delete_key_with_subkey": "ok", "appdata": "203",
        "late_library_move_file_ex": "120", "get_proc_address_move_file_ex": "120",
    },
    # NT's answers; the moves find no file (2), so the real call ran.
    "2000": {
        "common_programs": "ok", "programs": "ok", "share_delete": "ok", "share_read": "ok",
        "move_file_ex": "ok", "create_semaphore_w": "ok", "multibyte_to_widechar": "ok",
        "delete_key_with_subkey": "5", "appdata": "ok",
        "late_library_move_file_ex": "2", "get_proc_address_move_file_ex": "2",
    },
}
GROUP_LINK = r"\Tessolo\Tessolo 4.30.lnk"
DESKTOP_LINK = r"\Tessolo.lnk"


def windows_path(path):
    """A host path as the prefix's Z: drive names it, quoted."""
    return '"Z:' + str(path).replace("/", "\\") + '"'


def wait_for_file(path, timeout=30):
    try:
        return wait_until(path.exists, f"{path} to appear", timeout, 0.1)
    except TimeoutError:
        return False


def windows_folder_strays(wp):
    """What an install left in the Windows folder under the product's name."""
    return sorted(p.name for p in wp.unix_path(r"C:\windows").glob("Tessolo*"))


@unittest.skipUnless(PERSONALITY_EXE.exists(), "the personality tool is not built")
class PersonalityToolTest(unittest.TestCase):
    def test_each_redirected_call_answers_as_listed(self):
        for personality, expected in ANSWERS.items():
            with self.subTest(personality), personality_prefix(personality) as wp:
                with tempfile.TemporaryFile() as output:
                    self.assertEqual(0, run_as(wp, personality, windows_path(PROBE), cwd_win="C:\\",
                                               stdout=output))
                    output.seek(0)
                    answers = dict(line.split() for line in output.read().decode().splitlines())
                self.assertEqual(expected, {name: FAILS if expected[name] == FAILS and value != "ok"
                                            else value for name, value in answers.items()})

    def test_a_version_that_did_not_take_fails_loudly(self):
        with personality_prefix("98") as wp:
            with self.assertRaisesRegex(RuntimeError, "did not take"):
                wp.check_version("winxp")


@unittest.skipUnless(PERSONALITY_EXE.exists(), "the personality tool is not built")
class Win98InstallTest(unittest.TestCase):
    def test_every_option_puts_the_links_where_the_user_sees_them(self):
        # 98 SE has one set of shell folders: all users' links are the user's.
        for all_users in (0, 1):
            with self.subTest(all_users=all_users), personality_prefix("98") as wp:
                self.assertEqual(0, run_setup_as(wp, "98", f"{EVERY_OPTION} /allusers={all_users}"))
                self.assertEqual([], differing_files(wp, FOLDER))
                programs, desktop = (wp.special_folder(c) for c in (CSIDL_PROGRAMS, CSIDL_DESKTOP))
                self.assertEqual(FOLDER + r"\t_solo32.exe",
                                 (wp.shortcut(programs + GROUP_LINK) or {}).get("target"))
                self.assertEqual(FOLDER + r"\t_solo32.exe",
                                 (wp.shortcut(desktop + DESKTOP_LINK) or {}).get("target"))
                self.assertEqual([], windows_folder_strays(wp))

    def test_settings_folder_named_by_an_unset_variable_stays_at_home(self):
        # 98 SE has no APPDATA; started in C:\setup, "\Tessolo" would be C:\Tessolo.
        with personality_prefix("98") as wp:
            self.assertEqual(0, run_setup_as(
                wp, "98", '/silent /folder="C:\\T" /ini="%APPDATA%\\Tessolo"'))
            settings = ini(wp, r"C:\T\t_solo32.ini")
            self.assertEqual({"DLL": "DEUTSCH.DLL", "Lang": "Deutsch"}, settings.get("Language"))
            self.assertNotIn("Others", settings)
            self.assertFalse(wp.unix_path(r"C:\Tessolo").exists())

    def test_file_held_with_write_sharing_is_rewritten_in_place(self):
        with personality_prefix("98") as wp:
            self.assertEqual(0, run_setup_as(wp, "98", '/silent /folder="C:\\T"'))
            held = wp.unix_path(r"C:\T\t_about.txt")
            held.write_bytes(b"older text")
            holder = wp.start([PROBE, "hold", r"C:\T\t_about.txt", r"C:\held"])
            self.addCleanup(holder.wait)
            self.assertTrue(wait_for_file(wp.unix_path(r"C:\held")))
            self.assertEqual(0, run_setup_as(wp, "98", '/silent /folder="C:\\T"'))
            self.assertEqual([], differing_files(wp, r"C:\T"))

    def test_install_then_uninstall_leaves_the_system_as_it_was(self):
        for all_users in (0, 1):
            with self.subTest(all_users=all_users), personality_prefix("98") as wp:
                prepare(wp)
                before = snapshot(wp)
                self.assertEqual(0, run_setup_as(wp, "98", f"{EVERY_OPTION} /allusers={all_users}"))
                self.assertNotEqual(before, snapshot(wp))
                self.assertEqual(0, run_as(wp, "98", f'"{UNINSTALLER}" /silent'))
                self.assertTrue(wait_gone(wp, FOLDER))
                self.assertEqual(before, snapshot(wp))
                self.assertEqual([], windows_folder_strays(wp))


if __name__ == "__main__":
    unittest.main()
