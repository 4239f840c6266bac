"""The Filter/Crossover and Dynamic EQ pages against a simulated amplifier: both show the
amplifier's settings as it reports them (read off the graphs: handle lines at the filters'
frequencies, curves at their levels), and typed frequencies reach it as messages."""

import math
import os
import time
import unittest

import harness
import layout

PRESET = os.path.join(harness.DATA, "xover-deq.kvt")
BIAMP_PRESET = os.path.join(harness.DATA, "xover-biamp.kvt")
TITLE_LINK = "Link Crossover frequencies..."

# Tabs of the editor, clicked in their middle (page coordinates, above the page).
CONFIG_TAB = layout.on_page(40, -15)
XOVER_TAB = layout.on_page(150, -15)
XOVER_BUTTON = layout.centre_on_page(316, 180, 88, 24)
DEQ_TAB = layout.on_page(368, -15)

# The crossover graph (50, 10, 660 x 150, +-30 units = +-15 dB) and the Dynamic EQ graphs
# (32 and 390, 10, 320 x 150, +10 .. -60 dB) on their pages.
XOVER_GRAPH = (50, 10, 660, 150)
DEQ_GRAPHS = ((32, 10, 320, 150), (390, 10, 320, 150))
HANDLE_LINE_COLOURS = ((128, 128, 128), (255, 255, 255))
AMBER = (253, 187, 48)


def column(graph, freq):
    x, _, w, _ = graph
    return x + int(math.log(freq / 20.0) / math.log(1000.0) * w)


def row(graph, value, db_range, vertical_scale):
    _, y, _, h = graph
    return y + h - int((value / db_range + 1.0) * h * vertical_scale + 0.25)


def close(colour, expected, tolerance=24):
    return all(abs(a - b) <= tolerance for a, b in zip(colour, expected))


class PageTestCase(harness.ProgramTestCase):
    """Showing a page and reading its graphs."""

    def show(self, tab, name):
        self.click(tab)
        self.park_mouse()
        time.sleep(0.4)
        return self.screenshot(name)

    def assertHandleLine(self, shot, graph, freq, what):
        x = column(graph, freq)
        top = graph[1]
        colours = [shot.panel(layout.on_page(x, top + y)) for y in range(19, 35, 2)]
        self.assertTrue(any(c in HANDLE_LINE_COLOURS for c in colours),
                        f"{what}: no handle line at x {x} ({freq} Hz): {colours}")

    def type_into(self, entry, text):
        self.click(layout.centre_on_page(*entry))
        self.display.xdotool("key", "ctrl+a")
        self.type_text(text)
        self.display.xdotool("key", "Return")


class XoverDeqTest(PageTestCase):
    def setUp(self):
        super().setUp()
        self.amplifier = self.start_connected_amplifier(preset=PRESET)

    def test_crossover_page_shows_the_amplifiers_filters_and_gains(self):
        shot = self.show(XOVER_TAB, "xover")
        for freq, what in ((45.0, "A high-pass"), (2000.0, "A low-pass"), (150.0, "B high-pass"),
                           (8000.0, "B low-pass")):
            self.assertHandleLine(shot, XOVER_GRAPH, freq, what)

        # At 500 Hz channel A (+3 dB, +6 units) lies above channel B (-2 dB, -4 units): only
        # A's fill (amber at 30 %) between the two curves.
        x = column(XOVER_GRAPH, 500.0) + 2
        top_a = row(XOVER_GRAPH, 6.0, 30, 0.5)
        top_b = row(XOVER_GRAPH, -4.0, 30, 0.5)
        fill = tuple(int(0.3 * c) for c in AMBER)
        between = [shot.panel(layout.on_page(x, y)) for y in range(top_a + 3, top_b - 2)]
        self.assertTrue(sum(close(c, fill) for c in between) >= len(between) // 2,
                        f"channel A's fill is not between {top_a} and {top_b}: {between}")
        above = shot.panel(layout.on_page(x, top_a - 4))
        self.assertFalse(close(above, fill), "channel A's fill reaches above its level")

    def test_dynamic_eq_page_shows_the_amplifiers_bands(self):
        shot = self.show(DEQ_TAB, "deq")
        self.assertHandleLine(shot, DEQ_GRAPHS[0], 180.0, "band 1")
        self.assertHandleLine(shot, DEQ_GRAPHS[1], 3200.0, "band 2")

        # Band 1 cuts by 6 dB at full level around its centre: the 0 dB curve dips there.
        scale = 0.857142865657806
        x = column(DEQ_GRAPHS[0], 180.0) + 2
        dip = row(DEQ_GRAPHS[0], -6.0, 60, scale)
        flat = row(DEQ_GRAPHS[0], 0.0, 60, scale)
        near_dip = [shot.panel(layout.on_page(x, y)) for y in range(dip - 3, dip + 4)]
        self.assertTrue(any(close(c, AMBER, 60) for c in near_dip), f"no curve near row {dip}: {near_dip}")
        far_left = column(DEQ_GRAPHS[0], 25.0)
        flat_line = [shot.panel(layout.on_page(far_left, y)) for y in range(flat - 2, flat + 3)]
        self.assertTrue(any(close(c, AMBER, 60) for c in flat_line), f"no 0 dB line at row {flat}: {flat_line}")

    def test_typed_frequencies_reach_the_amplifier(self):
        self.show(XOVER_TAB, "xover")
        since = self.amplifier.mark()
        self.type_into((256, 352, 48, 20), "1k5")   # channel A's low-pass
        heard = self.wait_heard(self.amplifier, since=since, address="/channel/1/xover/lp")
        self.assertEqual(heard[0].args[0], "LR48")
        self.assertAlmostEqual(heard[0].args[1], 1500.0, delta=1.0)

        self.show(DEQ_TAB, "deq")
        since = self.amplifier.mark()
        self.type_into((24, 176 + 30 + 184, 48, 20), "250")   # band 1's frequency, in the tab below its bar
        heard = self.wait_heard(self.amplifier, since=since, address="/channel/1/deq/1/filt")
        self.assertEqual(heard[0].args[0], "BP")
        self.assertAlmostEqual(heard[0].args[1], 250.0, delta=0.5)
        self.assertAlmostEqual(heard[0].args[2], 1.4, delta=0.01)


class BiAmpCrossoverTest(PageTestCase):
    """An amplifier in Bi-Amp 1 with every crossover filter off: "X-Over" and "Yes" set the
    default crossover on it."""

    def setUp(self):
        super().setUp()
        self.amplifier = self.start_connected_amplifier(preset=BIAMP_PRESET)

    def last_values(self, since, address):
        heard = self.amplifier.heard(since, address=address)
        return heard[-1].args if heard else None

    def test_default_crossover_reaches_the_amplifier(self):
        # The amplifier's mode reaches the crossover page through the Configuration page.
        self.click(CONFIG_TAB)
        self.park_mouse()
        time.sleep(0.4)
        config = self.screenshot("config")
        self.assertFalse(all(config.panel(layout.on_page(x, y)) == layout.BLACK for x in range(10, 710, 20)
                             for y in range(10, 460, 20)), "the Configuration page shows nothing")

        self.show(XOVER_TAB, "xover-biamp")
        since = self.amplifier.mark()
        self.click_for_window(XOVER_BUTTON, TITLE_LINK)
        self.answer_box(TITLE_LINK)   # Return: "Yes"
        self.wait_heard(self.amplifier, since=since, address="/channel/2/xover/lp")
        time.sleep(0.5)

        lp_a = self.last_values(since, "/channel/1/xover/lp")
        hp_b = self.last_values(since, "/channel/2/xover/hp")
        lp_b = self.last_values(since, "/channel/2/xover/lp")
        self.assertEqual(lp_a[0], "BUT12")
        self.assertAlmostEqual(lp_a[1], 632.46, delta=0.01)
        self.assertEqual(hp_b, lp_a, "channel B's high-pass is linked to channel A's low-pass")
        self.assertEqual(lp_b[0], "OFF")
        self.assertAlmostEqual(lp_b[1], 17825.0, delta=1.0)
        self.assertEqual(self.amplifier.heard(since, address="/channel/1/xover/hp"), [],
                         "channel A's high-pass is not in the way")
        # The amplifier took them: its answers carry the same values.
        sent = self.amplifier.sent(since, address="/channel/2/xover/hp")
        self.assertTrue(sent and sent[-1].args == hp_b, sent)
        shot = self.show(XOVER_TAB, "xover-linked")
        self.assertHandleLine(shot, XOVER_GRAPH, lp_a[1], "the crossover")


if __name__ == "__main__":
    unittest.main()
