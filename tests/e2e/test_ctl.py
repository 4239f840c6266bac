"""zr-ctl, the command-line tool, against simulated amplifiers on a virtual LAN of two
networks: discovery on both, pull and push between two amplifiers, values clamped on the
way, a silent amplifier, JSON output, bad calls and the port held by someone else."""

import json
import os
import shutil
import socket
import subprocess
import time
import unittest

import harness

OUT_OF_RANGE = """Out of range
BEGIN_OSC_DATA
/channel/1/delay fi 999 0
/channel/1/peq/3 sfff PEQ 200.0 +40.0 1.0
/channel/2/xover/hp sf BOGUS 100.0
END_OSC_DATA"""


class CtlTest(unittest.TestCase):
    maxDiff = None

    def setUp(self):
        self.folder = harness.start_test_folder(self, (harness.CTL, harness.AMPSIM), "zr-ctl")
        self.simulators = []
        self.lan = None
        self.addCleanup(self._finish)

    def _finish(self):
        for simulator in self.simulators:
            simulator.stop()
        if self.lan:
            self.lan.close()
        shutil.rmtree(self.folder, ignore_errors=True)

    def start(self, *hosts):
        self.lan = harness.Lan(*hosts)

    def simulator(self, host, name, model=1, preset=None):
        simulator = harness.Simulator(self.folder, host, name, model, preset)
        self.simulators.append(simulator)
        return simulator

    def ctl(self, *arguments, timeout=30):
        """Runs zr-ctl in the work folder; (exit status, standard output, standard error, seconds)."""
        started = time.monotonic()
        run = subprocess.run([harness.CTL, *arguments], cwd=self.folder, capture_output=True, text=True,
                             timeout=timeout)
        return run.returncode, run.stdout, run.stderr, time.monotonic() - started

    def path(self, name):
        return os.path.join(self.folder, name)

    def read(self, name):
        with open(self.path(name), "rb") as f:
            return f.read()

    # ---------------------------------------------------------------------------------------
    def test_discover_lists_the_amplifiers_of_both_networks_once_each(self):
        self.start("near", "far@2")
        self.simulator("near", "Stage Left", 1)
        self.simulator("far", "Far Side", 6)

        status, out, _, _ = self.ctl("discover", "--timeout", "1.5")
        self.assertEqual(status, 0, out)
        self.assertEqual(sorted(out.splitlines()),
                         ["192.0.2.11  ZR440  Stage Left", "198.51.100.11  TARVO-4  Far Side"])

        status, out, _, _ = self.ctl("--json", "discover", "--timeout", "1.5")
        self.assertEqual(status, 0)
        document = json.loads(out)
        devices = document["results"][0]["devices"]
        self.assertEqual(sorted((d["address"], d["model"], d["name"]) for d in devices),
                         [("192.0.2.11", "ZR440", "Stage Left"), ("198.51.100.11", "TARVO-4", "Far Side")])
        self.assertTrue(document["ok"])

    def test_pull_then_push_makes_a_second_amplifier_identical(self):
        self.start("first", "second")
        stage_left = os.path.join(harness.ROOT, "tools", "ampsim", "demo", "stage-left.kvt")
        self.simulator("first", "Twin", 1, stage_left)
        self.simulator("second", "Twin", 1)

        status, out, _, _ = self.ctl("pull", "192.0.2.11", "first.kvt")
        self.assertEqual(status, 0, out)
        first = self.read("first.kvt")
        self.assertTrue(first.startswith(b"Twin\r\nBEGIN_OSC_DATA\r\n/ampmode s STEREO\r\n"), first[:60])
        self.assertTrue(first.endswith(b"\r\nEND_OSC_DATA"))
        self.assertEqual(first.count(b"\r\n"), 41)   # name, markers and 39 blocks; no line end at the end

        # Before the push the second amplifier differs.
        self.ctl("pull", "192.0.2.12", "before.kvt")
        self.assertNotEqual(self.read("before.kvt"), first)

        status, out, _, _ = self.ctl("push", "192.0.2.12", "first.kvt")
        self.assertEqual(status, 0, out)
        self.assertEqual(out.strip(), "192.0.2.12  sent 39 blocks: every value confirmed")

        status, _, _, _ = self.ctl("pull", "192.0.2.12", "second.kvt")
        self.assertEqual(status, 0)
        self.assertEqual(self.read("second.kvt"), first)

    def test_push_reports_every_value_that_was_clamped_or_refused(self):
        self.start("amp")
        self.simulator("amp", "Stage Left")
        with open(self.path("wild.kvt"), "w") as f:
            f.write(OUT_OF_RANGE)

        status, out, _, _ = self.ctl("--json", "push", "192.0.2.11", "wild.kvt")
        self.assertEqual(status, 1, out)
        result = json.loads(out)["results"][0]
        self.assertFalse(result["ok"])
        findings = {(f["address"], f["what"].split(":")[1].strip()) for f in result["findings"]}
        self.assertEqual(findings, {("/channel/1/delay", "999 clamped to 300.00"),
                                    ("/channel/1/peq/3", "+40.0 clamped to +15.0"),
                                    ("/channel/2/xover/hp", '"BOGUS" is not one of its choices')})

        # The clamped values are what the amplifier holds now.
        self.assertEqual(self.ctl("pull", "192.0.2.11", "now.kvt")[0], 0)
        lines = self.read("now.kvt").decode().split("\r\n")
        delay = next(line for line in lines if line.startswith("/channel/1/delay "))
        self.assertEqual(delay.split(), ["/channel/1/delay", "fi", "300.00", "0"])

    def test_a_silent_amplifier_ends_in_exit_1_within_the_time_out(self):
        self.start("amp")
        amplifier = self.simulator("amp", "Stage Left")
        amplifier.control("silent on")
        time.sleep(0.2)

        status, out, _, seconds = self.ctl("info", "192.0.2.11", "--timeout", "1")
        self.assertEqual(status, 1)
        self.assertIn("192.0.2.11  FAILED: no answer", out)
        self.assertLess(seconds, 4.0)

        status, out, _, seconds = self.ctl("set", "192.0.2.11", "/channel/1/delay", "2.50 1", "--timeout", "10")
        self.assertEqual(status, 1)
        self.assertIn("192.0.2.11  FAILED: Network connection error!", out)
        self.assertLess(seconds, 10.0)

    def test_several_hosts_are_reported_line_by_line_and_a_failing_one_is_named(self):
        self.start("a", "b")
        self.simulator("a", "Left")
        self.simulator("b", "Right", 5)

        status, out, _, _ = self.ctl("set", "--hosts", "192.0.2.11,192.0.2.12,192.0.2.13", "/channel/1/delay",
                                     "2.50", "1", "--timeout", "3")
        self.assertEqual(status, 1)
        self.assertEqual(out.splitlines(), ["192.0.2.11  sent 1 block: every value confirmed",
                                            "192.0.2.12  sent 1 block: every value confirmed",
                                            "192.0.2.13  FAILED: Network connection error! Device will be disconnected"])

        # A folder or an unknown address is no block: nothing is sent.
        mark = self.simulators[0].mark()
        for address in ("/channel/1", "/channel/1/peq/9"):
            status, out, _, _ = self.ctl("set", "192.0.2.11", address, "1")
            self.assertEqual(status, 1)
            self.assertEqual(out.strip(), f"192.0.2.11  FAILED: no block has the address {address}")
        self.assertEqual(self.simulators[0].heard(mark), [])

        status, out, _, _ = self.ctl("--json", "slots", "--hosts", "192.0.2.11,192.0.2.12")
        self.assertEqual(status, 0)
        results = json.loads(out)["results"]
        self.assertEqual([r["host"] for r in results], ["192.0.2.11", "192.0.2.12"])
        self.assertEqual([len(r["slots"]) for r in results], [20, 20])

    def test_bad_calls_end_in_exit_2_with_a_usage_line(self):
        for arguments in ([], ["frobnicate"], ["pull", "192.0.2.11"], ["recall", "192.0.2.11", "21"],
                          ["store", "192.0.2.11", "1", "X"], ["discover", "--timeout", "soon"],
                          ["set", "192.0.2.11", "channel/1/delay", "1"], ["--bogus", "discover"],
                          ["push", "192.0.2.11", "missing.kvt"]):
            status, out, err, _ = self.ctl(*arguments)
            self.assertEqual(status, 2, arguments)
            self.assertEqual(out, "", arguments)
            self.assertIn("usage: zr-ctl", err, arguments)

        status, out, _, _ = self.ctl("--help")
        self.assertEqual(status, 0)
        self.assertIn("pull HOST FILE.kvt", out)

    def test_the_port_held_by_another_program_is_said_and_nothing_is_sent(self):
        self.start("amp")
        amplifier = self.simulator("amp", "Stage Left")
        holder = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        holder.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        holder.bind(("0.0.0.0", 3456))
        self.addCleanup(holder.close)

        status, out, _, _ = self.ctl("info", "192.0.2.11")
        self.assertEqual(status, 1)
        self.assertIn("port 3456 is in use by another program", out)
        self.assertEqual(amplifier.heard(), [])


if __name__ == "__main__":
    unittest.main()
