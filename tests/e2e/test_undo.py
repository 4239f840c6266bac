"""Undo, redo and A/B compare against a simulated amplifier: Ctrl+Z and Ctrl+Shift+Z send the
band back and forth, a knob drag is taken back by one press, switching between two memories
that differ in three bands sends exactly those three, and undoing a mode change asks the
mode question again."""

import os
import subprocess
import time
import unittest

import harness
import layout

# The panel's tab bar: the "  Parametric EQ  " tab, third of six.
PEQ_TAB = (layout.PAGE_ORIGIN[0] + 300, layout.PAGE_ORIGIN[1] - 15)

# A channel tab of the Parametric EQ page starts below its 30-pixel tab bar at (0, 176).
TAB_ORIGIN = layout.on_page(0, 176 + 30)


def band_x(band):
    """The left edge of band 1..8's column on its tab."""
    return 84 + 80 * (band - 1)


def gain_box(band):
    """The middle of the value box under band's gain knob (the knob at x0, 32, 48 x 60, its
    box the lowest 20 pixels)."""
    return TAB_ORIGIN[0] + band_x(band) + 24, TAB_ORIGIN[1] + 82


def gain_knob(band):
    """The middle of the gain knob itself, above its box."""
    return TAB_ORIGIN[0] + band_x(band) + 24, TAB_ORIGIN[1] + 52


# The Undo and A/B buttons in the panel's right-hand column (a ZR amplifier's layout).
UNDO = (742 + 23, 447 + 10)
COMPARE = (740 + 16, 471 + 10)

BAND_ADDRESS = "/channel/1/peq/{}"

TITLE_MODE_QUESTION = "Changing Amp-mode..."
CONFIGURATION_TAB = (8 + 50, 8 + 15)
STEREO = layout.centre_on_page(20, 24 + 26, 80, 24)


class UndoTest(harness.ProgramTestCase):
    def setUp(self):
        super().setUp()
        self.amplifier = self.start_connected_amplifier()
        self.click(PEQ_TAB)
        self.park_mouse()

    def key(self, keys):
        """Keys to the main window, as a user presses them with it in front."""
        self.refocus()
        self.display.xdotool("key", keys)

    def type_gain(self, band, text):
        self.click(gain_box(band))
        time.sleep(0.2)
        self.display.xdotool("key", "ctrl+a")
        self.display.xdotool("type", "--delay", "5", "--", text)   # a "-" is no option
        self.display.xdotool("key", "Return")

    def gains_heard(self, band, since):
        return [r.args[2] for r in self.amplifier.heard(since, address=BAND_ADDRESS.format(band))]

    def wait_gain(self, band, since, value):
        self.assertTrue(harness.wait_for(lambda: value in self.gains_heard(band, since), 5.0),
                        f"band {band}: {value} not heard, only {self.gains_heard(band, since)}")
        time.sleep(0.3)

    def test_typed_gain_is_undone_by_ctrl_z_and_redone_by_ctrl_shift_z(self):
        since = self.amplifier.mark()
        self.type_gain(5, "-6")
        self.wait_gain(5, since, -6.0)

        since = self.amplifier.mark()
        self.key("ctrl+z")
        self.wait_gain(5, since, 0.0)
        self.assertEqual(self.gains_heard(5, since), [0.0], "one message with the previous value")
        others = {r.address for r in self.amplifier.heard(since)} - {"/meter", BAND_ADDRESS.format(5)}
        self.assertEqual(others, set(), "nothing else goes out")

        since = self.amplifier.mark()
        self.key("ctrl+shift+z")
        self.wait_gain(5, since, -6.0)
        self.assertEqual(self.gains_heard(5, since), [-6.0])

        # The Undo button does the same.
        since = self.amplifier.mark()
        self.click(UNDO)
        self.wait_gain(5, since, 0.0)
        self.park_mouse()
        self.screenshot("after-undo")

    def test_a_knob_drag_is_undone_by_one_press(self):
        x, y = gain_knob(3)
        since = self.amplifier.mark()
        self.drag([(x, y + dy) for dy in range(0, -60, -3)])
        self.assertTrue(harness.wait_for(lambda: self.gains_heard(3, since), 5.0), "the drag sent nothing")
        time.sleep(0.8)
        dragged = self.gains_heard(3, since)[-1]
        self.assertGreater(dragged, 0.0, "the drag raised the gain")

        since = self.amplifier.mark()
        self.key("ctrl+z")
        self.wait_gain(3, since, 0.0)
        self.assertEqual(self.gains_heard(3, since), [0.0], "one press takes the whole drag back")

        since = self.amplifier.mark()
        self.key("ctrl+y")
        self.wait_gain(3, since, dragged)

    def test_switching_memories_sends_exactly_the_blocks_that_differ(self):
        since = self.amplifier.mark()
        for band, text in ((2, "3"), (5, "-4.5"), (7, "6")):
            self.type_gain(band, text)
            self.wait_gain(band, since, float(text))
        self.park_mouse()
        self.keep_window_picture("undo-compare.png", hover=UNDO)

        # B holds what the amplifier had on connecting.
        since = self.amplifier.mark()
        self.click(COMPARE)
        self.assertTrue(harness.wait_for(lambda: len(self.blocks_heard(since)) >= 3, 5.0))
        time.sleep(0.5)
        heard = self.blocks_heard(since)
        self.assertEqual(sorted(r.address for r in heard), [BAND_ADDRESS.format(b) for b in (2, 5, 7)], heard)
        self.assertEqual([r.args[2] for r in heard], [0.0, 0.0, 0.0])
        self.park_mouse()
        self.screenshot("memory-b")

        # Back to A: the same three with the edited values.
        since = self.amplifier.mark()
        self.click(COMPARE)
        self.assertTrue(harness.wait_for(lambda: len(self.blocks_heard(since)) >= 3, 5.0))
        time.sleep(0.5)
        heard = self.blocks_heard(since)
        self.assertEqual({r.address: r.args[2] for r in heard},
                         {BAND_ADDRESS.format(2): 3.0, BAND_ADDRESS.format(5): -4.5, BAND_ADDRESS.format(7): 6.0})

    def test_undoing_a_mode_change_asks_the_mode_question_again(self):
        self.click(CONFIGURATION_TAB)
        time.sleep(0.3)
        since = self.amplifier.mark()
        self.click_for_window(STEREO, TITLE_MODE_QUESTION)
        self.answer_box(TITLE_MODE_QUESTION)   # Return: "Yes"
        self.wait_heard(self.amplifier, since=since, address="/ampmode")
        time.sleep(0.8)

        # Ctrl+Z asks first; "Cancel" leaves the amplifier as it is.
        since = self.amplifier.mark()
        self.key("ctrl+z")
        self.answer_box(TITLE_MODE_QUESTION, key="Escape")
        time.sleep(0.5)
        self.assertEqual(self.blocks_heard(since), [], "nothing is sent after Cancel")

        # Again, "Yes": the mode goes back, with what it changed.
        self.key("ctrl+z")
        self.answer_box(TITLE_MODE_QUESTION)
        self.wait_heard(self.amplifier, since=since, address="/ampmode")
        modes = [r.args for r in self.amplifier.heard(since, address="/ampmode")]
        self.assertEqual(modes, [["DUAL"]])

    def keep_window_picture(self, name, hover=None):
        """With ZR_E2E_PICTURES set to a folder: the window as PNG there, for the docs, with
        the pointer resting on `hover` (its tooltip showing) if given."""
        folder = os.environ.get("ZR_E2E_PICTURES")
        if not folder:
            return
        if hover:
            self.display.xdotool("mousemove", *self.screen(hover))
            time.sleep(2.0)
        x, y, width, height = self.display.geometry(self.window)
        shot = self.screenshot("window")
        subprocess.run(["convert", shot.path, "-crop", f"{width}x{height}+{x}+{y}", "+repage",
                        os.path.join(folder, name)], check=True, timeout=30)
        self.park_mouse()

    def blocks_heard(self, since):
        """Everything the program sent since the mark but the meter requests."""
        return [r for r in self.amplifier.heard(since) if r.address != "/meter"]


if __name__ == "__main__":
    unittest.main()
