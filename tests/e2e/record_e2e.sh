#!/usr/bin/env bash
# End-to-end test of recording: `arrivals --record FILE` on a virtual X
# server of its own, seeded from the clock, driven through the accessibility
# tree (tests/e2e/atspi.py: controls found by role and name, pressed, and
# typed into keystroke by keystroke: Start, a rate, the other view, a
# process, Pause),
# its picture taken once paused, then closed. The recording, played by
# `arrivals --script FILE --screenshot PNG`, must give the same picture of
# everything the canvas paints (markers, counter, bars and their labels);
# the real widgets of the control panel are left out of the comparison.
#
#   record_e2e.sh ARRIVALS CLOSE_WINDOW
#
# Needs xvfb-run (with Xvfb and xauth), xdotool, ImageMagick, dbus,
# at-spi2-core and python3-pyatspi; when one is missing the test is skipped (exit 77), except under CI (CI=true). The
# pictures and the recording of a failed run are kept in ./record-failure/.
set -euo pipefail

arrivals=${1:?usage: record_e2e.sh ARRIVALS CLOSE_WINDOW}
close_window=${2:?usage: record_e2e.sh ARRIVALS CLOSE_WINDOW}

# --- layout of the window, in pixels (15 twips to a pixel) -----------------
# A point of plain window grey, below the control panel.
grey_x=5 grey_y=600

# shellcheck source=tests/e2e/display.sh
source "$(dirname "${BASH_SOURCE[0]}")/display.sh"
# --- a display of our own ---------------------------------------------------
arrivals_e2e_display xvfb-record.log "$@"

work=$(mktemp -d "${TMPDIR:-/tmp}/arrivals-record.XXXXXX")
app_pid='' passed=0
cleanup() {
  if [[ -n $app_pid ]] && kill -0 "$app_pid" 2>/dev/null; then
    kill -KILL "$app_pid" 2>/dev/null || true
  fi
  if ((!passed)); then
    mkdir -p record-failure
    cp "$work"/* record-failure/ 2>/dev/null || true
    echo "pictures and the recording kept in $PWD/record-failure" >&2
  fi
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  [[ -s $work/arrivals.log ]] && { echo "--- arrivals said:" >&2; cat "$work/arrivals.log" >&2; }
  [[ -s $work/session.script ]] && { echo "--- the recording:" >&2; cat "$work/session.script" >&2; }
  exit 1
}

export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

pixel() {
  convert "$1" -alpha off -format \
    "%[fx:round(255*p{$2,$3}.r)],%[fx:round(255*p{$2,$3}.g)],%[fx:round(255*p{$2,$3}.b)]" \
    info:
}

# The picture without the control panel.
canvas_only() {
  convert "$1" -alpha off -fill black -draw "rectangle 0,0 261,205" "$2"
}

# Presses the controls named, or replaces a box's text, found in the tree.
press() { atspi press "$app_pid" "$@" || fail "could not press $*"; }
type_into() { atspi type "$app_pid" "$1" "$2" || fail "could not type into $1"; }

# --- the live window, recording -------------------------------------------
"$arrivals" --record "$work/session.script" >>"$work/arrivals.log" 2>&1 &
app_pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Arrivals$' 2>/dev/null |
  head -n 1) || true
[[ -n $window ]] || fail "no window titled \"Arrivals\" was shown within 20 s"
for _ in $(seq 100); do
  import -window "$window" "$work/live.png"
  [[ $(pixel "$work/live.png" "$grey_x" "$grey_y") == 224,224,224 ]] && break
  sleep 0.1
done

press start
sleep 2.5
type_into rate 3.5
sleep 1.5
press 'view 1'
sleep 2
type_into process Regular
sleep 3.5
press pause
sleep 1
import -window "$window" "$work/live.png"

"$close_window" "$window" || fail "could not ask the window to close"
for _ in $(seq 300); do
  kill -0 "$app_pid" 2>/dev/null || break
  sleep 0.1
done
status=0
wait "$app_pid" || status=$?
app_pid=''
((status == 0)) || fail "arrivals ended with status $status"

# --- what was recorded ------------------------------------------------------
rec=$work/session.script
head -n 1 "$rec" | grep -Eq '^seed [0-9]+$' || fail "the recording does not begin with seed N"
for line in 'load' 'click start' 'type rate 3.5' 'click view 1' \
  'type process Regular' 'click pause'; do
  grep -Fxq "$line" "$rec" || fail "no line '$line' in the recording"
done
grep -Eq '^tick [1-9][0-9]*$' "$rec" || fail "no tick line in the recording"

# --- played back -------------------------------------------------------------
QT_QPA_PLATFORM=offscreen "$arrivals" --script "$rec" --screenshot "$work/replay.png" \
  >"$work/replay.log" 2>&1 || fail "the recording did not play: $(cat "$work/replay.log")"
canvas_only "$work/live.png" "$work/live-canvas.png"
canvas_only "$work/replay.png" "$work/replay-canvas.png"
differ=$(compare -metric AE "$work/live-canvas.png" "$work/replay-canvas.png" null: 2>&1 || true)
[[ $differ == 0 ]] || fail "$differ pixels differ between the live window and the replay"
# The comparison saw something: markers in flight (pure red) on the track.
reds=$(convert "$work/live.png" -alpha off -fill black +opaque '#FF0000' \
  -fill white -opaque '#FF0000' -format '%[fx:round(mean*w*h)]' info:)
((reds > 0)) || fail "no marker in the paused window"

passed=1
echo "PASS: the recording ($(wc -l <"$rec") lines) plays back to the same picture"
