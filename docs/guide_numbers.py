#!/usr/bin/python3
"""Every number of the guide's experiments, made by the program itself.

Plays the guide's scripts (docs/figures/NAME.script, the same that make its
pictures and that its links play) and the runs its text speaks of through
arrivals-script, and computes each number the guide, the handout and the
answers print from the dumps and the traces.

    guide_numbers.py --tool PATH/arrivals-script                 prints them
    guide_numbers.py --tool PATH/arrivals-script --check FILE... checks FILEs

--check fails, naming the sentence, when a number in a FILE is not the one
the program gives: each number stands in one of the claims below, and every
number of the checked sections must stand in a claim or in one of the
SETTINGS, the inputs that the scripts are played with. Every link of a FILE
into the page must play one of docs/figures' scripts. The runs of hundreds
of hours are read from docs/long_runs.csv, and only those of seed 1 up to
ten hours played again (all of them with --long). Standard library only.
"""

import argparse
import math
import os
import re
import statistics
import sys
import urllib.parse
from collections import Counter

sys.dont_write_bytecode = True  # no cache files in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import variance_time  # noqa: E402  (beside this file)

FIGURES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "figures")
HOUR = 72000  # ticks


def figure_script(name):
    """The lines of docs/figures/NAME.script, with a dump at the end."""
    with open(os.path.join(FIGURES, name + ".script")) as f:
        lines = [line for line in f.read().splitlines()
                 if line.strip() and not line.lstrip().startswith("#")]
    return lines if lines[-1] == "dump" else lines + ["dump"]


def hour(process, rate, seed=1, ticks=HOUR):
    """A run of `ticks` from Start: process index and rate text."""
    return [f"seed {seed}", "load", f"pick process {process}",
            f"type rate {rate}", "click start", f"tick {ticks}", "dump"]


def real_gaps(packets):
    """The times between launches, as the track shows them."""
    times = [int(row["run_ms"]) for row in packets]
    return [b - a for a, b in zip(times, times[1:])]


def lags(packets):
    """How late each packet leaves: its launch time less the launch time of
    the first packet and the gaps drawn before it, in ms."""
    due, late = int(packets[0]["run_ms"]), []
    for row in packets:
        late.append(int(row["run_ms"]) - due)
        due += int(row["gap_ms"])
    return late


def drawn_gaps(packets):
    return [int(row["gap_ms"]) for row in packets]


def fixed(x, digits=2):
    return f"{x:.{digits}f}"


def percent(part, whole):
    return f"{round(100 * part / whole)} %"


def pareto_gap(u, s=100.0, alpha=1000 / 900):
    """The gap of "Pareto 0.1" at 1 packet a second for a draw u, as the
    program forms it: s / u^(1/alpha), rounded, and never above the largest
    Long, 2^31 - 1 ms."""
    x = s / u ** (1 / alpha) if u > 0 else math.inf
    return 2147483647 if not x < 2147483647.5 else round(x)


def capped_pareto_tail(y, s=100.0, alpha=1000 / 900, cap=2147483647.0):
    """E[min(X, cap); X > y] for X Pareto with scale s and shape alpha: the
    part of the mean gap that gaps longer than y carry, in ms."""
    y = max(y, s)
    if y >= cap:
        return 0.0
    return s ** alpha * (alpha / (alpha - 1) * (y ** (1 - alpha) -
                                                cap ** (1 - alpha)) +
                         cap ** (1 - alpha))


def compute(tool, long=False):
    """The numbers, as the texts the guide prints, by name."""
    n = {}

    def play(lines, packets=False, seconds=False):
        return variance_time.play(tool, lines, packets, seconds)

    # Experiment 1: an hour of "Poisson" and of "Pareto 0.1".
    dumps, _, _ = play(figure_script("poisson-hour"))
    d = dumps[-1]
    n["poisson_packets"] = d["packetCount"]
    for k in range(4):
        n[f"poisson_s{k}"] = d["histSecond"][k]
    n["poisson_s_top"] = " or ".join(
        str(k) for k in range(5, 8) if d["histSecond"][k])
    h3, h10 = d["hist3s"], d["hist10s"]
    top3 = sorted(range(23), key=lambda k: -h3[k])[:2]
    n["poisson_3s_modes"] = " and ".join(str(k) for k in sorted(top3))
    top10 = sorted(range(23), key=lambda k: -h10[k])[:2]
    n["poisson_10s_lo"] = 2 * min(top10)
    n["poisson_10s_hi"] = 2 * max(top10) + 1
    n["poisson_10s_max"] = 2 * max(k for k in range(23) if h10[k]) + 1

    dumps, packets, _ = play(figure_script("pareto-hour"), packets=True)
    d = dumps[-1]
    n["pareto_packets"] = d["packetCount"]
    gaps = sorted(drawn_gaps(packets))
    n["pareto_median_gap"] = fixed(gaps[len(gaps) // 2] / 1000)
    n["pareto_s0"] = d["histSecond"][0]
    busy = [k for k in range(3, 8) if d["histSecond"][k]]
    n["pareto_s_range"] = f"{busy[0]} to {busy[-1]}"
    h3, h10 = d["hist3s"], d["hist10s"]
    n["pareto_3s_max"] = max(k for k in range(23) if h3[k])
    n["pareto_10s_max"] = 2 * max(k for k in range(23) if h10[k]) + 1

    # How much a longer window smooths, over ten seeds of an hour each: the
    # spread of the counts relative to their mean at 10 s, as a share of
    # the same at 1 s.
    ratios = {0: [], 3: []}
    rates = []
    for seed in range(1, 11):
        for process in ratios:
            dumps, _, seconds = play(hour(process, "1.0", seed), seconds=True)
            c1 = [int(r["count_1s"]) for r in seconds]
            c10 = [int(r["count_10s"]) for r in seconds if r["count_10s"]]
            cv1 = statistics.pstdev(c1) / statistics.fmean(c1)
            cv10 = statistics.pstdev(c10) / statistics.fmean(c10)
            ratios[process].append(cv10 / cv1)
            if process == 3:
                rates.append((dumps[-1]["packetCount"] / 3600, seed))
    n["smooth_pareto_lo"] = fixed(min(ratios[3]))
    n["smooth_pareto_hi"] = fixed(max(ratios[3]))
    n["smooth_poisson_lo"] = fixed(min(ratios[0]))
    n["smooth_poisson_hi"] = fixed(max(ratios[0]))
    n["smooth_theory"] = fixed(1 / math.sqrt(10))
    n["pareto_rate_lo"] = fixed(min(rates)[0])
    n["pareto_rate_hi"] = fixed(max(rates)[0])
    n["pareto_rate_lo_seed"] = min(rates)[1]
    n["pareto_rate_lo_packets"] = round(min(rates)[0] * 3600)
    n["pareto_rate_below_1"] = sum(1 for r, _ in rates if r < 1)

    # The law of the gaps of "Pareto 0.1" at 1 packet a second: first the
    # formula against the program's own gaps for a few draws.
    draws = [0.9, 0.5, 0.25, 0.1, 0.05]
    _, packets, _ = play(["draws " + " ".join(map(str, draws)), "load",
                          "pick process 3", "pick rate 2", "click start",
                          "tick 50"], packets=True)
    program = drawn_gaps(packets)
    if program != [pareto_gap(u) for u in draws]:
        raise SystemExit(f"guide_numbers: the gaps of \"Pareto 0.1\" are "
                         f"{program}, not {[pareto_gap(u) for u in draws]}")
    mean = capped_pareto_tail(0)
    n["law_mean"] = round(mean)
    n["law_rate"] = fixed(1000 / mean)
    n["law_cut_share"] = percent(1000 - mean, 1000)
    for name, y in (("1s", 1000), ("1min", 60000), ("1h", 3600000),
                    ("1d", 86400000)):
        n[f"law_{name}_one_in"] = f"{round((y / 100) ** (1000 / 900)):,}"
        n[f"law_{name}_share"] = percent(capped_pareto_tail(y), mean)
    n["law_cap_one_in"] = (
        f"{round((2147483647 / 100) ** (1000 / 900) / 1e6)} million")

    # Above the rate 1/s: "Pareto 0.5" loses the ticks of its 0 ms gaps.
    for rate in ("6", "8", "10"):
        dumps, packets, _ = play(hour(5, rate), packets=True)
        n[f"p05_rate_{rate}"] = fixed(dumps[-1]["packetCount"] / 3600)
    n["p05_zero_10"] = dumps[-1]["draws"] - dumps[-1]["packetCount"]
    n["p05_draws_10"] = dumps[-1]["draws"]
    n["p05_lag_10"] = round(max(lags(packets)) / 1000)
    n["p05_lag_10_min"] = round(max(lags(packets)) / 60000)
    _, a, _ = play(hour(4, "10", ticks=2000), packets=True)
    _, b, _ = play(hour(2, "10", ticks=2000), packets=True)
    if a != b:
        raise SystemExit('guide_numbers: "Pareto 0.2" at 10 is not "Uniform"')

    # "Cantor": the running mean gap, and its gaps at 10 packets a second.
    _, packets, _ = play(hour(6, "1.0", ticks=400), packets=True)
    gaps = drawn_gaps(packets)
    n["cantor_means"] = ", ".join(
        fixed(sum(gaps[:i]) / i / 1000) for i in range(1, 5))
    n["cantor_exponent"] = f"{math.log2(1.5):.3f}"
    _, packets, _ = play(hour(6, "10", ticks=2000), packets=True)
    short = sorted(set(drawn_gaps(packets)))[:3]
    n["cantor_short_gaps"] = f"{short[0]}, {short[1]} and {short[2]} ms"
    real = Counter(real_gaps(packets))
    n["cantor_real_50"] = percent(real[50], sum(real.values()))

    # The rate box, and rate 0.
    for text, name in (("abc", "abc"), ("3x", "3x")):
        dumps, _, _ = play(["seed 1", "load", f"type rate {text}", "dump"])
        n[f"rate_{name}"] = f'{dumps[-1]["lastRate"]:g}'
    _, packets, _ = play(hour(1, "0", ticks=3), packets=True)
    n["rate_0_gap_s"] = int(packets[0]["gap_ms"]) // 1000

    # What the graphs cannot show: ten-second windows at high rates, the
    # ticks of "Poisson" at 10, "Regular" at 10.
    for rate in ("4", "5", "10"):
        _, packets, seconds = play(hour(0, rate), packets=True, seconds=True)
        c10 = [int(r["count_10s"]) for r in seconds if r["count_10s"]]
        n[f"on_graph_{rate}"] = sum(1 for c in c10 if c < 44)
        n["windows_10s"] = len(c10)
    n["none_on_graph_10"] = "none" if n["on_graph_10"] == 0 else "some"
    real = Counter(real_gaps(packets))
    n["poisson10_real_50"] = percent(real[50], sum(real.values()))

    # Lost ticks: a gap drawn as 0 ms sends nothing and its tick is lost, so
    # the launches fall behind the sum of the gaps drawn, 50 ms a time.
    for process, name in ((0, "poisson"), (2, "uniform")):
        dumps, packets, _ = play(hour(process, "10"), packets=True)
        d = dumps[-1]
        zero = (d["draws"] - d["packetCount"]) / d["draws"]
        n[f"{name}10_zero"] = f"{100 * zero:.1f} %"
        late = lags(packets)
        n[f"{name}10_lag"] = fixed(max(late) / 1000, 1)
        n[f"{name}10_late"] = sum(1 for x in late if x > 0)
        n[f"{name}10_packets"] = len(late)

    # The track: how long a marker is in view, from a run with one packet.
    dumps, _, _ = play(["seed 1", "load", "pick process 1", "type rate 0",
                        "click start"] + ["tick", "dump"] * 40)
    n["flight_s"] = fixed(sum(50 for d in dumps if d["markers"]) / 1000, 1)

    # Counts: the packet counter is 32-bit, the tallies 16-bit. A red mark
    # adds a 0 ms gap to the first bar of the gap histogram every tick.
    dumps, _, _ = play(hour(5, "2", ticks=40000))
    n["tally_top"] = dumps[-1]["histGap"][0]
    n["tally_minutes"] = 32767 * 50 // 60000

    # Above the graphs' range: "Pareto 0.1" delivers more than its rate.
    for rate, name in (("0.5", "05"), ("3", "3")):
        dumps, _, seconds = play(hour(3, rate), seconds=True)
        n[f"p01_rate_{name}"] = fixed(dumps[-1]["packetCount"] / 3600)
        c10 = [int(r["count_10s"]) for r in seconds if r["count_10s"]]
        n[f"p01_on_graph_{name}"] = sum(1 for c in c10 if c < 44)
    dumps, _, _ = play(hour(1, "10"))
    d = dumps[-1]
    n["regular10_empty"] = ("all three" if not any(
        d["histSecond"] + d["hist3s"] + d["hist10s"]) else "not all")

    # The graphs lag: after an hour they show the tallies of an earlier
    # second, the last at which they were redrawn.
    lines = figure_script("poisson-hour")
    start = lines.index("click start") + 1
    dumps, _, _ = play(lines[:start] + ["tick 71960", "dump", "tick 40",
                                        "dump"])
    before, after = dumps
    top = max(before["histSecond"][:8])
    heights = [h for _, h in after["bars"]["one"]]
    if any(abs(h - 2400 * c / top) > 0.01
           for h, c in zip(heights, before["histSecond"])):
        raise SystemExit("guide_numbers: the graphs do not lag as the guide "
                         "says")
    n["lag_shown"] = before["secondCount"]

    # Experiment 2: "Regular" at 2.5 packets a second.
    dumps, packets, _ = play(figure_script("regular"), packets=True)
    d = dumps[-1]
    n["regular_gap"] = drawn_gaps(packets)[0]
    n["regular_1s"] = " and ".join(
        str(k) for k in range(8) if d["histSecond"][k])
    n["regular_3s"] = " or ".join(str(k) for k in range(23) if d["hist3s"][k])
    n["regular_10s"] = d["series10s"][-1]
    k = next(k for k in range(23) if d["hist10s"][k])
    n["regular_10s_bin"] = f"{2 * k} and {2 * k + 1}"
    label = next(c for i, (c, _) in enumerate(d["lblGraphThree"])
                 if 3 * i + 1 == k + 1)
    n["regular_10s_label"] = label.strip()
    n["regular_comb"] = ", ".join(str(c) for c in d["series3s"][:4])

    # Experiment 3: "Cantor" at 1 packet a second for 218 seconds.
    dumps, packets, _ = play(figure_script("cantor"), packets=True)
    d = dumps[-1]
    n["cantor_packets"] = d["packetCount"]
    longest = sorted({g for g in drawn_gaps(packets) if g > 2800})
    n["cantor_long"] = ", ".join(f"{g / 1000:g} s" for g in longest)
    n["cantor_seconds"] = d["secondCount"]
    n["cantor_empty"] = d["histSecond"][0]
    g = d["histGap"]
    n["cantor_bars"] = (f"{g[0]} gaps of 0.2 s, {g[1]} of 0.4 s, {g[4]} of "
                        f"1 s and {g[11]} of 2.8 s")
    _, packets, _ = play(hour(6, "1.0", ticks=4500), packets=True)
    after = next(i for i, g in enumerate(drawn_gaps(packets))
                 if g > longest[-1])
    n["cantor_silence_after"] = int(packets[after]["packet"])
    n["cantor_silence"] = round(int(packets[after]["gap_ms"]) / 1000)
    _, _, seconds = play(hour(6, "10"), seconds=True)
    busy = [int(r["count_1s"]) for r in seconds if r["count_1s"] != "0"]
    n["cantor10_busy"] = len(busy)
    n["cantor10_full"] = sum(1 for c in busy if c >= 8)

    # Experiment 4: the red mark.
    dumps, _, _ = play(figure_script("red-mark"))
    d = dumps[-1]
    n["red_packets"] = d["packetCount"]
    n["red_empty_seconds"] = d["histSecond"][0]
    n["red_zero_gaps"] = d["histGap"][0]

    # Experiment 5: the same seed twice.
    first, _, _ = play(figure_script("same-seed"))
    second, _, _ = play(figure_script("same-seed"))
    if first != second:
        raise SystemExit("guide_numbers: the same seed gave two runs")
    n["same_seed_packets"] = first[-1]["packetCount"]

    # Experiment 6: the variance-time plot.
    curves, hs = {}, {}
    for process in variance_time.PROCESSES:
        for hours in (1, 10):
            counts = variance_time.counts_per_second(tool, process, hours, 1)
            curves[(process, hours)] = variance_time.variance_time(counts)
            hs[(process, hours)] = variance_time.hurst(
                curves[(process, hours)])
    n["h_poisson_1"] = fixed(hs[("Poisson", 1)])
    n["h_poisson_10"] = fixed(hs[("Poisson", 10)])
    n["h_pareto_1"] = fixed(hs[("Pareto 0.1", 1)])
    n["h_pareto_10"] = fixed(hs[("Pareto 0.1", 10)])
    for process, name in (("Poisson", "poisson"), ("Pareto 0.1", "pareto")):
        points = curves[(process, 10)]
        factor = points[0][1] / points[-1][1]
        n[f"vt_factor_{name}"] = round(float(f"{factor:.1g}"))
    _, _, seconds = play(hour(0, "1.0", ticks=10 * HOUR), seconds=True)
    wrap = next(b for a, b in zip(seconds, seconds[1:])
                if int(b["second"]) < int(a["second"]))
    minutes = int(wrap["time_ms"]) // 60000
    n["wrap_h"], n["wrap_min"] = minutes // 60, minutes % 60
    n["wrap_to"] = wrap["second"]
    alpha, h = variance_time.pareto_theory()
    n["alpha"] = fixed(alpha)
    n["h_theory"] = fixed(h)
    spread = {0: [], 3: []}
    for seed in range(1, 11):
        for process, name in ((0, "Poisson"), (3, "Pareto 0.1")):
            counts = variance_time.counts_per_second(tool, name, 1, seed)
            spread[process].append(variance_time.hurst(
                variance_time.variance_time(counts)))
    n["h_poisson_seeds"] = (f"{fixed(min(spread[0]))} to "
                            f"{fixed(max(spread[0]))}")
    n["h_pareto_seeds"] = (f"{fixed(min(spread[3]))} to "
                           f"{fixed(max(spread[3]))}")
    if min(spread[3]) != spread[3][0]:
        raise SystemExit("guide_numbers: seed 1 is not the lowest H of an "
                         "hour of \"Pareto 0.1\"")
    ten = [hs[("Pareto 0.1", 10)]]
    for seed in range(2, 11):
        counts = variance_time.counts_per_second(tool, "Pareto 0.1", 10, seed)
        ten.append(variance_time.hurst(variance_time.variance_time(counts)))
    n["h_pareto_seeds_10"] = f"{fixed(min(ten))} to {fixed(max(ten))}"
    n["h_pareto_mean_1"] = fixed(statistics.fmean(spread[3]))
    n["h_pareto_mean_10"] = fixed(statistics.fmean(ten))
    dumps, _, _ = play(hour(3, "1.0", ticks=10 * HOUR))
    n["pareto_10h_packets"] = dumps[-1]["packetCount"]
    n.update(long_run_numbers(tool, long))

    # How long each experiment runs live: its ticks at 20 a second.
    for name in ("poisson-hour", "regular", "cantor", "red-mark",
                 "same-seed"):
        ticks = sum(int(line.split()[1]) for line in figure_script(name)
                    if line.startswith("tick "))
        live = (f"{ticks // 20} seconds" if ticks < 2400 else
                f"{round(ticks / 1200)} minutes")
        exact = ticks % 20 == 0 and (ticks < 2400 or ticks % 1200 == 0)
        key = "live_" + name.replace("-", "_")
        n[key] = live if exact else "about " + live
    n["live_10h"] = 10 * 60
    return {k: str(v) for k, v in n.items()}


LONG_RUNS = os.path.join(os.path.dirname(os.path.abspath(__file__)),
                         "long_runs.csv")


def long_run_numbers(tool, replay_all):
    """The numbers of docs/long_runs.csv (made by docs/long_runs.py, minutes
    of runs): each run of seed 1 up to ten hours (every run with
    replay_all) is played again and must give the H the file records."""
    import csv
    import long_runs
    with open(LONG_RUNS, newline="") as f:
        runs = list(csv.DictReader(f))
    for run in runs:
        if replay_all or (run["seed"] == "1" and int(run["hours"]) <= 10):
            row = long_runs.play(tool, run["rate"], int(run["hours"]),
                                 int(run["seed"])).split(",")
            recorded = list(run.values())
            if (row[:4] != recorded[:4] or
                    abs(float(row[4]) - float(recorded[4])) > 1e-4):
                raise SystemExit(f"guide_numbers: {LONG_RUNS} says "
                                 f"{','.join(recorded)}, the program "
                                 f"{','.join(row)}")
    n = {}
    for rate in long_runs.TABLE_RATES:
        hs = [float(r["h"]) for r in runs
              if r["rate"] == rate and r["hours"] == "10"]
        alpha = 1 / (1 - float(rate) / 10)
        theory = fixed((3 - alpha) / 2) if alpha < 2 else "0.50"
        n["table_" + rate.replace(".", "_")] = (
            f"| {rate} | {fixed(alpha)} | {theory} | "
            f"{fixed(min(hs))} to {fixed(max(hs))} | "
            f"{fixed(statistics.fmean(hs))} |")
    hs = [float(r["h"]) for r in runs if r["hours"] == "400"]
    n["h_pareto_400"] = f"{fixed(min(hs))} to {fixed(max(hs))}"
    n["h_400_seeds"] = len(hs)
    return n


# Each claim is a phrase of the guide, the numbers in it named. Blanks and
# line breaks count as one blank.
CLAIMS = [
    # The processes.
    '"Pareto 0.5" set to 6, 8 and 10 packets a second delivers '
    '{p05_rate_6}, {p05_rate_8} and {p05_rate_10}',
    "{p05_zero_10} of its {p05_draws_10} draws",
    "running mean gap is {cantor_means} m",
    "about as n^{cantor_exponent}",
    "its gaps of {cantor_short_gaps} leave on 50 ms ticks",
    "{cantor_real_50} of the times between its packets are exactly 50 ms",
    "`3x` counts as {rate_3x}",
    "(`abc`, or an empty box) as {rate_abc}",
    "a mean gap of {rate_0_gap_s} s",
    # What the graphs cannot show.
    "{on_graph_4} of the {windows_10s} ten-second windows of an hour",
    "at 5 packets a second, {on_graph_5}",
    "at 10, {none_on_graph_10}",
    '"Regular" at 10 packets a second leaves {regular10_empty} count graphs',
    "{poisson10_real_50} of the times between packets are exactly 50 ms",
    # Experiment 1.
    '"Poisson"** sent {poisson_packets} packets',
    "0 and 1 packets ({poisson_s0} and {poisson_s1} seconds) through 2 "
    "({poisson_s2}) and 3 ({poisson_s3})",
    "a handful of seconds with {poisson_s_top}",
    "the bin of {regular_10s_bin}, just left of the label {regular_10s_label}",
    "a comb: {regular_comb}, ...",
    "the still longer gaps ({cantor_long}, ...)",
    "after packet {cantor_silence_after}, lasts {cantor_silence} s",
    "in an hour, {cantor10_full} of its {cantor10_busy} busy seconds hold 8 "
    "packets or more",
    "variance falls by a factor of about {vt_factor_pareto} from blocks of 1 s "
    "to blocks of 100 s, where that of \"Poisson\" falls by a factor of "
    "about {vt_factor_poisson}",
    "α = 10/9 ≈ {alpha}",
    "the graphs show the first {lag_shown} s",
    "a hump around {poisson_3s_modes} packets",
    "a hump around {poisson_10s_lo} to {poisson_10s_hi}, with nothing above "
    "{poisson_10s_max}",
    '"Pareto 0.1"** sent {pareto_packets} packets',
    "shorter than {pareto_median_gap} s",
    "more empty seconds than Poisson's ({pareto_s0})",
    "many seconds with {pareto_s_range} packets",
    "from 1 to {pareto_3s_max} packets",
    "from 2 to {pareto_10s_max} packets",
    "falls to {smooth_pareto_lo} to {smooth_pareto_hi} of its one-second "
    "value",
    'for "Poisson" to {smooth_poisson_lo} to {smooth_poisson_hi}, '
    "close to 1/√10 ≈ {smooth_theory}",
    "from {pareto_rate_lo} to {pareto_rate_hi} packets a second",
    "{pareto_rate_below_1} of the ten fell below 1 packet a second",
    "(seed {pareto_rate_lo_seed}: {pareto_rate_lo_packets} packets)",
    "the mean gap is {law_mean} ms, not 1000",
    "{law_rate} packets a second",
    "one gap in {law_1s_one_in} is longer than a second, and these gaps "
    "carry {law_1s_share} of the mean",
    "one in {law_1min_one_in} is longer than a minute, and carries "
    "{law_1min_share}",
    "one in {law_1h_one_in} longer than an hour, {law_1h_share}",
    "one in {law_1d_one_in} longer than a day, still {law_1d_share}",
    "about one gap in {law_cap_one_in}",
    # Experiment 2.
    "Every gap is {regular_gap} ms",
    "the seconds alternate between {regular_1s}",
    "Three-second windows hold {regular_3s} packets",
    "every ten-second window holds exactly {regular_10s}",
    # Experiment 3.
    "The run sent {cantor_packets} packets where the rate suggests "
    "{cantor_seconds}, and {cantor_empty} of its {cantor_seconds} seconds",
    "{cantor_bars}",
    # Experiment 4.
    "the counter stays at {red_packets}",
    "counts {red_empty_seconds} empty seconds",
    "{red_zero_gaps} gaps of 0 ms",
    # Experiment 5.
    "byte for byte: {same_seed_packets} packets",
    # Experiment 6.
    '"Poisson" gives H = {h_poisson_1} from one hour and {h_poisson_10} '
    "from ten",
    '"Pareto 0.1" gives {h_pareto_1} and {h_pareto_10}',
    "seeds 1 to 10 give {h_poisson_seeds} for \"Poisson\" and "
    "{h_pareto_seeds} for \"Pareto 0.1\"",
    "α = {alpha}",
    "past {wrap_h} h {wrap_min} min the",
    "column starts again at {wrap_to}",
    "(3 − α) / 2 = {h_theory}",
    "3 runs of 400 hours give {h_pareto_400}",
    "for α = 10/9 removes {law_cut_share} of the mean",
    "from one hour (mean {h_pareto_mean_1}) and {h_pareto_seeds_10} from ten "
    "hours (mean {h_pareto_mean_10})",
    '"Pareto 0.1" gives {h_pareto_seeds} from one hour',
    "Seed 1, the seed of the figure, gives the lowest estimate",
    "{table_0_5}", "{table_1_0}", "{table_1_5}", "{table_2_0}",
    "{table_3_0}", "{table_4_0}", "{table_5}",
    # Limits of the program.
    "A marker is in view for {flight_s} s, so the track shows the packets of "
    "about the last {flight_s} s",
    '"Pareto 0.1" set to 0.5 delivers {p01_rate_05} packets a second, and '
    "set to 3 it delivers {p01_rate_3}, so that only {p01_on_graph_3} of its "
    "{windows_10s} ten-second windows",
    "draw 0 ms in {poisson10_zero} and {uniform10_zero} of their draws",
    'it reaches {poisson10_lag} s for "Poisson" ({poisson10_late} of its '
    '{poisson10_packets} packets leave late) and {uniform10_lag} s for '
    '"Uniform", and for "Pareto 0.5" {p05_lag_10} s, about {p05_lag_10_min} '
    "minutes",
    "stops at {tally_top} after about {tally_minutes} minutes",
    "seed 1, count {pareto_10h_packets} packets",
    # How long the experiments take live.
    "Live, each half takes {live_poisson_hour}.",
    "Live, it takes {live_regular}.",
    "Live, it takes {live_cantor}.",
    "Live, it takes {live_red_mark}.",
    "Live, it takes {live_same_seed}.",
    "live, it takes {live_poisson_hour}, and ten hours {live_10h}.",
]

# The inputs the scripts are played with, and facts of the design that no
# run measures (regular expressions); a number of the checked sections that
# stands in neither a claim nor here fails the check.
SETTINGS = [
    # How the runs are set up.
    r'"(Pareto 0\.[125]|Poisson|Regular|Cantor)"',
    r"\b[Ss]eeds? \d+( to 10)?\b",
    r"\b0\.5 to 3 packets\b",
    r"\d+(\.\d+)? packets? a second",
    r"\b(one|ten|exactly one) (simulated )?hours?\b",
    r"\d+ simulated (seconds|minutes)",
    r"3\^7 tenths",
    r"3600 (seconds|packets)",
    r"\b[Ee]xperiment \d\b",
    r"\bblocks of 1 to 100 s\b",
    # Facts of the design: ticks, bins, cut-offs, number sizes.
    r"\d+ ms ticks?",
    r"\b\d+(\.\d+)?–\d+(\.\d+)? s\b",
    r"\b(1|3|10)-second\b",
    r"\b(16|32)-bit\b",
    r"\bup to (7|22|43)\b",
    r"2\^31 − 1 ms",
    r"\b32767\b",
    r"\b(0|100) ms\b",
    r"\b0\.5 s\b",
    r"\b0 or 1 packets\b",
    r"\b2\.5 packets\b",
    r"\bgets 0\b",
    r"\b23 windows\b",
    r"\bup to 2 s behind\b",
    r"\(69 s for graph two, 230 s for graph three\)",
    # The algebra of experiment 6.
    r"1/m",
    r"slope −1",
    r"m\^\([^)]*\)",
    r"y\^\(−α\)",
    r"1 < α < 2",
    r"\(3 − α\) / 2",
    r"H is 0\.5\b",
    r"nearer 1\b",
    r"\b(blocks of 1 s|factor of 10)\b",
]

# The handout gives students no measured number, only how long each
# experiment runs live and the value theory gives.
HANDOUT_CLAIMS = [
    "Live, each half takes {live_poisson_hour}.",
    "Live, it takes {live_regular}.",
    "Live, it takes {live_cantor}.",
    "Live, it takes {live_red_mark}.",
    "Live, it takes {live_same_seed}.",
    "Live, each takes {live_poisson_hour}.",
    "(3 − α) / 2 = {h_theory}",
]

# The worked answers, in the lecturer's words.
ANSWER_CLAIMS = [
    '"Poisson" sent {poisson_packets} packets',
    "sent {pareto_packets} packets, almost twice as many",
    "{pareto_s0} against {poisson_s0} for",
    "many seconds with {pareto_s_range} packets",
    "hump around {poisson_10s_lo} to {poisson_10s_hi}, with nothing above "
    "{poisson_10s_max}",
    "broad hump from 2 to {pareto_10s_max} packets",
    "α = 10/9 ≈ {alpha}",
    "the mean gap is {law_mean} ms, not 1000",
    "{law_rate} packets a second",
    "one gap in {law_1h_one_in} is longer than an hour",
    "from {pareto_rate_lo} to {pareto_rate_hi} packets a second",
    "Every gap is {regular_gap} ms",
    "alternate between {regular_1s} packets",
    "three-second windows hold {regular_3s} packets",
    "every ten-second window holds exactly {regular_10s}",
    "The run sent {cantor_packets} packets where the rate suggests "
    "{cantor_seconds}, and {cantor_empty} of its {cantor_seconds} seconds",
    "{cantor_bars}",
    "The counter stays at {red_packets}",
    "holds {red_zero_gaps} gaps of 0 ms",
    "byte for byte: {same_seed_packets} packets",
    '"Poisson" gives H = {h_poisson_1} from one hour and {h_poisson_10} '
    "from ten",
    "0.1\" gives {h_pareto_1} and {h_pareto_10}",
    '"Pareto 0.1" gives {h_pareto_seeds} from one hour (mean '
    "{h_pareto_mean_1}) and {h_pareto_seeds_10} from ten hours (mean "
    "{h_pareto_mean_10})",
    "Seed 1, the seed of the figure, gives the lowest estimate",
    "(3 − α) / 2 = {h_theory}",
    "3 runs of 400 hours give {h_pareto_400}",
]

# The man page of arrivals-script repeats a few; its other numbers are the
# format's, so none of its sections is searched for stray numbers.
MAN_CLAIMS = [
    "from seed 1 reach {pareto_10h_packets}",
    "{poisson10_zero} and {uniform10_zero} of their draws",
    'the lag of "Poisson" reaches {poisson10_lag} s and {poisson10_late} of '
    "its {poisson10_packets} packets leave late",
    'that of "Pareto 0.5" reaches {p05_lag_10} s',
]

# What each file must say, and the sections of it whose numbers are held.
FILES = {
    "arrivals-script.1.scd": (MAN_CLAIMS, ()),
    "guide.md": (CLAIMS, ("## What the graphs cannot show",
                          "## Six experiments")),
    "handout.md": (HANDOUT_CLAIMS, ("## ",)),
    "answers.md": (ANSWER_CLAIMS, ("## ",)),
}

# A citation: its volume, issue and year are the source's, not a run's.
SETTINGS.append(r"\((Leland|Taqqu)[^)]*\b\d{4}\)")
# The handout's settings: rates, windows and durations it asks for.
SETTINGS += [r"\b0\.1 s\b", r"\b1, 3 and 10 seconds\b", r"α = 10/9\b",
             r"\b0\.94\b(?=, the value for)", r"\bseed 1\b",
             r"\bor 7 in experiment 5\b", r"\b(six|two) (sheets|other)\b",
             # Words of the fit and of the law of experiment 6.
             r"\babove 0\b", r"\bwell below 1\b",
             r"\bfrom about 1\.05 to 2( \(5 is typed\))?", r"α = 2\b",
             r"\bmeets 0\.5\b", r"\bFrom 1 to 10 seconds\b"]


def checked_text(text, sections):
    """The sections whose numbers are checked, with code, pictures, headings
    and link targets left out, blanks and line breaks made one blank."""
    parts = re.split(r"(?m)^(?=## )", text)
    text = "\n".join(p for p in parts if p.startswith(sections))
    text = re.sub(r"(?ms)^```.*?^```", " ", text)
    text = re.sub(r"(?m)^(!\[|#).*$", " ", text)
    text = re.sub(r"`[^`]*`", " ", text)
    # Link targets (a link to the browser edition carries its script).
    text = re.sub(r"\]\([^)\s]*\)", "] ", text)
    text = re.sub(r"<[a-z]+:[^>\s]*>|<!--.*?-->", " ", text)
    return re.sub(r"\s+", " ", text)


def experiment_scripts():
    """The scripts of docs/figures, each as the text a link carries."""
    return {name[:-len(".script")]: "\n".join(figure_script(name[:-7])) + "\n"
            for name in sorted(os.listdir(FIGURES))
            if name.endswith(".script")}


def link_failures(text):
    """Every link into the page must play one of the experiments' scripts,
    the same the course folder holds, ending with dump; a comparison link
    two of them."""
    scripts = set(experiment_scripts().values())
    failures = []
    for target in re.findall(r"\]\(((?:course/)?(?:arrivals|compare)"
                             r"\.html#[^)\s]*)\)", text):
        page, fragment = target.split("#", 1)
        if page.endswith("compare.html"):
            pairs = dict(p.split("=", 1) for p in fragment.split("&"))
            fragments = [urllib.parse.unquote(pairs.get(k, ""))
                         for k in ("a", "b")]
        else:
            fragments = [fragment]
        for f in fragments:
            script = (urllib.parse.unquote(f[len("script="):])
                      if f.startswith("script=") else None)
            if script not in scripts:
                failures.append(f"a link plays no experiment's script: "
                                f"{target[:80]}...")
    return failures


def sheet_failures(text):
    """Each sheet of the handout prints the script that its first link
    plays."""
    failures = []
    for sheet in re.split(r"(?m)^(?=## )", text)[1:]:
        title = sheet.splitlines()[0]
        block = re.search(r"(?ms)^```\n(.*?)^```", sheet)
        link = re.search(r"\]\(arrivals\.html#script=([^)\s]*)\)", sheet)
        if not block or not link or (urllib.parse.unquote(link.group(1)) !=
                                     block.group(1)):
            failures.append(f"{title}: its first link does not play the "
                            "script printed on it")
    return failures


def check(text, numbers, claims=None, sections=None):
    """The failures of a file, one line each: claims it must make, numbers
    of its sections that stand in no claim, links that play no
    experiment."""
    claims = CLAIMS if claims is None else claims
    sections = FILES["guide.md"][1] if sections is None else sections
    failures = []
    flat = re.sub(r"\s+", " ", text)
    left = checked_text(text, sections)
    for claim in claims:
        phrase = claim.format(**numbers)
        if phrase not in flat:
            failures.append(f"it should say: {phrase}")
    # Any claim it makes holds its numbers, whichever file it belongs to.
    for claim in sorted({c for cs, _ in FILES.values() for c in cs},
                        key=len, reverse=True):
        left = left.replace(claim.format(**numbers), " ")
    for setting in SETTINGS:
        left = re.sub(setting, " ", left)
    for match in re.finditer(r"\S*\d\S*", left):
        start = max(0, match.start() - 40)
        failures.append("a number no script gives: ..." +
                        left[start:match.end() + 20] + "...")
    return failures + link_failures(text)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--tool", required=True, help="arrivals-script")
    parser.add_argument("--check", metavar="FILE", nargs="+",
                        help="check the numbers of FILE (docs/guide.md, "
                        "docs/handout.md, docs/answers.md)")
    parser.add_argument("--long", action="store_true",
                        help="play every run of docs/long_runs.csv again")
    args = parser.parse_args()
    numbers = compute(args.tool, args.long)
    if not args.check:
        for name, value in numbers.items():
            print(f"{name} = {value}")
        return 0
    status = 0
    for path in args.check:
        claims, sections = FILES.get(os.path.basename(path), ([], ("## ",)))
        with open(path, encoding="utf-8") as f:
            text = f.read()
        failures = check(text, numbers, claims, sections)
        if os.path.basename(path) == "handout.md":
            failures += sheet_failures(text)
        for failure in failures:
            print(f"{path}: {failure}")
        print(f"{path}: {len(claims)} claims, {len(failures)} failures")
        status = 1 if failures else status
    return status


if __name__ == "__main__":
    sys.exit(main())
