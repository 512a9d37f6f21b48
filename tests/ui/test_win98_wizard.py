"""The wizard as Windows 98 SE answers it (the personality tool): the smoke
walk to the finished page for all users, and a partner download through the
download dialog's worker thread."""

import unittest

from tests.harness import partners
from tests.harness.http_server import Reply
from tests.harness.personality import PERSONALITY_EXE, open_wizard_as
from tests.harness.wine import CSIDL_DESKTOP, CSIDL_PROGRAMS
from tests.harness.wizard import FINISHED, READY
from tests.ui import test_offers as offers
from tests.ui.test_wizard import (ALL_USERS, DEFAULT_FOLDER, INI_APPDATA, INI_PROGRAM, START_VIEWER,
                                  go_to, snap, ui_prefix)

TOOLBAR_9X_SIZE_RULE = 559000


class Win98OfferSession(offers.OfferSession):
    def open(self, allowed=()):
        w = open_wizard_as(self.wp, "98", offers=allowed)
        w.set_text(offers.FOLDER, offers.INSTALL_FOLDER)
        for index in range(1, offers.OFFER + 1):
            w.next(expect_page=index)
        return w


@unittest.skipUnless(PERSONALITY_EXE.exists(), "the personality tool is not built")
class Win98WizardTest(unittest.TestCase):
    def test_smoke_walk_for_all_users_to_the_finished_page(self):
        with ui_prefix("wizard-98", version="win98") as wp:
            w = open_wizard_as(wp, "98")
            w.click(ALL_USERS)
            go_to(w, READY)
            # No APPDATA on 98 SE: the settings stay in the program folder.
            self.assertEqual((True, False), (w.checked(INI_PROGRAM), w.checked(INI_APPDATA)))
            self.assertFalse(w.state(INI_APPDATA)["enabled"])
            w.next()
            w.wait_page(FINISHED)
            snap(wp, "wizard-98-finished")
            w.click(START_VIEWER)
            w.click_cancel()
            self.assertEqual(0, w.wait_exit())
            for csidl, link in ((CSIDL_PROGRAMS, r"\Tessolo\Tessolo 4.30.lnk"),
                                (CSIDL_DESKTOP, r"\Tessolo.lnk")):
                self.assertEqual(DEFAULT_FOLDER + r"\t_solo32.exe",
                                 (wp.shortcut(wp.special_folder(csidl) + link) or {}).get("target"))

    def test_partner_download_runs_its_worker_thread(self):
        with Win98OfferSession("offers-toolbar-98", version="win98") as s:
            s.server.route(offers.TOOLBAR_9X_PATH, Reply(body=offers.padded(
                offers.TOOLBAR_INSTALLER, TOOLBAR_9X_SIZE_RULE + 1)))
            w = s.open(allowed=("toolbar",))
            s.install(w)
            self.assertEqual(1, len(s.requests(offers.TOOLBAR_9X_PATH)))
            self.assertTrue(w.state(offers.TOOLBAR_NOTE)["visible"])
            self.assertIsNotNone(partners.toolbar_install_line(s.wp))
            self.assertEqual(0, s.finish(w, start_viewer=False))


if __name__ == "__main__":
    unittest.main()
