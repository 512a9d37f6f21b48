"""The uninstaller takes away what the setup wrote and nothing else: the
folder levels the install created go with its folder (one that existed
stays), an icon library the setup kept stays, and so do links of the user
that lead into the install folder."""

import shutil
import unittest

from tests.e2e.test_uninstall import FAMILIES, prepare, snapshot, wait_gone
from tests.harness.wine import BUILD_DIR, CSIDL_DESKTOP, CSIDL_PROGRAMS, SETUP_DIR_WIN, WinePrefix

PARENT = r"C:\Apps"
FOLDER = PARENT + r"\Tessolo"
EVERY_OPTION = (f'/silent /folder="{FOLDER}" /group=1 /desktop=1 /thumbs=1 /assoc=2 '
                '/assocallusers')
FOREIGN_GLYPHS = BUILD_DIR / "payload" / "variants" / "other-company" / "Glyphs.dll"


def uninstall(wp):
    return wp.run_exact(f'"{FOLDER}\\ts_uninstall.exe" /silent', cwd_win=SETUP_DIR_WIN)


class UninstallFilesTest(unittest.TestCase):

    def test_folder_levels_the_install_created_go_with_it(self):
        for version, family in FAMILIES:
            with self.subTest(family=family), WinePrefix("uninstall-new-parent",
                                                         version=version) as wp:
                prepare(wp)
                before = snapshot(wp)
                self.assertEqual(0, wp.run_setup(EVERY_OPTION))
                # A reinstall finds the folder there and must not lose the record.
                self.assertEqual(0, wp.run_setup(EVERY_OPTION))
                self.assertEqual(0, uninstall(wp))
                self.assertTrue(wait_gone(wp, PARENT))
                self.assertEqual(before, snapshot(wp))

    def test_what_the_setup_did_not_write_stays(self):
        with WinePrefix("uninstall-not-ours", version="winxp") as wp:
            plugins = wp.unix_path(FOLDER + r"\Plugins")
            plugins.mkdir(parents=True)
            shutil.copy2(FOREIGN_GLYPHS, plugins / "Glyphs.dll")
            self.assertEqual(0, wp.run_setup(f'/silent /folder="{FOLDER}" /group=1'))
            # The user's own links: one in the group to a file in the install
            # folder, one on the desktop by the viewer's link name to another file.
            group = wp.unix_path(wp.special_folder(CSIDL_PROGRAMS) + r"\Tessolo")
            desktop = wp.unix_path(wp.special_folder(CSIDL_DESKTOP))
            shutil.copy2(group / "Was ist neu.lnk", group / "Meine Notizen.lnk")
            shutil.copy2(group / "Was ist neu.lnk", desktop / "Tessolo.lnk")

            self.assertEqual(0, uninstall(wp))
            self.assertTrue(wait_gone(wp, FOLDER + r"\ts_uninstall.exe"))
            self.assertEqual(FOREIGN_GLYPHS.read_bytes(), (plugins / "Glyphs.dll").read_bytes())
            self.assertEqual(["Plugins"], [p.name for p in wp.unix_path(FOLDER).iterdir()])
            self.assertEqual(["Meine Notizen.lnk"], [p.name for p in group.iterdir()])
            self.assertTrue((desktop / "Tessolo.lnk").exists())
            # The copy that removed the uninstaller ran from a folder of its
            # own in the Windows temporary folder, never from the user's.
            windows_temp = wp.unix_path(r"C:\windows\Temp")
            self.assertEqual([(8, 12)], [(len(d.name), len(f.name))
                                         for d in windows_temp.glob("tsu*") if d.is_dir()
                                         for f in d.glob("tsu*.exe")])
            self.assertEqual([], list((wp.path / "drive_c" / "users").glob("*/Temp/tsu*")))

    def test_a_subfolder_that_is_a_link_fails_the_install(self):
        # Wine shows a host symbolic link as a reparse point, as Windows does
        # a junction: the uninstaller would keep it, so the setup writes
        # nothing through it.
        with WinePrefix("install-linked-subfolder", version="winxp") as wp:
            elsewhere = wp.unix_path(r"C:\Elsewhere")
            elsewhere.mkdir()
            wp.unix_path(FOLDER).mkdir(parents=True)
            wp.unix_path(FOLDER + r"\Html").symlink_to(elsewhere)
            self.assertEqual(5, wp.run_setup(f'/silent /folder="{FOLDER}"'))
            self.assertEqual([], list(elsewhere.iterdir()))
            self.assertTrue((wp.unix_path(FOLDER) / "t_solo32.exe").exists())


if __name__ == "__main__":
    unittest.main()
