#!/usr/bin/env python3
"""Very long runs through arrivals-script, with the invariants of a run
checked on every dump and, when the tool writes one, on the --seconds trace.

    longrun.py [--jobs N] [--only NAME] ARRIVALS_SCRIPT

Each run starts, then alternates `tick K` and `dump` to its end. Exits 1 when
an invariant breaks, naming the run, the dump and the invariant.
"""

import argparse
import concurrent.futures
import json
import os
import resource
import subprocess
import sys
import tempfile
import time

INTEGER_MAX = 32767
LONG_MAX = 2147483647
INTERVAL_MS = 50
TICKS_PER_DAY = 24 * 3600 * 1000 // INTERVAL_MS
TICKS_PER_HOUR = TICKS_PER_DAY // 24

PROCESSES = ["Poisson", "Regular", "Uniform", "Pareto 0.1", "Pareto 0.2",
             "Pareto 0.5", "Cantor"]
RATES = ["0.1", "0.5", "1.0", "1.5", "2.0", "2.5", "3.0", "3.5", "4.0"]

# Packet markers: where they enter, the step of each tick, the limit past
# which they are hidden, the track they run on, and the red they are filled.
SOURCE_LEFT = 3720
STEP = 250
RIGHT_LIMIT = 12000
TRACK_TOP = 60
RED = 255
MAX_STEPS = -(-(RIGHT_LIMIT - SOURCE_LEFT) // STEP)  # 34: the last is past it


class Run:
    """One long run: a process, a rate (picked or typed), and its length."""

    def __init__(self, name, process, rate, ticks, every, seed=1):
        self.name, self.process, self.rate = name, process, rate
        self.ticks, self.every, self.seed = ticks, every, seed

    def script(self):
        lines = [f"seed {self.seed}", "load"]
        if self.rate in RATES:
            lines.append(f"pick rate {RATES.index(self.rate)}")
        else:
            lines.append(f"type rate {self.rate}")
        lines += [f"pick process {PROCESSES.index(self.process)}",
                  "click start", "dump"]
        done = 0
        while done < self.ticks:
            k = min(self.every, self.ticks - done)
            lines += [f"tick {k}", "dump"]
            done += k
        return "\n".join(lines) + "\n"

    def dump_ticks(self):
        """The timer events delivered before each dump."""
        return list(range(0, self.ticks, self.every)) + [self.ticks]


def runs():
    # Dumps every six hours and a few ticks, so that they fall at every
    # phase of the second and of the 3- and 10-second windows.
    quarter_day = TICKS_PER_DAY // 4 + 7
    out = []
    for process in PROCESSES:
        for rate in ("1.0", "4.0"):
            out.append(Run(f"{process} at {rate}, 40 days", process, rate,
                           40 * TICKS_PER_DAY, quarter_day))
    # At 2.0 the mean gap equals the scale of "Pareto 0.5": no packets.
    out.append(Run("Pareto 0.5 at 2.0, 10 hours", "Pareto 0.5", "2.0",
                   10 * TICKS_PER_HOUR, TICKS_PER_HOUR // 4 + 3))
    # The Cantor table runs out after 13.3 hours at rate 10; then every tick
    # counts a gap of 0 until its histogram cell is full.
    out.append(Run("Cantor at 10, past its table", "Cantor", "10",
                   15 * TICKS_PER_HOUR, TICKS_PER_HOUR // 4 + 3))
    return out


class Broken(Exception):
    pass


def expect(cond, what):
    if not cond:
        raise Broken(what)


def cells_within(values, length, name):
    expect(len(values) == length, f"{name} has {len(values)} cells")
    for k, v in enumerate(values):
        expect(isinstance(v, int) and 0 <= v <= INTEGER_MAX,
               f"{name}[{k}] = {v}")


def check_dump(d, run, ticks, prev, start):
    """Invariants of one dump after `ticks` timer events since Start."""
    program_ms = ticks * INTERVAL_MS

    for key in ("countSecond", "count3s", "count10s", "secondCount"):
        expect(0 <= d[key] <= INTEGER_MAX, f"{key} = {d[key]}")
    expect(0 <= d["packetCount"] <= LONG_MAX, f"packetCount = {d['packetCount']}")
    expect(0 <= d["cantorPos"] <= 20000, f"cantorPos = {d['cantorPos']}")
    expect(d["lastPacket"] == 50 and d["packetStep"] == 250,
           "the packet constants changed")
    expect(not d["stopped"] and d["timerEnabled"] and d["btnStart"] == "Stop"
           and d["btnPause"] == "Pause", "the run is no longer running")
    expect(d["messages"] == [], f"messages {d['messages']}")
    expect(float(d["lastRate"]) == float(run.rate), f"lastRate {d['lastRate']}")

    # Simulated time: exact until elapsedMs would pass the largest Long; past
    # that, whole seconds still fall where they fell.
    e = d["elapsedMs"]
    expect(0 <= e <= LONG_MAX and e % INTERVAL_MS == 0, f"elapsedMs = {e}")
    if program_ms <= LONG_MAX:
        expect(e == program_ms, f"elapsedMs = {e}, not {program_ms}")
    expect(e % 1000 == program_ms % 1000,
           f"elapsedMs = {e} is out of step with {program_ms} ms")
    # The second count may restart, but never out of step with the 3- and
    # 10-second windows.
    rolled = program_ms // 1000
    expect((d["secondCount"] - start["secondCount"] - rolled) % 30 == 0,
           f"secondCount = {d['secondCount']} after {rolled} roll-ups")

    cells_within(d["histSecond"], 9, "histSecond")
    cells_within(d["histGap"], 15, "histGap")
    expect(d["histSecond"][8] == 0 and d["histGap"][14] == 0,
           "an unused histogram cell was counted")
    for key in ("series3s", "series10s", "hist3s", "hist10s"):
        cells_within(d[key], 23, key)

    markers = d["markers"]
    expect(len(markers) <= MAX_STEPS, f"{len(markers)} markers visible")
    indices, steps = [], set()
    for index, left, top, fill in markers:
        k, rest = divmod(left - SOURCE_LEFT, STEP)
        expect(rest == 0 and 0 <= k <= MAX_STEPS,
               f"marker {index} at left {left}")
        expect(top == TRACK_TOP and fill == RED,
               f"marker {index} at top {top}, fill {fill}")
        expect(k not in steps, f"two markers at left {left}")
        steps.add(k)
        indices.append(index)
    expect(indices == sorted(set(indices)) and all(0 <= i <= 50 for i in indices),
           f"marker indices {indices}")

    count = d["packetCount"]
    expect(d["lblServiced"] == (f" {count}" if count else "0"),
           f"lblServiced {d['lblServiced']!r} for {count} packets")
    if prev is not None:
        expect(count >= prev["packetCount"], "packetCount went down")
        expect(d["draws"] >= prev["draws"], "the draw count went down")


def check_end(d, run):
    """What each run must have come to."""
    if run.process == "Pareto 0.5" and run.rate == "2.0":
        expect(d["packetCount"] == 0, "packets at the Pareto scale")
        expect(d["cmbExperiment"]["color"] == RED, "the process is not red")
    else:
        expect(d["packetCount"] > 0, "no packets")
        expect(d["cmbExperiment"]["color"] == 0, "the process is red")
    if run.process == "Cantor":
        expect(d["cantorPos"] == 20000, f"cantorPos = {d['cantorPos']}")
        expect(d["histGap"][0] == INTEGER_MAX, "gaps of 0 not counted to the limit")


# --- the --seconds trace ------------------------------------------------------

SECONDS_HEADER = "time_ms,second,count_1s,count_3s,count_10s"


def check_seconds_trace(path, snapshots):
    """Every row one second after the one before; every closed 3- and
    10-second window the sum of its seconds; and at every dump the series
    and histograms exactly what the rows so far make of them."""
    hist1, hist3, hist10 = [0] * 9, [0] * 23, [0] * 23
    series3, series10 = [0] * 23, [0] * 23
    open3 = open10 = 0
    prev_second = None
    pending = list(snapshots)  # (program ms, dump), in order

    def count(hist, k):
        if hist[k] < INTEGER_MAX:
            hist[k] += 1

    def compare(ms, d):
        for name, mine in (("histSecond", hist1), ("hist3s", hist3),
                           ("hist10s", hist10), ("series3s", series3),
                           ("series10s", series10)):
            expect(d[name] == mine,
                   f"at {ms} ms the trace makes {name} {mine}, not {d[name]}")

    # Some three million rows a run: the loop keeps to plain comparisons,
    # and builds a message only when a check fails.
    def broken(n, what):
        raise Broken(f"trace line {n}: {what}")

    with open(path, encoding="ascii") as f:
        expect(f.readline().rstrip("\n") == SECONDS_HEADER, "trace header")
        next_compare = pending[0][0] if pending else None
        prev_time = 0
        n = 1
        for line in f:
            n += 1
            t, second, c1, c3, c10 = line.split(",")
            t = int(t)
            second = int(second)
            c1 = int(c1)
            while next_compare is not None and next_compare < t:
                compare(*pending.pop(0))
                next_compare = pending[0][0] if pending else None
            if t != prev_time + 1000:
                broken(n, f"time {t}")
            if prev_second is not None and second != prev_second + 1 and not (
                    prev_second == INTEGER_MAX and second == 8):
                broken(n, f"second {second} after {prev_second}")
            prev_time = t
            prev_second = second
            if c1 < 8:
                if c1 < 0:
                    broken(n, f"count_1s {c1}")
                count(hist1, c1)
            elif c1 > INTEGER_MAX:
                broken(n, f"count_1s {c1}")
            open3 += c1
            open10 += c1
            if second % 3:
                if c3:
                    broken(n, f"count_3s {c3!r}")
            else:
                if not c3 or int(c3) != open3:
                    broken(n, f"count_3s {c3!r}, not {open3}")
                series3.pop(0)
                series3.append(open3)
                if open3 < 23:
                    count(hist3, open3)
                open3 = 0
            if second % 10:
                if c10 != "\n":
                    broken(n, f"count_10s {c10!r}")
            else:
                if c10 == "\n" or int(c10) != open10:
                    broken(n, f"count_10s {c10!r}, not {open10}")
                series10.pop(0)
                series10.append(open10)
                if open10 < 44:
                    count(hist10, open10 // 2)  # bins two counts wide
                open10 = 0
    for ms, d in pending:
        compare(ms, d)


def tool_writes_seconds(tool):
    help_text = subprocess.run([tool, "--help"], capture_output=True,
                               text=True, check=False).stdout
    return "--seconds" in help_text


# --- running ------------------------------------------------------------------

def play(run, tool, with_trace):
    """Runs one case; returns (name, seconds taken, seconds of the tool's
    processor time, None or what broke)."""
    began = time.monotonic()
    cpu_before = resource.getrusage(resource.RUSAGE_CHILDREN)
    with tempfile.TemporaryDirectory(prefix="arrivals-longrun-") as tmp:
        trace = os.path.join(tmp, "seconds.csv")
        cmd = [tool] + (["--seconds", trace] if with_trace else [])
        with subprocess.Popen(cmd, stdin=subprocess.PIPE,
                              stdout=subprocess.PIPE, text=True) as proc:
            try:
                broke = None
                snapshots = check_dumps(run, proc)
                if with_trace:
                    check_seconds_trace(trace, snapshots)
            except (Broken, ValueError, KeyError, TypeError) as e:
                broke = f"{e.__class__.__name__}: {e}"
                proc.kill()
    cpu = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu_s = (cpu.ru_utime - cpu_before.ru_utime +
             cpu.ru_stime - cpu_before.ru_stime)
    return run.name, time.monotonic() - began, cpu_s, broke


def check_dumps(run, proc):
    """Feeds the script, checks every dump as it comes and the last one at
    the end; returns what the trace is compared with: (program ms, dump)."""
    proc.stdin.write(run.script())
    proc.stdin.close()
    ticks = run.dump_ticks()
    prev = start = None
    snapshots = []
    for n, line in enumerate(proc.stdout):
        expect(n < len(ticks), "more dumps than asked for")
        d = json.loads(line)
        if start is None:
            start = d
        try:
            check_dump(d, run, ticks[n], prev, start)
        except Broken as e:
            raise Broken(f"dump {n} (tick {ticks[n]}): {e}") from None
        keep = ("histSecond", "hist3s", "hist10s", "series3s", "series10s")
        snapshots.append((ticks[n] * INTERVAL_MS, {k: d[k] for k in keep}))
        prev = d
    status = proc.wait()
    expect(status == 0, f"arrivals-script exited {status}")
    expect(len(snapshots) == len(ticks), f"{len(snapshots)} of {len(ticks)} dumps")
    try:
        check_end(prev, run)
    except Broken as e:
        raise Broken(f"at the end: {e}") from None
    return snapshots


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("tool", help="the arrivals-script program")
    ap.add_argument("--jobs", type=int, default=2)
    ap.add_argument("--only", help="run only the cases whose name has this")
    args = ap.parse_args()

    with_trace = tool_writes_seconds(args.tool)
    print("longrun: the --seconds trace is",
          "checked" if with_trace else "not written by this arrivals-script")
    chosen = [r for r in runs() if not args.only or args.only in r.name]
    began = time.monotonic()
    failed = 0
    with concurrent.futures.ProcessPoolExecutor(max_workers=args.jobs) as pool:
        for name, took, cpu, broke in pool.map(play, chosen,
                                          [args.tool] * len(chosen),
                                          [with_trace] * len(chosen)):
            print(f"{'ok    ' if broke is None else 'BROKEN'} {took:6.1f} s "
                  f"({cpu:5.1f} s of processor)  {name}"
                  + (f": {broke}" if broke else ""), flush=True)
            failed += broke is not None
    print(f"longrun: {len(chosen) - failed} of {len(chosen)} held, "
          f"{time.monotonic() - began:.1f} s")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
