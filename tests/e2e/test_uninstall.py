"""The installed uninstaller, silent: install followed by uninstall leaves the
registry and the file tree as they were before, in the XP, Vista and 9x
families; files of the user stay; every extension goes back to the program
that owned it before the install, unless another program took it since; the
stops leave everything as it was, with their exit code and log record; an
older installation in another folder removes its own files and leaves the
registry; a run that ended with 6 completes when run again."""

import shutil
import unittest

from tests.e2e.test_registration import CLASSES, FILE_EXTS, OPEN_COMMAND, ROOTS, UNINSTALL
from tests.harness.wine import (BUILD_DIR, CSIDL_COMMON_DESKTOP, CSIDL_COMMON_PROGRAMS,
                                CSIDL_DESKTOP, CSIDL_PROGRAMS, REG_SZ, SETUP_DIR_WIN, WinePrefix,
                                install_log_records, wait_until)

FOLDER = r"C:\Program Files\Tessolo"
UNINSTALLER = FOLDER + r"\ts_uninstall.exe"
USER_SETTINGS = r"HKCU\Software\Tessolo"
# Where a write through HKEY_CLASSES_ROOT lands when the user's classes hold the key.
USER_CLASSES = r"HKCU\Software\Classes"
USER_APPLICATIONS = USER_CLASSES + r"\Applications\t_solo32.exe"
REGISTERED = r"HKLM\SOFTWARE\RegisteredApplications"
LOG = SETUP_DIR_WIN + r"\Tessolo_Uninstall.log"
EVERY_OPTION = (f'/silent /folder="{FOLDER}" /group=1 /desktop=1 /thumbs=1 /assoc=2 '
                '/assocallusers')
FAMILIES = (("winxp", "XP"), ("win7", "Vista"), ("win98", "9x"), ("win2k", "2000"))

VIEWER_RUNNING = ("Warnung: Tessolo läuft!\n"
                  "Beenden Sie bitte Tessolo bevor Sie mit der Installation fortsetzen!")
NOT_INSTALLED_HERE = ("Tessolo ist in diesem Ordner nicht installiert, es wurde nichts "
                      "entfernt: " + FOLDER)
OTHER_INSTALLATION = ("Tessolo wurde aus diesem Ordner entfernt. Die Einträge in der "
                      "Registrierung gehören zur Installation in einem anderen Ordner und "
                      "bleiben erhalten: ")
ALREADY_RUNNING = ("Tessolo wird gerade installiert oder deinstalliert.\nBitte warten Sie, "
                   "bis dies abgeschlossen ist, und versuchen Sie es dann erneut.")


def prepare(wp):
    # The key exists on real Vista-family systems, not in a fresh Wine prefix.
    wp.reg_set(REGISTERED, "Other Viewer", REG_SZ, r"SOFTWARE\Other\Capabilities")
    # The shell's own per-user keys: one for an extension, without a default,
    # and the user's Applications key.
    wp.reg_set(FILE_EXTS + r"\.png\OpenWithList", "a", REG_SZ, "other.exe")
    wp.reg_set(USER_CLASSES + r"\Applications\other.exe", "NoOpenWith", REG_SZ, "")


def snapshot(wp):
    """The registry under every root the setup writes to, and the files below
    the install folder and the four shell folders it puts links into."""
    registry = {root: wp.reg_tree(root) for root in ROOTS + (USER_SETTINGS, USER_CLASSES)}
    files = {}
    for folder in [FOLDER] + [wp.special_folder(csidl) for csidl in
                              (CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS, CSIDL_DESKTOP,
                               CSIDL_COMMON_DESKTOP)]:
        root = wp.unix_path(folder)
        files[folder] = sorted(str(p.relative_to(root)) for p in root.rglob("*")) \
            if root.exists() else None
    return registry, files


def uninstall(wp, options="/silent", uninstaller=UNINSTALLER):
    return wp.run_exact(f'"{uninstaller}" {options}', cwd_win=SETUP_DIR_WIN)


def wait_gone(wp, win_path, timeout=20):
    """The waiting copy removes the uninstaller after it ended."""
    try:
        return wait_until(lambda: not wp.unix_path(win_path).exists(), f"{win_path} to go", timeout)
    except TimeoutError:
        return False


def short_folder(wp):
    """The install folder with "Program Files" in its short form."""
    listing = wp.wine(["cmd", "/c", "dir", "/x", "C:\\"], check=True).stdout.decode("cp1252")
    short = next(line.split()[-3] for line in listing.splitlines()
                 if line.endswith(" Program Files"))
    return FOLDER.replace("Program Files", short)


def log_texts(wp):
    path = wp.unix_path(LOG)
    if not path.exists():
        return []
    return [record.split(": ", 1)[1] for record in install_log_records(wp.read_text(LOG))]


class UninstallTest(unittest.TestCase):

    def assert_same(self, before, after):
        for root in before[0]:
            old, new = before[0][root] or {}, after[0][root] or {}
            with self.subTest(registry=root):
                self.assertEqual((before[0][root] is None, [], [], []),
                                 (after[0][root] is None,
                                  sorted(old.keys() - new.keys()), sorted(new.keys() - old.keys()),
                                  sorted(k for k in old.keys() & new.keys() if old[k] != new[k])),
                                 "(root missing, keys gone, keys added, keys changed)")
        self.assertEqual(before[1], after[1])

    def test_install_then_uninstall_leaves_the_system_as_it_was(self):
        for version, family in FAMILIES:
            for all_users in (0, 1):
                with self.subTest(family=family, all_users=all_users), \
                        WinePrefix("uninstall", version=version) as wp:
                    prepare(wp)
                    before = snapshot(wp)
                    self.assertEqual(0, wp.run_setup(f"{EVERY_OPTION} /allusers={all_users}"))
                    self.assertNotEqual(before, snapshot(wp))
                    if family != "9x":
                        # Where the NT family writes it when the user's classes have the key.
                        wp.reg_set(USER_APPLICATIONS + r"\shell\open\command", "", REG_SZ,
                                   OPEN_COMMAND)
                    self.assertEqual(0, uninstall(wp))
                    self.assertTrue(wait_gone(wp, FOLDER))
                    self.assert_same(before, snapshot(wp))
                    self.assertEqual([], log_texts(wp))

    def test_files_of_the_user_keep_the_folder(self):
        with WinePrefix("uninstall-user-file", version="winxp") as wp:
            self.assertEqual(0, wp.run_setup(f'/silent /folder="{FOLDER}" /group=1'))
            notes = wp.unix_path(FOLDER) / "Notizen.txt"
            notes.write_bytes(b"meine Notizen")
            self.assertEqual(0, uninstall(wp))
            self.assertTrue(wait_gone(wp, UNINSTALLER))
            self.assertEqual(["Notizen.txt"], [p.name for p in wp.unix_path(FOLDER).iterdir()])
            self.assertEqual(b"meine Notizen", notes.read_bytes())
            self.assertFalse(wp.unix_path(wp.special_folder(CSIDL_PROGRAMS) + r"\Tessolo").exists())

    def test_extensions_go_back_to_their_owner_unless_taken_since(self):
        machine_png = CLASSES + r"\.png"
        user_png, choice_png = FILE_EXTS + r"\.png", FILE_EXTS + r"\.png\UserChoice"
        machine_gif, choice_gif = CLASSES + r"\.gif", FILE_EXTS + r"\.gif\UserChoice"
        # Per family: the places the install takes over, (key, value name).
        places = {
            "XP": [(machine_png, ""), (user_png, "ProgID")],
            "Vista": [(machine_png, ""), (choice_png, "Progid")],
            "9x": [(machine_png, "")],
        }
        places["2000"] = places["9x"]  # the same layout on NT
        later = {"XP": (FILE_EXTS + r"\.gif", "ProgID"), "Vista": (choice_gif, "Progid"),
                 "9x": (machine_gif, ""), "2000": (machine_gif, "")}
        for version, family in FAMILIES:
            with self.subTest(family=family), WinePrefix("uninstall-owners", version=version) as wp:
                for key, name in places[family]:
                    wp.reg_set(key, name, REG_SZ, "OtherViewer.png")
                self.assertEqual(0, wp.run_setup(f'/silent /folder="{FOLDER}" /assoc=1 '
                                                 '/assocallusers'))
                for key, name in places[family]:
                    self.assertEqual("tessolo.png", wp.reg_values(key)[name][1].lower())
                # Another program takes .gif after the install.
                gif_key, gif_name = later[family]
                wp.reg_set(gif_key, gif_name, REG_SZ, "LaterViewer.gif")

                self.assertEqual(0, uninstall(wp))
                for key, name in places[family]:
                    self.assertEqual((REG_SZ, "OtherViewer.png"), (wp.reg_values(key) or {}).get(name), key)
                self.assertEqual((REG_SZ, "LaterViewer.gif"), wp.reg_values(gif_key)[gif_name])
                self.assertIsNone(wp.reg_tree(USER_SETTINGS))
                self.assertIsNone(wp.reg_tree(UNINSTALL))

    def test_stops_and_failures_report_by_exit_code_and_log(self):
        def move_entry(wp):
            wp.reg_set(UNINSTALL, "InstallLocation", REG_SZ, "C:\\Other\\")

        def block_a_plugin(wp):
            # A folder in place of a plug-in: its file cannot be deleted.
            plugin = wp.unix_path(FOLDER + r"\Plugins\Movie.dll")
            plugin.unlink()
            (plugin / "inside").mkdir(parents=True)

        def map_drive(wp):
            (wp.path / "dosdevices" / "t:").symlink_to("../drive_c/Program Files")

        cases = [
            # name, prepare, started as, exit code, log texts, uninstall entry left
            ("no entry", lambda wp: wp.reg_delete(UNINSTALL), UNINSTALLER, 3,
             [NOT_INSTALLED_HERE], False),
            # An older installation: its own files go, the registry stays.
            ("entry names another folder", move_entry, UNINSTALLER, 0,
             [OTHER_INSTALLATION + r"C:\Other"], True),
            # The entry and the uninstaller stay, to run it again.
            ("a file of ours stays", block_a_plugin, UNINSTALLER, 6, [], True),
            ("same folder in other letter case, no trailing backslash",
             lambda wp: wp.reg_set(UNINSTALL, "InstallLocation", REG_SZ, FOLDER.upper()),
             UNINSTALLER, 0, [], False),
            ("same folder through a mapped drive", map_drive, r"T:\Tessolo\ts_uninstall.exe",
             0, [], False),
            # As an install with the short name in /folder= records it.
            ("same folder by its short name",
             lambda wp: wp.reg_set(UNINSTALL, "InstallLocation", REG_SZ, short_folder(wp) + "\\"),
             UNINSTALLER, 0, [], False),
        ]
        for name, change, started_as, code, logged, entry_left in cases:
            with self.subTest(case=name), WinePrefix("uninstall-stops", version="winxp") as wp:
                self.assertEqual(0, wp.run_setup(f'/silent /folder="{FOLDER}" /group=1'))
                change(wp)
                self.assertEqual(code, uninstall(wp, uninstaller=started_as))
                self.assertEqual(logged, log_texts(wp))
                self.assertEqual(entry_left, wp.reg_tree(UNINSTALL) is not None)
                self.assertEqual(code == 3, wp.unix_path(FOLDER + r"\t_solo32.exe").exists())

    def test_a_rerun_after_exit_6_completes(self):
        with WinePrefix("uninstall-rerun", version="winxp") as wp:
            prepare(wp)
            wp.reg_set(FILE_EXTS + r"\.png", "ProgID", REG_SZ, "OtherViewer.png")
            before = snapshot(wp)
            self.assertEqual(0, wp.run_setup(EVERY_OPTION))
            plugin = wp.unix_path(FOLDER + r"\Plugins\Movie.dll")
            plugin.unlink()
            (plugin / "inside").mkdir(parents=True)
            self.assertEqual(6, uninstall(wp))
            self.assertTrue(wp.unix_path(UNINSTALLER).exists())
            self.assertIsNotNone(wp.reg_tree(UNINSTALL))
            shutil.rmtree(plugin)
            self.assertEqual(0, uninstall(wp))
            self.assertTrue(wait_gone(wp, FOLDER))
            self.assert_same(before, snapshot(wp))

    def test_installed_twice_the_first_owner_comes_back(self):
        other = r"C:\Apps\Tessolo"
        for version, family in FAMILIES[:2]:
            for second in (FOLDER, other):
                with self.subTest(family=family, second=second), \
                        WinePrefix("uninstall-twice", version=version) as wp:
                    prepare(wp)
                    for key, name in ((CLASSES + r"\.png", ""), (FILE_EXTS + r"\.png", "ProgID"),
                                      (FILE_EXTS + r"\.png\UserChoice", "Progid")):
                        wp.reg_set(key, name, REG_SZ, "OtherViewer.png")
                    before = snapshot(wp)
                    self.assertEqual(0, wp.run_setup(EVERY_OPTION))
                    self.assertEqual(0, wp.run_setup(EVERY_OPTION.replace(FOLDER, second)))
                    if second != FOLDER:
                        # The first installation's uninstaller leaves the registry to the second.
                        self.assertEqual(0, uninstall(wp))
                        self.assertEqual([OTHER_INSTALLATION + second], log_texts(wp))
                        self.assertTrue(wait_gone(wp, FOLDER))
                        self.assertIsNotNone(wp.reg_tree(UNINSTALL))
                    self.assertEqual(0, uninstall(wp, uninstaller=second + r"\ts_uninstall.exe"))
                    self.assertTrue(wait_gone(wp, second))
                    self.assert_same(before, snapshot(wp))

    def test_the_setup_or_another_uninstaller_running_stops_the_uninstall(self):
        for name, running in (("the setup", [r"C:\setup\tessolo-setup.exe"]),
                              ("another uninstaller", [UNINSTALLER])):
            with self.subTest(running=name), \
                    WinePrefix("uninstall-one-at-a-time", display=(1024, 768)) as wp:
                self.assertEqual(0, wp.run_setup(f'/silent /folder="{FOLDER}"'))
                self.addCleanup(wp.start(running).wait)
                # The wizard's sheet, or the uninstaller's question.
                self.assertTrue(wp.wait_for_window("#32770"))
                before = snapshot(wp)
                self.assertEqual(4, uninstall(wp))
                self.assertEqual([ALREADY_RUNNING], log_texts(wp))
                self.assertEqual(before, snapshot(wp))

    def test_running_viewer_stops_the_uninstall(self):
        with WinePrefix("uninstall-viewer-running", display=(1024, 768)) as wp:
            self.assertEqual(0, wp.run_setup(f'/silent /folder="{FOLDER}"'))
            viewer = wp.unix_path(r"C:\viewer")
            viewer.mkdir()
            shutil.copy2(BUILD_DIR / "payload" / "files" / "t_solo32.exe", viewer)
            self.addCleanup(wp.start([r"C:\viewer\t_solo32.exe", "/exitafter=120000"]).wait)
            self.assertTrue(wp.wait_for_window("Tessolo"))
            before = snapshot(wp)
            self.assertEqual(2, uninstall(wp))
            self.assertEqual([VIEWER_RUNNING], log_texts(wp))
            self.assertEqual(before, snapshot(wp))


if __name__ == "__main__":
    unittest.main()
