#!/usr/bin/python3
"""Experiment 6 of the guide: the variance-time plot.

Reads the packets of every second of one run from a seconds.csv, as the
page, the window and arrivals-script save it, averages them over blocks of
1 to 100 seconds (each size used only when the run holds at least 10 such
blocks), and fits a line to log10(variance of the block means) against
log10(block size) over the sizes whose variance is above 0. A slope b gives
the Hurst parameter H = 1 + b / 2: 0.5 for a stream with no memory, nearer
1 the burstier the stream stays as the blocks grow.

    variance_time.py FILE.csv                  prints the points, slope and H
    variance_time.py FILE.csv --figure F.png   and draws the plot

The points are printed as the program's "Save points..." writes them. With
--tool it plays one hour and ten hours of "Poisson" and "Pareto 0.1" at 1 packet a
second through arrivals-script, reads the packets of every second from the
--seconds trace, averages them over blocks of 1 to 100 seconds, and fits a
line to log10(variance of the block means) against log10(block size). A
slope b gives the Hurst parameter H = 1 + b / 2: 0.5 for a stream with no
memory, nearer 1 the burstier the stream stays as the blocks grow.

    variance_time.py --tool PATH/arrivals-script            prints the estimates
    variance_time.py --tool PATH/arrivals-script --figure F.png   and draws the plot

Only the standard library, except for the figures (matplotlib, when it is
installed).
"""

import argparse
import csv
import sys
import json
import math
import os
import subprocess
import tempfile

# Block sizes in seconds: about ten to a decade, from 1 to 100.
BLOCKS = sorted({round(10 ** (i / 10)) for i in range(21)})

PROCESSES = {"Poisson": 0, "Pareto 0.1": 3}
TICKS_PER_HOUR = 72000


def play(tool, lines, packets=False, seconds=False):
    """Plays script lines through arrivals-script; returns the dumps and the
    rows of the traces asked for (lists of dicts, None when not asked)."""
    with tempfile.TemporaryDirectory() as folder:
        args = [tool]
        if packets:
            args += ["--packets", os.path.join(folder, "packets.csv")]
        if seconds:
            args += ["--seconds", os.path.join(folder, "seconds.csv")]
        out = subprocess.run(args, input="\n".join(lines) + "\n",
                             capture_output=True, text=True, check=True)
        dumps = [json.loads(line) for line in out.stdout.splitlines()]

        def rows(name):
            with open(os.path.join(folder, name), newline="") as f:
                return list(csv.DictReader(f))
        return (dumps, rows("packets.csv") if packets else None,
                rows("seconds.csv") if seconds else None)


def counts_per_second(tool, process, hours, seed):
    """The packets of every second of a run at 1 packet a second."""
    script = [f"seed {seed}", "load", f"pick process {PROCESSES[process]}",
              "pick rate 2", "click start", f"tick {TICKS_PER_HOUR * hours}"]
    _, _, seconds = play(tool, script, seconds=True)
    return [int(row["count_1s"]) for row in seconds]


# A block size is used only when the run holds at least this many blocks,
# and a fit needs at least this many sizes whose variance is above 0.
MIN_BLOCKS = 10
MIN_POINTS = 3


def variance_time(counts):
    """(block size, variance of the block means) for every block size of
    which the counts hold at least MIN_BLOCKS blocks. The
    variance is computed exactly from the integer block sums, then rounded
    once, so that any program doing the same gets the same numbers."""
    points = []
    for k in BLOCKS:
        n = len(counts) // k
        if n < MIN_BLOCKS:
            break
        sums = [sum(counts[i * k:(i + 1) * k]) for i in range(n)]
        total = sum(sums)
        squares = sum(s * s for s in sums)
        # Numerator and denominator each rounded to a float once, then
        # divided: what a program with 128-bit integers does alike.
        points.append((k, float(n * squares - total * total) /
                       float(n * n * k * k)))
    return points


def fit(points):
    """(slope, H, points fitted) of the least-squares line of log10 variance
    against log10 block size over the points whose variance is above 0;
    None when fewer than MIN_POINTS are."""
    used = [(k, v) for k, v in points if v > 0]
    if len(used) < MIN_POINTS:
        return None
    xs = [math.log10(k) for k, _ in used]
    ys = [math.log10(v) for _, v in used]
    # Plain sums in order (sum() compensates, which other programs do not).
    mx = 0.0
    my = 0.0
    for x, y in zip(xs, ys):
        mx += x
        my += y
    mx /= len(xs)
    my /= len(ys)
    sxy = 0.0
    sxx = 0.0
    for x, y in zip(xs, ys):
        sxy += (x - mx) * (y - my)
        sxx += (x - mx) * (x - mx)
    slope = sxy / sxx
    return slope, 1 + slope / 2, used


def hurst(points):
    """H of the points (see fit)."""
    return fit(points)[1]


def verdict(counts, points):
    """The plain sentence that takes the place of a fit, or None."""
    if len(points) < MIN_POINTS:
        needed = BLOCKS[MIN_POINTS - 1] * MIN_BLOCKS
        return f"too short: {len(counts)} seconds, at least {needed} needed"
    if len(set(counts)) == 1:
        return "no variation: every second holds the same count"
    if fit(points) is None:
        return ("too little variation: fewer than "
                f"{MIN_POINTS} block sizes have block means that differ")
    return None


def points_text(first, last, counts):
    """The points as CSV, named by the program times (time_ms) of the first
    and the last second they come from, with the fit
    or the sentence that takes its place, as the program saves them."""
    points = variance_time(counts)
    named = f", closed at time_ms {first} to {last}" if counts else ""
    lines = [f"# {len(counts)} seconds{named}", "block_s,blocks,variance"]
    lines += [f"{k},{len(counts) // k},{v:.6g}" for k, v in points]
    why = verdict(counts, points)
    if why is not None:
        lines.append(f"# {why}")
    else:
        slope, h, used = fit(points)
        lines.append(f"# slope {slope:.6g}, H {h:.3f}, fit over block sizes "
                     f"{used[0][0]} to {used[-1][0]} s ({len(used)} points)")
    return "\n".join(lines) + "\n"


def read_seconds(path):
    """(time_ms of the first and of the last row, count_1s of every row) of
    a seconds.csv."""
    with open(path, newline="") as f:
        rows = list(csv.DictReader(f))
    if rows and "count_1s" not in rows[0]:
        raise ValueError("no count_1s column")
    counts = [int(row["count_1s"]) for row in rows]
    if not counts:
        return 0, 0, counts
    return int(rows[0]["time_ms"]), int(rows[-1]["time_ms"]), counts


def pareto_theory():
    """(alpha, H) of "Pareto 0.1" at 1 packet a second: mean gap 1000 ms,
    shortest 100 ms, and H = (3 - alpha) / 2 for a renewal stream."""
    alpha = 1000 / (1000 - 100)
    return alpha, (3 - alpha) / 2


def figure(curves, path):
    """Draws the plot: one line per (label, points), with the slopes of
    H = 0.5 and of the theory for "Pareto 0.1" for comparison."""
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    fig, ax = plt.subplots(figsize=(7.2, 4.8), dpi=100)
    styles = {"Poisson": ("tab:blue", "o"), "Pareto 0.1": ("tab:red", "s")}
    for (process, hours), points in curves.items():
        colour, marker = styles[process]
        ks = [k for k, _ in points]
        vs = [v for _, v in points]
        ax.loglog(ks, vs, marker=marker, color=colour,
                  linestyle="-" if hours == 10 else ":",
                  markerfacecolor=colour if hours == 10 else "white",
                  label=f'"{process}", {hours} h, H = {hurst(points):.2f}')
    _, h_theory = pareto_theory()
    for process, h, style, label in (
            ("Poisson", 0.5, "--", "slope of H = 0.5"),
            ("Pareto 0.1", h_theory, "-.",
             f"slope of H = {h_theory:.2f} (theory)")):
        v1 = curves[(process, 10)][0][1]
        ax.loglog([1, 100], [v1, v1 * 100 ** (2 * h - 2)], color="grey",
                  linestyle=style, linewidth=1, label=label)
    ax.set_xlabel("block size m, seconds")
    ax.set_ylabel("variance of the mean count of a block")
    ax.set_title("Variance-time plot, 1 packet a second, seed 1")
    ax.grid(True, which="both", linewidth=0.3)
    ax.legend(fontsize=8)
    fig.tight_layout()
    fig.savefig(path, metadata={"Software": None})
    plt.close(fig)


def figure_of_run(first, last, counts, path):
    """Draws the plot of one run: its points, the fitted line and the slope
    of Poisson (-1) through the first point. False when matplotlib is not
    installed."""
    try:
        import matplotlib
    except ImportError:
        return False
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    points = variance_time(counts)
    fig, ax = plt.subplots(figsize=(7.2, 4.8), dpi=100)
    ax.loglog([k for k, _ in points], [v for _, v in points], "o",
              color="tab:red", label="variance of the block means")
    fitted = fit(points) if verdict(counts, points) is None else None
    if fitted is not None:
        slope, h, used = fitted
        k0, k1 = used[0][0], used[-1][0]
        xs = [math.log10(k) for k, _ in used]
        ys = [math.log10(v) for _, v in used]
        b = sum(ys) / len(ys) - slope * sum(xs) / len(xs)
        ax.loglog([k0, k1], [10 ** (b + slope * math.log10(k))
                             for k in (k0, k1)], "-", color="black",
                  label=f"fit, slope {slope:.3f}, H = {h:.3f}")
        v0 = used[0][1]
        ax.loglog([k0, k1], [v0, v0 * k0 / k1], "--", color="grey",
                  label="Poisson's slope, -1 (H = 0.5)")
    ax.set_xlabel("block size m, seconds")
    ax.set_ylabel("variance of the mean count of a block")
    ax.set_title(f"Variance-time plot, {len(counts)} seconds, "
                 f"time_ms {first} to {last}")
    ax.grid(True, which="both", linewidth=0.3)
    ax.legend(fontsize=8)
    fig.tight_layout()
    fig.savefig(path, metadata={"Software": None})
    plt.close(fig)
    return True


def main_file(path, figure_path):
    """Prints the points of one run's seconds.csv; 1 with one line on
    standard error when the file cannot be read."""
    try:
        first, last, counts = read_seconds(path)
    except (OSError, ValueError, KeyError, csv.Error) as e:
        print(f"variance_time: cannot read {path}: {e}", file=sys.stderr)
        return 1
    sys.stdout.write(points_text(first, last, counts))
    if figure_path:
        if figure_of_run(first, last, counts, figure_path):
            print(f"# plot drawn in {figure_path}")
        else:
            print("# no plot: matplotlib is not installed")
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("file", nargs="?",
                        help="seconds.csv of one run, as the program saves it")
    parser.add_argument("--tool", help="arrivals-script: play the guide's runs")
    parser.add_argument("--figure", help="PNG to draw the plot into")
    args = parser.parse_args()
    if (args.file is None) == (args.tool is None):
        parser.error("give either a seconds.csv or --tool")
    if args.file is not None:
        sys.exit(main_file(args.file, args.figure))
    curves = {}
    for process in PROCESSES:
        for hours in (1, 10):
            points = variance_time(counts_per_second(args.tool, process,
                                                     hours, 1))
            curves[(process, hours)] = points
            print(f'"{process}", {hours} h, seed 1: H = {hurst(points):.2f}')
    alpha, h = pareto_theory()
    print(f'theory for "Pareto 0.1": alpha = {alpha:.2f}, H = {h:.2f}')
    if args.figure:
        figure(curves, args.figure)
        print(args.figure)


if __name__ == "__main__":
    main()
