#!/bin/sh
# The program's variance-time points equal docs/variance_time.py's on the
# seconds.csv that arrivals-script writes for the same one-run session.
# Usage: variance_points.sh TOOL POINTS PYTHON VARIANCE_TIME_PY FOLDER
set -eu
tool=$1 points=$2 python=$3 script=$4 folder=$5
mkdir -p "$folder"
status=0
# seed, process, rate, ticks: an hour of "Poisson" and of "Pareto 0.1" at two
# rates, half an hour of "Regular" (points of variance 0 left out of the
# fit), a run too short and one with no variation.
while read -r seed process rate ticks; do
  session="$folder/session.script"
  printf 'seed %s\nload\npick process %s\npick rate %s\nclick start\ntick %s\n' \
    "$seed" "$process" "$rate" "$ticks" > "$session"
  "$tool" --seconds "$folder/seconds.csv" < "$session" > /dev/null
  "$python" "$script" "$folder/seconds.csv" > "$folder/expected.csv"
  "$points" < "$session" > "$folder/actual.csv"
  if ! cmp -s "$folder/expected.csv" "$folder/actual.csv"; then
    echo "seed $seed, process $process, rate $rate, $ticks ticks:"
    diff "$folder/expected.csv" "$folder/actual.csv" || true
    status=1
  fi
done <<'RUNS'
1 0 2 72000
7 3 2 72000
3 3 8 72000
2 1 5 36000
4 0 2 500
5 1 2 2000
RUNS
exit "$status"
