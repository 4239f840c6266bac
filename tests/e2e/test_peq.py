"""The Parametric EQ page against a simulated amplifier whose bands are not the defaults: the
curve and the handles stand where the amplifier's values say, and a handle dragged with the
mouse sends its band, which the amplifier's answer then keeps where it was dropped."""

import math
import os
import time
import unittest

import harness
import layout

PRESET = os.path.join(os.path.dirname(os.path.abspath(__file__)), "data", "dual-rig.kvt")

# The panel's tab bar: the "  Parametric EQ  " tab, third of six.
PEQ_TAB = (layout.PAGE_ORIGIN[0] + 300, layout.PAGE_ORIGIN[1] - 15)

# The graph at (50, 10, 660, 150) on the page; handles are 13 x 13 badges 3 pixels down,
# their dotted lines start 17 pixels down.
GRAPH = layout.on_page(50, 10)
GRAPH_WIDTH, GRAPH_HEIGHT = 660, 150
HANDLE_TOP, LINE_TOP = 3, 17
GREY, WHITE = (0x80, 0x80, 0x80), (0xff, 0xff, 0xff)
CHANNEL_A_CURVE = (0xd2, 0x9b, 0x27)

# Channel A's band frequencies in the preset, band 1 .. 8.
BANDS_A = [60.0, 120.0, 250.0, 500.0, 1200.0, 2500.0, 5000.0, 12000.0]


def column_of(freq):
    """The graph's column of a frequency, in panel pixels."""
    ratio = math.log(max(freq, 1e-5) / 20.0) / math.log(1000.0)
    return GRAPH[0] + int(ratio * GRAPH_WIDTH)


def on_graph(x, y):
    return GRAPH[0] + x, GRAPH[1] + y


class PeqPageTest(harness.ProgramTestCase):
    def setUp(self):
        super().setUp()
        self.amplifier = self.start_connected_amplifier(preset=PRESET)
        self.click(PEQ_TAB)
        self.park_mouse()

    def dotted_line_at(self, shot, x):
        """The colour of a handle's dotted line in column x (grey, or white when selected),
        or None when that column has none."""
        dots = {shot.panel((x, GRAPH[1] + y)) for y in range(LINE_TOP, LINE_TOP + 40, 2)}
        return dots.pop() if len(dots) == 1 and dots <= {GREY, WHITE} else None

    def handle_line_near(self, shot, freq):
        """The dotted line of the handle at freq: its column (one pixel of rounding either
        side allowed) and colour."""
        for x in (column_of(freq), column_of(freq) - 1, column_of(freq) + 1):
            colour = self.dotted_line_at(shot, x)
            if colour:
                return x, colour
        return None, None

    def test_curve_and_handles_stand_where_the_values_say(self):
        shot = self.screenshot("peq-page")
        for band, freq in enumerate(BANDS_A, start=1):
            x, colour = self.handle_line_near(shot, freq)
            self.assertIsNotNone(x, f"no dotted line of handle {band} at {freq} Hz ({shot.path})")
            badge = {shot.panel((x + dx, GRAPH[1] + HANDLE_TOP + dy)) for dx in (-3, 0, 3) for dy in (3, 6, 9)}
            self.assertNotEqual(badge, {layout.BLACK}, f"no badge over handle {band}")

        # The low shelf (+3 dB) lifts the left end: filled from the middle up to about +2.7 dB.
        middle = GRAPH_HEIGHT // 2
        self.assertEqual(shot.panel(on_graph(3, middle - 6)), CHANNEL_A_CURVE, "lifted at 20 Hz")
        self.assertEqual(shot.panel(on_graph(3, middle - 14)), layout.BLACK, "not lifted too far")
        # Band 5 cuts 3 dB at 1k20: filled from the middle down to -6 units.
        x5 = column_of(1200.0) + 2
        self.assertEqual(shot.panel((x5, GRAPH[1] + middle + 6)), CHANNEL_A_CURVE, "cut at 1k20")
        self.assertEqual(shot.panel((x5, GRAPH[1] + middle - 6)), layout.BLACK, "nothing above at 1k20")

    def test_a_dragged_handle_sends_its_band_and_stays_where_it_was_dropped(self):
        start_x, _ = self.handle_line_near(self.screenshot("before-drag"), 2500.0)
        self.assertIsNotNone(start_x, "handle 6 is not at 2k50")
        centre_y = GRAPH[1] + HANDLE_TOP + 6
        since = self.amplifier.mark()
        self.drag([(start_x + dx, centre_y) for dx in range(0, 61, 3)])

        def last_sent():
            heard = self.amplifier.heard(since, address="/channel/1/peq/6")
            return heard[-1] if heard else None

        self.assertTrue(harness.wait_for(lambda: last_sent() is not None, 5.0), "band 6 was not sent")
        time.sleep(0.5)   # the last answer is in
        sent = last_sent()
        self.assertEqual(sent.tags, "sfff")
        label, freq, gain, quality = sent.args
        self.assertEqual((label, gain), ("PEQ", 1.5), "only the frequency moves")
        self.assertAlmostEqual(quality, 1.2, places=2)
        self.assertGreater(freq, 2500.0 * 1.5, "dragged 60 pixels to the right")
        answered = self.amplifier.sent(since, address="/channel/1/peq/6")
        self.assertTrue(answered and answered[-1].args == sent.args, "the amplifier answered the last value")
        self.assertEqual(self.amplifier.heard(since, address="/channel/2/peq/6"), [], "channel B untouched")

        self.park_mouse()
        shot = self.screenshot("after-drag")
        x, colour = self.handle_line_near(shot, freq)
        self.assertIsNotNone(x, f"handle 6 is not at {freq} Hz after the answer ({shot.path})")
        self.assertEqual(colour, WHITE, "the dragged handle is the selected one")
        self.assertIsNone(self.dotted_line_at(shot, start_x), "nothing left at 2k50")


if __name__ == "__main__":
    unittest.main()
