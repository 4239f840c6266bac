"""Shared pieces of the end-to-end tests: a private X display, the real program, a virtual
LAN with simulated amplifiers, and the window driven with xdotool.

Every test module runs through isolated.py, inside network and mount namespaces of its own
that are themselves inside the private network of scripts/in-private-network.sh; the
helpers here refuse to start anywhere else, so the program's broadcast can never reach a
real network.
"""

import os
import shlex
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

import layout

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
BIN = os.environ.get("ZR_BIN", os.path.join(ROOT, "build", "bin"))
PROGRAM = os.path.join(BIN, "zr-remote-connect")
AMPSIM = os.path.join(BIN, "zr-ampsim")
CTL = os.path.join(BIN, "zr-ctl")
PRIVATE_LAN = os.path.join(ROOT, "scripts", "private-lan.sh")
DATA = os.path.join(HERE, "data")

TITLE_OFFLINE = "[not connected!]"
TITLE_ERROR_NETWORK = "Network connection error!"
TITLE_SELECT_DEVICE = "Select active Device"
TITLE_SAVE_PRESET = "Save as preset file..."
TITLE_LOAD_PRESET = "Please select the preset you want to load..."

# The program's end of the virtual LAN, as the simulators see it (on the second network of
# a LAN with hosts "NAME@2": SECOND_PEER).
PROGRAM_PEER = "192.0.2.1:3456"
SECOND_PEER = "198.51.100.1:3456"


def start_test_folder(test, binaries, prefix):
    """What every end-to-end test begins with: the private network, the binaries it runs
    built, and a fresh work folder named after the test (returned)."""
    require_private_network()
    for binary in binaries:
        if not os.access(binary, os.X_OK):
            test.fail(f"not built: {binary}")
    return tempfile.mkdtemp(prefix=f"{prefix}-{test._testMethodName}-")


def require_private_network():
    if os.environ.get("ZR_PRIVATE_NETWORK") != "1":
        raise unittest.SkipTest("end-to-end tests run only inside scripts/in-private-network.sh")
    if os.environ.get("ZR_E2E_ISOLATED") != "1":
        raise unittest.SkipTest("end-to-end tests run only through tests/e2e/isolated.py")
    def only_loopback():
        links = subprocess.run(["ip", "-o", "link", "show"], capture_output=True, text=True, check=True).stdout
        return all(": lo:" in line for line in links.splitlines())

    # The kernel removes the links of the previous test's LAN a moment after its namespaces go.
    if not wait_for(only_loopback, 5.0):
        raise RuntimeError("the test's network namespace holds more than loopback")


def wait_for(predicate, timeout=10.0, interval=0.05):
    """Polls predicate until it returns a true value or the timeout passes; returns the value."""
    end = time.monotonic() + timeout
    while True:
        value = predicate()
        if value or time.monotonic() > end:
            return value
        time.sleep(interval)


def _escape(text):
    return "".join("\\" + c if c in r"[]().*+?^$|\{}" else c for c in text)


# ---------------------------------------------------------------------------------------
class Screenshot:
    """A picture of the whole screen, read from ImageMagick's binary PPM."""

    def __init__(self, path):
        with open(path, "rb") as f:
            data = f.read()
        fields, offset = [], 0
        while len(fields) < 4:
            while data[offset:offset + 1].isspace():
                offset += 1
            if data[offset:offset + 1] == b"#":
                offset = data.index(b"\n", offset)
                continue
            end = offset
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(data[offset:end])
            offset = end
        if fields[0] != b"P6" or int(fields[3]) != 255:
            raise ValueError(f"{path}: not an 8-bit binary PPM")
        self.path = path
        self.width, self.height = int(fields[1]), int(fields[2])
        self.pixels = data[offset + 1:]

    def pixel(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.pixels[i:i + 3])


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
            raise RuntimeError(f"xdotool {' '.join(args[:6])}... failed: {result.stderr.strip()}")
        return result.stdout.strip()

    def windows_named(self, pattern):
        out = self.xdotool("search", "--onlyvisible", "--name", pattern, check=False)
        return [w for w in out.split() if w]

    def window_titled(self, title):
        windows = self.windows_named("^" + _escape(title) + "$")
        return windows[0] if windows else None

    def window_name(self, window):
        return self.xdotool("getwindowname", window, check=False)

    def geometry(self, window):
        """(x, y, width, height) of a window."""
        out = self.xdotool("getwindowgeometry", "--shell", window)
        values = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])

    def screenshot(self, path):
        """Saves the screen as a binary PPM and returns it read."""
        subprocess.run(["import", "-window", "root", "-depth", "8", path],
                       env={**os.environ, **self.env()}, check=True, timeout=30)
        return Screenshot(path)

    def close(self):
        self.process.terminate()
        try:
            self.process.wait(5)
        except subprocess.TimeoutExpired:
            self.process.kill()


class Program:
    """The real program on a display, with a home folder of its own (settings, preset files)."""

    def __init__(self, display, home, extra_env=None, args=()):
        self.display = display
        self.home = home
        self.log_path = os.path.join(home, "program.log")
        self.log = open(self.log_path, "ab")
        env = {**os.environ, **display.env(), "HOME": home, "XDG_CONFIG_HOME": os.path.join(home, ".config"),
               **(extra_env or {})}
        self.process = subprocess.Popen([PROGRAM, *args], env=env, stdout=self.log, stderr=self.log)

    def output(self):
        """What the program has written to standard output and error so far."""
        with open(self.log_path, encoding="utf-8", errors="replace") as f:
            return f.read()

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


# ---------------------------------------------------------------------------------------
class Lan:
    """The virtual LAN of scripts/private-lan.sh inside the test's own namespace: the program
    at 192.0.2.1 on a bridge, one namespace "zr-<name>" per host at .11, .12, ..."""

    def __init__(self, *names):
        self.names = names
        out = subprocess.run([PRIVATE_LAN, "up", *names], capture_output=True, text=True, timeout=30)
        if out.returncode != 0:
            self.close()
            raise RuntimeError(f"private LAN did not come up: {out.stderr.strip()}")
        self.addresses = dict(line.split() for line in out.stdout.splitlines())

    def close(self):
        subprocess.run([PRIVATE_LAN, "down", *self.names], capture_output=True, timeout=30)


class Record:
    """One line of a simulator's log: a message heard or sent, or a note."""

    def __init__(self, line):
        stamp, what, rest = (line.split(None, 2) + ["", ""])[:3]
        self.line = line
        self.time = float(stamp)
        self.what = what
        self.peer = self.address = self.tags = None
        self.args = []
        if what == "note":
            self.text = rest
            return
        parts = rest.split(None, 3)
        if len(parts) < 3:
            self.text = rest
            return
        self.peer, self.address, tags = parts[:3]
        self.tags = tags[1:]
        words = shlex.split(parts[3]) if len(parts) > 3 else []
        convert = {"i": int, "f": float, "s": str}
        self.args = [convert.get(t, str)(w) for t, w in zip(self.tags, words)]
        self.text = rest

    def message(self):
        """The message as (address, tags, args)."""
        return self.address, self.tags, self.args

    def __repr__(self):
        return self.line


class Simulator:
    """A zr-ampsim in one host of the LAN, with a log file and a control FIFO."""

    def __init__(self, folder, host, name, model, preset=None, extra=()):
        self.host = host
        self.log_path = os.path.join(folder, f"ampsim-{host}.log")
        self.fifo = os.path.join(folder, f"ampsim-{host}.fifo")
        self.output = open(os.path.join(folder, f"ampsim-{host}.out"), "ab")
        command = ["ip", "netns", "exec", f"zr-{host}", AMPSIM, "--bind", "0.0.0.0", "--no-stdin",
                   "--name", name, "--model", str(model), "--log", self.log_path, "--control", self.fifo,
                   *extra]
        if preset:
            command += ["--preset", preset]
        self.process = subprocess.Popen(command, stdout=self.output, stderr=self.output)
        if not wait_for(lambda: self.notes("listening on") or self.process.poll() is not None, 10):
            raise RuntimeError(f"simulator {host} did not start listening")
        if self.process.poll() is not None:
            raise RuntimeError(f"simulator {host} ended at start ({self.process.returncode})")

    def records(self, since=0):
        if not os.path.exists(self.log_path):
            return []
        with open(self.log_path, encoding="utf-8", errors="replace") as f:
            lines = [line.rstrip("\n") for line in f if line.endswith("\n")]
        return [Record(line) for line in lines[since:] if line.strip()]

    def mark(self):
        """A position in the log; records(since=mark) reads what came after it."""
        return len(self.records())

    def heard(self, since=0, address=None, peer=PROGRAM_PEER, what=("recv",)):
        """Messages from the program (received unless `what` says otherwise), in order."""
        return [r for r in self.records(since)
                if r.what in what and r.peer == peer and (address is None or r.address == address)]

    def sent(self, since=0, address=None, peer=PROGRAM_PEER):
        return self.heard(since, address, peer, what=("send",))

    def notes(self, text, since=0):
        return [r for r in self.records(since) if r.what == "note" and text in r.text]

    def control(self, command):
        """One control command through the FIFO ("power off", "silent on"...)."""
        fd = os.open(self.fifo, os.O_WRONLY | os.O_NONBLOCK)
        try:
            os.write(fd, (command + "\n").encode())
        finally:
            os.close(fd)

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait(5)
        self.output.close()


# ---------------------------------------------------------------------------------------
class ProgramTestCase(unittest.TestCase):
    """Gives each test a display, a work folder that is also the program's home, and
    optionally a LAN with simulated amplifiers; stops whatever it started.  A failing test
    keeps its folder (logs, screenshots, preset files) and prints its path; ZR_E2E_KEEP=1
    keeps every test's folder."""

    maxDiff = None   # message sequences are long; a failure shows the whole difference
    display_size = (1280, 1024)

    def setUp(self):
        self.home = start_test_folder(self, (PROGRAM, AMPSIM), "zr-e2e")
        self.program_args = []   # the command line of the programs the test starts
        self.programs = []
        self.simulators = []
        self.lan = None
        self.display = None
        self.window = None
        self.origin = None
        self.shots = 0
        self.addCleanup(self._finish)
        self.display = Display(*self.display_size)

    def _finish(self):
        failed = self._failed()
        if failed and self.programs and self.programs[-1].running():
            try:
                self.screenshot("at-failure")
            except Exception as e:
                print(f"no screenshot at failure: {e}", file=sys.stderr)
        for program in self.programs:
            program.stop()
        for simulator in self.simulators:
            simulator.stop()
        if self.lan:
            self.lan.close()
        if self.display:
            self.display.close()
        if failed or os.environ.get("ZR_E2E_KEEP") == "1":
            print(f"\nkept {self.home} for inspection (program.log, ampsim-*.log, *.ppm)", file=sys.stderr)
        else:
            shutil.rmtree(self.home, ignore_errors=True)

    def _failed(self):
        result = self._outcome.result
        return any(test is self for test, _ in result.failures + result.errors)

    # --- the program -------------------------------------------------------------------
    def start_program(self, extra_env=None):
        program = Program(self.display, self.home, extra_env, self.program_args)
        self.programs.append(program)
        return program

    def wait_for_window(self, title, timeout=15.0):
        window = wait_for(lambda: self.display.window_titled(title), timeout)
        self.assertTrue(window, f"no window titled {title!r} within {timeout} s")
        return window

    def start_program_window(self):
        """Starts the program and finds where its 912 x 516 panel sits on the screen."""
        program = self.start_program()
        self.window = self.wait_for_window(TITLE_OFFLINE)
        x, y, width, height = self.display.geometry(self.window)
        # The framework draws a title bar above the panel and an even border around it.
        border = (width - layout.PANEL_WIDTH) // 2
        self.origin = (x + border, y + height - layout.PANEL_HEIGHT - border)
        self.refocus()   # as a window manager would on a new window
        return program

    def title(self):
        return self.display.window_name(self.window)

    def wait_for_title(self, title, timeout=5.0):
        self.assertTrue(wait_for(lambda: self.title() == title, timeout),
                        f"window title is {self.title()!r}, not {title!r}")

    # --- mouse and keys, in panel pixels ---------------------------------------------------
    def screen(self, point):
        return str(self.origin[0] + point[0]), str(self.origin[1] + point[1])

    def click(self, point):
        self.display.xdotool("mousemove", *self.screen(point), "click", "1")

    def park_mouse(self):
        """Moves the pointer off the window, so nothing is drawn as hovered."""
        self.display.xdotool("mousemove", "0", "0")

    def drag(self, points, hold=0.0):
        """Presses at the first point, moves through the others, releases at the last: one
        xdotool run, so the motion events come as fast as the server takes them.  The button
        stays down a moment after the last move: the framework may ask the server for the
        button state while it handles a motion event, and a button already up there turns the
        rest of the drag into plain moves.  `hold` pauses after the press, in seconds."""
        steps = ["mousemove", *self.screen(points[0]), "mousedown", "1", "sleep", str(hold)]
        for point in points[1:]:
            steps += ["mousemove", *self.screen(point)]
        steps += ["sleep", "0.2", "mouseup", "1"]
        self.display.xdotool(*steps)

    def type_text(self, text):
        self.display.xdotool("type", "--delay", "5", text)

    def answer_box(self, title, key="Return", timeout=5.0):
        """Waits for a modal window with that title and presses a key in it."""
        box = self.wait_for_window(title, timeout)
        self.display.xdotool("windowfocus", "--sync", box, "key", key)
        self.assertTrue(wait_for(lambda: not self.display.window_titled(title), 5.0),
                        f"the {title!r} window stayed open after {key}")
        self.refocus()

    def refocus(self):
        """Gives the keyboard back to the main window once a modal window has gone: without a
        window manager nobody else does, and the next click would only bring the focus back."""
        if self.window:
            self.display.xdotool("windowfocus", "--sync", self.window)

    def choose_file(self, title, path):
        """Answers JUCE's own file chooser by typing a full path into its file name box."""
        box = self.wait_for_window(title)
        x, y, _, _ = self.display.geometry(box)
        name_box = (str(x + layout.FILE_CHOOSER_NAME_BOX[0]), str(y + layout.FILE_CHOOSER_NAME_BOX[1]))
        self.display.xdotool("mousemove", *name_box, "click", "1", "key", "ctrl+a")
        self.type_text(path)
        # The first Return moves the chooser to the typed file, the second chooses it.
        self.display.xdotool("key", "Return")
        time.sleep(0.2)
        self.display.xdotool("key", "Return")
        self.assertTrue(wait_for(lambda: not self.display.window_titled(title), 5.0),
                        f"the {title!r} chooser stayed open")
        self.refocus()

    # --- pixels ----------------------------------------------------------------------------
    def screenshot(self, name=None):
        """A screenshot kept in the work folder, read back with panel coordinates."""
        self.shots += 1
        path = os.path.join(self.home, f"{self.shots:02d}-{name or 'shot'}.ppm")
        shot = self.display.screenshot(path)
        origin = self.origin
        shot.panel = lambda point: shot.pixel(origin[0] + point[0], origin[1] + point[1])
        return shot

    def assertPixel(self, shot, point, colour, what):
        self.assertEqual(shot.panel(point), colour, f"{what} at panel {point} ({shot.path})")

    # --- amplifiers --------------------------------------------------------------------------
    def start_lan(self, *hosts):
        self.lan = Lan(*hosts)

    def start_simulator(self, host, name, model, preset=None, extra=()):
        simulator = Simulator(self.home, host, name, model, preset, extra)
        self.simulators.append(simulator)
        return simulator

    def wait_heard(self, simulator, count=1, since=0, timeout=5.0, what=("recv",), **match):
        """Waits until the simulator has logged `count` matching messages from the program
        (received ones; what=("send",) for its answers) and returns them all."""
        def enough():
            found = simulator.heard(since, what=what, **match)
            return found if len(found) >= count else None

        found = wait_for(enough, timeout)
        self.assertTrue(found, f"{simulator.host}: no {count} x {what} {match or ''} within {timeout} s "
                               f"({simulator.log_path})")
        return found

    def row_shown(self, shot, row):
        """True when the device table paints something in that row (rows past the last are black)."""
        left, top, right, bottom = layout.device_row_band(row)
        return any(shot.panel((x, y)) != layout.BLACK
                   for y in range(top, bottom, 2) for x in range(left, right, 2))

    def wait_for_row(self, row, timeout=5.0):
        self.assertTrue(wait_for(lambda: self.row_shown(self.screenshot(f"row-{row}"), row), timeout, 0.2),
                        f"device row {row} did not appear")

    def start_found_amplifier(self, preset=None, extra=()):
        """One ZR440 named "Stage Left" at 192.0.2.11, answering the program's start-up search
        and shown as row 1, not connected."""
        self.start_lan("left")
        amplifier = self.start_simulator("left", "Stage Left", 1, preset, extra)
        self.start_program_window()
        self.wait_heard(amplifier, address="/info", what=("send",))
        self.wait_for_row(1)
        return amplifier

    def start_connected_amplifier(self, preset=None, extra=()):
        """The amplifier of start_found_amplifier, connected (row 1), with its whole online
        sequence answered."""
        amplifier = self.start_found_amplifier(preset, extra)
        self.connect(1, "[Device: ZR440]")
        self.wait_online(amplifier)
        return amplifier

    def wait_online(self, amplifier, since=0, zr_family=True):
        """Waits for the end of an online sequence: the meter request, then (ZR family) the
        answer to the speaker query, the last one.  Only the first is required here, so that a
        missing query shows in the tests that check the sequence, not everywhere."""
        self.wait_heard(amplifier, since=since, address="/meter", timeout=10.0)
        if zr_family:
            wait_for(lambda: amplifier.sent(since, address="/speaker"), 2.0)
        time.sleep(0.2)   # anything queued behind the last request would be out by now

    def click_for_window(self, point, title):
        """Clicks where a modal window with that title should follow.  Under a bare X server a
        click very rarely goes astray; one more click is tried then, and said so."""
        self.click(point)
        if wait_for(lambda: self.display.window_titled(title), 2.0):
            return
        print(f"\nno {title!r} window 2 s after a click at panel {point}: clicking again", file=sys.stderr)
        self.screenshot("click-without-window")
        self.click(point)

    def connect(self, row, title):
        """Clicks a device row, answers "Connect" and waits for the device label."""
        self.click_for_window(layout.device_row(row), TITLE_SELECT_DEVICE)
        self.answer_box(TITLE_SELECT_DEVICE)
        self.wait_for_title(title)

    def assertQuiet(self, simulator, seconds, what):
        """Nothing from the program reaches the simulator for that long, in any state."""
        since = simulator.mark()
        time.sleep(seconds)
        heard = simulator.heard(since, what=("recv", "silent", "off", "lost", "bad"))
        self.assertEqual(heard, [], f"{what}: the program still sends")
