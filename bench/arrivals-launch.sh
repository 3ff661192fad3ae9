#!/usr/bin/env bash
# Starts a program for a measurement: a probe watches for its first frame,
# and once the frame is there the program's Start button is clicked.
#
#   arrivals-launch.sh [--idle] [--title T] [--pixel "X Y RRGGBB"] PROBE PROGRAM [ARGS...]
#
# PROBE is window_probe (bench/window_probe.cpp). The program replaces this
# script (exec), so whoever started the script holds the program's pid, and
# reads the probe's "BASELINE firstframe <ms>" line on the program's
# standard error. Times count from the exec of the program (this script's
# own start-up is not the program's): BASELINE_T0 is set anew just before
# it, and the probe reads the same time from a file. --idle: only watch, press nothing. Defaults: the title
# "Arrivals" and the pixel (5, 600) in the window grey e0e0e0; Start is
# btnStart's centre (84, 84): 600, 960, 1335 x 615 twips at 15 a pixel.
# Needs DISPLAY, xdotool, and BASELINE_T0 for the probe's times.
set -euo pipefail

idle=0 title=Arrivals pixel="5 600 e0e0e0"
while (($#)); do
  case $1 in
  --idle) idle=1 ;;
  --title) title=$2; shift ;;
  --pixel) pixel=$2; shift ;;
  *) break ;;
  esac
  shift
done
probe=${1:?usage: arrivals-launch.sh [--idle] [--title T] [--pixel P] PROBE PROGRAM [ARGS...]}
shift
(($#)) || { echo "arrivals-launch.sh: no program" >&2; exit 2; }
# Off screen there is no window to watch or click: the program runs idle.
[[ ${QT_QPA_PLATFORM:-} == offscreen ]] && exec "$@"

fifo=$(mktemp -u "${TMPDIR:-/tmp}/arrivals-launch.XXXXXX")
t0_file=$fifo.t0
mkfifo -m 600 "$fifo"
# shellcheck disable=SC2086 # the pixel is three words on purpose
WINDOW_PROBE_T0_FILE=$t0_file "$probe" "$title" $pixel 120 >"$fifo" &
exec 3<"$fifo"
rm -f "$fifo"
read -r ready <&3
[[ $ready == ready ]] || { echo "arrivals-launch.sh: the probe did not start" >&2; exit 1; }

# Once the first frame is up: press Start, then take the pointer off the
# window so that no button is left hovered.
(
  read -r window <&3 || window=''
  rm -f "$t0_file"
  [[ -n $window ]] || exit 0
  ((idle)) && exit 0
  xdotool mousemove --window "$window" 84 84 click 1
  xdotool mousemove 1000 750
) &
exec 3<&-
# The launch, in ns, as the program's own marks and the probe count it.
BASELINE_T0=${EPOCHREALTIME//[.,]/}000 # µs and a point, or a comma
export BASELINE_T0
echo "$BASELINE_T0" >"$t0_file"
exec "$@"
