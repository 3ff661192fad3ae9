# shellcheck shell=bash
# What the end-to-end tests share: a virtual X server and a D-Bus session of
# their own, and the accessibility tree through which they find and press
# the window's controls (tests/e2e/atspi.py). Sourced by them.

# Checks that the X tools are here, then runs the calling script again, with
# the same arguments, on a virtual X server of its own and returns there
# with DISPLAY and XAUTHORITY set. xvfb-run picks a free display number (-a;
# it tries the next one if another server takes it first) and stops the
# server when the script ends; its errors go to LOG. dbus-run-session gives
# the script a private session bus, on which the accessibility bus starts
# when first asked for and which ends with the script. Without the tools
# the test is skipped (status 77), except under CI, where it fails.
#
#   arrivals_e2e_display LOG "$@"
arrivals_e2e_display() {
  local log=$1
  shift
  local -a missing=()
  local tool
  for tool in xvfb-run Xvfb xauth xdotool import convert compare \
    dbus-run-session /usr/libexec/at-spi-bus-launcher; do
    command -v "$tool" >/dev/null || missing+=("$tool")
  done
  /usr/bin/python3 -c 'import pyatspi' 2>/dev/null || missing+=(python3-pyatspi)
  if ((${#missing[@]})); then
    if [[ ${CI:-} == true || ${CI:-} == 1 ]]; then
      echo "FAIL: missing under CI: ${missing[*]}" >&2
      exit 1
    fi
    echo "SKIP: missing ${missing[*]} (Debian: xvfb xauth xdotool imagemagick" \
      "dbus at-spi2-core python3-pyatspi)" >&2
    exit 77
  fi
  if [[ -z ${ARRIVALS_E2E_DISPLAY:-} ]]; then
    export ARRIVALS_E2E_DISPLAY=1
    exec xvfb-run -a -e "$PWD/$log" -s '-screen 0 1024x768x24' \
      dbus-run-session -- bash "${BASH_SOURCE[1]}" "$@"
  fi
  export QT_QPA_PLATFORM=xcb
  # Qt publishes its tree only to a screen reader, unless told to always.
  export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
  unset WAYLAND_DISPLAY
}

# Runs tests/e2e/atspi.py with Debian's python3, which has pyatspi:
#   atspi press PID start | atspi type PID rate 3.5 | atspi wait PID stop
atspi() {
  /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/atspi.py" "$@"
}
