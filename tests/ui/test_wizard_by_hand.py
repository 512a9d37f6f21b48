"""The wizard as a person uses it, under Xvfb inside a Wine virtual desktop.

KeyboardTest walks the whole wizard with real key events through the system's
input queue, so focus, default buttons and mnemonics decide what happens.
MessageBoxTest reads every message box from outside. LooksTest compares the
pages and the download dialog with the reference images in
tests/ui/reference/ (made with the x64 build under 64-bit Wine).

A shot may differ from its reference in at most LOOKS_TOLERANCE of its pixels
beyond a small colour fuzz: room for a blinking caret, not for a moved control
or a changed text. A failed comparison leaves <name>-diff.png beside the shot
<name>.png in the artifacts folder. After a deliberate change of the looks,
regenerate the references, and look at every image before committing it:

    TESSOLO_UPDATE_REFERENCES=1 TESSOLO_WINE_ARCH=win64 TESSOLO_BUILD_DIR=$PWD/build/win64 \\
        python3 -m unittest tests.ui.test_wizard_by_hand.LooksTest
"""

import os
import shutil
import unittest
from pathlib import Path

from tests.harness import images, partners
from tests.harness.http_server import HttpServer, Reply
from tests.harness.wizard import FILE_TYPES, FINISHED, READY, WELCOME, WHATS_NEW, FakeViewer, ForeignWindow, Wizard
from tests.ui.test_wizard import (ALL_ROWS, ALL_USERS, CONFIRM_ASSOCIATIONS, CONFIRM_QUIT, CURRENT_USER,
                                  DEFAULT_FOLDER, DESKTOP_BOX, FOLDER, FOLDER_NOT_CREATABLE, GROUP_BOX, IMAGE_ROWS,
                                  INI_APPDATA, INI_PROGRAM, INVALID_FOLDER, START_VIEWER, THUMBS_BOX, TICKED,
                                  UNTICKED, VIEWER_RUNNING, WORKING_LINE, go_to, record_browser, ui_prefix,
                                  wait_for_file)

INSTALL_FAILED = ("Fehler beim Installieren!\n\nÜberprüfen Sie bitte ob Tessolo läuft, das Zielverzeichnis "
                  "voll ist oder keine Schreibrechte vorhanden sind!")
IDOK, IDYES, IDNO = 1, 6, 7
ACCEPT_BROWSER = 1046
TOOLBAR_PATH = "/google/google_toolbar_tesd.exe"

REFERENCE_DIR = Path(__file__).resolve().parent / "reference"
LOOKS_TOLERANCE = images.TOLERANCE


def assert_looks(test, shot, alternatives=()):
    """Compares a screenshot with its reference image of the same name, or
    one of the `alternatives` (reference names) where the platform draws the
    page in more than one way (or, with TESSOLO_UPDATE_REFERENCES set, makes
    it the reference)."""
    reference = REFERENCE_DIR / shot.name
    if os.environ.get("TESSOLO_UPDATE_REFERENCES"):
        REFERENCE_DIR.mkdir(exist_ok=True)
        shutil.copy2(shot, reference)
        return
    if any(images.alike(REFERENCE_DIR / name, shot) for name in alternatives):
        return
    test.assertTrue(reference.exists(), f"no reference image {reference}")
    diff = shot.with_name(shot.stem + "-diff.png")
    try:
        different = images.different_pixels(reference, shot, diff)
    except images.NotComparable as error:  # e.g. of another size
        test.fail(f"{shot.name}: {error}")
    width, height = images.size(shot)
    test.assertLessEqual(different, LOOKS_TOLERANCE * width * height,
                         f"{shot.name} differs from its reference in {different:.0f} pixels; see {diff}")
    diff.unlink()



class KeyboardTest(unittest.TestCase):

    def test_keyboard_only_walk_through_the_whole_wizard(self):
        with ui_prefix("wizard-keyboard") as wp:
            recorded, recorder = record_browser(wp)
            w = Wizard.open(wp)

            # Tab runs through the page (the licence link last) and the
            # sheet's enabled buttons, with one stop for the radio pair;
            # Shift+Tab runs back.
            tab_order = ["page 1009", "page 1011", "page 1021", "page 1012", "page 1016", "page 1019",
                         "page 1045", "sheet 12324", "sheet 2", "page 1000"]
            self.assertEqual("page 1000", w.focus())
            self.assertEqual(tab_order, w.keys(*["tab"] * len(tab_order)))
            self.assertEqual(list(reversed(tab_order[:-1])) + ["page 1000"],
                             w.keys(*["shift+tab"] * len(tab_order)))

            # Space ticks a check box; the arrow keys stay inside the radio pair.
            w.keys("tab", "tab", "space")
            self.assertFalse(w.checked(DESKTOP_BOX))
            self.assertEqual(["page 1021", "page 1012", "page 1016", "page 1017", "page 1016", "page 1017"],
                             w.keys("tab", "tab", "tab", "down", "down", "down"))
            self.assertEqual((False, True), (w.checked(CURRENT_USER), w.checked(ALL_USERS)))

            # Mnemonics: "&Keine", "Tessolo-Verknüpfung auf dem &Desktop",
            # "Nur für den aktuellen &Benutzer", "D&urchsuchen"; later
            # "< &Zurück", "&Weiter >", "&Anwendungsdaten", "&Tessolo-Verzeichnis",
            # "Tessolo &starten".
            self.assertEqual(["page 1019"], w.keys("alt+k"))
            self.assertEqual([False, False, False, False],
                             [w.checked(DESKTOP_BOX), w.checked(THUMBS_BOX), w.checked(GROUP_BOX),
                              w.state(CURRENT_USER)["enabled"]])
            w.keys("alt+u")
            w.close_folder_browser("cancel")
            # The radio button takes the focus off the push buttons, which
            # would take Enter themselves.
            self.assertEqual(["page 1011", "page 1016"], w.keys("alt+d", "alt+b"))
            self.assertEqual((True, True, False), (w.checked(DESKTOP_BOX), w.checked(CURRENT_USER),
                                                   w.checked(ALL_USERS)))

            # Enter and Esc in the message boxes: the folder refusal takes
            # Enter; the quit question has No as its default, and Esc there
            # stays too.
            w.set_text(FOLDER, "Tessolo")
            self.assertEqual(["box 1"], w.keys("enter"))
            w.keys("enter")
            w.wait_page(WELCOME)
            w.set_text(FOLDER, DEFAULT_FOLDER)
            for leave in ("enter", "esc"):
                with self.subTest(question_answered_by=leave):
                    self.assertEqual("box 7", w.keys("esc")[0])
                    self.assertNotEqual("gone", w.keys(leave)[0])
                    w.wait_page(WELCOME)

            # Enter goes on; after Back by its mnemonic, Enter goes on again.
            w.keys("enter")
            w.wait_page(WHATS_NEW)
            w.keys("alt+z")
            w.wait_page(WELCOME)
            w.keys("enter")
            w.wait_page(WHATS_NEW)
            self.assertEqual("box 7", w.keys("esc")[0])
            w.keys("enter")
            w.wait_page(WHATS_NEW)
            w.keys("alt+w")
            w.wait_page(FILE_TYPES)

            # The list takes the arrow keys and Space, its first row focused
            # from the start; its buttons take Space.
            self.assertEqual(["page 1080", "page 1081", "page 1579", "page 1579", "page 1579"],
                             w.keys("tab", "tab", "tab", "down", "space"))
            self.assertEqual([UNTICKED, TICKED] + [UNTICKED] * (ALL_ROWS - 2), w.row_states())
            w.keys("shift+tab", "shift+tab", "shift+tab", "space")
            self.assertEqual([TICKED] * IMAGE_ROWS + [UNTICKED] * (ALL_ROWS - IMAGE_ROWS), w.row_states())
            self.assertEqual("box 7", w.keys("esc")[0])
            w.keys("enter")
            w.wait_page(FILE_TYPES)
            # Enter presses a focused push button; from the list it goes on.
            w.keys("tab", "tab", "tab", "enter")
            w.wait_page(READY)

            # The arrow keys stay inside the settings-folder pair too.
            self.assertEqual("page 1039", w.focus())
            self.assertEqual(["page 1038", "page 1039", "page 1038"], w.keys("down", "down", "down"))
            w.keys("alt+a", "alt+t")
            self.assertEqual((True, False), (w.checked(INI_PROGRAM), w.checked(INI_APPDATA)))
            self.assertEqual("box 7", w.keys("esc")[0])
            w.keys("enter")
            w.wait_page(READY)

            # Enter installs; the file-type question defaults to No.
            self.assertEqual(["box 7"], w.keys("enter"))
            w.keys("enter")
            w.wait_page(FINISHED)

            # On the finished page Enter finishes: FAQ page, no viewer.
            w.keys("alt+s")
            self.assertFalse(w.checked(START_VIEWER))
            # (Opening the page first, the wizard may close after the key's
            # wait ends on a busy machine: wait for it to go.)
            w.keys("enter")
            w.wait_gone()
            self.assertEqual(0, w.wait_exit())
            self.assertTrue(wait_for_file(recorded), "the FAQ page was not opened")
            self.assertTrue(wp.unix_path(DEFAULT_FOLDER + r"\t_solo32.ini").exists())
            recorder.unlink()


class MessageBoxTest(unittest.TestCase):

    def test_every_message_box_as_seen_from_outside(self):
        """Caption, text, icon, buttons and default button of each box, and
        that it is owned by the wizard, which stays disabled while it is open,
        also when another program had the foreground."""
        expected = {
            "quit": (CONFIRM_QUIT, "question", [IDYES, IDNO], IDNO),
            "invalid folder": (INVALID_FOLDER, "stop", [IDOK], IDOK),
            "viewer running": (VIEWER_RUNNING, "exclamation", [IDOK], IDOK),
            "folder not creatable": (FOLDER_NOT_CREATABLE, "stop", [IDOK], IDOK),
            "install failed": (INSTALL_FAILED, "stop", [IDOK], IDOK),
            "associations": (CONFIRM_ASSOCIATIONS, "question", [IDYES, IDNO], IDNO),
        }
        with ui_prefix("wizard-boxes") as wp:
            wp.unix_path("C:\\").joinpath("Blocked").write_text("a file where a folder should go")
            # A folder where the viewer's exe should go: that payload row fails.
            wp.unix_path("C:\\").joinpath("Jammed", "Tessolo", "t_solo32.exe").mkdir(parents=True)
            w = Wizard.open(wp)

            def check(name, answer):
                text, icon, buttons, default = expected[name]
                with self.subTest(name):
                    self.assertEqual({"caption": "Tessolo Installation", "text": text, "icon": icon,
                                      "buttons": buttons, "default": default, "owner": "Tessolo Setup",
                                      "wizard_enabled": False}, w.box())
                w.answer(answer)

            def install_while_another_program_is_in_front(folder, name, answer="ok"):
                w.set_text(FOLDER, folder)
                go_to(w, READY)
                with ForeignWindow(wp):
                    w.next()
                    check(name, answer)

            w.click_cancel()
            check("quit", "no")
            w.set_text(FOLDER, "Tessolo")
            w.next()
            check("invalid folder", "ok")
            w.set_text(FOLDER, r"C:\Apps\Tessolo")
            go_to(w, READY)
            with FakeViewer(wp):
                w.next()
                check("viewer running", "ok")
            for _ in range(READY):
                w.back()
            w.wait_page(WELCOME)

            install_while_another_program_is_in_front(r"C:\Blocked\Tessolo", "folder not creatable")
            w.wait_page(WELCOME)
            go_to(w, READY)
            self.assertFalse(w.state(WORKING_LINE)["visible"], "the failed install still shows its working line")
            w.back(expect_page=FILE_TYPES)
            w.tick_row(0)
            w.back(expect_page=WHATS_NEW)
            w.back(expect_page=WELCOME)
            install_while_another_program_is_in_front(r"C:\Jammed\Tessolo", "install failed")
            w.wait_page(WELCOME)
            install_while_another_program_is_in_front(r"C:\Apps\Tessolo", "associations", answer="no")
            w.wait_page(FINISHED)
            w.click(START_VIEWER)
            w.click_cancel()
            self.assertEqual(0, w.wait_exit())


class LooksTest(unittest.TestCase):

    def test_pages_and_download_dialog_look_as_their_references(self):
        """The eight pages (both offer pages; the finished page with and
        without the toolbar note) and the download dialog."""
        shots = []
        with ui_prefix("wizard-looks") as wp, HttpServer() as server:
            wp.env["http_proxy"] = server.proxy_url
            # The toolbar installer comes after a pause in which the download
            # dialog stands still for its picture.
            installer = partners.PARTNER_DIR / "google_toolbar_installer.exe"
            server.route(TOOLBAR_PATH, Reply(body=installer.read_bytes(), header_delay=8))
            w = Wizard.open(wp, offers=("toolbar",))
            for page, name in enumerate(("welcome", "whats-new", "file-types", "toolbar-offer", "ready")):
                if page:
                    w.next(expect_page=page)
                shots.append(w.screenshot(f"looks-{name}"))
            w.next()
            shots.append(w.screenshot("looks-download", title="File Download"))
            w.wait_page(READY + 2, timeout_ms=90000)
            shots.append(w.screenshot("looks-finished-toolbar"))
            w.click(START_VIEWER)
            w.click_cancel()
            w.wait_exit()

            w = Wizard.open(wp, offers=("browser",))
            go_to(w, FILE_TYPES + 1)
            shots.append(w.screenshot("looks-browser-offer"))
            w.click(ACCEPT_BROWSER)
            go_to(w, READY + 1)
            w.next(expect_page=FINISHED + 1)
            shots.append(w.screenshot("looks-finished"))
            w.click(START_VIEWER)
            w.click_cancel()
            w.wait_exit()
        for shot in shots:
            with self.subTest(shot.name):
                assert_looks(self, shot)


if __name__ == "__main__":
    unittest.main()
