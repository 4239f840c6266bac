"""The Configuration page on the wire: a mode chosen by mouse and confirmed reaches the
amplifier as channel A's limiter, "/speaker" and "/ampmode", in that order, and the picture
changes with it; a delay typed in metres reaches it in milliseconds."""

import time
import unittest

import harness
import layout

TITLE_MODE_QUESTION = "Changing Amp-mode..."

# The first tab, "  Configuration  ", at the left end of the tab bar.
CONFIGURATION_TAB = (8 + 50, 8 + 15)
STEREO = layout.centre_on_page(20, 24 + 26, 80, 24)
METRE_ENTRY_A = layout.centre_on_page(14, 306, 64, 22)
# Inside channel B's delay knob, which Stereo hides, and a row of the mode picture, which
# sits at (120, 38) on the page and is 580 x 99.
DELAY_KNOB_B = layout.centre_on_page(29 + 356, 212, 60, 60)
PICTURE_ROWS = [layout.on_page(120 + x, 38 + y) for y in range(0, 99, 3) for x in range(480, 580, 3)]


class ConfigTest(harness.ProgramTestCase):
    def setUp(self):
        super().setUp()
        self.amplifier = self.start_connected_amplifier()
        self.click(CONFIGURATION_TAB)
        time.sleep(0.3)

    def picture(self, shot):
        return [shot.panel(point) for point in PICTURE_ROWS]

    def test_confirmed_mode_reaches_the_amplifier_in_order_and_changes_the_picture(self):
        self.park_mouse()
        before = self.screenshot("config-dual")
        self.assertNotEqual(before.panel(DELAY_KNOB_B), layout.BLACK, "channel B's delay knob is shown")

        since = self.amplifier.mark()
        self.click_for_window(STEREO, TITLE_MODE_QUESTION)
        self.answer_box(TITLE_MODE_QUESTION)   # Return: "Yes"
        self.wait_heard(self.amplifier, since=since, address="/ampmode")
        time.sleep(0.3)

        wanted = ("/channel/1/limiter", "/speaker", "/ampmode")
        heard = [r for r in self.amplifier.heard(since) if r.address in wanted]
        self.assertEqual([r.address for r in heard], list(wanted))
        self.assertEqual(heard[2].args, ["STEREO"])
        self.assertEqual(len(heard[1].args), 1)
        other = [r.address for r in self.amplifier.heard(since) if r.address not in wanted + ("/meter",)]
        self.assertEqual(other, [], "nothing but the three messages")

        self.park_mouse()
        after = self.screenshot("config-stereo")
        self.assertNotEqual(self.picture(before), self.picture(after), "the picture shows the new mode")
        self.assertEqual(after.panel(DELAY_KNOB_B), layout.BLACK, "channel B is hidden in Stereo")

    def test_delay_typed_in_metres_reaches_the_amplifier_in_milliseconds(self):
        since = self.amplifier.mark()
        self.click(METRE_ENTRY_A)
        self.type_text("3.43")
        self.display.xdotool("key", "Return")
        self.wait_heard(self.amplifier, since=since, address="/channel/1/delay")
        time.sleep(0.3)
        delays = self.amplifier.heard(since, address="/channel/1/delay")
        self.assertEqual(len(delays), 1, delays)
        self.assertEqual(delays[0].tags, "fi")
        self.assertAlmostEqual(delays[0].args[0], 10.0, places=4)
        self.park_mouse()
        self.screenshot("config-delay")


if __name__ == "__main__":
    unittest.main(verbosity=2)
