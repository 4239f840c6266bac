"""Shared pieces of the end-to-end tests: a private X display, the real program, the
simulated amplifiers, and the window driven with xdotool.

The tests run inside the private network namespace that scripts/test.sh makes; every
helper here refuses to start outside it so the program's broadcast can never reach a real
network.
"""

import os
import shutil
import signal
import subprocess
import tempfile
import time
import unittest

BIN = os.environ.get("ZR_BIN", os.path.join(os.path.dirname(__file__), "..", "..", "build", "bin"))
PROGRAM = os.path.join(BIN, "zr-remote-connect")
TITLE_OFFLINE = "[not connected!]"


def require_private_network():
    if os.environ.get("ZR_PRIVATE_NETWORK") != "1":
        raise unittest.SkipTest("end-to-end tests run only inside scripts/in-private-network.sh")


def wait_for(predicate, timeout=10.0, interval=0.05):
    """Polls predicate until it returns a true value or the timeout passes; returns the value."""
    end = time.monotonic() + timeout
    while True:
        value = predicate()
        if value or time.monotonic() > end:
            return value
        time.sleep(interval)


class Display:
    """An Xvfb server of its own (the display number is chosen by the server)."""

    def __init__(self, width=1280, height=1024):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{width}x{height}x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        if not number:
            self.process.kill()
            raise RuntimeError("Xvfb did not start")
        self.name = ":" + number

    def env(self):
        return {"DISPLAY": self.name}

    def xdotool(self, *args, check=True):
        result = subprocess.run(["xdotool", *args], env={**os.environ, **self.env()},
                                capture_output=True, text=True, timeout=20)
        if check and result.returncode != 0:
            raise RuntimeError(f"xdotool {' '.join(args)} failed: {result.stderr.strip()}")
        return result.stdout.strip()

    def windows_named(self, pattern):
        out = self.xdotool("search", "--name", pattern, check=False)
        return [w for w in out.split() if w]

    def window_name(self, window):
        return self.xdotool("getwindowname", window, check=False)

    def geometry(self, window):
        """(x, y, width, height) of a window."""
        out = self.xdotool("getwindowgeometry", "--shell", window)
        values = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])

    def screenshot(self, path):
        subprocess.run(["import", "-window", "root", path], env={**os.environ, **self.env()},
                       check=True, timeout=30)
        return path

    def close(self):
        self.process.terminate()
        try:
            self.process.wait(5)
        except subprocess.TimeoutExpired:
            self.process.kill()


class Program:
    """The real program on a display, with a home folder of its own (settings, instance lock)."""

    def __init__(self, display, home):
        self.display = display
        self.home = home
        self.log = open(os.path.join(home, "program.log"), "ab")
        env = {**os.environ, **display.env(), "HOME": home, "XDG_CONFIG_HOME": os.path.join(home, ".config")}
        self.process = subprocess.Popen([PROGRAM], env=env, stdout=self.log, stderr=self.log)

    def running(self):
        return self.process.poll() is None

    def stop(self):
        if self.running():
            self.process.send_signal(signal.SIGTERM)
            try:
                self.process.wait(8)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait(5)
        self.log.close()


class ProgramTestCase(unittest.TestCase):
    """Gives each test a display and a home folder; stops whatever it started."""

    def setUp(self):
        require_private_network()
        if not os.access(PROGRAM, os.X_OK):
            self.fail(f"program not built: {PROGRAM}")
        self.home = tempfile.mkdtemp(prefix="zr-e2e-")
        self.display = Display()
        self.programs = []

    def tearDown(self):
        for program in self.programs:
            program.stop()
        self.display.close()
        if getattr(self, "_outcome", None) is None or not self._failed():
            shutil.rmtree(self.home, ignore_errors=True)
        else:
            print(f"kept {self.home} for inspection")

    def _failed(self):
        result = self._outcome.result
        return any(test is self for test, _ in result.failures + result.errors)

    def start_program(self):
        program = Program(self.display, self.home)
        self.programs.append(program)
        return program

    def wait_for_window(self, title, timeout=15.0):
        windows = wait_for(lambda: self.display.windows_named("^" + _escape(title) + "$"), timeout)
        self.assertTrue(windows, f"no window titled {title!r} within {timeout} s")
        return windows[0]


def _escape(text):
    return "".join("\\" + c if c in r"[]().*+?^$|\{}" else c for c in text)
