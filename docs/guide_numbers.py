#!/usr/bin/python3
"""Every number of the guide's experiments, made by the program itself.

Plays the guide's scripts (docs/figures/NAME.script, the same that make its
pictures) and the runs its text speaks of through arrivals-script, and
computes each number the guide prints from the dumps and the traces.

    guide_numbers.py --tool PATH/arrivals-script                 prints them
    guide_numbers.py --tool PATH/arrivals-script --check GUIDE   checks GUIDE

--check fails, naming the sentence, when a number in GUIDE is not the one
the program gives: each number stands in one of the CLAIMS below, and every
number of the checked sections must stand in a claim or in one of the
SETTINGS, the inputs that the scripts are played with. Standard library
only.
"""

import argparse
import math
import os
import re
import statistics
import sys
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


def compute(tool):
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
    for name, y in (("1s", 1000), ("1min", 60000), ("1h", 3600000),
                    ("1d", 86400000)):
        n[f"law_{name}_one_in"] = f"{round((y / 100) ** (1000 / 900)):,}"
        n[f"law_{name}_share"] = percent(capped_pareto_tail(y), mean)
    n["law_cap_one_in"] = (
        f"{round((2147483647 / 100) ** (1000 / 900) / 1e6)} million")

    # Above the rate 1/s: "Pareto 0.5" loses the ticks of its 0 ms gaps.
    for rate in ("6", "8", "10"):
        dumps, _, _ = play(hour(5, rate))
        n[f"p05_rate_{rate}"] = fixed(dumps[-1]["packetCount"] / 3600)
    n["p05_zero_10"] = dumps[-1]["draws"] - dumps[-1]["packetCount"]
    n["p05_draws_10"] = dumps[-1]["draws"]
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
    return {k: str(v) for k, v in n.items()}


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
    "one gap in {law_1h_one_in} is longer than an hour",
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

CHECKED = ("## What the graphs cannot show", "## Six experiments")


def checked_text(guide):
    """The sections whose numbers are checked, with code, pictures, headings
    and link targets left out, blanks and line breaks made one blank."""
    parts = re.split(r"(?m)^(?=## )", guide)
    text = "\n".join(p for p in parts if p.startswith(CHECKED))
    text = re.sub(r"(?ms)^```.*?^```", " ", text)
    text = re.sub(r"(?m)^(!\[|#).*$", " ", text)
    text = re.sub(r"`[^`]*`", " ", text)
    # Link targets (a link to the browser edition carries its script).
    text = re.sub(r"\]\([^)\s]*\)", "] ", text)
    text = re.sub(r"<[a-z]+:[^>\s]*>|<!--.*?-->", " ", text)
    return re.sub(r"\s+", " ", text)


def check(guide, numbers):
    """The failures of a guide, one line each."""
    failures = []
    flat = re.sub(r"\s+", " ", guide)
    left = checked_text(guide)
    for claim in CLAIMS:
        phrase = claim.format(**numbers)
        if phrase not in flat:
            failures.append(f"the guide should say: {phrase}")
        left = left.replace(phrase, " ")
    for setting in SETTINGS:
        left = re.sub(setting, " ", left)
    for match in re.finditer(r"\S*\d\S*", left):
        start = max(0, match.start() - 40)
        failures.append("a number no script gives: ..." +
                        left[start:match.end() + 20] + "...")
    return failures


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--tool", required=True, help="arrivals-script")
    parser.add_argument("--check", metavar="GUIDE",
                        help="check the numbers of GUIDE (docs/guide.md)")
    args = parser.parse_args()
    numbers = compute(args.tool)
    if not args.check:
        for name, value in numbers.items():
            print(f"{name} = {value}")
        return 0
    with open(args.check, encoding="utf-8") as f:
        failures = check(f.read(), numbers)
    for failure in failures:
        print(failure)
    print(f"{args.check}: {len(CLAIMS)} claims, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
