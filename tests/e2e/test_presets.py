"""Presets: recalling an amplifier preset slot, and saving the connected amplifier's settings
to a preset file through JUCE's own file chooser and loading a file back into it."""

import os
import time
import unittest

import harness
import layout
import protocol

PRESET = os.path.join(harness.DATA, "dual-rig.kvt")


def read_file(path):
    with open(path, encoding="utf-8", newline="") as f:
        return f.read()


class PresetTest(harness.ProgramTestCase):
    def setUp(self):
        super().setUp()
        self.amplifier = self.start_connected_amplifier(preset=PRESET)

    def save_preset(self, file_name=None):
        """Types a file name (or keeps the proposed one), presses Save and accepts the chooser
        with Return."""
        if file_name:
            self.click(layout.FILE_NAME)
            self.display.xdotool("key", "ctrl+a")
            self.type_text(file_name)
        self.click_for_window(layout.SAVE, harness.TITLE_SAVE_PRESET)
        self.answer_box(harness.TITLE_SAVE_PRESET)

    def wait_for_file(self, path):
        def written():
            return os.path.exists(path) and read_file(path).rstrip().endswith("END_OSC_DATA")

        self.assertTrue(harness.wait_for(written, 5.0), f"{path} was not written")
        return read_file(path)

    def block_messages(self, records):
        return [r for r in records if r.address in protocol.BLOCK_ADDRESSES]

    def test_saved_file_holds_the_amplifier_settings_and_a_loaded_file_goes_to_the_amplifier(self):
        since = self.amplifier.mark()
        self.save_preset("rig-copy")
        saved = self.wait_for_file(os.path.join(self.home, "rig-copy.kvt"))
        _, blocks, order = protocol.read_preset(saved)
        _, expected, _ = protocol.read_preset(read_file(PRESET))
        self.assertEqual(order, protocol.BLOCK_ADDRESSES, "one line per block, in tree order")
        self.assertEqual(protocol.differences(expected, blocks), [])
        self.assertTrue(saved.endswith("\r\nEND_OSC_DATA"), "lines end with CR LF, none after the last")
        heard = [r.address for r in self.amplifier.heard(since) if r.address != "/meter"]
        self.assertEqual(heard, [], "saving a file sends nothing")

        # An edited copy, loaded by typing its path into the chooser.
        lines = saved.split("\r\n")
        edits = {"/channel/1/delay": "/channel/1/delay fi 3.75 1",
                 "/channel/2/peq/3": "/channel/2/peq/3 sfff PEQ 800.0 +1.0 2.00",
                 "/channel/1/xover/hp": "/channel/1/xover/hp sf OFF 45.0"}
        lines = ["Edited"] + [edits.get(line.split(" ")[0], line) for line in lines[1:]]
        edited = os.path.join(self.home, "edited.kvt")
        with open(edited, "w", encoding="utf-8", newline="") as f:
            f.write("\r\n".join(lines))

        since = self.amplifier.mark()
        self.click_for_window(layout.LOAD, harness.TITLE_LOAD_PRESET)
        self.choose_file(harness.TITLE_LOAD_PRESET, edited)
        self.wait_heard(self.amplifier, since=since, address=protocol.BLOCK_ADDRESSES[-1])
        time.sleep(0.3)
        sent = self.block_messages(self.amplifier.heard(since))
        self.assertEqual([r.address for r in sent], protocol.BLOCK_ADDRESSES, "39 block messages in tree order")
        _, wanted, _ = protocol.read_preset("\r\n".join(lines))
        self.assertEqual(protocol.differences(wanted, {r.address: (r.tags, r.args) for r in sent}), [])

    def test_recalled_slot_is_asked_for_and_its_settings_reach_the_pages(self):
        since = self.amplifier.mark()
        self.click(layout.slot_toggle(1))
        self.click(layout.RECALL)
        asked = self.wait_heard(self.amplifier, since=since, address="/preset/load")
        self.assertEqual([r.args for r in asked], [[1, 0, "INIT_DATA"]])

        # The amplifier answers and sends the recalled settings; a file saved now holds
        # them, under the recalled preset's name.
        self.wait_heard(self.amplifier, since=since, address=protocol.BLOCK_ADDRESSES[-1], what=("send",))
        records = self.amplifier.records(since)
        answer = next(i for i, r in enumerate(records) if r.what == "send" and r.address == "/preset/load")
        recalled = self.block_messages(r for r in records[answer + 1:] if r.what == "send")
        self.assertEqual([r.address for r in recalled], protocol.BLOCK_ADDRESSES)
        self.save_preset()
        saved = self.wait_for_file(os.path.join(self.home, "INIT_DATA.kvt"))
        name, blocks, _ = protocol.read_preset(saved)
        self.assertEqual(name, "INIT_DATA")
        self.assertEqual(protocol.differences({r.address: (r.tags, r.args) for r in recalled}, blocks), [])
        _, before, _ = protocol.read_preset(read_file(PRESET))
        self.assertNotEqual(protocol.differences(before, blocks), [], "the recalled settings differ from the old")


if __name__ == "__main__":
    unittest.main(verbosity=2)
