#!/usr/bin/env python3
"""What the arrivals window costs, next to the window baseline's "dirty"
variant. Used by bench/measure-window.sh; the steady-state runs themselves
are made by the baseline's measure.py, whose record format this follows.

  window_cost.py startup --launcher L --probe P --baseline B --program A
                         --reps N --out RUNS.jsonl
      N pairs of launches, one after the other: the baseline's dirty variant,
      then arrivals, both under the same probe, which sees when the first
      frame reaches the X server. Records mapping and first-frame times and
      the resident memory just after the first frame.

  window_cost.py ir --probe P --program A --dur S --out IR.jsonl
      One run of arrivals under valgrind's callgrind: Start is pressed once
      the first frame is up, the counters are zeroed after SETTLE seconds of
      running, and DUR seconds later the instructions are counted, with the
      ticks (calls of MainWindow::timerTick) in the same span.

  window_cost.py report RUNS.jsonl [IR.jsonl ...]
      The figures pair by pair against the baseline, with the targets.
"""
import argparse
import glob
import json
import os
import re
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time

TARGET_CPU_RATIO = 1.2  # arrivals / baseline dirty, pair by pair
TARGET_IR_RATIO = 1.2
TARGET_FIRST_FRAME_MS = 300.0
TARGET_RSS_EXTRA_MIB = 15.0
IDLE_CPU_PCT = 0.05  # "0 %": below what the 10 ms tick of the CPU clock shows

TICK_FUNCTION = "arrivals::MainWindow::timerTick()"
BASELINE_TITLE = "bl_probe_dirty"


def hwm_mib(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmHWM:"):
                return int(line.split()[1]) / 1024
    return None


def stop(proc, timeout=20):
    if proc.poll() is None:
        proc.send_signal(signal.SIGTERM)
        try:
            proc.wait(timeout)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()


class Marks:
    """Collects the 'BASELINE <mark> <ms>' lines of a program's stderr."""

    def __init__(self, stream):
        self.marks = {}
        self.frames = []  # every "firstframe" line: the program's own, the probe's
        self.frame = threading.Event()
        self.thread = threading.Thread(target=self._read, args=(stream,), daemon=True)
        self.thread.start()

    def _read(self, stream):
        for line in stream:
            m = re.match(r"BASELINE (\w+) ([\d.]+)$", line.strip())
            if m:
                self.marks[m.group(1)] = float(m.group(2))
                if m.group(1) == "firstframe":
                    self.frames.append(m.group(2))
                if m.group(1) == "probeframe":
                    self.frame.set()


def launch_once(a, job, rep):
    env = dict(os.environ, QT_QPA_PLATFORM="xcb")
    if job == "dirty":
        env["BASELINE_TITLE"] = BASELINE_TITLE
        argv = [a.launcher, "--idle", "--title", BASELINE_TITLE, a.probe, a.baseline, "dirty"]
    else:
        argv = [a.launcher, "--idle", a.probe, a.program]
    t0 = time.time_ns()
    env["BASELINE_T0"] = str(t0)
    proc = subprocess.Popen(argv, env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.PIPE, text=True)
    marks = Marks(proc.stderr)
    ok = marks.frame.wait(60)
    rec = {"platform": "xcb", "variant": job, "label": "startup", "rep": rep,
           "dur_s": 0, "probe": True}
    if ok:
        time.sleep(0.5)
        rec["hwm_mib"] = hwm_mib(proc.pid)
    stop(proc)
    marks.thread.join(5)
    if not ok:
        raise SystemExit(f"{job}: no first frame within 60 s")
    # The probe's times, the same for both programs. The baseline also marks
    # its own first frame from inside, a "firstframe" line besides the
    # probe's (which repeats the probe's "probeframe" time).
    rec["map_ms"] = marks.marks["mapped"]
    rec["firstframe_ms"] = marks.marks["probeframe"]
    probe_text = f"{marks.marks['probeframe']:.3f}"
    own = [f for f in marks.frames if f != probe_text]
    if job == "dirty" and own:
        rec["own_firstframe_ms"] = float(own[0])
    return rec


def cmd_startup(a):
    with open(a.out, "a") as out:
        for rep in range(1, a.reps + 1):
            for job in ("dirty", "arrivals"):
                rec = launch_once(a, job, rep)
                out.write(json.dumps(rec) + "\n")
                out.flush()
                print(f"  start-up {job:8} rep {rep}: mapped {rec['map_ms']:.0f} ms, "
                      f"first frame {rec['firstframe_ms']:.0f} ms, "
                      f"RSS {rec.get('hwm_mib') or 0:.1f} MiB", file=sys.stderr, flush=True)


# ------------------------------------------------------------------ callgrind ---
def callgrind_counts(path, function):
    """(total instructions, calls of FUNCTION) in a callgrind dump."""
    names, total, calls = {}, None, 0
    target = None
    with open(path) as f:
        for line in f:
            if line.startswith(("summary:", "totals:")):
                total = int(line.split()[1])
                continue
            m = re.match(r"c?fn=\((\d+)\)(?: (.*))?$", line.rstrip("\n"))
            if m:
                if m.group(2) is not None:
                    names[m.group(1)] = m.group(2)
                target = names.get(m.group(1)) if line.startswith("cfn") else None
                continue
            if line.startswith("calls=") and target == function:
                calls += int(line[6:].split()[0])
    return total, calls


def cmd_ir(a):
    tmp = tempfile.mkdtemp(prefix="arrivals-cg-")
    env = dict(os.environ, QT_QPA_PLATFORM="xcb")
    env["BASELINE_T0"] = str(time.time_ns())
    probe = subprocess.Popen([a.probe, "Arrivals", "5", "600", "e0e0e0", "300"],
                             stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True,
                             env=env)
    if probe.stdout.readline().strip() != "ready":
        raise SystemExit("window_probe did not start (is DISPLAY set?)")
    base = os.path.join(tmp, "cg")
    app = subprocess.Popen(["valgrind", "--tool=callgrind", "--dump-instr=no", "--dump-line=no",
                            f"--callgrind-out-file={base}.%p", a.program],
                           env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    window = probe.stdout.readline().strip()
    if not window:
        stop(app)
        raise SystemExit("arrivals under callgrind: no first frame within 300 s")
    subprocess.run(["xdotool", "mousemove", "--window", window, "84", "84", "click", "1"],
                   check=True)
    subprocess.run(["xdotool", "mousemove", "1000", "750"], check=True)
    time.sleep(a.settle)
    subprocess.run(["callgrind_control", "-z", str(app.pid)], check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    t0 = time.time()
    time.sleep(a.dur)
    subprocess.run(["callgrind_control", "-d", "steady", str(app.pid)], check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    wall = time.time() - t0
    stop(app, timeout=60)
    dumps = sorted(glob.glob(f"{base}.{app.pid}.*"))
    if not dumps:
        raise SystemExit("callgrind wrote no dump")
    ir, ticks = callgrind_counts(dumps[0], TICK_FUNCTION)
    rec = {"platform": "xcb", "variant": "arrivals", "label": "callgrind", "ir_label": "",
           "dur_s": a.dur, "ir_per_s": ir / wall if ir else None, "ir_ticks": ticks,
           "ticks_per_s": ticks / wall, "ir_per_tick": ir / ticks if ir and ticks else None}
    with open(a.out, "a") as out:
        out.write(json.dumps(rec) + "\n")
    print(f"  callgrind xcb arrivals: {rec['ir_per_s'] or 0:,.0f} instr/s, "
          f"{rec['ticks_per_s']:.1f} ticks/s", file=sys.stderr, flush=True)
    for d in glob.glob(os.path.join(tmp, "*")):
        os.remove(d)
    os.rmdir(tmp)


# --------------------------------------------------------------------- report ---
def load(paths):
    recs = []
    for p in paths:
        with open(p) as f:
            recs += [json.loads(line) for line in f if line.strip()]
    return recs


def med(xs):
    xs = [x for x in xs if x is not None]
    return statistics.median(xs) if xs else None


def span(xs, nd=2):
    xs = [x for x in xs if x is not None]
    if not xs:
        return "-"
    if len(xs) == 1:
        return f"{xs[0]:.{nd}f}"
    return f"{statistics.median(xs):.{nd}f} ({min(xs):.{nd}f}-{max(xs):.{nd}f})"


def pairs(recs, label, metric, job="arrivals", ref="dirty"):
    """[(arrivals value, baseline value)] within the same repetition."""
    by = {}
    for r in recs:
        if r.get("platform") == "xcb" and (r.get("label") or "") == label \
                and r.get(metric) is not None:
            by.setdefault(r.get("rep"), {})[r["variant"]] = r[metric]
    return [(v[job], v[ref]) for _, v in sorted(by.items()) if job in v and ref in v]


def verdict(ok):
    return "meets the target" if ok else "OVER the target"


def cmd_report(a):
    recs = load(a.files)
    rows = []

    def row(what, ps, unit, nd, rel, target=None, limit=None):
        """One measure, pair by pair: as a ratio or as a difference."""
        if not ps:
            return
        ours, theirs = [p[0] for p in ps], [p[1] for p in ps]
        if rel == "ratio":
            rs = [o / t for o, t in ps if t]
            cmp_text = span(rs) + " x"
        else:
            rs = [o - t for o, t in ps]
            cmp_text = span(rs, nd) + f" {unit}"
        if limit is None:
            judged = "(for reference)"
        else:
            judged = f"{target}: {verdict(bool(rs) and max(rs) <= limit)}"
        rows.append((what, str(len(ps)), span(ours, nd) + f" {unit}",
                     span(theirs, nd) + f" {unit}", cmp_text, judged))

    row("CPU of one core, quietest 5 s", pairs(recs, "", "cpu_min_sub_pct"), "%", 2,
        "ratio", f"<= {TARGET_CPU_RATIO} x in every pair", TARGET_CPU_RATIO)
    row("CPU of one core, whole run", pairs(recs, "", "cpu_pct"), "%", 2, "ratio")
    row("app + Xvfb, quietest 5 s", pairs(recs, "", "sum_min_sub_pct"), "%", 2, "ratio")

    # Instructions: callgrind runs pair up in the order they were made.
    irs = [r for r in recs if r.get("label") == "callgrind" and not r.get("ir_label")]
    ours = [r for r in irs if r["variant"] == "arrivals"]
    theirs = [r for r in irs if r["variant"] == "dirty"]
    n = min(len(ours), len(theirs))
    row("instructions per second (callgrind)",
        [(ours[i]["ir_per_s"] / 1e6, theirs[i]["ir_per_s"] / 1e6) for i in range(n)],
        "M", 2, "ratio", f"<= {TARGET_IR_RATIO} x in every pair", TARGET_IR_RATIO)
    row("instructions per tick (callgrind)",
        [(ours[i]["ir_per_tick"] / 1e3, theirs[i]["ir_per_tick"] / 1e3) for i in range(n)
         if ours[i].get("ir_per_tick") and theirs[i].get("ir_per_tick")], "k", 0, "ratio")
    row("ticks per second under callgrind",
        [(ours[i]["ticks_per_s"], theirs[i]["ticks_per_s"]) for i in range(n)
         if theirs[i].get("ticks_per_s")], "", 1, "ratio")

    row("peak RSS after the steady run", pairs(recs, "", "hwm_mib"), "MiB", 1, "diff",
        f"<= baseline + {TARGET_RSS_EXTRA_MIB:g} MiB", TARGET_RSS_EXTRA_MIB)

    frames = pairs(recs, "startup", "firstframe_ms")
    row("first frame after launch (probe)", frames, "ms", 0, "diff")
    if frames:
        ok = statistics.median(p[0] for p in frames) <= TARGET_FIRST_FRAME_MS
        rows[-1] = rows[-1][:5] + (
            f"median <= {TARGET_FIRST_FRAME_MS:g} ms: {verdict(ok)}",)
    row("window mapped after launch (probe)", pairs(recs, "startup", "map_ms"), "ms", 0, "diff")
    own = [r["own_firstframe_ms"] for r in recs
           if r.get("label") == "startup" and r.get("own_firstframe_ms")]
    if own:
        rows.append(("baseline's own first-frame mark", str(len(own)), "",
                     span(own, 0) + " ms", "", "what the probe adds: compare with the row above"))

    idle = [r for r in recs if r.get("label") == "idle" and r["variant"] == "arrivals-idle"]
    if idle:
        cpu_idle = [r["cpu_pct"] for r in idle]
        quiet = [r.get("cpu_min_sub_pct") for r in idle]
        rows.append(("CPU while idle after start-up", str(len(idle)),
                     span(cpu_idle) + " % (quietest 5 s " + span(quiet) + " %)", "", "",
                     f"0 %: {verdict(max(cpu_idle) <= IDLE_CPU_PCT)}"))

    hdr = ("measure", "pairs", "arrivals", "baseline dirty", "arrivals vs baseline", "target")
    print("\nArrivals against the window baseline's dirty variant, pair by pair "
          "(median (min-max))\n")
    print("| " + " | ".join(hdr) + " |")
    print("|" + "|".join("---" for _ in hdr) + "|")
    for r in rows:
        print("| " + " | ".join(r) + " |")


def main():
    p = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    sub = p.add_subparsers(dest="action", required=True)
    s = sub.add_parser("startup")
    s.add_argument("--launcher", required=True)
    s.add_argument("--probe", required=True)
    s.add_argument("--baseline", required=True)
    s.add_argument("--program", required=True)
    s.add_argument("--reps", type=int, default=10)
    s.add_argument("--out", required=True)
    i = sub.add_parser("ir")
    i.add_argument("--probe", required=True)
    i.add_argument("--program", required=True)
    i.add_argument("--dur", type=float, default=20.0)
    i.add_argument("--settle", type=float, default=5.0)
    i.add_argument("--out", required=True)
    r = sub.add_parser("report")
    r.add_argument("files", nargs="+")
    a = p.parse_args()
    {"startup": cmd_startup, "ir": cmd_ir, "report": cmd_report}[a.action](a)


if __name__ == "__main__":
    main()
