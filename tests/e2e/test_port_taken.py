"""Another program holds UDP port 3456: the Setup page says so in plain words, and once the
port is free the program takes it and the list fills by itself."""

import socket
import subprocess
import unittest

import harness
import layout


class PortTakenTest(harness.ProgramTestCase):
    def test_the_setup_page_says_the_port_is_taken_and_the_list_fills_once_it_is_free(self):
        self.start_lan("left")
        # As amplifiers do, it answers port 3456 whatever port the request came from.
        amplifier = self.start_simulator("left", "Stage Left", 1, extra=("--answer-port", "3456"))

        # Another OSC program: address reuse on, as many set it.
        holder = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        holder.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        holder.bind(("0.0.0.0", 3456))
        self.addCleanup(holder.close)

        self.start_program_window()
        self.park_mouse()
        # The amplifier answers the start-up search, but the answer goes to the holder.
        self.wait_heard(amplifier, address="/info", what=("send",))
        holder.settimeout(5)
        self.assertIn(b"/info", holder.recvfrom(256)[0])

        def message_shown():
            shot = self.screenshot("port-taken")
            return shot if shot.panel(layout.PORT_MESSAGE) == layout.PORT_MESSAGE_BACKGROUND else None

        shot = harness.wait_for(message_shown, 5.0, 0.2)
        self.assertTrue(shot, "no message over the device list")
        self.assertFalse(self.row_shown(shot, 1), "no amplifier listed while the port is taken")

        # Freed: within a retry or two the program holds the port and searches by itself.
        holder.close()
        mark = amplifier.mark()
        self.wait_heard(amplifier, since=mark, address="/info", timeout=8.0)
        self.wait_for_row(1)
        self.assertEqual(self.screenshot("port-free").panel(layout.PORT_MESSAGE), layout.BLACK,
                         "the message has gone")

        # Now the program holds the port: the command-line tool says so and sends nothing.
        mark = amplifier.mark()
        tool = subprocess.run([harness.CTL, "info", "192.0.2.11"], capture_output=True, text=True, timeout=30)
        self.assertEqual(tool.returncode, 1)
        self.assertIn("port 3456 is in use by another program", tool.stdout)
        self.assertEqual([r for r in amplifier.records(mark) if r.what == "recv"], [])


if __name__ == "__main__":
    unittest.main()
