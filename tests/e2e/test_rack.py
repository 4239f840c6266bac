"""zr-ctl on a rack of 50 simulated amplifiers served by one zr-ampsim: a push reaches and
is confirmed on every one of them, a pull of everything a search finds writes a file for
each, and one silent amplifier fails alone, named, within its time-out."""

import os
import shutil
import subprocess
import time
import unittest

import harness

RACK_SIZE = 50
FIRST_HOST = 11
STAGE_LEFT = os.path.join(harness.ROOT, "tools", "ampsim", "demo", "stage-left.kvt")


def address(index):
    return f"192.0.2.{FIRST_HOST + index}"


class Rack:
    """A namespace "zr-rack" holding RACK_SIZE addresses, and one zr-ampsim serving them all."""

    def __init__(self, folder, reply_delay_ms=2):
        self.control = os.path.join(folder, "rack.fifo")
        self.log = os.path.join(folder, "rack.log")
        up = subprocess.run([harness.PRIVATE_LAN, "rack", "rack", str(RACK_SIZE)], capture_output=True, text=True,
                            timeout=60)
        if up.returncode != 0:
            self.close()
            raise RuntimeError(f"the rack did not come up: {up.stderr.strip()}")
        self.output = open(os.path.join(folder, "rack.out"), "ab")
        self.process = subprocess.Popen(
            ["ip", "netns", "exec", "zr-rack", harness.AMPSIM, "--bind", address(0), "--rack", str(RACK_SIZE),
             "--name", "Rack", "--reply-delay", str(reply_delay_ms), "--no-stdin", "--control", self.control,
             "--log", self.log], stdout=self.output, stderr=self.output)
        if not harness.wait_for(self.listening, 10):
            raise RuntimeError("the rack did not start listening")

    def listening(self):
        if not os.path.exists(self.log):
            return False
        with open(self.log, encoding="utf-8", errors="replace") as f:
            return any("listening on" in line for line in f)

    def command(self, line):
        fd = os.open(self.control, os.O_WRONLY | os.O_NONBLOCK)
        try:
            os.write(fd, (line + "\n").encode())
        finally:
            os.close(fd)

    def close(self):
        process = getattr(self, "process", None)
        if process is not None and process.poll() is None:
            process.terminate()
            try:
                process.wait(5)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait(5)
        if getattr(self, "output", None):
            self.output.close()
        subprocess.run([harness.PRIVATE_LAN, "down", "rack"], capture_output=True, timeout=30)


def blocks(path):
    """The block lines of a preset file (without its title)."""
    with open(path, "rb") as f:
        lines = f.read().split(b"\r\n")
    return lines[lines.index(b"BEGIN_OSC_DATA"):]


class RackTest(unittest.TestCase):
    maxDiff = None

    def setUp(self):
        self.folder = harness.start_test_folder(self, (harness.CTL, harness.AMPSIM), "zr-rack")
        self.addCleanup(shutil.rmtree, self.folder, True)
        self.rack = Rack(self.folder)
        self.addCleanup(self.rack.close)
        with open(os.path.join(self.folder, "rack.txt"), "w") as f:
            f.write("# the rack, top to bottom\n\n")
            for index in range(RACK_SIZE):
                f.write(f"{address(index)}   # slot {index + 1}\n")
            f.write(f"{address(0)}\n")   # named twice: served once

    def ctl(self, *arguments, timeout=120):
        started = time.monotonic()
        run = subprocess.run([harness.CTL, *arguments], cwd=self.folder, capture_output=True, text=True,
                             timeout=timeout)
        return run.returncode, run.stdout, time.monotonic() - started

    def test_a_push_to_fifty_amplifiers_is_confirmed_on_every_one(self):
        status, out, _ = self.ctl("push", "--hosts", "@rack.txt", STAGE_LEFT)
        self.assertEqual(status, 0, out)
        self.assertEqual(out.splitlines(),
                         [f"{address(i)}  sent 39 blocks: every value confirmed" for i in range(RACK_SIZE)])

        # What each amplifier holds now, read back by a pull of everything a search finds.
        status, out, _ = self.ctl("pull", "--hosts", "@discovered", "rack.kvt", "--timeout", "20")
        self.assertEqual(status, 0, out)
        self.assertEqual(len(out.splitlines()), RACK_SIZE)
        reference = blocks(os.path.join(self.folder, f"rack-{address(0)}.kvt"))
        self.assertIn(b"/ampmode s STEREO", reference)
        for index in range(RACK_SIZE):
            path = os.path.join(self.folder, f"rack-{address(index)}.kvt")
            with open(path, "rb") as f:
                self.assertTrue(f.read().startswith(f"Rack-{index + 1}\r\n".encode()), path)
            self.assertEqual(blocks(path), reference, path)

    def test_one_silent_amplifier_fails_alone_within_its_time_out(self):
        silent = address(12)
        self.rack.command(f"{silent} silent on")
        time.sleep(0.2)

        status, out, seconds = self.ctl("push", "--hosts", "@rack.txt", STAGE_LEFT, "--timeout", "3")
        self.assertEqual(status, 1, out)
        lines = out.splitlines()
        self.assertEqual(len(lines), RACK_SIZE)
        self.assertEqual(lines[12], f"{silent}  FAILED: Network connection error! Device will be disconnected")
        confirmed = [line for line in lines if line.endswith("sent 39 blocks: every value confirmed")]
        self.assertEqual(len(confirmed), RACK_SIZE - 1)
        self.assertLess(seconds, 3 + 1)


if __name__ == "__main__":
    unittest.main()
