"""The partner offers end to end: the real setup under Xvfb, its checks decided
by the stand-in libraries (steered through the registry), its downloads served
by a loopback proxy under the real host names, the stand-in installers and
browser recording how they were started."""

import re
import unittest

from tests.harness import partners, wine
from tests.harness.http_server import HttpServer, Reply
from tests.harness.wizard import CANCEL_BUTTON, Wizard
from tests.ui.test_wizard import FAQ_ADDRESS, record_browser, snap, ui_prefix, wait_for_file

OFFERS_DRIVER = wine.BUILD_DIR / "tools" / "offers_driver.exe"

FOLDER, START_VIEWER, INI_PROGRAM = 1000, 1020, 1038
ACCEPT_TOOLBAR, ACCEPT_BROWSER, BROWSER_DEFAULT = 1043, 1046, 1047
BANNER, TERMS, PRIVACY, TOOLBAR_NOTE, TOOLBAR_PICTURE = 1026, 1027, 1028, 1028, 1030
OFFER = 3

BASE_HOSTS = {"download.tessolo.example", "mirror.tessolo.example"}
TOOLBAR_PATH = "/google/google_toolbar_tesd.exe"
TOOLBAR_9X_PATH = "/google/google_toolbar_9x_de.exe"
BROWSER_PATH = "/google/google_chrome.exe"
TOOLBAR_ARGUMENTS = "/e:asknot /t:24 /d:ask /h:ask /q /r:TESC"
BROWSER_PAGES = ('"http://search.partner.example" "http://tools.partner.example/chrome/intl/de/welcome.html" '
                 f'"{FAQ_ADDRESS}"')
BROWSER_TOP = 100   # where the stand-in browser opens its main window
VIEWER_BELOW_BROWSER = 345
INSTALL_FOLDER = r"C:\Apps\Tessolo"

TOOLBAR_INSTALLER = partners.PARTNER_DIR / "google_toolbar_installer.exe"
UNVERSIONED_INSTALLER = partners.PARTNER_DIR / "google_toolbar_unversioned.exe"
CHECK_LIBRARY = partners.PARTNER_DIR / "gtapi.dll"
BROWSER_INSTALLER = partners.PARTNER_DIR / "GoogleChromeDownloader.exe"


def padded(path, size):
    """The file's bytes with zeros appended up to `size` (an exe still runs)."""
    data = path.read_bytes()
    assert len(data) <= size
    return data + b"\0" * (size - len(data))


class OfferSession:
    """One prefix with a display and a loopback proxy as its http_proxy."""

    def __init__(self, name, version="win7"):
        self.prefix_context = ui_prefix(name, version=version)
        self.server = HttpServer()

    def __enter__(self):
        self.wp = self.prefix_context.__enter__()
        try:
            self.server.start()
            self.wp.env["http_proxy"] = self.server.proxy_url
            out = self.wp.wine(["cmd", "/c", "echo", "%TEMP%"], check=True).stdout.decode("cp1252")
            self.temp_win = out.strip()
            self.temp = self.wp.unix_path(self.temp_win)
        except BaseException:
            # No __exit__ follows: the prefix's X server and Wine end here.
            self.prefix_context.__exit__(None, None, None)
            raise
        return self

    def __exit__(self, *exc):
        self.server.stop()
        return self.prefix_context.__exit__(*exc)

    def driver(self, *args, timeout=60):
        return self.wp.wine([OFFERS_DRIVER, *[str(a) for a in args]], timeout=timeout)

    def open(self, offers=()):
        w = Wizard.open(self.wp, offers=offers)
        w.set_text(FOLDER, INSTALL_FOLDER)
        for index in range(1, OFFER + 1):
            w.next(expect_page=index)
        return w

    def install(self, w, ready_page=OFFER + 1):
        """From the offer page (or the ready page) through the install."""
        if w.page() < ready_page:
            w.next(expect_page=ready_page)
        w.next()
        w.wait_page(ready_page + 1, timeout_ms=90000)

    def finish(self, w, start_viewer=True):
        if not start_viewer:
            w.click(START_VIEWER)
        w.click_cancel()
        w.wait_gone(timeout_ms=60000)
        return w.wait_exit()

    def requests(self, path):
        return self.server.requests_for(path)

    def wait_for_request(self, path, timeout=60):
        try:
            wine.wait_until(lambda: self.requests(path), f"a request for {path}", timeout, 0.1)
        except TimeoutError as error:
            raise AssertionError(f"{path} was never requested: {error}") from None

    def libraries_left(self):
        return sorted(p.name for p in self.temp.iterdir() if p.name.lower() in ("gtapi.dll", "gcapi.dll"))

    def reset_partners(self):
        for key in (partners.TOOLBAR_KEY, partners.BROWSER_STATE_KEY, partners.BROWSER_PROFILE_KEY,
                    partners.DEFAULT_BROWSER_KEY):
            self.wp.reg_delete(key)
        self.server.requests.clear()


def has_control(w, control_id):
    return w.run_driver("state", control_id).returncode == 0


class ToolbarOfferTest(unittest.TestCase):

    def test_accepted_toolbar_is_downloaded_run_deleted_and_announced(self):
        with OfferSession("offers-toolbar") as s:
            s.server.route(TOOLBAR_PATH, Reply(body=TOOLBAR_INSTALLER.read_bytes()))
            # A marker where the browser's library would be extracted: a
            # browser check would write over it and delete it.
            (s.temp / "gcapi.dll").write_bytes(b"marker")

            w = s.open(offers=("toolbar",))
            self.assertTrue(has_control(w, ACCEPT_TOOLBAR), "page 3 is not the toolbar offer")
            self.assertEqual({"checked": 1, "enabled": True, "visible": True}, w.state(ACCEPT_TOOLBAR))
            self.assertEqual("Gratis!", w.text(BANNER))
            snap(s.wp, "offers-111-toolbar")
            self.assertEqual(b"marker", (s.temp / "gcapi.dll").read_bytes(), "the browser was checked")
            self.assertEqual(["gcapi.dll"], s.libraries_left())
            (s.temp / "gcapi.dll").unlink()

            # Six pages: the ready page at 4, the finished page at 5.
            w.next(expect_page=4)
            self.assertTrue(has_control(w, INI_PROGRAM), "page 4 is not the ready page")
            s.install(w)
            self.assertEqual("&Fertig stellen", w.sheet_text(CANCEL_BUTTON))
            self.assertTrue(w.state(TOOLBAR_NOTE)["visible"])
            self.assertTrue(w.state(TOOLBAR_PICTURE)["visible"])
            snap(s.wp, "offers-110-finished-toolbar")

            requests = s.requests(TOOLBAR_PATH)
            self.assertEqual(1, len(requests))
            self.assertIn(requests[0].host, BASE_HOSTS)
            self.assertTrue(requests[0].via_proxy)
            line = partners.toolbar_install_line(s.wp)
            self.assertIsNotNone(line, "the toolbar installer did not run")
            match = re.fullmatch(r'"(.+)" (.+)', line)
            self.assertEqual((s.temp_win + r"\google_toolbar_installer.exe").lower(), match[1].lower())
            self.assertEqual(TOOLBAR_ARGUMENTS, match[2])
            self.assertFalse((s.temp / "google_toolbar_installer.exe").exists(), "the installer was kept")
            # While it waited for the installer the wizard answered what was
            # sent to it, and could not be clicked.
            windows = partners.toolbar_installer_windows(s.wp)
            self.assertEqual((False, True), windows.get("Tessolo Setup"), windows)
            self.assertEqual([], s.libraries_left())
            self.assertEqual(0, s.finish(w, start_viewer=False))

    def test_failed_toolbar_offers_hide_the_note(self):
        """Each failure, also an installer that verifies but cannot start:
        the note and picture are hidden and nothing runs."""
        cases = [
            ("cancelled", Reply(body=TOOLBAR_INSTALLER.read_bytes(), chunk_bytes=4096, chunk_delay=0.5)),
            ("404", Reply(status=404, body=b"not here")),
            ("no version resource", Reply(body=UNVERSIONED_INSTALLER.read_bytes())),
            ("cannot start", Reply(body=CHECK_LIBRARY.read_bytes())),
        ]
        with OfferSession("offers-toolbar-failures") as s:
            for name, reply in cases:
                with self.subTest(name):
                    s.reset_partners()
                    s.server.route(TOOLBAR_PATH, reply)
                    w = s.open(offers=("toolbar",))
                    w.next(expect_page=4)
                    w.next()
                    if name == "cancelled":
                        # Once the request is out, so that the transfer, not
                        # the connection, is cancelled.
                        s.wait_for_request(TOOLBAR_PATH)
                        cancel = s.driver("cancel-download", 30000)
                        self.assertEqual(0, cancel.returncode)
                        # The wizard owns the dialog and cannot be pressed on meanwhile.
                        self.assertEqual(["owner Tessolo Setup", "owner-enabled 0"],
                                         cancel.stdout.decode().splitlines())
                    w.wait_page(5, timeout_ms=90000)
                    self.assertFalse(w.state(TOOLBAR_NOTE)["visible"])
                    self.assertFalse(w.state(TOOLBAR_PICTURE)["visible"])
                    self.assertEqual(1, len(s.requests(TOOLBAR_PATH)))
                    self.assertIsNone(partners.toolbar_install_line(s.wp))
                    self.assertFalse((s.temp / "google_toolbar_installer.exe").exists())
                    self.assertEqual(0, s.finish(w, start_viewer=False))

    def test_unticked_toolbar_downloads_nothing_and_revisit_keeps_the_choice(self):
        with OfferSession("offers-toolbar-declined") as s:
            s.server.route(TOOLBAR_PATH, Reply(body=TOOLBAR_INSTALLER.read_bytes()))
            w = s.open(offers=("toolbar",))
            w.click(ACCEPT_TOOLBAR)
            w.next(expect_page=4)
            w.back(expect_page=OFFER)
            self.assertEqual(0, w.state(ACCEPT_TOOLBAR)["checked"], "the second visit ticked it again")
            s.install(w)
            self.assertFalse(w.state(TOOLBAR_NOTE)["visible"])
            self.assertEqual([], s.requests(TOOLBAR_PATH))
            self.assertEqual(0, s.finish(w, start_viewer=False))

    def test_9x_family_fetches_its_own_installer_and_runs_only_the_one_the_build_names(self):
        # The 9x stand-in is the NT one padded to this size; a byte less is
        # another file, whose digest the build does not carry.
        stand_in_size = 559001
        cases = [("a byte short", stand_in_size - 1, False),
                 ("the 9x stand-in", stand_in_size, True)]
        with OfferSession("offers-toolbar-9x", version="win98") as s:
            for name, size, runs in cases:
                with self.subTest(name):
                    s.reset_partners()
                    s.server.route(TOOLBAR_9X_PATH, Reply(body=padded(TOOLBAR_INSTALLER, size)))
                    w = s.open(offers=("toolbar",))
                    s.install(w)
                    self.assertEqual([], s.requests(TOOLBAR_PATH))
                    self.assertEqual(1, len(s.requests(TOOLBAR_9X_PATH)))
                    self.assertEqual(runs, w.state(TOOLBAR_NOTE)["visible"])
                    line = partners.toolbar_install_line(s.wp)
                    if runs:
                        self.assertTrue(line.endswith('google_toolbar_installer.exe" /q /s:de'), line)
                    else:
                        self.assertIsNone(line)
                    self.assertEqual(0, s.finish(w, start_viewer=False))


    def test_2000_fetches_the_nt_installer(self):
        # 2000 takes the other family's registry layout but is NT.
        with OfferSession("offers-toolbar-2000", version="win2k") as s:
            s.server.route(TOOLBAR_PATH, Reply(body=TOOLBAR_INSTALLER.read_bytes()))
            w = s.open(offers=("toolbar",))
            s.install(w)
            self.assertEqual(1, len(s.requests(TOOLBAR_PATH)))
            self.assertEqual([], s.requests(TOOLBAR_9X_PATH))
            self.assertIsNotNone(partners.toolbar_install_line(s.wp))
            self.assertEqual(0, s.finish(w, start_viewer=False))


class BrowserOfferTest(unittest.TestCase):

    def test_browser_offer_boxes_installer_arguments_and_follow_up(self):
        with OfferSession("offers-browser") as s:
            s.server.route(BROWSER_PATH, Reply(body=BROWSER_INSTALLER.read_bytes()))
            w = s.open(offers=("browser",))
            self.assertFalse(has_control(w, ACCEPT_TOOLBAR))
            self.assertEqual({"checked": 1, "enabled": True, "visible": True}, w.state(ACCEPT_BROWSER))
            self.assertEqual({"checked": 1, "enabled": True, "visible": True}, w.state(BROWSER_DEFAULT))
            self.assertEqual("Gratis!", w.text(BANNER))
            snap(s.wp, "offers-125-browser")

            # 1047 follows 1046's state and keeps its own tick.
            w.click(ACCEPT_BROWSER)
            self.assertEqual({"checked": 1, "enabled": False, "visible": True}, w.state(BROWSER_DEFAULT))
            w.click(ACCEPT_BROWSER)
            self.assertTrue(w.state(BROWSER_DEFAULT)["enabled"])
            w.click(BROWSER_DEFAULT)
            # A revisit keeps the choice.
            w.next(expect_page=4)
            w.back(expect_page=OFFER)
            self.assertEqual((1, 0), (w.state(ACCEPT_BROWSER)["checked"], w.state(BROWSER_DEFAULT)["checked"]))

            s.install(w)
            self.assertFalse(w.state(TOOLBAR_NOTE)["visible"])
            requests = s.requests(BROWSER_PATH)
            self.assertEqual(1, len(requests))
            self.assertIn(requests[0].host, BASE_HOSTS)
            line = partners.browser_install_line(s.wp)
            self.assertEqual(f'"{s.temp_win}\\GoogleChromeDownloader.exe" /default:false'.lower(),
                             (line or "").lower())
            self.assertIsNone(s.wp.reg_values(partners.DEFAULT_BROWSER_KEY))
            self.assertFalse((s.temp / "GoogleChromeDownloader.exe").exists())

            recorded, recorder = record_browser(s.wp)
            self.assertEqual(0, s.finish(w))
            launched = partners.browser_launch_line(s.wp)
            self.assertIsNotNone(launched, "the browser was not started")
            self.assertTrue(launched.endswith(" " + BROWSER_PAGES), launched)
            viewer = s.driver("main-window", "Tessolo", 20000)
            self.assertEqual(0, viewer.returncode, "the viewer did not start")
            self.assertEqual(f"0 {BROWSER_TOP + VIEWER_BELOW_BROWSER}", viewer.stdout.decode().strip())
            # Any page the setup opened has its launcher started by now.
            wine.wait_until(lambda: not s.wp.running("winebrowser.exe", recorder.name),
                            "Wine's browser launcher to end", 60)
            self.assertFalse(recorded.exists(), "the FAQ page opened apart from the browser")
            s.driver("close-all", "Chrome_WidgetWin_0")
            recorder.unlink()

    def test_unticked_browser_downloads_nothing_whatever_the_default_box_shows(self):
        with OfferSession("offers-browser-declined") as s:
            s.server.route(BROWSER_PATH, Reply(body=BROWSER_INSTALLER.read_bytes()))
            recorded, recorder = record_browser(s.wp)
            w = s.open(offers=("browser",))
            w.click(ACCEPT_BROWSER)
            self.assertEqual(1, w.state(BROWSER_DEFAULT)["checked"])
            s.install(w)
            self.assertEqual([], s.requests(BROWSER_PATH))
            self.assertEqual(0, s.finish(w, start_viewer=False))
            self.assertTrue(wait_for_file(recorded), "the FAQ page was not opened")
            self.assertEqual([FAQ_ADDRESS], recorded.read_text().split())
            recorder.unlink()

    def test_without_a_launch_command_the_follow_up_opens_the_faq_page(self):
        with OfferSession("offers-browser-no-command") as s:
            s.server.route(BROWSER_PATH, Reply(body=BROWSER_INSTALLER.read_bytes()))
            recorded, recorder = record_browser(s.wp)
            w = s.open(offers=("browser",))
            s.install(w)
            self.assertIn("/default:true", partners.browser_install_line(s.wp) or "")
            self.assertIsNotNone(s.wp.reg_values(partners.DEFAULT_BROWSER_KEY))
            s.wp.reg_delete(partners.BROWSER_STATE_KEY)
            self.assertEqual(0, s.finish(w, start_viewer=False))
            self.assertTrue(wait_for_file(recorded), "the FAQ page was not opened")
            self.assertEqual([FAQ_ADDRESS], recorded.read_text().split())
            self.assertIsNone(partners.browser_launch_line(s.wp))
            recorder.unlink()


class NoOfferTest(unittest.TestCase):

    def test_neither_eligible_gives_five_pages_and_no_partner_step(self):
        with OfferSession("offers-none") as s:
            w = Wizard.open(s.wp)
            w.set_text(FOLDER, INSTALL_FOLDER)
            for index in range(1, OFFER + 1):
                w.next(expect_page=index)
            self.assertTrue(has_control(w, INI_PROGRAM), "page 3 is not the ready page")
            self.assertEqual([], s.libraries_left())
            s.install(w, ready_page=OFFER)
            self.assertFalse(w.state(TOOLBAR_NOTE)["visible"])
            self.assertEqual([], s.server.requests, "a partner installer was fetched")
            self.assertIsNone(partners.toolbar_install_line(s.wp))
            self.assertEqual(0, s.finish(w, start_viewer=False))


if __name__ == "__main__":
    unittest.main()
