"""The wizard for people who use the keyboard only, a screen reader, large
fonts or a high-contrast scheme, under Xvfb inside a Wine virtual desktop.

LargeFontsTest walks every page at 96, 120 and 144 DPI (Wine takes the density
from HKCU\\Control Panel\\Desktop\\LogPixels when it starts) and reads each
control's font and text size from outside. KeyboardTest opens each link with
real keys and reads what the accessibility layer tells a screen reader.
HighContrastTest shows the browser offer in a black scheme with high contrast
switched on (the personality tool: Wine never reports it on) and reads the
colours from the screen.
"""

import unittest

from tests.harness.personality import PERSONALITY_EXE, open_wizard_as
from tests.harness.wine import BUILD_DIR, WinePrefix
from tests.harness.wizard import FILE_TYPES, FINISHED, WELCOME, WHATS_NEW, Wizard
from tests.ui.test_wizard import (DESKTOP, FOLDER, SCREEN, START_VIEWER, go_to, record_browser, ui_prefix,
                                  wait_for_file)

OFFER = FILE_TYPES + 1
ACCEPT_TOOLBAR = 1043
EULA_LINK, TERMS_LINK, PRIVACY_LINK, BANNER = 1045, 1027, 1028, 1026
RELEASE_NOTES, FILE_TYPE_LIST = 1000, 1579

# Per page: a control sized in dialog units, which grow with the dialog's
# body font, and the emphasised texts, which must grow at least as much.
EMPHASIS = {
    "welcome": (1011, (1013,)),
    "ready": (1038, (1014,)),
    "finished": (START_VIEWER, (1015,)),
    "toolbar-offer": (ACCEPT_TOOLBAR, (1029, BANNER, 1025, ACCEPT_TOOLBAR)),
    "browser-offer": (1047, (1029, BANNER, 1046, 1047)),
}
# Dialog units become pixels by rounding each place and size on its own.
ROUNDING = 1
# A bitmap face has few sizes: a text may grow this much less.
GROWTH_SLACK = 0.9
# Each page's title, shown in an emphasis font: in as many lines as its text
# has (a title that wraps shows the top of a line its box has no room for).
TITLE = {"welcome": 1013, "ready": 1014, "finished": 1015, "toolbar-offer": 1029, "browser-offer": 1029}

# The ready page's folder line holds one line whatever the folder: the
# longest folder a user may type (spaces and all) is shortened in its middle.
READY_FOLDER_LINE = 1010
LONG_FOLDER = "C:\\Programme für alle Benutzer dieses Rechners\\Bilder und Fotos aus dem Urlaub\\Tessolo"

# The download dialog's value lines with the longest they can show: the
# longest time left (the count saturates at 2**32 - 1 seconds) of a body at
# its bound, and the rate of a gigabyte a second.
DOWNLOAD_PROBE = BUILD_DIR / "tools" / "download_probe.exe"
DOWNLOAD_LONGEST = {1004: "71582788 min 15 sec (1023 Bytes von 256.00 MB kopiert)", 1005: "1000000 KB/Sec"}

# The consent sentence of each offer page, piece by piece in reading order.
CONSENT = {
    "toolbar": ("Durch die Installation dieser Anwendung stimmen Sie den", "Nutzungsbedingungen", "und den",
                "Datenschutzbestimmungen", "der Google Toolbar zu."),
    "browser": ("Durch die Installation dieser Anwendung stimmen Sie den", "Nutzungsbedingungen", "und",
                "Datenschutzbestimmungen", "von Google Chrome zu."),
}
LINKS = {
    # offer -> (page, [(link, key that opens it, address it opens)])
    None: (WELCOME, [(EULA_LINK, "enter", "http://www.tessolo.example/eula.htm")]),
    "toolbar": (OFFER, [(TERMS_LINK, "enter", "/accounts/TOS"),
                        (PRIVACY_LINK, "space", "/support/toolbar/?quick=privacy")]),
    "browser": (OFFER, [(TERMS_LINK, "space", "/chrome/intl/de/eula_text.html"),
                        (PRIVACY_LINK, "enter", "/chrome/intl/de/privacy.html")]),
}
# Fields a screen reader names after their label, not their content.
LABELLED_CLASSES = ("Edit", "SysListView32")
WELCOME_FOLDER_LABEL = "Zielverzeichnis:"

READABLE_CONTRAST = 4.5
BLACK_SCHEME = {
    "ButtonFace": "0 0 0", "ButtonText": "255 255 255", "Window": "0 0 0", "WindowText": "255 255 255",
    "Hilight": "26 235 255", "HilightText": "0 0 0", "HotTrackingColor": "255 255 0",
}


def density_prefix(dpi, name):
    return WinePrefix(f"{name}-{dpi}", version="win7", display=SCREEN, virtual_desktop=DESKTOP,
                      user_values={r"Control Panel\Desktop": {"LogPixels": dpi}})


def every_page(wp, dpi):
    """{page name: (its controls, {id: (width, height, lines) on screen}
    of the emphasised texts, the page's shown size, what its texts need)}:
    the toolbar offer's run to the finished page (offer declined) and the
    browser offer page. A screenshot of each is saved."""
    pages = {}

    def read(w, name):
        unit, emphasised = EMPHASIS.get(name, (None, ()))
        one_line = (READY_FOLDER_LINE,) if name == "ready" else ()
        inks = {control_id: w.ink(control_id) for control_id in (unit, *emphasised, *one_line) if control_id}
        pages[name] = (w.controls(), inks, w.shown_area(), w.text_fits())
        w.screenshot(f"dpi-{dpi}-{name}")

    w = Wizard.open(wp, offers=("toolbar",))
    for index, name in enumerate(("welcome", "whats-new", "file-types", "toolbar-offer", "ready")):
        if index:
            w.next(expect_page=index)
        read(w, name)
        if name == "welcome":
            w.set_text(FOLDER, LONG_FOLDER)
        if index == OFFER:
            w.click(ACCEPT_TOOLBAR)
    w.next(expect_page=FINISHED + 1)
    read(w, "finished")
    w.click(START_VIEWER)
    w.click_cancel()
    w.wait_exit()
    w = Wizard.open(wp, offers=("browser",))
    go_to(w, OFFER)
    read(w, "browser-offer")
    w.click_cancel()
    w.answer("yes")
    w.wait_exit()
    return pages


def download_dialog_fit(wp):
    """{(control id, text): (width, height, box width, box height)} of the
    download dialog's texts, the value lines showing their longest."""
    shown = [part for control_id, text in DOWNLOAD_LONGEST.items() for part in ("--show", str(control_id), text)]
    result = wp.wine([DOWNLOAD_PROBE, "http://127.0.0.1:9/fit.bin", "C:\\fit.bin", "--fit", *shown], timeout=120)
    fits = {}
    for line in result.stdout.decode().splitlines():
        kind, *fields = line.split(" ")
        if kind == "fit":
            fits[(int(fields[0]), bytes.fromhex(fields[1]).decode("cp1252"))] = tuple(map(int, fields[2:]))
    return fits


def by_id(controls, control_id):
    return next(c for c in controls if c["id"] == control_id)


def overlapping(controls):
    """The pairs of visible controls, but group boxes, that overlap, each
    as ((id, text), (id, text))."""
    shown = [c for c in controls if c["visible"] and not c["frame"]]
    return {((a["id"], a["text"]), (b["id"], b["text"]))
            for i, a in enumerate(shown) for b in shown[i + 1:] if overlap(a, b)}


def overlap(a, b):
    ax, ay, aw, ah = a["rect"]
    bx, by, bw, bh = b["rect"]
    return min(ax + aw, bx + bw) > max(ax, bx) and min(ay + ah, by + bh) > max(ay, by)


def relative_luminance(rgb):
    def linear(v):
        c = v / 255
        return c / 12.92 if c <= 0.03928 else ((c + 0.055) / 1.055) ** 2.4
    r, g, b = (linear(v) for v in rgb)
    return 0.2126 * r + 0.7152 * g + 0.0722 * b


def contrast(first, second):
    lighter, darker = sorted((relative_luminance(first), relative_luminance(second)), reverse=True)
    return (lighter + 0.05) / (darker + 0.05)


class LargeFontsTest(unittest.TestCase):

    def test_every_page_at_96_120_and_144_dpi(self):
        seen, download_fits = {}, {}
        for dpi in (96, 120, 144):
            with density_prefix(dpi, "wizard-dpi") as wp:
                seen[dpi] = every_page(wp, dpi)
                download_fits[dpi] = download_dialog_fit(wp)
        for dpi, fits in download_fits.items():
            self.assertTrue(set(DOWNLOAD_LONGEST) <= {control_id for control_id, _ in fits}, fits)
            for (control_id, text), (width, height, box_width, box_height) in fits.items():
                with self.subTest(dpi=dpi, download_line=text):
                    self.assertTrue(width <= box_width and height <= box_height,
                                    f"needs {width}x{height} pixels, has {box_width}x{box_height}")
        for dpi, pages in seen.items():
            for page, read in pages.items():
                with self.subTest(dpi=dpi, page=page):
                    self.check_page(page, read, seen[96][page])

    def check_page(self, page, seen, standard):
        controls, inks, (shown_width, shown_height), fits = seen
        # A control that meets the page's edge in its template may pass it by
        # a pixel: its place and its size are rounded to pixels apart.
        cut = [f"{control['id']} {control['text']!r} at {control['rect']} is cut off by the sheet "
               f"({shown_width}x{shown_height} shown)" for control in controls
               if control["visible"] and (control["rect"][0] + control["rect"][2] > shown_width + ROUNDING or
                                          control["rect"][1] + control["rect"][3] > shown_height + ROUNDING)]
        # Texts in the body font; the emphasised ones are checked below.
        emphasised = EMPHASIS.get(page, (None, ()))[1]
        cut += [f"{control_id} {text!r} needs {width}x{height} pixels, has {box_width}x{box_height}"
                for control_id, text, (width, height), (box_width, box_height) in fits
                if control_id not in emphasised and (width > box_width or height > box_height)]
        self.assertFalse(cut, "\n".join(cut))
        if page in TITLE:
            title = by_id(controls, TITLE[page])
            lines = inks[TITLE[page]][2]
            self.assertEqual(title["text"].count("\n") + 1, lines, f"the title wraps: {title['text']!r}")
        if page in EMPHASIS:
            unit, emphasised = EMPHASIS[page]
            body_growth = by_id(controls, unit)["rect"][3] / by_id(standard[0], unit)["rect"][3]
            for control_id in emphasised:
                growth = inks[control_id][1] / standard[1][control_id][1]
                if control_id == TITLE[page] and growth < body_growth * GROWTH_SLACK:
                    # Made smaller to fit its box, but never below the body
                    # text (the smallest other text read; a focused box's
                    # text is read with its focus rectangle).
                    body = min(ink[1] for other, ink in inks.items() if other != control_id)
                    self.assertGreaterEqual(inks[control_id][1], body, "a title below the body text")
                    continue
                self.assertGreaterEqual(growth, body_growth * GROWTH_SLACK,
                                        f"control {control_id}'s text grew {growth:.2f} times, the body "
                                        f"text {body_growth:.2f} times")
        if page == "ready":
            self.assertEqual(1, inks[READY_FOLDER_LINE][2], "a long folder wraps on the ready page")
        if page == "file-types":
            self.assertFalse(by_id(controls, FILE_TYPE_LIST)["hscroll"], "a horizontal scroll bar")
        # Group boxes hold other controls; any other two meet at most where
        # their templates let them meet at 96 DPI (by a dialog unit).
        allowed = overlapping(standard[0])
        for a, b in overlapping(controls) - allowed:
            self.fail(f"{a} overlaps {b} on page {page}")


class KeyboardTest(unittest.TestCase):

    def test_tab_reaches_every_link_and_enter_or_space_opens_it(self):
        with ui_prefix("wizard-access-keys") as wp:
            recorded, recorder = record_browser(wp)
            for offer, (page, links) in LINKS.items():
                w = Wizard.open(wp, offers=(offer,) if offer else ())
                go_to(w, page)
                names, controls = w.names(), w.controls()
                for control_id, (_, name, label) in names.items():
                    with self.subTest(offer=offer, control=control_id):
                        cls = by_id(controls, control_id)["cls"]
                        self.assertTrue(label if cls in LABELLED_CLASSES else name, "no accessible name")
                if offer:
                    order = [c["text"] for c in controls if c["text"] in CONSENT[offer]]
                    self.assertEqual(list(CONSENT[offer]), order, "the consent sentence's reading order")
                else:
                    self.assertEqual(WELCOME_FOLDER_LABEL, names[FOLDER][2])
                for control_id, key, address in links:
                    with self.subTest(offer=offer, link=control_id):
                        self.assertEqual(by_id(controls, control_id)["text"], names[control_id][1])
                        tabs = 0
                        while w.focus() != f"page {control_id}":
                            self.assertLess(tabs, 20, f"Tab never reaches link {control_id}")
                            w.keys("tab")
                            tabs += 1
                        recorded.write_text("")
                        self.assertEqual([f"page {control_id}"], w.keys(key), "the key left the link")
                        self.assertTrue(wait_for_file(recorded), f"link {control_id} opened nothing")
                        self.assertIn(address, recorded.read_text())
                w.click_cancel()
                w.answer("yes")
                w.wait_exit()
            # The release notes take the focus, so the arrow keys scroll them.
            w = Wizard.open(wp)
            w.next(expect_page=WHATS_NEW)
            self.assertEqual(f"page {RELEASE_NOTES}", w.focus())
            w.click_cancel()
            w.answer("yes")
            w.wait_exit()
            recorder.unlink()


@unittest.skipUnless(PERSONALITY_EXE.exists(), "the personality tool is not built")
class HighContrastTest(unittest.TestCase):

    def test_links_and_banner_read_in_a_black_scheme(self):
        with WinePrefix("wizard-contrast", version="win7", display=SCREEN, virtual_desktop=DESKTOP,
                        user_values={r"Control Panel\Colors": BLACK_SCHEME}) as wp:
            w = open_wizard_as(wp, "highcontrast", offers=("browser",))
            go_to(w, OFFER)
            w.screenshot("high-contrast-browser-offer")
            for control_id in (TERMS_LINK, PRIVACY_LINK, BANNER):
                with self.subTest(control=control_id):
                    background, text = w.colours(control_id)
                    self.assertGreaterEqual(contrast(background, text), READABLE_CONTRAST,
                                            f"{text} on {background}")
            w.click_cancel()
            w.answer("yes")
            w.wait_exit()


if __name__ == "__main__":
    unittest.main()
