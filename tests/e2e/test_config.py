"""The Configuration page on the wire: a mode chosen by mouse and confirmed reaches the
amplifier as channel A's limiter, "/speaker" and "/ampmode", in that order, and the picture
changes with it; the limiter goes with the threshold the amplifier holds, unchanged; a delay
typed in metres reaches it in milliseconds."""

import os
import time
import unittest

import harness
import layout

TITLE_MODE_QUESTION = "Changing Amp-mode..."

# The first tab, "  Configuration  ", at the left end of the tab bar.
CONFIGURATION_TAB = (8 + 50, 8 + 15)
DUAL_MONO = layout.centre_on_page(20, 24, 80, 24)
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


class StoredLimiterTest(harness.ProgramTestCase):
    """A ZR440 (94 Vp full scale) whose channel A limiter holds 1.0 Vp, below the threshold
    knob's -36 dBfs."""

    def setUp(self):
        super().setUp()
        preset = os.path.join(self.home, "low-limiter.kvt")
        with open(preset, "w", encoding="ascii") as f:
            f.write("Low Limiter\nBEGIN_OSC_DATA\n/channel/1/limiter fff 1.0 200.0 20.0\nEND_OSC_DATA\n")
        self.amplifier = self.start_connected_amplifier(preset=preset)
        self.click(CONFIGURATION_TAB)
        time.sleep(0.3)

    def confirm_mode(self, button):
        since = self.amplifier.mark()
        self.click_for_window(button, TITLE_MODE_QUESTION)
        self.answer_box(TITLE_MODE_QUESTION)   # Return: "Yes"
        self.wait_heard(self.amplifier, since=since, address="/ampmode")
        time.sleep(0.3)
        return since

    def assertLimiterKept(self, since, vp):
        heard = self.amplifier.heard(since, address="/channel/1/limiter")
        self.assertEqual([r.args[0] for r in heard], [vp], "the limiter goes once, unchanged")
        answers = self.amplifier.sent(since, address="/channel/1/limiter")
        self.assertTrue(answers, "the amplifier answers the limiter")
        self.assertEqual(answers[-1].args[0], vp, "the amplifier keeps its threshold")

    def test_a_mode_change_keeps_the_amplifiers_limiter(self):
        self.assertLimiterKept(self.confirm_mode(STEREO), 1.0)
        self.assertLimiterKept(self.confirm_mode(DUAL_MONO), 1.0)


if __name__ == "__main__":
    unittest.main(verbosity=2)
