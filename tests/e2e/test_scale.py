"""High-resolution screens: the program follows the scale the desktop announces, as the
GDK_SCALE variable or the Xft.dpi X resource, and its window is then about twice as large."""

import os
import subprocess
import unittest

import harness


class ScaleTest(harness.ProgramTestCase):
    def setUp(self):
        super().setUp()
        # A screen large enough for the window at twice its size.
        self.display.close()
        self.display = harness.Display(2800, 1800)

    def window_size(self, extra_env=None):
        program = self.start_program(extra_env)
        window = self.wait_for_window(harness.TITLE_OFFLINE)
        _, _, width, height = self.display.geometry(window)
        program.stop()
        self.programs.remove(program)
        harness.wait_for(lambda: not self.display.windows_named("not connected"), 10)
        return width, height

    def assertAboutTwiceAsLarge(self, scaled, plain):
        for got, base in zip(scaled, plain):
            self.assertGreater(got, 1.9 * base, f"{scaled} against {plain}")
            self.assertLess(got, 2.1 * base, f"{scaled} against {plain}")

    def test_gdk_scale_and_xft_dpi_double_the_window(self):
        plain = self.window_size()
        self.assertAboutTwiceAsLarge(self.window_size({"GDK_SCALE": "2"}), plain)

        subprocess.run(["xprop", "-root", "-f", "RESOURCE_MANAGER", "8s", "-set", "RESOURCE_MANAGER",
                        "Xft.antialias:\t1\nXft.dpi:\t192\n"],
                       env={**os.environ, **self.display.env()}, check=True, timeout=10)
        self.assertAboutTwiceAsLarge(self.window_size(), plain)

    def test_unreadable_scale_leaves_the_window_as_it_is(self):
        plain = self.window_size()
        self.assertEqual(self.window_size({"GDK_SCALE": "big"}), plain)


if __name__ == "__main__":
    unittest.main(verbosity=2)
