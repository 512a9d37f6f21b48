"""The stand-in viewer's window under a real display. The Wine unit test
checks title and position, but the shared unit-test session has no display
and skips that case; here it runs in a prefix with one and must pass."""

import unittest

from tests.harness.wine import BUILD_DIR, WinePrefix

UNIT_TEST = BUILD_DIR / "tests" / "wine" / "wine_payload_resources_test.exe"


class ViewerWindowTest(unittest.TestCase):
    def test_viewer_opens_titled_and_placed_windows(self):
        with WinePrefix("viewer-window", display=(1024, 768)) as wp:
            result = wp.wine([UNIT_TEST, "--gtest_filter=PayloadViewer.*", "--gtest_color=no"])
        output = result.stdout.decode(errors="replace")
        self.assertEqual(result.returncode, 0, output)
        self.assertNotIn("SKIPPED", output)
        self.assertIn("[  PASSED  ] 1 test", output)


if __name__ == "__main__":
    unittest.main()
