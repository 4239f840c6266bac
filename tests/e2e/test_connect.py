"""Connecting to an amplifier found on the network: the question, the device label, the exact
online sequence on the wire, and what the panel then shows."""

import os
import unittest

import harness
import layout
import protocol

PRESET = os.path.join(harness.DATA, "dual-rig.kvt")


class ConnectTest(harness.ProgramTestCase):
    def test_connect_sends_the_online_sequence_in_order_and_shows_the_device(self):
        # Input levels 0.1 and output levels 0.05 read -18 and -24 dB on the meters.
        amplifier = self.start_found_amplifier(PRESET, ["--levels", "0.1,0.1,0.05,0.05"])
        self.assertEqual(self.title(), harness.TITLE_OFFLINE)

        self.connect(1, "[Device: ZR440]")
        self.wait_online(amplifier)

        expected = protocol.online_sequence(zr_family=True)
        heard = [r.message() for r in amplifier.heard()]
        self.assertEqual(heard[0], ("/info", "", []), "the start-up search comes first")
        self.assertEqual(heard[1:1 + len(expected)], expected)
        # Afterwards only the meter stream is asked for again.
        later = [m for m in heard[1 + len(expected):] if m != ("/meter", "f", [10.0])]
        self.assertEqual(later, [])

        shot = self.screenshot("connected")
        self.assertPixel(shot, layout.device_row(1), layout.CONNECTED_ROW, "the connected row")
        self.assertPixel(shot, layout.FADER_BACKGROUND, layout.COLUMN_GREY, "the ZR gain fader background")
        # The streamed meter levels reach the meters: lit below the level, dark above it.
        self.assertPixel(shot, layout.meter_segment(layout.INPUT_METER_A, 7), layout.METER_LIT, "input A at -21 dB")
        self.assertPixel(shot, layout.meter_segment(layout.INPUT_METER_A, 6), layout.BLACK, "input A at -18 dB")
        self.assertPixel(shot, layout.meter_segment(layout.OUTPUT_METER_A, 9), layout.METER_LIT, "output A at -27 dB")
        self.assertPixel(shot, layout.meter_segment(layout.OUTPUT_METER_A, 8), layout.BLACK, "output A at -24 dB")

    def test_cancel_leaves_the_program_offline_and_silent(self):
        amplifier = self.start_found_amplifier()

        self.click_for_window(layout.device_row(1), harness.TITLE_SELECT_DEVICE)
        self.answer_box(harness.TITLE_SELECT_DEVICE, key="Escape")
        self.assertQuiet(amplifier, 0.5, "after Cancel")
        self.assertEqual(self.title(), harness.TITLE_OFFLINE)
        self.assertEqual([r.address for r in amplifier.heard()], ["/info"])

    def test_the_click_after_cancel_is_not_lost(self):
        amplifier = self.start_found_amplifier()

        # "Cancel" clicked, as a user answers; the keyboard is not handed back afterwards.
        self.click_for_window(layout.device_row(1), harness.TITLE_SELECT_DEVICE)
        box = self.wait_for_window(harness.TITLE_SELECT_DEVICE)
        x, y, width, height = self.display.geometry(box)
        dx, dy = layout.SELECT_DEVICE_CANCEL
        self.display.xdotool("mousemove", str(x + width // 2 + dx), str(y + height + dy), "click", "1")
        self.assertTrue(harness.wait_for(lambda: not self.display.window_titled(harness.TITLE_SELECT_DEVICE), 5.0),
                        "the question stayed open after a click on Cancel")

        # The next click does its work at once: Search asks again, and so does the row.
        since = amplifier.mark()
        self.click(layout.SEARCH)
        self.wait_heard(amplifier, since=since, address="/info", timeout=3.0)
        self.click(layout.device_row(1))
        self.assertTrue(harness.wait_for(lambda: self.display.window_titled(harness.TITLE_SELECT_DEVICE), 3.0),
                        "a click on the row after Cancel asked nothing")
        self.answer_box(harness.TITLE_SELECT_DEVICE, key="Escape")
        self.assertEqual(self.title(), harness.TITLE_OFFLINE)

    def test_a_press_dragged_across_the_rows_asks_nothing(self):
        self.start_lan("left", "right")
        self.start_simulator("left", "Stage Left", 1)
        self.start_simulator("right", "Monitors", 6)
        self.start_program_window()
        self.wait_for_row(2)

        first, second = layout.device_row(1), layout.device_row(2)
        self.drag([first] + [(first[0], y) for y in range(first[1] + 2, second[1] + 1, 2)])
        self.assertFalse(harness.wait_for(lambda: self.display.window_titled(harness.TITLE_SELECT_DEVICE), 1.5),
                         "a drag asked to connect")
        self.click_for_window(second, harness.TITLE_SELECT_DEVICE)
        self.answer_box(harness.TITLE_SELECT_DEVICE, key="Escape")
        self.assertEqual(self.title(), harness.TITLE_OFFLINE)


if __name__ == "__main__":
    unittest.main(verbosity=2)
