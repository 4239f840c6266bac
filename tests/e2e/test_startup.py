"""Start-up of the real program: one window with the right title and size, one instance."""

import os
import re
import subprocess
import time
import unittest

import harness


class StartupTest(harness.ProgramTestCase):
    def test_shows_one_window_not_connected(self):
        program = self.start_program()
        window = self.wait_for_window(harness.TITLE_OFFLINE)
        _, _, width, height = self.display.geometry(window)
        # The framework draws the title bar and a thin border around the 912 x 516 content.
        self.assertGreaterEqual(width, 912)
        self.assertLess(width, 912 + 10)
        self.assertGreaterEqual(height, 516)
        self.assertLess(height, 516 + 60)
        self.assertTrue(program.running())

    def test_window_class_is_the_one_the_desktop_entry_names(self):
        self.start_program()
        window = self.wait_for_window(harness.TITLE_OFFLINE)
        wm_class = subprocess.run(["xprop", "-id", window, "WM_CLASS"], env={**os.environ, **self.display.env()},
                                  capture_output=True, text=True, check=True, timeout=10).stdout
        entry = os.path.join(os.path.dirname(__file__), "../../packaging/desktop/org.example.zr_remote_connect.desktop")
        with open(entry) as f:
            startup_class = re.search(r"^StartupWMClass=(.*)$", f.read(), re.M).group(1)
        # WM_CLASS(STRING) = "instance", "class": the desktop matches the class.
        self.assertEqual(re.findall(r'"([^"]*)"', wm_class)[-1], startup_class)

    def test_second_start_leaves_one_window(self):
        first = self.start_program()
        self.wait_for_window(harness.TITLE_OFFLINE)
        second = self.start_program()
        second.process.wait(15)
        self.assertEqual(second.process.returncode, 0)
        time.sleep(0.5)
        self.assertEqual(len(self.display.windows_named("^\\[not connected!\\]$")), 1)
        self.assertTrue(first.running())


if __name__ == "__main__":
    unittest.main(verbosity=2)
