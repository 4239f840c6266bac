"""A lost amplifier: switched off ("/power" "OFF") or gone silent, it ends in the "Network
connection error!" box, the program goes offline and stays quiet, and once the amplifier is
back a new search and a click on its row connect again."""

import unittest

import harness
import layout
import protocol


class ConnectionLossTest(harness.ProgramTestCase):
    def setUp(self):
        super().setUp()
        self.amplifier = self.start_connected_amplifier()

    def assertOfflineAfterTheBox(self):
        """The error box is up with the device label already gone; answering it leaves the
        program offline and silent, the lost device's row removed, the meters dark."""
        self.assertEqual(self.title(), harness.TITLE_OFFLINE)
        self.answer_box(harness.TITLE_ERROR_NETWORK)
        self.assertQuiet(self.amplifier, 1.5, "after the error box")
        self.assertEqual(self.title(), harness.TITLE_OFFLINE)
        self.park_mouse()
        shot = self.screenshot("offline")
        self.assertFalse(self.row_shown(shot, 1), "the lost device's row is gone")
        self.assertPixel(shot, layout.FADER_BACKGROUND, layout.BLACK, "no gain controls")
        self.assertPixel(shot, layout.meter_segment(layout.INPUT_METER_A, 20), layout.BLACK, "input meter at floor")

    def assertReconnects(self):
        """A search finds the amplifier again as row 1 and connecting runs the whole online
        sequence."""
        since = self.amplifier.mark()
        self.click(layout.SEARCH)
        self.wait_heard(self.amplifier, since=since, address="/info", what=("send",))
        self.wait_for_row(1)
        self.connect(1, "[Device: ZR440]")
        self.wait_online(self.amplifier, since)
        heard = [r.message() for r in self.amplifier.heard(since)]
        expected = protocol.online_sequence(zr_family=True)
        self.assertEqual(heard[0], ("/info", "", []))
        self.assertEqual(heard[1:1 + len(expected)], expected)

    def test_power_off_ends_the_connection_and_a_new_search_reconnects(self):
        since = self.amplifier.mark()
        self.amplifier.control("power off")
        self.wait_for_window(harness.TITLE_ERROR_NETWORK, timeout=3.0)
        # Going offline said goodbye; the amplifier, already off, did not hear it.
        self.assertEqual([r.address for r in self.amplifier.heard(since, what=("off",))], ["/offline"])
        self.assertOfflineAfterTheBox()

        self.amplifier.control("power on")
        self.assertReconnects()

    def test_silent_amplifier_ends_the_connection_within_seconds_and_reconnects(self):
        self.amplifier.control("silent on")
        # About a second without meters, then four unanswered meter requests 500 ms apart.
        self.wait_for_window(harness.TITLE_ERROR_NETWORK, timeout=6.0)
        self.assertOfflineAfterTheBox()

        self.amplifier.control("silent off")
        self.assertReconnects()


if __name__ == "__main__":
    unittest.main(verbosity=2)
