"""Amplifiers on every network: the program's computer sits on two networks, the default
route on one, and finds the amplifier on each at start-up and on "Search", each once."""

import time
import unittest

import harness
import layout


class NetworksTest(harness.ProgramTestCase):
    def test_an_amplifier_on_each_of_two_networks_is_listed_at_start_and_after_search(self):
        # "near" shares the default route's network (whose bridge has no broadcast address of
        # its own: the limited broadcast reaches it); "far" is on the second network, which
        # only its directed broadcast 198.51.100.255 reaches.
        self.start_lan("near", "far@2")
        near = self.start_simulator("near", "Stage Left", 1)
        far = self.start_simulator("far", "Far Side", 5)
        self.start_program_window()

        self.wait_heard(near, address="/info", what=("send",))
        self.wait_heard(far, address="/info", what=("send",), peer=harness.SECOND_PEER)
        self.wait_for_row(2)
        time.sleep(0.5)   # a duplicate would arrive now
        self.assertFalse(self.row_shown(self.screenshot("listed"), 3), "each amplifier listed once")

        # One query per network: each simulator heard exactly one.
        self.assertEqual(len(near.heard(address="/info")), 1)
        self.assertEqual(len(far.heard(address="/info", peer=harness.SECOND_PEER)), 1)

        near_mark, far_mark = near.mark(), far.mark()
        self.click(layout.SEARCH)
        self.wait_heard(near, since=near_mark, address="/info", what=("send",))
        self.wait_heard(far, since=far_mark, address="/info", what=("send",), peer=harness.SECOND_PEER)
        time.sleep(0.8)
        self.assertEqual(len(near.heard(near_mark, address="/info")), 1, "one query on the first network")
        self.assertEqual(len(far.heard(far_mark, address="/info", peer=harness.SECOND_PEER)), 1,
                         "one query on the second network")

        shot = self.screenshot("after-search")
        self.assertTrue(self.row_shown(shot, 1) and self.row_shown(shot, 2), "both rows still listed")
        self.assertFalse(self.row_shown(shot, 3), "no row twice after the search")

        # The second network's amplifier is a working choice, not only a listed one (rows
        # follow the order of the answers, so it is row 1 or 2).
        for row in (1, 2):
            self.click_for_window(layout.device_row(row), harness.TITLE_SELECT_DEVICE)
            self.answer_box(harness.TITLE_SELECT_DEVICE)
            if harness.wait_for(lambda: far.heard(address="/online", peer=harness.SECOND_PEER)
                                or near.heard(address="/online") and row == 1, 5.0) and far.heard(
                                    address="/online", peer=harness.SECOND_PEER):
                break
        self.wait_heard(far, address="/online", peer=harness.SECOND_PEER)


if __name__ == "__main__":
    unittest.main()
