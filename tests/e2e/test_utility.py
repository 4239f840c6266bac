"""The Utility page against simulated amplifiers: its tab is there for the ZR family only, a
sweep started with the mouse reaches the amplifier as rising, then falling frequencies and ends
with the connection, and the frequency entry reads a decimal comma as a point."""

import os
import subprocess
import time
import unittest

import harness
import layout

# The middle of the tab bar (the tabs sit at panel y 8..38), and a point right of any tab.
TAB_ROW = 23
TAB_BAR_RIGHT = 724

# Utility page widgets, in page coordinates (the generator group's column).
TEST_TONE = layout.centre_on_page(520, 56, 92, 24)
FREQ_ENTRY = layout.centre_on_page(540, 304, 50, 20)
SWEEP = layout.centre_on_page(532, 408, 66, 24)
TITLE_ACTIVATE = "Signal Generator..."


def tab_bar_end(shot):
    """The panel x just right of the last tab: the tab bar's background runs from there on."""
    background = shot.panel((TAB_BAR_RIGHT, TAB_ROW))
    x = TAB_BAR_RIGHT
    while x > 8 and shot.panel((x, TAB_ROW)) == background:
        x -= 1
    return x + 1


class UtilityTest(harness.ProgramTestCase):
    def connect_and_open_utility(self, amplifier):
        """Connects the found amplifier (row 1) and opens the Utility tab it brings."""
        five_tabs = tab_bar_end(self.screenshot("five-tabs"))
        self.connect(1, "[Device: ZR440]")
        self.wait_online(amplifier)
        six_tabs = tab_bar_end(self.screenshot("six-tabs"))
        self.assertGreater(six_tabs - five_tabs, 40, "the Utility tab was added after the Setup tab")
        self.click(((five_tabs + six_tabs) // 2, TAB_ROW))

    def switch_tone_on(self, amplifier):
        self.click_for_window(TEST_TONE, TITLE_ACTIVATE)
        since = amplifier.mark()
        self.answer_box(TITLE_ACTIVATE)   # Return: "Yes"
        on = self.wait_heard(amplifier, since=since, address="/siggen")
        self.assertEqual(on[-1].args[0], 1, "the sine plays: it is the source lit from the start")

    def type_frequency(self, amplifier, text):
        """Types into the frequency entry, presses Return and returns the frequency heard."""
        since = amplifier.mark()
        self.click(FREQ_ENTRY)
        self.type_text(text)
        self.display.xdotool("key", "Return")
        return self.wait_heard(amplifier, since=since, address="/siggen")[-1].args[2]

    def test_zr_amplifier_gets_the_tab_and_a_mouse_sweep_rises_then_falls(self):
        amplifier = self.start_found_amplifier()
        self.connect_and_open_utility(amplifier)
        self.switch_tone_on(amplifier)

        # Near the top, so that the sweep turns soon.
        self.assertAlmostEqual(self.type_frequency(amplifier, "12k"), 12000.0, delta=150.0)

        since = amplifier.mark()
        self.click(SWEEP)

        def turned():
            """At least two steps heard on the way down, however busy the machine."""
            freqs = [r.args[2] for r in amplifier.heard(since, address="/siggen")]
            top = freqs.index(max(freqs)) if freqs else 0
            return len(freqs) > 3 and len(freqs) - top >= 3 and freqs[-1] < freqs[top] - 200.0

        self.assertTrue(harness.wait_for(turned, 10.0), "the sweep did not come back down")
        self.park_mouse()
        self.keep_page_picture("utility-sweeping.png")
        self.click(SWEEP)
        time.sleep(0.3)
        stopped = amplifier.mark()

        freqs = [r.args[2] for r in amplifier.heard(since, address="/siggen")]
        top = freqs.index(max(freqs))
        rising, falling = freqs[:top + 1], freqs[top:]
        self.assertEqual(rising, sorted(rising), f"rising first: {freqs}")
        self.assertEqual(falling, sorted(falling, reverse=True), f"then falling: {freqs}")
        self.assertGreater(max(freqs), 12100.0, freqs)
        self.assertLess(max(freqs), 20000.0, f"it turns one step below the top: {freqs}")
        self.assertGreaterEqual(len(falling), 3, freqs)
        self.assertTrue(all(r.tags == "iff" and r.args[0] == 1 for r in amplifier.heard(since, address="/siggen")))

        time.sleep(0.5)
        self.assertEqual(amplifier.heard(stopped, address="/siggen"), [], "the sweep stopped with its button")

    def test_a_decimal_comma_in_the_frequency_is_a_point(self):
        amplifier = self.start_found_amplifier()
        self.connect_and_open_utility(amplifier)
        self.assertAlmostEqual(self.type_frequency(amplifier, "1,5k"), 1500.0, delta=10.0)

    def test_a_sweep_running_when_the_amplifier_powers_off_sends_nothing_switched_on_after_reconnecting(self):
        amplifier = self.start_found_amplifier()
        self.connect_and_open_utility(amplifier)
        self.switch_tone_on(amplifier)
        since = amplifier.mark()
        self.click(SWEEP)
        self.wait_heard(amplifier, count=3, since=since, address="/siggen")

        amplifier.control("power off")
        self.wait_for_window(harness.TITLE_ERROR_NETWORK, timeout=3.0)
        self.answer_box(harness.TITLE_ERROR_NETWORK)
        amplifier.control("power on")

        since = amplifier.mark()
        self.click(layout.SEARCH)
        self.wait_heard(amplifier, since=since, address="/info", what=("send",))
        self.wait_for_row(1)
        self.connect(1, "[Device: ZR440]")
        self.wait_online(amplifier, since)
        time.sleep(1.0)   # twenty ticks of a sweep that would still run
        switched_on = [r.args for r in amplifier.heard(since, address="/siggen") if r.args and r.args[0] != 0]
        self.assertEqual(switched_on, [], "the generator was switched on without asking")

    def test_tarvo_amplifier_gets_no_utility_tab(self):
        self.start_lan("left")
        amplifier = self.start_simulator("left", "Monitors", 4)
        self.start_program_window()
        self.wait_heard(amplifier, address="/info", what=("send",))
        self.wait_for_row(1)
        five_tabs = tab_bar_end(self.screenshot("before"))
        self.connect(1, "[Device: TARVO-1]")
        self.wait_online(amplifier, zr_family=False)
        self.assertEqual(tab_bar_end(self.screenshot("connected")), five_tabs)
        self.assertEqual(amplifier.heard(address="/siggen"), [], "no generator query for the TARVO family")

    def keep_page_picture(self, name):
        """With ZR_E2E_PICTURES set to a folder: the window as PNG there, for the docs."""
        folder = os.environ.get("ZR_E2E_PICTURES")
        if not folder:
            return
        x, y, width, height = self.display.geometry(self.window)
        shot = self.screenshot("page")
        crop = f"{width}x{height}+{x}+{y}"
        subprocess.run(["convert", shot.path, "-crop", crop, "+repage", os.path.join(folder, name)],
                       check=True, timeout=30)


if __name__ == "__main__":
    unittest.main(verbosity=2)
