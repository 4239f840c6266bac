"""Discovery: the program's start-up "/info" broadcast finds two amplifiers on the LAN, both
appear in the device table, and each row connects to its own amplifier."""

import unittest

import harness
import layout
import protocol

LABELS = {"Stage Left": "[Device: ZR440]", "Monitors": "[Device: TARVO-4]"}


class DiscoveryTest(harness.ProgramTestCase):
    def test_two_amplifiers_are_listed_and_each_row_connects_to_its_own(self):
        self.start_lan("left", "right")
        amplifiers = {"Stage Left": self.start_simulator("left", "Stage Left", 1),
                      "Monitors": self.start_simulator("right", "Monitors", 6)}
        self.start_program_window()

        for name, amplifier in amplifiers.items():
            asked = self.wait_heard(amplifier, address="/info")
            self.assertEqual([r.args for r in asked], [[]], f"{name}: one broadcast request")
            answered = self.wait_heard(amplifier, address="/info", what=("send",))
            self.assertEqual(answered[0].args, [name, "V1.4", 1 if name == "Stage Left" else 6])

        self.wait_for_row(2)
        shot = self.screenshot("listed")
        self.assertTrue(self.row_shown(shot, 1) and self.row_shown(shot, 2), "two network rows")
        self.assertFalse(self.row_shown(shot, 3), "no third network row")

        # Rows follow the order of the answers: which is which shows when connecting.
        connected = []
        for row in (1, 2):
            self.click_for_window(layout.device_row(row), harness.TITLE_SELECT_DEVICE)
            self.answer_box(harness.TITLE_SELECT_DEVICE)
            self.assertTrue(harness.wait_for(lambda: self.title() in LABELS.values(), 5.0),
                            f"row {row}: title {self.title()!r}")
            name = next(n for n, label in LABELS.items() if label == self.title())
            self.assertNotIn(name, connected, "both rows connect to the same amplifier")
            connected.append(name)
            self.wait_heard(amplifiers[name], address="/online")
            self.assertPixel(self.screenshot(f"row-{row}-connected"), layout.device_row(row),
                             layout.CONNECTED_ROW, "the connected row")

        first = amplifiers[connected[0]]
        # Choosing the second device took the first offline: "/offline" was its last word.
        self.assertEqual(first.heard()[-1].address, "/offline")
        self.assertQuiet(first, 0.5, "after switching to the other amplifier")

        # The TARVO model goes online without the signal generator query and shows no input
        # gain controls.
        tarvo = amplifiers["Monitors"]
        if connected[-1] == "Monitors":
            since = max(i for i, r in enumerate(tarvo.records()) if r.what == "recv" and r.address == "/online")
        else:
            since = tarvo.mark()
            self.connect(connected.index("Monitors") + 1, LABELS["Monitors"])
        self.wait_online(tarvo, since, zr_family=False)
        expected = protocol.online_sequence(zr_family=False)
        heard = [r.message() for r in tarvo.heard(since)]
        self.assertEqual(heard[:len(expected)], expected)
        self.assertEqual([m for m in heard[len(expected):] if m != ("/meter", "f", [10.0])], [])
        self.assertPixel(self.screenshot("tarvo"), layout.FADER_BACKGROUND, layout.BLACK, "no gain controls")


if __name__ == "__main__":
    unittest.main(verbosity=2)
