"""What the program costs the machine: CPU share and wake-ups per second of each of its
threads, at rest (no amplifier) and connected with the meters streaming.

    scripts/measure-idle-cost.sh [seconds]

Or, with --floor, the program at rest beside the floor under it: an empty window of the
panel's size from the same framework (idle_floor_window), both on the same display and
measured over the same seconds, in several runs with fresh processes; a table of the runs,
their medians and the ratios program/floor, with the wake-ups of the program's own link
threads.

    scripts/measure-idle-cost.sh --floor [runs] [seconds]

Not a test (CTest runs only test_*.py): a measurement that prints a table, run like the
end-to-end tests inside namespaces of its own.  CPU time comes from the scheduler's own
account (/proc/PID/task/TID/schedstat, nanoseconds on a CPU); a wake-up is a context switch
of the thread (voluntary and involuntary, /proc/PID/task/TID/status).  Targets: at rest
under 0.5 % of one core and under 50 wake-ups a second; connected under 3 %.  Against the
floor: within 1.1 x of it in both (median of the runs), the link threads under 10 wake-ups a
second together.
"""

import os
import statistics
import subprocess
import time
import unittest

import harness
import layout

MODE = os.environ.get("ZR_MEASURE_MODE", "threads")
SECONDS = float(os.environ.get("ZR_MEASURE_SECONDS", "10"))
RUNS = int(os.environ.get("ZR_MEASURE_RUNS", "5"))
POINTER = os.environ.get("ZR_MEASURE_POINTER", "away")
SETTLE_SECONDS = 2.0
FLOOR = os.path.join(harness.BIN, "idle_floor_window")
FLOOR_TITLE = "idle floor"
LINK_THREADS = ("OSC connection", "USB connection", "UDP connection")


def thread_counters(pid):
    """{thread name: (cpu ns, context switches)} for every thread of the process, summed
    over threads of the same name; the first thread, which runs the message loop, is named
    "message thread" whatever the process is called."""
    counters = {}
    task_folder = f"/proc/{pid}/task"
    for tid in os.listdir(task_folder):
        try:
            with open(f"{task_folder}/{tid}/comm") as f:
                name = "message thread" if tid == str(pid) else f.read().strip()
            with open(f"{task_folder}/{tid}/schedstat") as f:
                cpu_ns = int(f.read().split()[0])
            switches = 0
            with open(f"{task_folder}/{tid}/status") as f:
                for line in f:
                    if line.startswith(("voluntary_ctxt_switches", "nonvoluntary_ctxt_switches")):
                        switches += int(line.split()[1])
        except (FileNotFoundError, ProcessLookupError):
            continue   # a thread that ended meanwhile
        cpu, count = counters.get(name, (0, 0))
        counters[name] = (cpu + cpu_ns, count + switches)
    return counters


def measure(pid, seconds):
    """Per thread: (CPU % of one core, wake-ups per second) over `seconds`."""
    return measure_together([pid], seconds)[0]


def measure_together(pids, seconds):
    """measure() of several processes over the same `seconds`, in the order given."""
    before = [thread_counters(pid) for pid in pids]
    start = time.monotonic()
    time.sleep(seconds)
    after = [thread_counters(pid) for pid in pids]
    elapsed = time.monotonic() - start
    return [rates(first, last, elapsed) for first, last in zip(before, after)]


def rates(before, after, elapsed):
    rows = {}
    for name, (cpu, switches) in after.items():
        cpu0, switches0 = before.get(name, (0, 0))
        rows[name] = (100.0 * (cpu - cpu0) / (elapsed * 1e9), (switches - switches0) / elapsed)
    return rows


def print_table(title, rows):
    print(f"\n{title}")
    print(f"  {'thread':<20} {'CPU % of a core':>16} {'wake-ups/s':>12}")
    for name, (cpu, wakes) in sorted(rows.items(), key=lambda item: -item[1][1]):
        print(f"  {name:<20} {cpu:>16.3f} {wakes:>12.1f}")
    total_cpu = sum(cpu for cpu, _ in rows.values())
    total_wakes = sum(wakes for _, wakes in rows.values())
    print(f"  {'whole program':<20} {total_cpu:>16.3f} {total_wakes:>12.1f}")


def whole_process(rows):
    """(CPU % of one core, wake-ups per second) of all threads together."""
    return sum(cpu for cpu, _ in rows.values()), sum(wakes for _, wakes in rows.values())


def link_wakes(rows):
    return {name: rows.get(name, (0.0, 0.0))[1] for name in LINK_THREADS}


def ratio(a, b):
    return a / b if b > 0 else float("inf")


def print_floor_table(runs):
    """runs: [(program rows, floor rows)], one pair per run."""
    where = "over the program's panel" if POINTER == "panel" else "off both windows"
    print(f"\nProgram at rest beside an empty {layout.PANEL_WIDTH} x {layout.PANEL_HEIGHT} "
          f"window of the same framework ({len(runs)} runs of {SECONDS:.0f} s each, pointer {where})")
    header = (f"  {'run':<7} {'program CPU %':>13} {'floor CPU %':>11} {'ratio':>6}   "
              f"{'program wk/s':>12} {'floor wk/s':>10} {'ratio':>6}   "
              + " ".join(f"{name.split()[0] + ' wk/s':>9}" for name in LINK_THREADS))
    print(header)
    lines = []
    for program_rows, floor_rows in runs:
        program_cpu, program_wakes = whole_process(program_rows)
        floor_cpu, floor_wakes = whole_process(floor_rows)
        lines.append((program_cpu, floor_cpu, ratio(program_cpu, floor_cpu),
                      program_wakes, floor_wakes, ratio(program_wakes, floor_wakes),
                      *link_wakes(program_rows).values()))

    def row(label, values):
        print(f"  {label:<7} {values[0]:>13.3f} {values[1]:>11.3f} {values[2]:>6.2f}   "
              f"{values[3]:>12.1f} {values[4]:>10.1f} {values[5]:>6.2f}   "
              + " ".join(f"{v:>9.1f}" for v in values[6:]))

    for number, values in enumerate(lines, 1):
        row(str(number), values)
    medians = [statistics.median(column) for column in zip(*lines)]
    row("median", medians)
    link_total = sum(medians[6:])
    for which, index in (("program", 0), ("floor", 1)):
        names = sorted({name for run in runs for name in run[index]})
        print_table(f"{which.capitalize()}, thread by thread (medians of the runs)",
                    {name: tuple(statistics.median(run[index].get(name, (0.0, 0.0))[k] for run in runs)
                                 for k in (0, 1))
                     for name in names})
    print(f"\n  median ratio program/floor: CPU {medians[2]:.2f} x, wake-ups {medians[5]:.2f} x (target 1.1 x)")
    print(f"  program's link threads: {link_total:.1f} wake-ups/s together (target under 10)")


class FloorWindow:
    """The empty window of idle_floor_window on the test's display."""

    def __init__(self, display):
        self.process = subprocess.Popen([FLOOR], env={**os.environ, **display.env()},
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def stop(self):
        self.process.terminate()
        try:
            self.process.wait(5)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait(5)


@unittest.skipUnless(MODE == "threads", "thread by thread only without --floor")
class IdleCost(harness.ProgramTestCase):
    def test_measure(self):
        self.start_lan("left")
        amplifier = self.start_simulator("left", "Stage Left", 1, None, ["--moving"])
        program = self.start_program_window()
        self.wait_for_row(1)
        self.park_mouse()
        time.sleep(SETTLE_SECONDS)
        print_table(f"At rest, not connected ({SECONDS:.0f} s)", measure(program.process.pid, SECONDS))

        self.connect(1, "[Device: ZR440]")
        self.wait_online(amplifier)
        self.park_mouse()
        time.sleep(SETTLE_SECONDS)
        print_table(f"Connected, meters streaming ({SECONDS:.0f} s)", measure(program.process.pid, SECONDS))


@unittest.skipUnless(MODE == "floor", "against the floor only with --floor")
class IdleCostAgainstFloor(harness.ProgramTestCase):
    # Room for both windows side by side.
    display_size = (1920, 1080)

    def test_measure_against_floor(self):
        self.assertTrue(os.access(FLOOR, os.X_OK), f"not built: {FLOOR}")
        # An amplifier on the network, found and shown but not connected: the program at rest.
        self.start_lan("left")
        self.start_simulator("left", "Stage Left", 1)
        runs = [self.measure_side_by_side(floor_first=number % 2 == 1) for number in range(RUNS)]
        print_floor_table(runs)

    def measure_side_by_side(self, floor_first):
        """One run: a fresh program and a fresh floor window, both at rest, measured over the
        same seconds, so a change in the machine's load falls on both alike.  Which starts
        first alternates from run to run."""
        floor = None
        try:
            if floor_first:
                floor = self.start_floor()
            program = self.start_program_window()
            self.wait_for_row(1)
            if not floor_first:
                floor = self.start_floor()
            self.display.xdotool("windowmove", self.window, "0", "200")
            self.display.xdotool("windowmove", floor.window, "960", "200")
            self.rest_pointer()
            time.sleep(SETTLE_SECONDS)
            program_rows, floor_rows = measure_together([program.process.pid, floor.process.pid], SECONDS)
            program.stop()
            self.window = None
            return program_rows, floor_rows
        finally:
            if floor:
                floor.stop()

    def rest_pointer(self):
        """Off both windows, or with ZR_MEASURE_POINTER=panel in the middle of the program's
        panel, where the tooltips watch it."""
        if POINTER == "panel":
            x, y, width, height = self.display.geometry(self.window)
            self.display.xdotool("mousemove", str(x + width // 2), str(y + height // 2))
        else:
            self.park_mouse()

    def start_floor(self):
        floor = FloorWindow(self.display)
        floor.window = self.wait_for_window(FLOOR_TITLE)
        return floor


if __name__ == "__main__":
    unittest.main(verbosity=2)
