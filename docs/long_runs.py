#!/usr/bin/python3
"""The long runs behind experiment 6 of the guide, played by hand.

Plays "Pareto 0.1" at every rate of the guide's table of the shape α (ten
seeds of ten hours each) and three seeds of 400 hours at 1 packet a second
through arrivals-script, and writes for each run its packets and its
estimate of H (docs/variance_time.py's blocks and fit) as CSV:

    long_runs.py --tool PATH/arrivals-script > docs/long_runs.csv

This takes minutes, too long for the tests: the guide quotes the file, and
docs/guide_numbers.py derives the guide's numbers from it and plays again
the runs of seed 1 up to ten hours (all of them with --long) to hold the
file to the program. Standard library only.
"""

import argparse
import os
import sys

sys.dont_write_bytecode = True  # no cache files in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import variance_time  # noqa: E402  (beside this file)

TICKS_PER_HOUR = 72000
PARETO_01 = 3  # index of "Pareto 0.1" in the process box's list

# Rates of "Pareto 0.1" whose shapes α = 1 / (1 - rate / 10) run from about
# 1.05 to 2: the list's values up to 4.0, and 5 typed.
TABLE_RATES = ("0.5", "1.0", "1.5", "2.0", "3.0", "4.0", "5")
RUNS = ([(rate, 10, seed) for rate in TABLE_RATES for seed in range(1, 11)] +
        [("1.0", 400, seed) for seed in range(1, 4)])
HEADER = "rate,hours,seed,packets,h"


def play(tool, rate, hours, seed):
    """One run of "Pareto 0.1": the CSV row of its packets and its H."""
    script = [f"seed {seed}", "load", f"pick process {PARETO_01}",
              f"type rate {rate}", "click start",
              f"tick {TICKS_PER_HOUR * hours}", "dump"]
    dumps, _, seconds = variance_time.play(tool, script, seconds=True)
    counts = [int(row["count_1s"]) for row in seconds]
    h = variance_time.hurst(variance_time.variance_time(counts))
    return f"{rate},{hours},{seed},{dumps[-1]['packetCount']},{h:.4f}"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--tool", required=True, help="arrivals-script")
    args = parser.parse_args()
    print(HEADER, flush=True)
    for run in RUNS:
        print(play(args.tool, *run), flush=True)


if __name__ == "__main__":
    main()
