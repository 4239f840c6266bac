"""Tooltips: the pointer resting on a button that has one shows it beside the pointer, and
the tip goes when the pointer leaves the window."""

import unittest

import harness
import layout

# The first tab, "  Configuration  ", and its "Channel Link" button (tip "enable/disable").
CONFIGURATION_TAB = (8 + 50, 8 + 15)
CHANNEL_LINK = layout.centre_on_page(312, 160, 96, 24)
# Over the panel's upper left quarter the framework puts a tip 24 pixels right of the
# pointer and 6 below it; these points lie inside any tip one line high and a word wide.
TIP_POINTS = [(CHANNEL_LINK[0] + 24 + dx, CHANNEL_LINK[1] + 6 + dy)
              for dx in range(6, 46, 2) for dy in range(4, 12, 2)]


class TooltipTest(harness.ProgramTestCase):
    def tip_area(self, name):
        shot = self.screenshot(name)
        return [shot.panel(point) for point in TIP_POINTS]

    def test_a_buttons_tip_shows_while_the_pointer_rests_on_it(self):
        self.start_program_window()
        self.click(CONFIGURATION_TAB)
        self.park_mouse()
        without_tip = self.tip_area("no-tip")

        self.display.xdotool("mousemove", *self.screen(CHANNEL_LINK))

        def tip_shown():
            area = self.tip_area("tip")
            changed = sum(1 for before, now in zip(without_tip, area) if before != now)
            return changed >= 0.6 * len(TIP_POINTS)

        # The framework's delay is 700 ms of a still pointer.
        self.assertTrue(harness.wait_for(tip_shown, 5.0, 0.3), "no tip beside the pointer on \"Channel Link\"")

        self.park_mouse()
        self.assertTrue(harness.wait_for(lambda: self.tip_area("tip-gone") == without_tip, 3.0, 0.3),
                        "the tip stayed after the pointer left the window")


if __name__ == "__main__":
    unittest.main(verbosity=2)
