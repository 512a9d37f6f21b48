"""Silent installs of the real setup: the three stops with their log record
and exit code, an install that could not write everything after its payload
(exit 6), the 25 files written over whatever was there, the icon
library's overwrite rule, the settings file with its skin and redirect, and
the folder an install goes to when none is given."""

import re
import shutil
import unittest

from tests.harness.wine import (BUILD_DIR, CSIDL_DESKTOP, CSIDL_PROGRAMS, REG_SZ,
                                SETUP_DIR_WIN, WinePrefix, install_log_records)

FILES = BUILD_DIR / "payload" / "files"
VARIANTS = BUILD_DIR / "payload" / "variants"
LOG = SETUP_DIR_WIN + r"\Tessolo_Install.log"
CSIDL_APPDATA = 26

# Where each payload file lands below the install folder.
LAYOUT = [
    "t_solo32.exe", "ts_uninstall.exe", "t_solo32.chm", r"Help\t_solo32d.chm",
    "t_about.txt", "t_changes.txt", "t_options.txt", "t_plugins.txt", "t_languages.txt",
    r"Toolbars\Vellum_24.txt", r"Toolbars\Quarto_16.txt",
    r"Toolbars\Vellum_24.png", r"Toolbars\Quarto_16.png",
    r"Plugins\Movie.dll", r"Plugins\Glyphs.dll", r"Plugins\Filters.dll", r"Plugins\Brush.dll",
    r"Plugins\CharConv.dll", r"Plugins\AreaSnap.dll", r"Plugins\Showreel.exe",
    r"Languages\Deutsch.dll", r"Languages\TP_Deutsch.lng",
    r"Html\thumbnails.html", r"Html\slideshow.html", r"Html\frame.html",
]

VIEWER_RUNNING = ("Warnung: Tessolo läuft!\n"
                  "Beenden Sie bitte Tessolo bevor Sie mit der Installation fortsetzen!")
INVALID_FOLDER = "Ungültiges Zielverzeichnis!"
NOT_CREATABLE = ("Kann Zielverzeichnis nicht erstellen!\n\n"
                 "Bitte überprüfen Sie Ihre Schreibrechte und System-Policies!\n\n"
                 "Versuchen Sie das Zielverzeichnis zuerst händisch zu erstellen.")
INSTALL_FAILED = ("Fehler beim Installieren!\n\n"
                  "Überprüfen Sie bitte ob Tessolo läuft, das Zielverzeichnis voll ist "
                  "oder keine Schreibrechte vorhanden sind!")

NOT_COMPLETELY_REGISTERED = ("Tessolo wurde installiert, aber nicht vollständig registriert! "
                             "Nicht geschrieben:")

UNINSTALL_KEY = r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Tessolo"
# (key, value name) of the earlier installation's open command and of the
# program-files folder.
OPEN_COMMAND = (r"HKLM\SOFTWARE\Classes\Tessolo\shell\open\command", "")
PROGRAM_FILES = (r"HKLM\Software\Microsoft\Windows\CurrentVersion", "ProgramFilesDir")


def built(relative):
    return (FILES / relative.split("\\")[-1]).read_bytes()


def log_texts(wp):
    """The message part of every install-log record, date and time checked."""
    path = wp.unix_path(LOG)
    if not path.exists():
        return []
    texts = []
    for record in install_log_records(wp.read_text(LOG)):
        match = re.fullmatch(r"\S.* - \d\d:\d\d:\d\d: (.*)", record, re.DOTALL)
        assert match, f"malformed record {record!r}"
        texts.append(match.group(1))
    return texts


def ini(wp, win_path):
    """{section: {key: value}} of a settings file; {} when it is missing."""
    path = wp.unix_path(win_path)
    if not path.exists():
        return {}
    sections, current = {}, None
    for line in path.read_bytes().decode("cp1252").splitlines():
        if line.startswith("["):
            current = sections.setdefault(line.strip("[]"), {})
        elif "=" in line and current is not None:
            key, _, value = line.partition("=")
            current[key] = value
    return sections


def differing_files(wp, folder):
    """The payload files below `folder` that are missing or not the built bytes."""
    differing = []
    for relative in LAYOUT:
        path = wp.unix_path(folder + "\\" + relative)
        if not path.is_file() or path.read_bytes() != built(relative):
            differing.append(relative)
    return differing


# With a display a message box would wait for an answer (without one it
# returns at once), so a silent run that ends within this time showed none.
SILENT_RUN_SECONDS = 60


class SilentStopsTest(unittest.TestCase):
    def test_stops_log_one_record_naming_the_folder(self):
        # Each stop appends one record; earlier records stay.
        cases = [
            ('/silent /folder=""', 3, INVALID_FOLDER + ": "),
            ('/silent /folder="Q:\\Nowhere\\Tessolo"', 4, NOT_CREATABLE + ": Q:\\Nowhere\\Tessolo\\"),
            ('/silent /folder="\\\\no-such-server\\share\\Tessolo"', 4,
             NOT_CREATABLE + ": \\\\no-such-server\\share\\Tessolo\\"),
        ]
        with WinePrefix("silent-stops", display=(1024, 768)) as wp:
            expected = []
            for options, code, text in cases:
                with self.subTest(options):
                    self.assertEqual(wp.run_setup(options, timeout=SILENT_RUN_SECONDS), code)
                    expected.append(text)
                    self.assertEqual(log_texts(wp), expected)
            self.assertIsNone(wp.reg_values(UNINSTALL_KEY))

    def test_running_viewer_stops_before_anything_is_installed(self):
        with WinePrefix("silent-viewer-running", display=(1024, 768)) as wp:
            viewer = wp.unix_path(r"C:\viewer")
            viewer.mkdir()
            shutil.copy2(FILES / "t_solo32.exe", viewer / "t_solo32.exe")
            self.addCleanup(wp.start([r"C:\viewer\t_solo32.exe", "/exitafter=120000"]).wait)
            self.assertTrue(wp.wait_for_window("Tessolo"))
            self.assertEqual(wp.run_setup('/silent /folder="C:\\Tessolo"',
                                          timeout=SILENT_RUN_SECONDS), 2)
            self.assertEqual(log_texts(wp), [VIEWER_RUNNING])
            self.assertFalse(wp.unix_path(r"C:\Tessolo").exists())

    def test_file_held_by_a_running_program_fails_its_row_only(self):
        # A program of the install folder is running (here a stand-in that
        # waits in its message box), so its exe cannot be replaced.
        with WinePrefix("silent-locked", display=(1024, 768)) as wp:
            plugins = wp.unix_path(r"C:\T\Plugins")
            plugins.mkdir(parents=True)
            held = FILES / "ts_uninstall.exe"
            shutil.copy2(held, plugins / "Showreel.exe")
            self.addCleanup(wp.start([r"C:\T\Plugins\Showreel.exe"]).wait)
            self.assertTrue(wp.wait_for_window("#32770"))

            self.assertEqual(wp.run_setup('/silent /folder="C:\\T"', timeout=SILENT_RUN_SECONDS), 5)
            self.assertEqual(log_texts(wp), ["C:\\T\\: " + INSTALL_FAILED])
            self.assertEqual(differing_files(wp, r"C:\T"), [r"Plugins\Showreel.exe"])
            self.assertEqual((plugins / "Showreel.exe").read_bytes(), held.read_bytes())
            # Nothing after the payload: no settings file, no registration.
            self.assertEqual(ini(wp, r"C:\T\t_solo32.ini"), {})
            self.assertIsNone(wp.reg_values(UNINSTALL_KEY))


class SilentIncompleteRegistrationTest(unittest.TestCase):
    def test_what_could_not_be_written_is_named_in_one_record_with_exit_6(self):
        # A folder in place of the settings file and of the desktop link
        # makes both writes fail; everything else is still written.
        with WinePrefix("silent-not-registered") as wp:
            wp.unix_path(r"C:\T\t_solo32.ini").mkdir(parents=True)
            desktop = wp.special_folder(CSIDL_DESKTOP)
            wp.unix_path(desktop + r"\Tessolo.lnk").mkdir(parents=True)
            self.assertEqual(wp.run_setup('/silent /folder="C:\\T" /desktop=1 /group=1'), 6)
            self.assertEqual(log_texts(wp), [
                f"C:\\T\\: {NOT_COMPLETELY_REGISTERED}\nC:\\T\\t_solo32.ini\n{desktop}\\Tessolo.lnk"])
            self.assertEqual(differing_files(wp, r"C:\T"), [])
            self.assertEqual(wp.reg_values(UNINSTALL_KEY)["InstallLocation"], (REG_SZ, "C:\\T\\"))
            group = wp.special_folder(CSIDL_PROGRAMS) + r"\Tessolo\Tessolo 4.30.lnk"
            self.assertEqual(wp.shortcut(group)["target"], r"C:\T\t_solo32.exe")


class SilentPayloadTest(unittest.TestCase):
    def test_writes_the_payload_over_old_files_and_leaves_no_log(self):
        folder = r"C:\Apps\My Tessolo"
        with WinePrefix("silent-payload") as wp:
            old = wp.unix_path(r"C:\Apps")
            (old / "My Tessolo").mkdir(parents=True)
            viewer = old / "My Tessolo" / "t_solo32.exe"
            viewer.write_bytes(b"an older viewer")
            viewer.chmod(0o444)  # read-only

            self.assertEqual(wp.run_setup(f'/silent /folder="{folder}  "'), 0)
            self.assertEqual(differing_files(wp, folder), [])
            self.assertTrue(viewer.stat().st_mode & 0o200, "the new viewer is still read-only")
            entries = sorted(p.name for p in wp.unix_path(folder).iterdir())
            self.assertEqual(entries, sorted(
                {r.split("\\")[0] for r in LAYOUT} | {"t_solo32.ini"}), "stray files")
            self.assertEqual(ini(wp, folder + r"\t_solo32.ini")["Language"],
                             {"DLL": "DEUTSCH.DLL", "Lang": "Deutsch"})
            self.assertFalse(wp.unix_path(LOG).exists())

    def test_level_typed_with_trailing_spaces_is_used_as_created(self):
        # "Apps " is created as "Apps"; the settings file and the registration
        # must name that folder, not the typed one.
        with WinePrefix("silent-spaced-level") as wp:
            self.assertEqual(wp.run_setup(r'/silent /folder="C:\Apps  \Tessolo"'), 0)
            self.assertEqual(differing_files(wp, r"C:\Apps\Tessolo"), [])
            self.assertEqual(ini(wp, r"C:\Apps\Tessolo\t_solo32.ini")["Language"]["Lang"],
                             "Deutsch")
            self.assertEqual(wp.reg_values(UNINSTALL_KEY)["InstallLocation"],
                             (REG_SZ, "C:\\Apps\\Tessolo\\"))

    def test_folder_without_drive_is_registered_as_the_folder_it_names(self):
        # Started in C:\setup; a later bare install from elsewhere must find
        # the same folder again.
        folder = SETUP_DIR_WIN + "\\Apps\\Tessolo\\"
        with WinePrefix("silent-relative-folder") as wp:
            self.assertEqual(wp.run_setup(r"/silent /folder=Apps\Tessolo"), 0)
            self.assertEqual(differing_files(wp, folder.rstrip("\\")), [])
            self.assertEqual(wp.reg_values(UNINSTALL_KEY)["InstallLocation"], (REG_SZ, folder))
            self.assertEqual(wp.reg_values(OPEN_COMMAND[0])[""],
                             (REG_SZ, f'"{folder}t_solo32.exe" "%1"'))
            self.assertEqual(wp.run_setup("/silent", cwd_win="C:\\"), 0)
            self.assertEqual(wp.reg_values(UNINSTALL_KEY)["InstallLocation"], (REG_SZ, folder))
            self.assertFalse(wp.unix_path(r"C:\Apps").exists())

    def test_icon_library_overwrite_rule(self):
        # variant -> whether the setup replaces it (all count as written)
        cases = [
            ("no-version", True),
            ("other-company", False),
            ("v428", True),
            ("v430-same-size", True),
            ("v430-other-size", False),
            ("v431", False),
            ("v440", False),
        ]
        embedded = (FILES / "Glyphs.dll").read_bytes()
        with WinePrefix("silent-glyphs") as wp:
            plugins = wp.unix_path(r"C:\T\Plugins")
            plugins.mkdir(parents=True)
            for variant, replaced in cases:
                with self.subTest(variant):
                    existing = (VARIANTS / variant / "Glyphs.dll").read_bytes()
                    (plugins / "Glyphs.dll").write_bytes(existing)
                    self.assertEqual(wp.run_setup('/silent /folder="C:\\T"'), 0)
                    self.assertEqual((plugins / "Glyphs.dll").read_bytes(),
                                     embedded if replaced else existing)
            self.assertEqual(log_texts(wp), [])

    def test_skin_follows_the_screen_width_and_is_kept_once_chosen(self):
        for size, skin in (((1024, 768), ("Quarto_16.png", "16")),
                           ((1280, 1024), ("Vellum_24.png", "24"))):
            with self.subTest(size), WinePrefix("silent-skin", display=size) as wp:
                self.assertEqual(wp.screen_metrics()[2], size[0])
                self.assertEqual(wp.run_setup('/silent /folder="C:\\T"'), 0)
                self.assertEqual(ini(wp, r"C:\T\t_solo32.ini")["Toolbar"],
                                 {"Skin": skin[0], "Size": skin[1]})
        with WinePrefix("silent-skin-kept") as wp:
            settings = wp.unix_path(r"C:\T")
            settings.mkdir()
            (settings / "t_solo32.ini").write_bytes(
                b"[Language]\r\nLang=English\r\n[Toolbar]\r\nSkin=Own.png\r\nSize=32\r\n")
            self.assertEqual(wp.run_setup('/silent /folder="C:\\T"'), 0)
            written = ini(wp, r"C:\T\t_solo32.ini")
            self.assertEqual(written["Toolbar"], {"Skin": "Own.png", "Size": "32"})
            self.assertEqual(written["Language"], {"Lang": "Deutsch", "DLL": "DEUTSCH.DLL"})

    def test_ini_option_redirects_the_settings(self):
        with WinePrefix("silent-ini") as wp:
            self.assertEqual(
                wp.run_setup('/silent /folder="C:\\T" /ini="%APPDATA%\\Tessolo"'), 0)
            self.assertEqual(ini(wp, r"C:\T\t_solo32.ini"),
                             {"Others": {"INI_Folder": r"%APPDATA%\Tessolo"}})
            redirected = ini(wp, wp.special_folder(CSIDL_APPDATA) + r"\Tessolo\t_solo32.ini")
            self.assertEqual(redirected["Language"], {"DLL": "DEUTSCH.DLL", "Lang": "Deutsch"})
            self.assertEqual(redirected["Toolbar"]["Size"], "16")
            self.assertNotIn("Others", redirected)

    def test_without_folder_option_the_earlier_or_the_default_folder_is_used(self):
        # registry values before the run -> where the payload lands
        earlier = '"C:\\Old Place\\t_solo32.exe" "%1"'
        cases = [
            ("earlier installation", {OPEN_COMMAND: earlier, PROGRAM_FILES: r"C:\Programme"},
             r"C:\Old Place"),
            # 259 characters: the longest command a path buffer holds.
            ("earlier installation, longest command",
             {OPEN_COMMAND: earlier.ljust(259), PROGRAM_FILES: r"C:\Programme"}, r"C:\Old Place"),
            ("program files", {PROGRAM_FILES: r"C:\Programme"}, r"C:\Programme\Tessolo"),
            ("program files with its backslash", {PROGRAM_FILES: "C:\\Apps\\"},
             r"C:\Apps\Tessolo"),
            ("empty earlier command", {OPEN_COMMAND: "", PROGRAM_FILES: r"C:\Programme"},
             r"C:\Programme\Tessolo"),
            # A viewer path without drive names no folder of its own.
            ("earlier command without a drive",
             {OPEN_COMMAND: '"t_solo32.exe" "%1"', PROGRAM_FILES: r"C:\Programme"},
             r"C:\Programme\Tessolo"),
            # A value too long for a path buffer is not read: the fixed default.
            ("unreadable program files", {PROGRAM_FILES: "C:\\" + "p" * 300}, r"C:\Tessolo"),
        ]
        for name, values, folder in cases:
            with self.subTest(name), WinePrefix("silent-default-folder") as wp:
                for key_value, data in values.items():
                    wp.reg_set(*key_value, REG_SZ, data)
                self.assertEqual(wp.run_setup("/silent"), 0)
                self.assertEqual(differing_files(wp, folder), [])


if __name__ == "__main__":
    unittest.main()
