#!/usr/bin/python3
"""Experiment 6 of the guide: the variance-time plot.

Plays one hour and ten hours of "Poisson" and "Pareto 0.1" at 1 packet a
second through arrivals-script, reads the packets of every second from the
--seconds trace, averages them over blocks of 1 to 100 seconds, and fits a
line to log10(variance of the block means) against log10(block size). A
slope b gives the Hurst parameter H = 1 + b / 2: 0.5 for a stream with no
memory, nearer 1 the burstier the stream stays as the blocks grow.

    variance_time.py --tool PATH/arrivals-script            prints the estimates
    variance_time.py --tool PATH/arrivals-script --figure F.png   and draws the plot

Only the standard library, except for the figure (matplotlib).
"""

import argparse
import csv
import json
import math
import os
import statistics
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


def variance_time(counts):
    """(block size, variance of the block means) for every block size."""
    points = []
    for k in BLOCKS:
        n = len(counts) // k
        means = [sum(counts[i * k:(i + 1) * k]) / k for i in range(n)]
        points.append((k, statistics.pvariance(means)))
    return points


def hurst(points):
    """H from the least-squares slope of log variance against log size."""
    xs = [math.log10(k) for k, _ in points]
    ys = [math.log10(v) for _, v in points]
    mx, my = statistics.fmean(xs), statistics.fmean(ys)
    slope = (sum((x - mx) * (y - my) for x, y in zip(xs, ys)) /
             sum((x - mx) ** 2 for x in xs))
    return 1 + slope / 2


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


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--tool", required=True, help="arrivals-script")
    parser.add_argument("--figure", help="PNG to draw the plot into")
    args = parser.parse_args()
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
