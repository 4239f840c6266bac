"""What the program costs the machine: CPU share and wake-ups per second of each of its
threads, at rest (no amplifier) and connected with the meters streaming.

    scripts/measure-idle-cost.sh [seconds]

Not a test (CTest runs only test_*.py): a measurement that prints a table, run like the
end-to-end tests inside namespaces of its own.  CPU time comes from the scheduler's own
account (/proc/PID/task/TID/schedstat, nanoseconds on a CPU); a wake-up is a context switch
of the thread (voluntary and involuntary, /proc/PID/task/TID/status).  Targets: at rest
under 0.5 % of one core and under 50 wake-ups a second; connected under 3 %.
"""

import os
import time
import unittest

import harness

SECONDS = float(os.environ.get("ZR_MEASURE_SECONDS", "10"))
SETTLE_SECONDS = 2.0


def thread_counters(pid):
    """{thread name: (cpu ns, context switches)} for every thread of the process, summed
    over threads of the same name."""
    counters = {}
    task_folder = f"/proc/{pid}/task"
    for tid in os.listdir(task_folder):
        try:
            with open(f"{task_folder}/{tid}/comm") as f:
                name = f.read().strip()
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
    before = thread_counters(pid)
    start = time.monotonic()
    time.sleep(seconds)
    after = thread_counters(pid)
    elapsed = time.monotonic() - start
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


if __name__ == "__main__":
    unittest.main(verbosity=2)
