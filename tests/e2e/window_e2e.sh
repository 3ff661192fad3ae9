#!/usr/bin/env bash
# End-to-end test of the real program: starts `arrivals` on a virtual X
# server of its own, presses Start found by its name in the accessibility
# tree (tests/e2e/atspi.py), and checks
# on screenshots that red packet markers stand on the track and that the
# packet counter has moved on from its start-up "0". Then it closes the
# window the way a window manager does and checks that the program ends on
# its own with exit status 0; started again, it dies of SIGTERM promptly
# (status 143, so that a shell loop stops too) and of SIGINT (status 130).
# Last, a script played with --script leaves the window on its run, which
# goes on there after the script's draws are spent. First of all, a platform
# that cannot start must end it with a non-zero status and Qt's own words.
#
#   window_e2e.sh ARRIVALS CLOSE_WINDOW
#
# ARRIVALS is the program, CLOSE_WINDOW the helper that sends a window
# WM_DELETE_WINDOW. Needs xvfb-run (with Xvfb and xauth), xdotool,
# ImageMagick (import, convert, compare), dbus, at-spi2-core and
# python3-pyatspi; when one is missing the test is skipped (exit 77), except
# under CI (CI=true), where that is a failure.
# Screenshots of a failed run are kept in ./e2e-failure/.
set -euo pipefail

arrivals=${1:?usage: window_e2e.sh ARRIVALS CLOSE_WINDOW}
close_window=${2:?usage: window_e2e.sh ARRIVALS CLOSE_WINDOW}

# --- layout of the window, in pixels (15 twips to a pixel) -----------------
# A marker in flight: Top 60, 855 twips high, launched at Left 3720 and
# moved right from there; so rows 4 to 61, never left of column 248.
track_top=4 track_bottom=61 track_left=248
# A row well inside every marker in flight and clear of the track line
# (y = 32): a marker there is red between outlines of black.
probe_row=20
# lblServiced: Left 3960, Top 600, 1095 x 375 twips.
counter_geometry=73x25+264+40
# The counter box and 4 pixels either side: a marker whose outline touches
# the box shows red in this band.
counter_band=81x25+260+40
# A point of plain window grey (224, 224, 224), below the control panel.
grey_x=5 grey_y=600

# shellcheck source=tests/e2e/display.sh
source "$(dirname "${BASH_SOURCE[0]}")/display.sh"
# --- a display of our own ---------------------------------------------------
arrivals_e2e_display xvfb.log "$@"

work=$(mktemp -d "${TMPDIR:-/tmp}/arrivals-e2e.XXXXXX")
app_pid='' passed=0
cleanup() {
  if [[ -n $app_pid ]] && kill -0 "$app_pid" 2>/dev/null; then
    kill -KILL "$app_pid" 2>/dev/null || true
  fi
  if ((!passed)); then
    mkdir -p e2e-failure
    cp "$work"/*.png "$work"/*.log e2e-failure/ 2>/dev/null || true
    echo "screenshots and logs kept in $PWD/e2e-failure" >&2
  fi
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  if [[ -s $work/arrivals.log ]]; then
    echo "--- arrivals said:" >&2
    cat "$work/arrivals.log" >&2
  fi
  exit 1
}

export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

# --- image helpers -----------------------------------------------------------
shot_no=0 shot=''
# Takes a screenshot of the window into a new file, named in $shot.
shoot() {
  shot_no=$((shot_no + 1))
  shot=$work/$(printf 'shot-%03d.png' "$shot_no")
  import -window "$window" "$shot"
}

# "r,g,b" of one pixel.
pixel() {
  convert "$1" -alpha off -format \
    "%[fx:round(255*p{$2,$3}.r)],%[fx:round(255*p{$2,$3}.g)],%[fx:round(255*p{$2,$3}.b)]" \
    info:
}

# "WxH+X+Y COUNT": bounding box and number of pure red (255, 0, 0) pixels in
# the crop GEOMETRY of FILE (the whole window without one).
red_pixels() {
  local -a crop=()
  [[ -n ${2:-} ]] && crop=(-crop "$2" +repage)
  convert "$1" -alpha off "${crop[@]}" -fill black +opaque '#FF0000' \
    -fill white -opaque '#FF0000' -format '%@ %[fx:round(mean*w*h)]' info: 2>/dev/null
}

# One row of FILE as letters: R pure red, K dark (black, or an edge pixel
# blending black with the red fill or the grey ground), . anything else.
row_letters() {
  convert "$1" -alpha off -crop "844x1+0+$2" +repage -depth 8 txt:- |
    awk -F'[(),]+' 'NR > 1 {
      r = $3; g = $4; b = $5
      if (r == 255 && g == 0 && b == 0) c = "R"
      else if ((g == 0 && b == 0) || (r == g && g == b && r <= 96)) c = "K"
      else c = "."
      printf "%s", c
    } END { print "" }'
}

# Number of pixels that differ between two images of the same size.
differing_pixels() {
  compare -metric AE "$1" "$2" null: 2>&1 || true
}

# Starts arrivals with ARGS in the background and waits for its window,
# named in $window. What it prints on standard output goes to stdout.log.
start_arrivals() {
  # A job started with & in a script ignores SIGINT, and a program keeps a
  # signal ignored that it was started with: give it SIGINT as a terminal
  # would.
  env --default-signal=INT "$arrivals" "$@" >"$work/stdout.log" \
    2>>"$work/arrivals.log" &
  app_pid=$!
  window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Arrivals$' 2>/dev/null |
    head -n 1) || true
  [[ -n $window ]] || fail "no window titled \"Arrivals\" was shown within 20 s"
  kill -0 "$app_pid" 2>/dev/null || fail "arrivals ended on its own"
}

# Waits for arrivals to end after WHAT, and checks its status is 0.
# expect_clean_exit WHAT [STATUS]: the program ends within 30 s with STATUS
# (default 0).
expect_clean_exit() {
  # (A sanitizer build checks for leaks at exit, which takes a while.)
  for _ in $(seq 300); do
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$app_pid" 2>/dev/null && fail "arrivals still runs 30 s after $1"
  local status=0
  wait "$app_pid" || status=$?
  app_pid=''
  ((status == ${2:-0})) || fail "arrivals ended with status $status after $1"
}

# --- a platform that cannot start ---------------------------------------------
# Ends the program at once with a non-zero status; the first line says so,
# and Qt's own words (which name the plugin) follow.
status=0
QT_QPA_PLATFORM=no-such-platform "$arrivals" >"$work/no-platform.log" 2>&1 || status=$?
((status != 0)) || fail "arrivals started without a platform plugin"
if ! head -n 1 "$work/no-platform.log" | grep -q '^arrivals: the window could not start' ||
  ! grep -q 'no-such-platform' "$work/no-platform.log"; then
  fail "a missing platform plugin was reported as: $(cat "$work/no-platform.log")"
fi

# --- start the program --------------------------------------------------------
start_arrivals

eval "$(xdotool getwindowgeometry --shell "$window")"
[[ $WIDTH == 844 && $HEIGHT == 645 ]] ||
  fail "the window is ${WIDTH}x${HEIGHT}, not 844x645"

# Mapped is not yet painted: wait for the window grey.
painted=0
for _ in $(seq 100); do
  shoot
  before=$shot
  if [[ $(pixel "$before" "$grey_x" "$grey_y") == 224,224,224 ]]; then
    painted=1
    break
  fi
  sleep 0.1
done
((painted)) || fail "the window was never painted in window grey"

# Until the first Start no marker is visible.
read -r _ reds <<<"$(red_pixels "$before")"
((reds == 0)) || fail "$reds red pixels before Start"
convert "$before" -alpha off -crop "$counter_geometry" +repage "$work/counter-0.png"
# The start-up "0" is there: the counter box is not plain grey.
ink=$(convert "$work/counter-0.png" -fill white +opaque '#E0E0E0' \
  -fill black -opaque '#E0E0E0' -format '%[fx:round(mean*w*h)]' info:)
((ink > 0)) || fail "the counter box shows no text at start-up"

# --- press Start -------------------------------------------------------------
# Found by its role and name, and pressed as a screen reader presses it; its
# name then follows its caption.
atspi press "$app_pid" start || fail "could not press Start"
atspi wait "$app_pid" stop || fail "Start did not become Stop"

# A marker crosses the track in 1.75 s and arrivals come at random, so some
# screenshots show no marker, and a marker may cover the counter: look at
# screenshots until each check has had a clear view. The limit only keeps a
# broken program from hanging the test: a slow machine passes well inside it.
marker_ok=0 counter_ok=0
deadline=$((SECONDS + 30))
sleep 2
while ((SECONDS < deadline)) && ((!marker_ok || !counter_ok)); do
  kill -0 "$app_pid" 2>/dev/null || fail "arrivals ended during the run"
  shoot

  read -r box reds <<<"$(red_pixels "$shot")"
  if ((reds > 0)); then
    # Every red pixel is on the track.
    [[ $box =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || fail "bad box '$box'"
    w=${BASH_REMATCH[1]} h=${BASH_REMATCH[2]} x=${BASH_REMATCH[3]} y=${BASH_REMATCH[4]}
    ((y >= track_top && y + h - 1 <= track_bottom && x >= track_left)) ||
      fail "red pixels off the track: ${w}x${h} at ($x, $y) in $(basename "$shot")"
    # A whole marker's worth of red: a 25 x 57 oval inside a 3-pixel
    # outline has about 700 pixels of pure red.
    ((reds >= 400)) || fail "only $reds red pixels in $(basename "$shot")"
    # Red fill inside a black outline: in the probe row every run of red has
    # at least two dark pixels on each side.
    row=$(row_letters "$shot" "$probe_row")
    [[ $row == *R* ]] || fail "no red in row $probe_row of $(basename "$shot")"
    if [[ $row =~ (^|[^KR])K?R || $row =~ RK?([^KR]|$) ]]; then
      fail "red without its black outline in row $probe_row of $(basename "$shot"): $row"
    fi
    marker_ok=1
  fi

  if ((!counter_ok)); then
    read -r _ covering <<<"$(red_pixels "$shot" "$counter_band")"
    if ((covering == 0)); then
      convert "$shot" -alpha off -crop "$counter_geometry" +repage "$work/counter-1.png"
      changed=$(differing_pixels "$work/counter-0.png" "$work/counter-1.png")
      [[ $changed =~ ^[0-9]+$ ]] || fail "compare said: $changed"
      ((changed > 0)) && counter_ok=1
    fi
  fi
  ((marker_ok && counter_ok)) || sleep 0.3
done
((marker_ok)) || fail "no red marker on the track within 30 s of Start"
((counter_ok)) || fail "the counter still shows its start-up text 30 s after Start"

# --- close the window ----------------------------------------------------------
"$close_window" "$window" || fail "could not ask the window to close"
expect_clean_exit "its window was closed"

# --- SIGTERM (a log-out, or kill) and SIGINT (Ctrl+C): death by the signal ---
start_arrivals
kill -TERM "$app_pid"
expect_clean_exit "SIGTERM" 143
start_arrivals
kill -INT "$app_pid"
expect_clean_exit "SIGINT" 130

# --- a script played into the open window ----------------------------------------
# Two scripted draws launch two packets; the window then opens on that run,
# going on by itself: markers on the track with no click, the dump already on
# standard output, and the generator turning to the clock once the script's
# draws are spent (on the seventh tick after it opens).
printf 'draws 0.5 0.5\nload\nclick start\ntick 10\ndump\n' >"$work/two-draws.script"
start_arrivals --script "$work/two-draws.script"
dumped=0
for _ in $(seq 50); do
  grep -q '"packetCount":2,' "$work/stdout.log" && dumped=1 && break
  sleep 0.1
done
((dumped)) || fail "no dump on standard output while the window is open: $(cat "$work/stdout.log")"
reds=0
for _ in $(seq 10); do
  shoot
  read -r first_box reds <<<"$(red_pixels "$shot")"
  ((reds > 0)) && break
  sleep 0.1
done
((reds > 0)) || fail "the window did not open on the script's run: no marker in $(basename "$shot")"
moved=0
for _ in $(seq 30); do
  sleep 0.3
  kill -0 "$app_pid" 2>/dev/null || fail "arrivals ended after its script's draws were spent"
  shoot
  read -r box _ <<<"$(red_pixels "$shot")"
  [[ $box != "$first_box" ]] && moved=1 && break
done
((moved)) || fail "the script's run did not go on in the window"
"$close_window" "$window" || fail "could not ask the window to close"
expect_clean_exit "its window was closed after a script"

passed=1
echo "PASS: markers on the track, counter moving, clean exit on close, death on" \
  "SIGTERM and SIGINT by the signal, a missing platform reported, a script's" \
  "run going on in the" \
  "window ($shot_no screenshots)"
