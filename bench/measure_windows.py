#!/usr/bin/env python3
"""The Windows half of bench/run (bench/run --windows): TH.exe and its reference programs, built
for Windows, run under Wine in a private X server with a Wine prefix of their own. Measures the
start-up to a shown window against a bare Qt window built the same way, and the CPU with all
reels spinning against the button window; these figures have no goals, since Wine's own costs
are in them. Before them, the download's sizes against their goals. Arguments: the Windows build
folder, the packages' folder and the version. Exits 1 when a size goal is missed."""

import os
import statistics
import subprocess
import sys
import time

from measure import Bench, XServer, cpu_ms, print_table, start_ups

CPU_SECONDS = 20
CPU_ROUNDS = 3
WARM_UP = 3.0  # Wine starts slower than a Linux program
STARTUPS = 7  # after one unmeasured run of each program
SETTLE = 0.5
POLL = 0.01  # seconds between looks for the window

PROGRAMS = {  # executable in the build folder, title of its window
    "ours": ("TH.exe", "ﾀﾏﾋﾛｲ"),
    "bare": ("bare_window.exe", "bare_window"),
    "buttons": ("buttons_reference.exe", "buttons_reference"),
}


WINE_HELPER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "support",
                           "wine.sh")


def prepare_wine_prefix(prefix, env):
    """Sets up the prefix as the tests do, with a persistent wineserver (as a desktop session
    would have one: its start is nobody's start-up); returns the variables that point Wine at
    it."""
    script = 'source "$1" && prepare_wine_prefix "$2" >&2 && env -0'
    done = subprocess.run(["bash", "-c", script, "bash", WINE_HELPER, prefix], env=env,
                          check=True, stdout=subprocess.PIPE)
    pairs = (entry.split("=", 1) for entry in done.stdout.decode().split("\0") if "=" in entry)
    return {name: value for name, value in pairs if name.startswith("WINE")}


class WineBench:
    def __init__(self, build):
        self.build = build
        self.x = XServer()
        self.env = dict(os.environ, DISPLAY=self.x.display)
        self.env.update(prepare_wine_prefix(os.path.join(build, "bench-wine"), self.env))
        self.server = int(subprocess.run(["pgrep", "-n", "wineserver"], check=True,
                                         capture_output=True, text=True).stdout)

    def close(self):
        subprocess.run(["wineserver", "-k"], env=self.env)
        self.x.stop()

    def launch(self, program):
        path = os.path.join(self.build, PROGRAMS[program][0])
        return subprocess.Popen(["wine", path], env=self.env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)

    def shown(self, program):
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name",
                                f"^{PROGRAMS[program][1]}$"], env=self.env, capture_output=True)
        return found.returncode == 0 and found.stdout.strip() != b""

    stop = staticmethod(Bench.stop)

    def start_up(self, program):
        """Milliseconds from just before `wine` is started to the program's window being shown."""
        launched = time.monotonic()
        process = self.launch(program)
        try:
            while not self.shown(program):
                if time.monotonic() - launched > 60 or process.poll() is not None:
                    raise SystemExit(f"bench: no window from {program}")
                time.sleep(POLL)
            return (time.monotonic() - launched) * 1000
        finally:
            self.stop(process)

    def cpu_round(self, program):
        """CPU ms per second of the program, of the wineserver and of the X server."""
        process = self.launch(program)
        try:
            time.sleep(WARM_UP)
            if process.poll() is not None or not self.shown(program):
                raise SystemExit(f"bench: {program} is not running")
            pids = (process.pid, self.server, self.x.process.pid)
            start, before = time.monotonic(), [cpu_ms(pid) for pid in pids]
            time.sleep(CPU_SECONDS)
            seconds = time.monotonic() - start
            after = [cpu_ms(pid) for pid in pids]
        finally:
            self.stop(process)
        return [(b - a) / seconds for a, b in zip(before, after)]


# The download, in bytes: the zip and each installer at most.
SIZE_GOALS = {"zip": 7_000_000, "msi": 7_500_000, "msi-per-user": 7_500_000}


def download_goals(files):
    """[(name, bytes, goal)] of the zip and both installers, given by their paths."""
    return [(name, os.path.getsize(path), SIZE_GOALS[name]) for name, path in zip(SIZE_GOALS, files)]


def main():
    build, files = sys.argv[1], sys.argv[2:5]
    sizes = download_goals(files)
    exe = os.path.getsize(os.path.join(build, "TH.exe"))
    print(f"bench: TH.exe {exe:,d} B; the download:")
    print_table([("", "bytes", "goal")] +
                [(name, f"{size:,d}", f"{goal:,d}") for name, size, goal in sizes])
    print(flush=True)
    bench = WineBench(build)
    try:
        print(f"bench: load average {os.getloadavg()[0]:.2f} on {os.cpu_count()} cores, "
              f"X server on {bench.x.display}, Wine prefix {bench.env['WINEPREFIX']}", flush=True)
        startups = start_ups(bench, ("ours", "bare"), STARTUPS, SETTLE)
        rounds = []
        for number in range(1, CPU_ROUNDS + 1):
            ours, buttons = bench.cpu_round("ours"), bench.cpu_round("buttons")
            rounds.append((ours, buttons))
            print(f"bench: CPU round {number}: ours {ours[0]:.1f} ms/s, "
                  f"reference {buttons[0]:.1f} ms/s", flush=True)
    finally:
        bench.close()

    median = lambda which, column: statistics.median(r[which][column] for r in rounds)
    up_ours, up_bare = statistics.median(startups["ours"]), statistics.median(startups["bare"])
    rows = [("", "ours", "reference", "ratio")]
    for label, column in (("CPU ms/s, median", 0), ("wineserver CPU ms/s, median", 1),
                          ("X server CPU ms/s, median", 2)):
        ours, reference = median(0, column), median(1, column)
        rows.append((label, f"{ours:.1f}", f"{reference:.1f}",
                     f"{ours / reference:.2f}" if reference else ""))
    rows += [
        ("start-up to a shown window ms, median", f"{up_ours:.0f}", f"{up_bare:.0f}",
         f"{up_ours / up_bare:.2f}"),
        ("start-up ms, min..max", f"{min(startups['ours']):.0f}..{max(startups['ours']):.0f}",
         f"{min(startups['bare']):.0f}..{max(startups['bare']):.0f}", ""),
    ]
    print()
    print(f"Under Wine. CPU: 18 reels spinning against 18 QPushButtons changing icons every 50 ms, "
          f"{CPU_ROUNDS} alternating rounds of {CPU_SECONDS} s; start-up: against a bare Qt "
          f"window, median of {STARTUPS}")
    print_table(rows)
    for name, size, goal in sizes:
        print(f"goal {name} bytes: {size:,d} (goal {goal:,d}) {'met' if size <= goal else 'missed'}")
    return 0 if all(size <= goal for _, size, goal in sizes) else 1


if __name__ == "__main__":
    sys.exit(main())
