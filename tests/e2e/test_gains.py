"""The panel's input gain controls on the wire: a fader drag and mute clicks reach the
amplifier as "/gain" messages, a fast drag merged into few of them with the last value right."""

import time
import unittest

import harness
import layout


class GainTest(harness.ProgramTestCase):
    def setUp(self):
        super().setUp()
        # A slow amplifier (20 ms per answer) keeps a request in flight for most of the drag,
        # so later values must wait in the queue, where they are merged.
        self.amplifier = self.start_connected_amplifier(extra=["--reply-delay", "20"])

    def settled_gains(self, since, expected_last=None):
        """The "/gain" values heard since a mark, once the last one is the expected value (any
        value when None) and nothing more comes."""
        def last():
            heard = self.amplifier.heard(since, address="/gain")
            return heard[-1].args if heard else None

        self.assertTrue(harness.wait_for(lambda: last() is not None and expected_last in (None, last()), 5.0),
                        f"last /gain is not {expected_last}: {self.amplifier.heard(since, address='/gain')[-3:]}")
        settled = last()
        time.sleep(0.3)
        heard = self.amplifier.heard(since, address="/gain")
        self.assertEqual(heard[-1].args, settled, "a value came after the expected last one")
        self.assertTrue(all(r.tags == "ffii" for r in heard))
        return [r.args for r in heard]

    def drag_gain_a(self, from_y, to_y):
        step = 1 if to_y > from_y else -1
        points = [(layout.GAIN_A_X, y) for y in range(from_y, to_y + step, step)]
        since = self.amplifier.mark()
        self.drag(points)
        return since, len(points) - 1

    def test_fader_drag_is_merged_and_ends_on_the_last_value(self):
        # The amplifier reported 0 dB: the thumb is at the top.  Drag it down past the end.
        since, motions = self.drag_gain_a(layout.GAIN_TOP + 8, layout.GAIN_BOTTOM + 30)
        values = self.settled_gains(since, [-60.0, 0.0, 0, 0])
        self.assertLessEqual(len(values), motions // 4, f"{len(values)} messages for {motions} motion events")
        gains_a = [v[0] for v in values]
        self.assertEqual(gains_a, sorted(gains_a, reverse=True), "values follow the drag downwards")
        self.assertTrue(all(-60.0 <= g <= 0.0 and g * 2 == int(g * 2) for g in gains_a), gains_a)
        self.assertTrue(all(v[1:] == [0.0, 0, 0] for v in values), "gain B and the mutes stay")

        # A short nudge while the value of the press is still unanswered: the later values
        # must wait behind the request in flight, not replace it, or the last one is lost.
        # The value it must end on is found first by a plain click at the same spot.
        middle = (layout.GAIN_TOP + layout.GAIN_BOTTOM) // 2
        since = self.amplifier.mark()
        self.click((layout.GAIN_A_X, middle - 8))
        final = self.settled_gains(since)[-1]
        since = self.amplifier.mark()
        self.click((layout.GAIN_A_X, middle + 20))
        self.settled_gains(since)

        since = self.amplifier.mark()
        self.drag([(layout.GAIN_A_X, y) for y in (middle, middle - 4, middle - 8)], hold=0.005)
        values = self.settled_gains(since, final)
        gains_a = [v[0] for v in values]
        self.assertEqual(gains_a, sorted(gains_a), "values follow the nudge upwards")

    def test_mute_clicks_send_the_mute_states_with_the_gains(self):
        since = self.amplifier.mark()
        self.click(layout.MUTE_A)
        self.assertEqual(self.settled_gains(since, [0.0, 0.0, 1, 0]), [[0.0, 0.0, 1, 0]])
        self.park_mouse()
        face = self.screenshot("mute-a").panel(layout.MUTE_A_FACE)
        self.assertTrue(layout.is_mute_red(face), f"mute A lit: {face}")

        since = self.amplifier.mark()
        self.click(layout.MUTE_B)
        self.assertEqual(self.settled_gains(since, [0.0, 0.0, 1, 1]), [[0.0, 0.0, 1, 1]])

        since = self.amplifier.mark()
        self.click(layout.MUTE_A)
        self.assertEqual(self.settled_gains(since, [0.0, 0.0, 0, 1]), [[0.0, 0.0, 0, 1]])
        self.park_mouse()
        face = self.screenshot("mute-a-off").panel(layout.MUTE_A_FACE)
        self.assertFalse(layout.is_mute_red(face), f"mute A dark again: {face}")


if __name__ == "__main__":
    unittest.main(verbosity=2)
