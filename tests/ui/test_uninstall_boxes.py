"""The installed uninstaller without /silent, its boxes answered from a second
process: the question (No changes nothing), the refusal while the viewer
runs, and the final box saying what was removed and what stayed."""

import unittest

from tests.e2e.test_uninstall import FOLDER, UNINSTALLER, VIEWER_RUNNING, snapshot, wait_gone
from tests.harness import wizard
from tests.harness.wine import SETUP_DIR_WIN, WinePrefix

QUESTION = "Möchten Sie Tessolo und alle zugehörigen Komponenten entfernen?"
REMOVED = "Tessolo wurde vollständig von Ihrem Computer entfernt."
KEPT = ("Tessolo wurde von Ihrem Computer entfernt.\n\nNicht entfernt wurde:\n"
        + FOLDER + " (enthält Dateien, die nicht zu Tessolo gehören)")


class UninstallBoxesTest(unittest.TestCase):

    def start(self, wp):
        process = wp.start([wizard.wine.PROBE_EXE, "run"],
                           env={"PROBE_CMDLINE": f'"{UNINSTALLER}"', "PROBE_CWD": SETUP_DIR_WIN})
        return wizard.Wizard(wp, process)

    def test_boxes_and_their_answers(self):
        def user_file(wp):
            (wp.unix_path(FOLDER) / "Notizen.txt").write_bytes(b"x")

        cases = [
            # name, prepare, answers [(button, text)], exit code, everything removed
            ("No changes nothing", None, [("no", QUESTION)], 1, False),
            ("Yes removes all", None, [("yes", QUESTION), ("ok", REMOVED)], 0, True),
            ("a user file keeps the folder", user_file, [("yes", QUESTION), ("ok", KEPT)], 0,
             False),
        ]
        for name, prepare, answers, code, removed in cases:
            with self.subTest(case=name), WinePrefix("uninstall-boxes", display=(1024, 768)) as wp:
                self.assertEqual(0, wp.run_setup(f'/silent /folder="{FOLDER}" /group=1'))
                if prepare:
                    prepare(wp)
                before = snapshot(wp)
                run = self.start(wp)
                for button, text in answers:
                    self.assertEqual(text, run.answer(button))
                self.assertEqual(code, run.wait_exit())
                if removed:
                    self.assertTrue(wait_gone(wp, FOLDER))
                elif code == 1:
                    self.assertEqual(before, snapshot(wp))

    def test_running_viewer_refuses_with_the_setup_message(self):
        with WinePrefix("uninstall-boxes-viewer", display=(1024, 768)) as wp:
            self.assertEqual(0, wp.run_setup(f'/silent /folder="{FOLDER}"'))
            with wizard.FakeViewer(wp):
                before = snapshot(wp)
                run = self.start(wp)
                self.assertEqual(VIEWER_RUNNING, run.answer("ok"))
                self.assertEqual(2, run.wait_exit())
                self.assertEqual(before, snapshot(wp))


if __name__ == "__main__":
    unittest.main()
