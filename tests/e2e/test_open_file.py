"""Preset files from the desktop: a start with a file loads it as "Load" does; a later start
hands its file to the running window (and ends with 0) or, without one, brings that window
to the front; a crashed program blocks nothing; another user's program is neither reached
nor in the way."""

import os
import shutil
import signal
import subprocess
import time
import unittest

import harness
import layout
import protocol

RIG = os.path.join(harness.DATA, "dual-rig.kvt")
# The preset name field, beside the file name field (FILE_NAME) of the "PC Presets" area.
PRESET_NAME = layout.centre_on_page(412, 126, 96, 24)
CLIPBOARD_SENTINEL = "(nothing copied yet)"


def preset_text(name, edits):
    """The test rig's preset file under another name line, with some block lines replaced."""
    with open(RIG, encoding="utf-8") as f:
        lines = f.read().replace("\r\n", "\n").split("\n")
    lines = [name] + [edits.get(line.split(" ")[0], line) for line in lines[1:]]
    return "\r\n".join(lines)


class ProgramWithArguments(harness.Program):
    """harness.Program with a command line, a working folder and optionally another user."""

    def __init__(self, display, home, arguments=(), extra_env=None, cwd=None, user=None):
        self.display = display
        self.home = home
        self.log = open(os.path.join(home, "program.log"), "ab")
        env = {**os.environ, **display.env(), "HOME": home, "XDG_CONFIG_HOME": os.path.join(home, ".config"),
               **(extra_env or {})}
        command = [harness.PROGRAM, *arguments]
        if user is not None:
            command = ["setpriv", f"--reuid={user}", f"--regid={user}", "--clear-groups", *command]
        self.process = subprocess.Popen(command, env=env, cwd=cwd, stdout=self.log, stderr=self.log)


class OpenFileTest(harness.ProgramTestCase):
    def setUp(self):
        super().setUp()
        if not shutil.which("xclip"):
            self.fail("xclip is not installed (scripts/install-deps.sh installs it)")
        self.arguments = ()
        self.runtime = os.path.join(self.home, "runtime")
        os.mkdir(self.runtime, 0o700)

    # --- starts ------------------------------------------------------------------------------
    def start_program(self, extra_env=None):
        """Every start of this module runs with self.arguments and a runtime folder of the
        test's own (start_program_window comes through here)."""
        program = ProgramWithArguments(self.display, self.home, self.arguments,
                                       {"XDG_RUNTIME_DIR": self.runtime, **(extra_env or {})})
        self.programs.append(program)
        return program

    def later_start(self, *arguments, cwd=None):
        """A second start: it must end by itself, with 0, leaving no window of its own."""
        program = ProgramWithArguments(self.display, self.home, arguments, {"XDG_RUNTIME_DIR": self.runtime},
                                       cwd=cwd)
        self.programs.append(program)
        try:
            program.process.wait(15)
        except subprocess.TimeoutExpired:
            self.fail(f"a later start with {arguments} did not end")
        self.assertEqual(program.process.returncode, 0, f"a later start with {arguments}")
        return program

    def write_preset(self, file_name, name, edits):
        path = os.path.join(self.home, file_name)
        with open(path, "w", encoding="utf-8", newline="") as f:
            f.write(preset_text(name, edits))
        return path

    # --- reading the Setup page ---------------------------------------------------------------
    def field_text(self, point):
        """The text of an entry field, copied out through the clipboard: click, select all,
        copy, and read what the program offers."""
        env = {**os.environ, **self.display.env()}
        subprocess.run(["xclip", "-selection", "clipboard", "-i"], input=CLIPBOARD_SENTINEL, text=True,
                       env=env, check=True, timeout=10)
        self.click(point)
        self.display.xdotool("key", "ctrl+a", "ctrl+c")

        def copied():
            out = subprocess.run(["xclip", "-selection", "clipboard", "-o"], env=env, capture_output=True,
                                 text=True, timeout=10)
            return out.stdout if out.returncode == 0 and out.stdout != CLIPBOARD_SENTINEL else None

        text = harness.wait_for(copied, 5.0, 0.1)
        self.assertIsNotNone(text, "the entry's text never reached the clipboard")
        self.display.xdotool("key", "Escape")
        return text

    def assertShowsFile(self, file_name, preset_name):
        self.assertTrue(harness.wait_for(lambda: self.field_text(layout.FILE_NAME) == file_name, 5.0, 0.2),
                        f"the file name field shows {self.field_text(layout.FILE_NAME)!r}, not {file_name!r}")
        self.assertEqual(self.field_text(PRESET_NAME), preset_name)

    def close_box_at_start(self, title):
        """Presses Return in a box that opened while the window itself was still coming up;
        a key pressed in that moment may land before the box takes the keyboard, so it is
        pressed again (a few times at most) while the box stays."""
        box = self.wait_for_window(title)
        for _ in range(5):
            self.display.xdotool("windowfocus", "--sync", box, "key", "Return", check=False)
            if harness.wait_for(lambda: not self.display.window_titled(title), 1.0):
                self.refocus()
                return
        self.fail(f"the {title!r} box stayed open after Return")

    def focused_window(self):
        return self.display.xdotool("getwindowfocus", check=False)

    # --- tests -------------------------------------------------------------------------------
    def test_a_file_on_the_command_line_and_one_from_a_later_start_load_as_load_does(self):
        first = self.write_preset("first rig.kvt", "First Rig Of The Night",
                                  {"/channel/1/delay": "/channel/1/delay fi 3.75 1"})
        second = self.write_preset("second.kvt", "Second",
                                   {"/channel/1/delay": "/channel/1/delay fi 1.25 0",
                                    "/channel/2/peq/3": "/channel/2/peq/3 sfff PEQ 800.0 +1.0 2.00",
                                    "/channel/1/xover/hp": "/channel/1/xover/hp sf OFF 45.0"})

        self.start_lan("left")
        amplifier = self.start_simulator("left", "Stage Left", 1)
        self.arguments = (first,)
        program = self.start_program_window()
        self.assertShowsFile("first rig.kvt", "First Rig ")
        self.wait_heard(amplifier, address="/info", what=("send",))
        self.wait_for_row(1)
        self.connect(1, "[Device: ZR440]")
        self.wait_online(amplifier)

        # A later start names its file relative to its own working folder.
        since = amplifier.mark()
        self.later_start("second.kvt", cwd=self.home)
        self.wait_heard(amplifier, since=since, address=protocol.BLOCK_ADDRESSES[-1], timeout=10.0)
        time.sleep(0.3)
        sent = [r for r in amplifier.heard(since) if r.address in protocol.BLOCK_ADDRESSES]
        self.assertEqual([r.address for r in sent], protocol.BLOCK_ADDRESSES, "39 block messages in tree order")
        with open(second, encoding="utf-8") as f:
            _, wanted, _ = protocol.read_preset(f.read())
        self.assertEqual(protocol.differences(wanted, {r.address: (r.tags, r.args) for r in sent}), [])

        self.assertShowsFile("second.kvt", "Second")
        self.assertEqual(self.title(), "[Device: ZR440]")
        self.assertEqual(len(self.display.windows_named("^\\[Device: ZR440\\]$")), 1, "one window")
        self.assertTrue(program.running())

    def test_a_bad_file_gets_loads_message_and_the_program_still_starts(self):
        self.arguments = (os.path.join(self.home, "missing.kvt"),)
        program = self.start_program_window()
        self.close_box_at_start("Failed to open file...")
        self.assertEqual(self.field_text(layout.FILE_NAME), "missing.kvt")
        self.assertTrue(program.running())

    def test_a_later_start_without_a_file_brings_the_window_to_the_front(self):
        program = self.start_program_window()
        # Another window takes the keyboard, as another program on the desktop would.
        other = subprocess.Popen(["xmessage", "-geometry", "+0+0", "another program"],
                                 env={**os.environ, **self.display.env()},
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.addCleanup(lambda: (other.kill(), other.wait(5)))
        other_window = self.wait_for_window("xmessage")
        self.display.xdotool("windowfocus", "--sync", other_window)
        self.assertEqual(self.focused_window(), other_window)

        self.later_start()
        self.assertTrue(harness.wait_for(lambda: self.focused_window() == self.window, 5.0),
                        f"the keyboard is at {self.focused_window()}, not at the program's window {self.window}")
        self.assertTrue(program.running(), f"the program ended ({program.process.returncode})")
        one_window = lambda: len(self.display.windows_named("^\\[not connected!\\]$")) == 1
        self.assertTrue(harness.wait_for(one_window, 3.0), "one window")

    def test_a_crashed_program_blocks_nothing(self):
        crashed = self.start_program()
        self.wait_for_window(harness.TITLE_OFFLINE)
        socket = os.path.join(self.runtime, "zr-remote-connect", "instance.socket")
        self.assertTrue(os.path.exists(socket))
        crashed.process.send_signal(signal.SIGKILL)
        crashed.process.wait(5)
        self.assertTrue(harness.wait_for(lambda: not self.display.window_titled(harness.TITLE_OFFLINE), 5.0))
        self.assertTrue(os.path.exists(socket), "a killed program leaves its socket behind")

        rig = self.write_preset("after.kvt", "After", {})
        self.start_program_window()
        self.later_start(rig)
        self.assertShowsFile("after.kvt", "After")

    def test_another_users_program_is_neither_reached_nor_in_the_way(self):
        stranger = 65534
        stranger_home = os.path.join(self.home, "stranger")
        stranger_runtime = os.path.join(stranger_home, "runtime")
        os.chmod(self.home, 0o755)
        os.makedirs(stranger_runtime, 0o700)
        for folder in (stranger_home, stranger_runtime):
            os.chown(folder, stranger, stranger)
        probe = subprocess.run(["setpriv", f"--reuid={stranger}", f"--regid={stranger}", "--clear-groups",
                                "test", "-x", harness.PROGRAM], capture_output=True)
        if probe.returncode != 0:
            self.skipTest("no other user can run the program here (an unprivileged user namespace?)")

        # Another user's program runs, with the runtime folder its own session would have.
        theirs = ProgramWithArguments(self.display, stranger_home, (),
                                      {"XDG_RUNTIME_DIR": stranger_runtime,
                                       "XDG_CONFIG_HOME": os.path.join(stranger_home, ".config")},
                                      user=stranger)
        self.programs.append(theirs)
        their_window = self.wait_for_window(harness.TITLE_OFFLINE)

        # Ours starts beside it, and a later start of ours reaches ours, not theirs.
        self.start_program()

        def our_window():
            return [w for w in self.display.windows_named("^\\[not connected!\\]$") if w != their_window]

        found = harness.wait_for(our_window, 15.0)
        self.assertTrue(found, "our program shows a window of its own beside the other user's")
        self.window = found[0]
        # Both windows open centred, one over the other: ours on top, where the clicks go.
        self.display.xdotool("windowraise", self.window)
        x, y, width, height = self.display.geometry(self.window)
        border = (width - layout.PANEL_WIDTH) // 2
        self.origin = (x + border, y + height - layout.PANEL_HEIGHT - border)

        rig = self.write_preset("mine.kvt", "Mine", {})
        self.later_start(rig)
        self.assertShowsFile("mine.kvt", "Mine")
        self.assertTrue(theirs.running())
        self.assertEqual(len(self.display.windows_named("^\\[not connected!\\]$")), 2)

if __name__ == "__main__":
    unittest.main(verbosity=2)
