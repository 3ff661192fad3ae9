#!/usr/bin/env bash
# What the window costs while a run goes on ("Poisson" at 2.0 after Start),
# measured beside the window baseline's cheapest variant ("dirty": one
# canvas, only changed rectangles repainted) on one virtual X server, the
# two programs one after the other in every pair, so that the machine's
# drift hits both alike and they compare as ratios pair by pair.
#
#   bench/measure-window.sh            5 pairs of 60 s runs, 30 s idle,
#                                      10 pairs of launches, 3 callgrind
#                                      pairs of 20 s (about 25 minutes)
#   bench/measure-window.sh --quick    a smoke test (about 4 minutes)
#   bench/measure-window.sh --pairs N --dur S --startup-pairs N
#                           --ir-pairs N --ir-dur S --idle-dur S
#                                      (--ir-pairs 0: no callgrind)
#   bench/measure-window.sh --measure-sh [ARGS]
#                                      the baseline's own measure.sh with
#                                      arrivals beside all its variants; ARGS
#                                      go to measure.sh (e.g. --quick --ir)
#   bench/measure-window.sh --report FILE...   print the tables again
#
# Figures: CPU time as a share of one core (the quietest 5 s of each run,
# which other load can only inflate), instructions per second under
# callgrind, peak resident memory, the time from launch to the first frame
# on the X server, and CPU while idle after start-up (no Start pressed).
# Targets: CPU and instructions at most 1.2 x the baseline's pair by pair,
# first frame within 300 ms, peak RSS at most the baseline's + 15 MiB, 0 %
# while idle.
#
# Environment:
#   ARRIVALS_BASELINE_DIR  the window baseline (default: shared/window-baseline
#                          in the folder that holds this repository)
#   ARRIVALS_PROGRAM       measure this arrivals binary instead of building one
#   ARRIVALS_BUILD_DIR     build arrivals (Release) in this folder instead of
#                          with the release preset (build-release/)
#   WORK                   builds of the helpers and results (default
#                          build-measure/ in the repository)
# Needs cmake, g++, qt6-base-dev, libxcb1-dev, xvfb, xdotool, python3 and,
# for the instruction counts, valgrind.
set -euo pipefail


here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
# shellcheck source=scripts/lib/usage.sh
source "$root/scripts/lib/usage.sh"
baseline_dir=${ARRIVALS_BASELINE_DIR:-$root/../shared/window-baseline}
work=${WORK:-$root/build-measure}

pairs=5 dur=60 startup_pairs=10 ir_pairs=3 ir_dur=20 idle_dur=30 mode=pairs
measure_sh_args=()
while (($#)); do
  case $1 in
  --quick) pairs=1 dur=10 startup_pairs=2 ir_pairs=1 ir_dur=10 idle_dur=10 ;;
  --pairs) pairs=$2; shift ;;
  --dur) dur=$2; shift ;;
  --startup-pairs) startup_pairs=$2; shift ;;
  --ir-pairs) ir_pairs=$2; shift ;;
  --ir-dur) ir_dur=$2; shift ;;
  --idle-dur) idle_dur=$2; shift ;;
  --measure-sh) mode='measure-sh'; shift; measure_sh_args=("$@"); break ;;
  --report) shift; exec python3 "$here/window_cost.py" report "$@" ;;
  -h | --help) arrivals_usage; exit 0 ;;
  *) echo "measure-window.sh: unknown option '$1'" >&2; arrivals_usage >&2; exit 2 ;;
  esac
  shift
done

[[ -f $baseline_dir/measure.py ]] || {
  echo "measure-window.sh: no window baseline in $baseline_dir (set ARRIVALS_BASELINE_DIR)" >&2
  exit 1
}
baseline_dir=$(cd "$baseline_dir" && pwd)
need=(cmake c++ Xvfb xdotool python3)
((ir_pairs > 0)) && need+=(valgrind callgrind_control)
for tool in "${need[@]}"; do
  command -v "$tool" >/dev/null || { echo "measure-window.sh: needs $tool" >&2; exit 1; }
done

# --- the program, Release ----------------------------------------------------
if [[ -n ${ARRIVALS_PROGRAM:-} ]]; then
  program=$ARRIVALS_PROGRAM
elif [[ -n ${ARRIVALS_BUILD_DIR:-} ]]; then
  echo "== build arrivals (Release) in $ARRIVALS_BUILD_DIR" >&2
  # As the release preset builds it: optimised and with LTO.
  cmake -S "$root" -B "$ARRIVALS_BUILD_DIR" -DCMAKE_BUILD_TYPE=Release \
    -DARRIVALS_LTO=ON >/dev/null
  cmake --build "$ARRIVALS_BUILD_DIR" --parallel 2 --target arrivals >/dev/null
  program=$ARRIVALS_BUILD_DIR/app/arrivals
else
  echo "== build arrivals (preset release)" >&2
  (cd "$root" && cmake --preset release >/dev/null &&
    cmake --build --preset release --parallel 2 --target arrivals >/dev/null)
  program=$root/build-release/app/arrivals
fi
[[ -x ${program:-} ]] || { echo "measure-window.sh: no arrivals program" >&2; exit 1; }
program=$(cd "$(dirname "$program")" && pwd)/$(basename "$program")

# --- the helpers ---------------------------------------------------------------
mkdir -p "$work/results"
echo "== build the baseline and the probe in $work" >&2
cmake -S "$baseline_dir" -B "$work/baseline" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$work/baseline" --parallel 2 >/dev/null
QT_QPA_PLATFORM=offscreen "$work/baseline/baseline" --make-logo "$work/baseline/logo.png" \
  >/dev/null 2>&1
c++ -std=c++20 -O2 "$here/window_probe.cpp" -o "$work/window_probe" -lxcb
probe=$work/window_probe
launch=$here/arrivals-launch.sh
# measure.py splits its --cmd as a shell would.
start_cmd=$(printf '%q ' "$launch" "$probe" "$program")
idle_cmd=$(printf '%q ' "$launch" --idle "$probe" "$program")

export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-/tmp/xdg-arrivals-measure-$UID}
mkdir -p "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

if [[ $mode == measure-sh ]]; then
  # measure.sh starts its own X server on DISPLAY_NUM: pick a free one.
  num=${DISPLAY_NUM:-}
  if [[ -z $num ]]; then
    for n in $(seq 20 99); do
      [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] || { num=$n; break; }
    done
  fi
  echo "== measure.sh on display :$num, arrivals beside every variant" >&2
  WORK=$work DISPLAY_NUM=$num exec "$baseline_dir/measure.sh" \
    --cmd "$start_cmd" --title Arrivals --name arrivals "${measure_sh_args[@]}"
fi

# --- a display of our own ---------------------------------------------------------
xvfb_pid=''
cleanup() {
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null || true
}
trap cleanup EXIT
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" \
  >"$work/results/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [[ -s $work/display ]] && break
  sleep 0.1
done
[[ -s $work/display ]] || { echo "measure-window.sh: Xvfb did not start" >&2; exit 1; }
DISPLAY=":$(head -n 1 "$work/display")"
export DISPLAY
sleep 0.5

stamp=$(date +%Y%m%d-%H%M%S)
runs=$work/results/runs-$stamp.jsonl
irs=$work/results/ir-$stamp.jsonl
measure=(python3 "$baseline_dir/measure.py")
cost=(python3 "$here/window_cost.py")
echo "== arrivals: $program; display $DISPLAY; results in $work/results (*-$stamp.*)" >&2

echo "== steady state: $pairs pairs of ${dur} s (baseline dirty, then arrivals after Start)" >&2
"${measure[@]}" run --bin "$work/baseline/baseline" --mapwait "$work/baseline/mapwait" \
  --platform xcb --xvfb-pid "$xvfb_pid" --variants dirty --warmup dirty \
  --reps "$pairs" --dur "$dur" --out "$runs" \
  --cmd "$start_cmd" --title Arrivals --name arrivals

echo "== idle after start-up: ${idle_dur} s (an empty window beside it)" >&2
"${measure[@]}" run --bin "$work/baseline/baseline" --mapwait "$work/baseline/mapwait" \
  --platform xcb --xvfb-pid "$xvfb_pid" --variants floor --warmup "" --label idle \
  --reps 1 --dur "$idle_dur" --out "$runs" \
  --cmd "$idle_cmd" --title Arrivals --name arrivals-idle

echo "== start-up: $startup_pairs pairs of launches" >&2
"${cost[@]}" startup --launcher "$launch" --probe "$probe" --baseline "$work/baseline/baseline" \
  --program "$program" --reps "$startup_pairs" --out "$runs"

if ((ir_pairs > 0)); then
  echo "== instructions under callgrind: $ir_pairs pairs of ${ir_dur} s" >&2
  for _ in $(seq "$ir_pairs"); do
    "${measure[@]}" ir --bin "$work/baseline/baseline" --platform xcb --variants dirty \
      --dur "$ir_dur" --out "$irs"
    "${cost[@]}" ir --probe "$probe" --program "$program" --dur "$ir_dur" --out "$irs"
  done
fi

files=("$runs")
[[ -s $irs ]] && files+=("$irs")
{
  "${measure[@]}" table "${files[@]}"
  "${cost[@]}" report "${files[@]}"
} | tee "$work/results/table-$stamp.md"
echo -e "\nraw runs: ${files[*]}" >&2
