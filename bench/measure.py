#!/usr/bin/env python3
"""The measuring half of bench/run: runs the program and its reference programs in a private X
server and prints the figures and the goals. Arguments: the plain release build folder, the
build folder with the timing marks compiled in."""

import math
import os
import selectors
import signal
import statistics
import subprocess
import sys
import tempfile
import time

CPU_SECONDS = 12  # measured stretch of one CPU round
CPU_ROUNDS = 5  # each round runs ours, then the button window, then the floor
WARM_UP = 2.0  # seconds after launch before a stretch is measured
STARTUPS = 15  # runs of each program for the start-up median, after one unmeasured run
SETTLE = 0.3  # seconds between start-ups, for the X server to finish with the last client
CADENCE_SECONDS = 20
CADENCE_REEL = 1  # the reel whose picture changes are timed

GOAL_CPU = 1.10
GOAL_STARTUP = 1.30
GOAL_MEMORY = 1.15
GOAL_MEDIAN = (48.0, 52.0)
GOAL_P99 = 70.0


class XServer:
    """A private Xvfb on the first free display, gone with everything it made when stopped."""

    def __init__(self):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-nolisten", "tcp", "-screen", "0",
             "1280x1024x24"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        with os.fdopen(read_end, "rb") as pipe:
            while not number.endswith(b"\n"):
                chunk = pipe.read(1)
                if not chunk:
                    raise SystemExit("bench: Xvfb did not start")
                number += chunk
        self.display = ":" + number.decode().strip()

    def stop(self):
        self.process.terminate()  # Xvfb removes its socket and lock file on the way out
        self.process.wait(timeout=10)


def cpu_ms(pid):
    """CPU time of all the process's threads so far, in milliseconds. The scheduler's own
    nanosecond count: the clock ticks of /proc/PID/stat come in 10 ms steps, as coarse as the
    differences measured here."""
    total = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/schedstat") as schedstat:
                total += int(schedstat.read().split()[0])
        except FileNotFoundError:  # a thread that ended meanwhile
            pass
    return total / 1e6


# Mappings of the text stack: the font files and the libraries that load and shape them. Ours
# shows Japanese captions and menus, the button window shows no text at all.
TEXT_STACK = ("/fonts/", "libfreetype", "libharfbuzz", "libfontconfig", "libgraphite2")


def text_stack_kib(pid):
    """Resident KiB of the text stack's mappings, now."""
    total, counting = 0, False
    with open(f"/proc/{pid}/smaps") as smaps:
        for line in smaps:
            words = line.split()
            if "-" in words[0] and len(words) >= 5:  # a mapping's header line
                counting = len(words) >= 6 and any(part in words[5] for part in TEXT_STACK)
            elif words[0] == "Rss:" and counting:
                total += int(words[1])
    return total


def wakeups(pid):
    """Times any of the process's threads went to sleep and was woken again, so far."""
    total = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/status") as status:
                for line in status:
                    if line.startswith("voluntary_ctxt_switches:"):
                        total += int(line.split()[1])
        except FileNotFoundError:  # a thread that ended meanwhile
            pass
    return total


def peak_resident_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    raise RuntimeError("no VmHWM")


class Bench:
    def __init__(self, release, trace):
        self.release = release
        self.trace = trace
        self.x = XServer()
        self.runtime = tempfile.TemporaryDirectory(dir=os.path.dirname(release))
        self.env = dict(os.environ, DISPLAY=self.x.display, QT_QPA_PLATFORM="xcb",
                        XDG_RUNTIME_DIR=self.runtime.name)

    def close(self):
        self.x.stop()
        self.runtime.cleanup()

    def launch(self, build, program, **streams):
        command = {"ours": ["app/TH"], "buttons": ["bench/buttons_reference"],
                   "floor": ["bench/floor_reference"],
                   "bare": ["bench/bare_window"],
                   "captioned": ["bench/bare_window", "--caption"]}[program]
        return subprocess.Popen([os.path.join(build, command[0])] + command[1:], env=self.env,
                                stdout=subprocess.DEVNULL, **streams)

    @staticmethod
    def stop(process):
        process.send_signal(signal.SIGTERM)
        try:
            process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()

    def cpu_round(self, program):
        """CPU ms per second of the program and of the X server, the program's VmHWM and
        resident text stack, and its wakeups per second."""
        process = self.launch(self.release, program, stderr=subprocess.DEVNULL)
        try:
            time.sleep(WARM_UP)
            if process.poll() is not None:
                raise SystemExit(f"bench: {program} ended early")
            start, own, server = time.monotonic(), cpu_ms(process.pid), cpu_ms(
                self.x.process.pid)
            woken = wakeups(process.pid)
            time.sleep(CPU_SECONDS)
            seconds = time.monotonic() - start
            own = cpu_ms(process.pid) - own
            server = cpu_ms(self.x.process.pid) - server
            woken = wakeups(process.pid) - woken
            peak, text = peak_resident_kib(process.pid), text_stack_kib(process.pid)
        finally:
            self.stop(process)
        return own / seconds, server / seconds, peak, text, woken / seconds

    def marks(self, process, until, on_mark):
        """Reads the program's timing marks until on_mark says stop or the deadline passes."""
        selector = selectors.DefaultSelector()
        selector.register(process.stderr, selectors.EVENT_READ)
        pending = b""
        while time.monotonic() < until:
            if not selector.select(timeout=max(0.0, until - time.monotonic())):
                continue
            chunk = os.read(process.stderr.fileno(), 65536)
            if not chunk:
                break
            pending += chunk
            *lines, pending = pending.split(b"\n")
            for line in lines:
                words = line.decode(errors="replace").split()
                if len(words) == 4 and words[0] == "TH_TRACE":
                    if on_mark(words[1], int(words[2]), int(words[3])):
                        return True
        return False

    def start_up(self, program):
        """Milliseconds from just before the process is started to its first painted frame."""
        launched = time.monotonic_ns()
        process = self.launch(self.trace, program, stderr=subprocess.PIPE)
        painted = []

        def on_mark(what, _, ns):
            if what == "first-paint":
                painted.append(ns)
            return bool(painted)

        try:
            self.marks(process, time.monotonic() + 20, on_mark)
        finally:
            self.stop(process)
        if not painted:
            raise SystemExit(f"bench: no first frame from {program}")
        return (painted[0] - launched) / 1e6

    def cadence(self):
        """Intervals between reel picture changes with all reels spinning, and the CPU figure
        of the build with the marks compiled in over the same stretch."""
        process = self.launch(self.trace, "ours", stderr=subprocess.PIPE)
        changes = {}

        def on_mark(what, reel, ns):
            if what == "reel":
                changes.setdefault(reel, []).append(ns)
            return False

        try:
            self.marks(process, time.monotonic() + WARM_UP, lambda *_: False)
            start, used = time.monotonic(), cpu_ms(process.pid)
            self.marks(process, start + CADENCE_SECONDS, on_mark)
            traced_cpu = (cpu_ms(process.pid) - used) / (time.monotonic() - start)
        finally:
            self.stop(process)
        intervals = {reel: [(b - a) / 1e6 for a, b in zip(times, times[1:])]
                     for reel, times in changes.items()}
        return intervals, traced_cpu


def print_table(rows):
    """Rows of a label and figures, the label left-aligned, the figures right-aligned; a short
    row is filled up with empty cells."""
    columns = max(len(row) for row in rows)
    rows = [tuple(row) + ("",) * (columns - len(row)) for row in rows]
    widths = [max(len(row[column]) for row in rows) for column in range(columns)]
    for row in rows:
        print(f"{row[0]:<{widths[0]}}  " +
              "  ".join(f"{cell:>{width}}" for cell, width in zip(row[1:], widths[1:])))


def percentile(values, fraction):
    """Nearest-rank percentile."""
    ordered = sorted(values)
    return ordered[max(0, math.ceil(fraction * len(ordered)) - 1)]


def start_ups(bench, programs, runs, settle):
    """Each program's start-up times in milliseconds, the programs taking turns, after one
    unmeasured run of each."""
    times = {program: [] for program in programs}
    for run in range(runs + 1):
        for program in programs:
            time.sleep(settle)
            milliseconds = bench.start_up(program)
            if run > 0:
                times[program].append(milliseconds)
    print("bench: start-ups done", flush=True)
    return times


def main():
    release, trace = sys.argv[1], sys.argv[2]
    bench = Bench(release, trace)
    try:
        print(f"bench: load average {os.getloadavg()[0]:.2f} on {os.cpu_count()} cores, "
              f"X server on {bench.x.display}", flush=True)
        rounds = []
        for number in range(1, CPU_ROUNDS + 1):
            ours, buttons, floor = (bench.cpu_round(program)
                                    for program in ("ours", "buttons", "floor"))
            rounds.append((ours, buttons, floor))
            print(f"bench: CPU round {number}: ours {ours[0]:.1f} ms/s, "
                  f"buttons {buttons[0]:.1f} ms/s, floor {floor[0]:.1f} ms/s", flush=True)
        startups = start_ups(bench, ("ours", "bare", "captioned"), STARTUPS, SETTLE)
        intervals, traced_cpu = bench.cadence()
    finally:
        bench.close()

    median = lambda program, column: statistics.median(r[program][column] for r in rounds)
    cpu_ours, cpu_ref, cpu_floor = median(0, 0), median(1, 0), median(2, 0)
    mem_ours = max(r[0][2] for r in rounds) / 1024
    mem_ref = max(r[1][2] for r in rounds) / 1024
    text_ours = max(r[0][3] for r in rounds) / 1024
    text_ref = max(r[1][3] for r in rounds) / 1024
    up_ours = statistics.median(startups["ours"])
    up_bare = statistics.median(startups["bare"])
    up_captioned = statistics.median(startups["captioned"])
    reel = intervals.get(CADENCE_REEL, [])
    if len(reel) < 100:
        raise SystemExit(f"bench: only {len(reel)} picture changes of reel {CADENCE_REEL}")
    cadence, p99 = statistics.median(reel), percentile(reel, 0.99)
    every = [i for values in intervals.values() for i in values]

    def against_both(label, ours, buttons, floor, digits=1):
        return (label, f"{ours:.{digits}f}", f"{floor:.{digits}f}", f"{ours / floor:.2f}",
                f"{buttons:.{digits}f}", f"{ours / buttons:.2f}")

    cpu_rows = [("", "ours", "floor", "ratio", "buttons", "ratio")]
    for number, (ours, buttons, floor) in enumerate(rounds, 1):
        cpu_rows.append(against_both(f"CPU ms/s, round {number}", ours[0], buttons[0], floor[0]))
    cpu_rows += [
        against_both("CPU ms/s, median", cpu_ours, cpu_ref, cpu_floor),
        against_both("X server CPU ms/s, median", median(0, 1), median(1, 1), median(2, 1)),
        against_both("wakeups/s, median", median(0, 4), median(1, 4), median(2, 4), 0),
        ("CPU ms/s with the marks built in", f"{traced_cpu:.1f}"),
    ]
    rows = [("", "ours", "reference", "ratio")]
    rows += [
        ("start-up to first frame ms, median", f"{up_ours:.1f}", f"{up_bare:.1f}",
         f"{up_ours / up_bare:.2f}"),
        ("start-up ms, min..max", f"{min(startups['ours']):.1f}..{max(startups['ours']):.1f}",
         f"{min(startups['bare']):.1f}..{max(startups['bare']):.1f}", ""),
        ("  against a window with one caption, median", f"{up_ours:.1f}", f"{up_captioned:.1f}",
         f"{up_ours / up_captioned:.2f}"),
        ("peak resident MiB (VmHWM)", f"{mem_ours:.1f}", f"{mem_ref:.1f}",
         f"{mem_ours / mem_ref:.2f}"),
        ("  of it fonts and text shaping MiB", f"{text_ours:.1f}", f"{text_ref:.1f}", ""),
        ("  without them MiB", f"{mem_ours - text_ours:.1f}", f"{mem_ref - text_ref:.1f}",
         f"{(mem_ours - text_ours) / (mem_ref - text_ref):.2f}"),
        (f"reel {CADENCE_REEL} interval ms: median, p99", f"{cadence:.1f}, {p99:.1f}",
         f"({len(reel)} intervals)", ""),
        ("all 18 reels interval ms: median, p99",
         f"{statistics.median(every):.1f}, {percentile(every, 0.99):.1f}",
         f"({len(every)} intervals)", ""),
    ]
    print()
    print("CPU: 18 reels spinning against the floor (one widget repainting the same 18 pictures "
          "every 50 ms) and 18 QPushButtons changing icons every 50 ms, "
          f"{CPU_ROUNDS} alternating rounds of {CPU_SECONDS} s")
    print_table(cpu_rows)
    print()
    print(f"start-up: against a bare Qt window, median of {STARTUPS}; memory: against the "
          "button window")
    print_table(rows)
    print()

    goals = [
        ("cpu", cpu_ours / cpu_floor, f"{cpu_ours / cpu_floor:.2f}",
         cpu_ours / cpu_floor <= GOAL_CPU, f"at most {GOAL_CPU:.2f} of the floor"),
        ("startup", up_ours / up_bare, f"{up_ours / up_bare:.2f}",
         up_ours / up_bare <= GOAL_STARTUP, f"at most {GOAL_STARTUP:.2f}"),
        ("memory", mem_ours / mem_ref, f"{mem_ours / mem_ref:.2f}",
         mem_ours / mem_ref <= GOAL_MEMORY, f"at most {GOAL_MEMORY:.2f}"),
        ("cadence-median", cadence, f"{cadence:.1f} ms",
         GOAL_MEDIAN[0] <= cadence <= GOAL_MEDIAN[1],
         f"{GOAL_MEDIAN[0]:.0f} to {GOAL_MEDIAN[1]:.0f} ms"),
        ("cadence-p99", p99, f"{p99:.1f} ms", p99 <= GOAL_P99, f"at most {GOAL_P99:.0f} ms"),
    ]
    for name, _, figure, met, bound in goals:
        print(f"goal {name}: {figure} (goal {bound}) {'met' if met else 'missed'}")
    return 0 if all(goal[3] for goal in goals) else 1


if __name__ == "__main__":
    sys.exit(main())
