"""The German wizard driven from a second process under Xvfb, inside a Wine
virtual desktop (title bars and real fonts for the screenshots, which are saved
as artifacts)."""

import hashlib
import time
import unittest

from tests.harness import wine
from tests.harness.wizard import (BACK_BUTTON, CANCEL_BUTTON, FILE_TYPES, FINISH_BUTTON, FINISHED, NEXT_BUTTON,
                                  READY, WELCOME, WHATS_NEW, FakeViewer, Wizard)

SCREEN = (1024, 768)
DESKTOP = "1024x768"

# Controls of the pages.
FOLDER, BROWSE = 1000, 1009
DESKTOP_BOX, THUMBS_BOX, GROUP_BOX = 1011, 1021, 1012
CURRENT_USER, ALL_USERS, NO_SHORTCUTS = 1016, 1017, 1019
ONLY_IMAGES, ALL_TYPES, NO_TYPES, ASSOC_ALL_USERS = 1091, 1080, 1081, 1037
FOLDER_LINE, INI_PROGRAM, INI_APPDATA, WORKING_LINE = 1010, 1038, 1039, 1044
SHOW_FAQ, START_VIEWER = 1022, 1020

UNTICKED, TICKED = 1, 2
IMAGE_ROWS, ALL_ROWS = 52, 68

INVALID_FOLDER = "Ungültiges Zielverzeichnis!"
CONFIRM_QUIT = "Installation beenden?"
VIEWER_RUNNING = ("Warnung: Tessolo läuft!\nBeenden Sie bitte Tessolo bevor Sie mit der Installation "
                  "fortsetzen!")
CONFIRM_ASSOCIATIONS = ("Sie möchten die aktuellen Verknüpfungen ändern und einen oder mehrere Dateitypen "
                        "mit Tessolo verknüpfen!\n\nSind Sie sicher!?")
FOLDER_NOT_CREATABLE = ("Kann Zielverzeichnis nicht erstellen!\n\nBitte überprüfen Sie Ihre Schreibrechte "
                        "und System-Policies!\n\nVersuchen Sie das Zielverzeichnis zuerst händisch zu "
                        "erstellen.")
DEFAULT_FOLDER = r"C:\Program Files\Tessolo"
FAQ_ADDRESS = "http://www.tessolo.example/faq.htm"
VIEWER_EXE = "t_solo32.exe"

# Keys an installation may touch; the comparison of two installations reads them whole.
REGISTRY_ROOTS = (
    r"HKLM\SOFTWARE\Classes",
    r"HKLM\SOFTWARE\Clients",
    r"HKLM\SOFTWARE\RegisteredApplications",
    r"HKLM\SOFTWARE\Tessolo",
    r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall",
    r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths",
    r"HKCU\Software\Classes",
    r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts",
)
SHORTCUT_FOLDERS = (wine.CSIDL_DESKTOP, wine.CSIDL_PROGRAMS, wine.CSIDL_COMMON_PROGRAMS,
                    wine.CSIDL_COMMON_DESKTOP)


def ui_prefix(name, version="win7"):
    return wine.WinePrefix(name, version=version, display=SCREEN, virtual_desktop=DESKTOP)


def snap(prefix, name):
    """Saves a screenshot once the page has had time to paint itself."""
    time.sleep(0.7)
    prefix.screenshot(name)


def go_to(wizard, page):
    """Presses Next from the welcome page until `page` (before the ready page's install)."""
    for index in range(wizard.page() + 1, page + 1):
        wizard.next(expect_page=index)


def installation(prefix, folder):
    """What an installation left: files with their digests, links, registry."""
    root = prefix.unix_path(folder)
    files = {str(p.relative_to(root)): hashlib.sha256(p.read_bytes()).hexdigest()
             for p in sorted(root.rglob("*")) if p.is_file()}
    links = {}
    for csidl in SHORTCUT_FOLDERS:
        base = prefix.special_folder(csidl)
        unix = prefix.unix_path(base)
        for link in sorted(unix.rglob("*.lnk")) if unix.exists() else ():
            win = base + "\\" + str(link.relative_to(unix)).replace("/", "\\")
            links[(csidl, str(link.relative_to(unix)))] = prefix.shortcut(win)
    registry = {root_key: prefix.reg_tree(root_key) for root_key in REGISTRY_ROOTS}
    return files, links, registry


def record_browser(prefix):
    """Makes Wine's browser launcher append every address it is given to a
    file; returns (that file, the recording script)."""
    recorded = prefix.path.parent / (prefix.path.name + "-browser.txt")
    recorder = prefix.path.parent / (prefix.path.name + "-browser.sh")
    recorder.write_text(f'#!/bin/sh\nprintf "%s\\n" "$@" >> "{recorded}"\n')
    recorder.chmod(0o755)
    prefix.reg_set(r"HKCU\Software\Wine\WineBrowser", "Browsers", wine.REG_SZ, str(recorder))
    return recorded, recorder


def wait_for_file(path, timeout=20):
    """True once `path` holds text; the wait grows with the machine's load."""
    try:
        return wine.wait_until(lambda: path.exists() and path.read_text().strip(),
                               f"text in {path.name}", timeout)
    except TimeoutError:
        return False


class WelcomePageTest(unittest.TestCase):
    """Checks of the first pages that never install; one prefix for all."""

    @classmethod
    def setUpClass(cls):
        cls.prefix = ui_prefix("wizard-pages").__enter__()

    @classmethod
    def tearDownClass(cls):
        cls.prefix.__exit__(None, None, None)

    def setUp(self):
        self.wizard = Wizard.open(self.prefix)

    def tearDown(self):
        if self.wizard.is_open():
            self.wizard.click_cancel()
            self.wizard.answer("yes")
        self.wizard.wait_exit()

    def test_welcome_page_starts_with_default_folder_and_all_shortcuts(self):
        w = self.wizard
        self.assertEqual(DEFAULT_FOLDER, w.text(FOLDER))
        for box in (DESKTOP_BOX, THUMBS_BOX, GROUP_BOX, CURRENT_USER):
            self.assertTrue(w.checked(box), box)
        self.assertFalse(w.checked(ALL_USERS))
        self.assertFalse(w.sheet_state(BACK_BUTTON)["enabled"])
        self.assertEqual(["< &Zurück", "&Weiter >", "&Beenden"],
                         [w.sheet_text(b) for b in (BACK_BUTTON, NEXT_BUTTON, CANCEL_BUTTON)])

    def test_folder_check_refuses_texts_without_drive(self):
        w = self.wizard
        cases = [
            ("Tessolo", False),
            ("   C:\\Apps\\Tessolo", False),  # leading spaces: the check looks at the text as typed
            ("\\\\server\\share\\Tessolo", False),
            ("", False),
            ("D:", True),
            ("C:\\Apps\\Tessolo   ", True),
        ]
        for text, accepted in cases:
            with self.subTest(folder=text):
                w.set_text(FOLDER, text)
                w.next()
                if accepted:
                    w.wait_page(WHATS_NEW)
                    self.assertTrue(w.sheet_state(BACK_BUTTON)["enabled"])
                    w.back(expect_page=WELCOME)
                else:
                    self.assertEqual(INVALID_FOLDER, w.answer("ok"))
                    w.wait_page(WELCOME)
                    self.assertEqual(text, w.text(FOLDER))
                    self.assertFalse(w.sheet_state(BACK_BUTTON)["enabled"])

    def test_cancel_and_close_box_ask_and_no_keeps_page_and_inputs(self):
        w = self.wizard
        w.set_text(FOLDER, r"C:\Kept\Tessolo")
        w.click(THUMBS_BOX)
        for page in (WELCOME, WHATS_NEW, FILE_TYPES, READY):
            go_to(w, page)
            if page == FILE_TYPES:
                w.tick_row(13)
            for leave in (w.click_cancel, w.close_box):
                with self.subTest(page=page, leave=leave.__name__):
                    leave()
                    self.assertEqual(CONFIRM_QUIT, w.answer("no"))
                    w.wait_page(page)
                    self.assertTrue(w.is_open())
        w.back(expect_page=FILE_TYPES)
        self.assertEqual(TICKED, w.row_states()[13])
        w.back(expect_page=WHATS_NEW)
        w.back(expect_page=WELCOME)
        self.assertEqual(r"C:\Kept\Tessolo", w.text(FOLDER))
        self.assertFalse(w.checked(THUMBS_BOX))
        w.click_cancel()
        self.assertEqual(CONFIRM_QUIT, w.answer("yes"))
        w.wait_gone()

    def test_with_an_offer_page_cancel_and_close_box_still_ask_on_the_shifted_ready_page(self):
        self.wizard.click_cancel()
        self.wizard.answer("yes")
        self.wizard.wait_exit()
        self.wizard = w = Wizard.open(self.prefix, offers=("toolbar",))
        offer, ready = FILE_TYPES + 1, READY + 1
        for page in (offer, ready):
            go_to(w, page)
            for leave in (w.click_cancel, w.close_box):
                with self.subTest(page=page, leave=leave.__name__):
                    leave()
                    self.assertEqual(CONFIRM_QUIT, w.answer("no"))
                    w.wait_page(page)
        self.assertEqual("&Beenden", w.sheet_text(CANCEL_BUTTON))

    def test_shortcut_boxes_enable_the_audience_pair(self):
        w = self.wizard
        steps = [
            # (clicked control, expected enabled state of the radio pair)
            (DESKTOP_BOX, True),
            (THUMBS_BOX, True),
            (GROUP_BOX, False),  # the last one cleared
            (THUMBS_BOX, True),
            (NO_SHORTCUTS, False),
            (GROUP_BOX, True),
            (NO_SHORTCUTS, False),
        ]
        for control, enabled in steps:
            w.click(control)
            for radio in (CURRENT_USER, ALL_USERS):
                self.assertEqual(enabled, w.state(radio)["enabled"], (control, radio))
        self.assertEqual([False, False, False], [w.checked(b) for b in (DESKTOP_BOX, THUMBS_BOX, GROUP_BOX)])

    def test_browse_button_appends_the_product_folder_where_missing(self):
        w = self.wizard
        for folder in ("Apps\\TESSOLO", "Apps\\Fotos"):
            self.prefix.unix_path("C:\\" + folder).mkdir(parents=True, exist_ok=True)
        cases = [
            # (field before, button, the browser's item for it, field after):
            # the browser opens on the field's folder
            ("C:\\Apps\\Fotos\\", "ok", "Fotos", "C:\\Apps\\Fotos\\Tessolo\\"),
            ("C:\\Apps\\TESSOLO", "ok", "TESSOLO", "C:\\Apps\\TESSOLO\\"),
            ("C:\\", "ok", "C:", "C:\\Tessolo\\"),
            ("C:\\Apps\\Fotos", "cancel", "Fotos", "C:\\Apps\\Fotos"),
        ]
        for before, button, item, after in cases:
            with self.subTest(field=before, button=button):
                w.set_text(FOLDER, before)
                w.browse(BROWSE, button, item)
                self.assertEqual(after, w.text(FOLDER))

    def test_whats_new_page_shows_the_release_notes(self):
        w = self.wizard
        go_to(w, WHATS_NEW)
        self.assertIn("4.30", w.text(FOLDER))

    def test_file_type_list_rows_buttons_and_columns(self):
        w = self.wizard
        go_to(w, FILE_TYPES)
        self.assertEqual([UNTICKED] * ALL_ROWS, w.row_states())
        self.assertEqual(("EPS", "Encapsulated PostScript (TIF only)"), (w.row_text(13, 0), w.row_text(13, 1)))
        width, label, description = w.list_columns()
        self.assertEqual((width // 3, 2 * width // 3 - 25), (label, description))

        images_only = [TICKED] * IMAGE_ROWS + [UNTICKED] * (ALL_ROWS - IMAGE_ROWS)
        for button, expected in ((ALL_TYPES, [TICKED] * ALL_ROWS), (ONLY_IMAGES, images_only),
                                 (NO_TYPES, [UNTICKED] * ALL_ROWS), (ONLY_IMAGES, images_only)):
            w.click(button)
            self.assertEqual(expected, w.row_states(), button)

        # Later visits keep the ticks and do not fill the list again.
        w.next(expect_page=READY)
        w.back(expect_page=FILE_TYPES)
        self.assertEqual(images_only, w.row_states())

    def test_ready_page_proposes_application_data_only_for_the_default_folder(self):
        w = self.wizard
        cases = [
            (DEFAULT_FOLDER, True),
            (DEFAULT_FOLDER + "\\", True),
            (r"c:\PROGRAM FILES\tessolo", True),
            (DEFAULT_FOLDER + "  ", True),  # trailing spaces are trimmed first
            (r"C:\Program Files\Tessolo2", False),
            (r"D:\Tessolo", False),
        ]
        for folder, appdata in cases:
            with self.subTest(folder=folder):
                w.set_text(FOLDER, folder)
                go_to(w, READY)
                self.assertEqual("Zielverzeichnis: " + folder.rstrip(), w.text(FOLDER_LINE))
                self.assertEqual((not appdata, appdata), (w.checked(INI_PROGRAM), w.checked(INI_APPDATA)))
                self.assertFalse(w.state(WORKING_LINE)["visible"])
                for _ in range(READY):
                    w.back()
                w.wait_page(WELCOME)

    def test_running_viewer_warns_on_welcome_page_and_blocks_the_install(self):
        self.wizard.click_cancel()
        self.wizard.answer("yes")
        self.wizard.wait_exit()
        with FakeViewer(self.prefix):
            process = self.prefix.start([wine.PROBE_EXE, "run"],
                                        env={"PROBE_CMDLINE": f'"{wine.SETUP_EXE_WIN}"',
                                             "PROBE_CWD": wine.SETUP_DIR_WIN})
            self.wizard = Wizard(self.prefix, process)
            self.assertEqual(VIEWER_RUNNING, self.wizard.answer("ok"))
            w = self.wizard
            w.wait_page(WELCOME)
            w.set_text(FOLDER, r"C:\Blocked\ByViewer")
            go_to(w, READY)
            w.next()
            self.assertEqual(VIEWER_RUNNING, w.answer("ok"))
            w.wait_page(READY)
            self.assertFalse(w.state(WORKING_LINE)["visible"])
        self.assertFalse(self.prefix.unix_path(r"C:\Blocked\ByViewer").exists())


class InstallTest(unittest.TestCase):
    """Whole runs that install."""

    def test_interactive_install_equals_silent_install_with_the_same_choices(self):
        folder = r"C:\Apps\Tessolo"
        with ui_prefix("wizard-install") as wp:
            w = Wizard.open(wp)
            w.set_text(FOLDER, folder)
            w.click(THUMBS_BOX)
            w.click(ALL_USERS)
            go_to(w, FILE_TYPES)
            w.click(ONLY_IMAGES)
            w.click(ASSOC_ALL_USERS)
            go_to(w, READY)
            w.next()
            self.assertEqual(CONFIRM_ASSOCIATIONS, w.answer("yes"))
            w.wait_page(FINISHED)
            self.assertEqual("&Fertig stellen", w.sheet_text(CANCEL_BUTTON))
            self.assertEqual((False, False), (w.sheet_state(BACK_BUTTON)["enabled"],
                                              w.sheet_state(NEXT_BUTTON)["enabled"]))
            self.assertFalse(w.sheet_state(FINISH_BUTTON)["visible"], "the sheet's own Finish button shows")
            self.assertEqual({"checked": 1, "enabled": False, "visible": True}, w.state(SHOW_FAQ))
            self.assertTrue(w.checked(START_VIEWER))
            # The close box on the finished page ends the wizard without a question.
            w.close_box()
            w.wait_gone()
            self.assertEqual(0, w.exit_without_message_box())
            interactive = installation(wp, folder)

        with wine.WinePrefix("wizard-silent-twin") as wp:
            code = wp.run_setup(f'/silent /folder="{folder}" /group=1 /desktop=1 /thumbs=0 /allusers=1 '
                                '/assoc=1 /assocallusers')
            self.assertEqual(0, code)
            silent = installation(wp, folder)

        self.assertEqual(26, len(interactive[0]), "25 payload files and the settings file")
        self.assertTrue(interactive[1], "the wizard created no shortcut")
        self.assertIn("Tessolo", interactive[2][r"HKLM\SOFTWARE\Classes"], "the wizard registered nothing")
        for part, wizard_part, silent_part in zip(("files", "shortcuts", "registry"), interactive, silent):
            self.assertEqual(silent_part, wizard_part, part)

    def test_failed_install_returns_to_welcome_then_no_to_file_types_still_installs_and_finish(self):
        user_choice = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\.eps\UserChoice"
        own_choice = {"Progid": (wine.REG_SZ, "Other.eps"), "Hash": (wine.REG_SZ, "c2VlZGVkIGhhc2g=")}
        with ui_prefix("wizard-finish") as wp:
            wp.unix_path("C:\\").joinpath("Blocked").write_text("a file where a folder should go")
            for name, (value_type, data) in own_choice.items():
                wp.reg_set(user_choice, name, value_type, data)
            recorded, recorder = record_browser(wp)

            w = Wizard.open(wp)
            w.set_text(FOLDER, r"C:\Blocked\Tessolo")
            go_to(w, FILE_TYPES)
            w.tick_row(13)
            go_to(w, READY)
            w.next()
            self.assertEqual(FOLDER_NOT_CREATABLE, w.answer("ok"))
            w.wait_page(WELCOME)
            self.assertEqual(r"C:\Blocked\Tessolo", w.text(FOLDER))
            self.assertFalse(w.sheet_state(BACK_BUTTON)["enabled"])

            # Typed relative to the current directory of C: (the setup's
            # folder), with a level's trailing blank and without the final
            # backslash: the registration names the folder the files went to,
            # and the viewer starts from there.
            w.set_text(FOLDER, r"C:Tools \Tessolo")
            folder = wine.SETUP_DIR_WIN + r"\Tools\Tessolo"
            go_to(w, READY)
            w.next()
            self.assertEqual(CONFIRM_ASSOCIATIONS, w.message_text())
            snap(wp, "wizard-3-ready-installing")
            self.assertTrue(w.state(WORKING_LINE)["visible"])
            w.answer("no")
            w.wait_page(FINISHED)
            self.assertTrue(wp.unix_path(folder + "\\" + VIEWER_EXE).exists())
            self.assertEqual((wine.REG_SZ, folder + "\\"), wp.reg_values(
                r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Tessolo")["InstallLocation"])
            # "Nein" on the Vista family: the ticked row's class is there for
            # Default Programs, but the user's own association stays.
            self.assertEqual((wine.REG_SZ, "Tessolo EPS File"),
                             wp.reg_values(r"HKLM\SOFTWARE\Classes\Tessolo.eps")[""])
            self.assertIsNone(wp.reg_values(r"HKLM\SOFTWARE\Classes\.eps"))
            self.assertEqual(own_choice, wp.reg_values(user_choice))
            self.assertEqual("&Fertig stellen", w.sheet_text(CANCEL_BUTTON))

            w.click_cancel()
            w.wait_gone()
            self.assertEqual(0, w.wait_exit())
            self.assertTrue(wp.wait_for_window("Tessolo"), "the viewer did not start")
            self.assertTrue(wait_for_file(recorded), "the FAQ page was not opened")
            self.assertIn(FAQ_ADDRESS, recorded.read_text().split("\n"))
            recorded.unlink()
            recorder.unlink()

    def test_outside_family_6_keeps_settings_in_program_folder_and_finish_without_viewer_only_opens_faq(self):
        with ui_prefix("wizard-xp", version="winxp") as wp:
            recorded, recorder = record_browser(wp)
            w = Wizard.open(wp)
            self.assertEqual(DEFAULT_FOLDER, w.text(FOLDER))
            go_to(w, READY)
            self.assertEqual((True, False), (w.checked(INI_PROGRAM), w.checked(INI_APPDATA)))
            w.next()
            w.wait_page(FINISHED)
            self.assertTrue(w.no_message_box(500), "no file type was ticked, yet a question came")
            w.click(START_VIEWER)
            w.click_cancel()
            self.assertEqual(0, w.wait_exit())
            self.assertTrue(wait_for_file(recorded), "the FAQ page was not opened")
            self.assertEqual([FAQ_ADDRESS], recorded.read_text().split())
            # The setup starts the viewer before it ends, if at all.
            self.assertFalse(wp.running(VIEWER_EXE), "the viewer started unasked")
            recorded.unlink()
            recorder.unlink()


if __name__ == "__main__":
    unittest.main()
