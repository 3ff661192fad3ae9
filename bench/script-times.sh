#!/usr/bin/env bash
# Times ten simulated hours ("Poisson" at 4 packets a second, seed 1) played
# three ways, start-up included, on optimised builds:
#   arrivals-script                              target: well under 0.25 s
#   arrivals-script --packets F --seconds F      target: under 0.25 s
#   arrivals --script - --screenshot PNG         target: under 1 s (off screen)
# Each is run RUNS times (default 10); the median and the slowest are shown.
#
#   bench/script-times.sh [RUNS]
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
runs=${1:-10}
cd "$root"
cmake --preset release >/dev/null
cmake --build --preset release --target arrivals arrivals-script >/dev/null

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
printf 'seed 1\nload\npick rate 8\nclick start\ntick 720000\n' >"$tmp/ten-hours.script"
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=$tmp

measure() {
  local name=$1
  shift
  local -a times=()
  for ((i = 0; i < runs; i++)); do
    local start end
    start=$(date +%s%N)
    "$@" <"$tmp/ten-hours.script" >/dev/null
    end=$(date +%s%N)
    times+=($(((end - start) / 1000000)))
  done
  mapfile -t times < <(printf '%s\n' "${times[@]}" | sort -n)
  printf '%-44s median %5d ms, slowest %5d ms (%d runs)\n' "$name" \
    "${times[$((runs / 2))]}" "${times[$((runs - 1))]}" "$runs"
}

measure "arrivals-script" build-release/tools/arrivals-script
measure "arrivals-script --packets --seconds" build-release/tools/arrivals-script \
  --packets "$tmp/p.csv" --seconds "$tmp/s.csv"
measure "arrivals --script - --screenshot" build-release/app/arrivals \
  --script - --screenshot "$tmp/ten-hours.png"
