# shellcheck shell=bash
# What the end-to-end tests share: a virtual X server of their own. Sourced
# by them.

# Checks that the X tools are here, then runs the calling script again, with
# the same arguments, on a virtual X server of its own and returns there
# with DISPLAY and XAUTHORITY set. xvfb-run picks a free display number (-a;
# it tries the next one if another server takes it first) and stops the
# server when the script ends; its errors go to LOG. Without the tools the
# test is skipped (status 77), except under CI, where it fails.
#
#   arrivals_e2e_display LOG "$@"
arrivals_e2e_display() {
  local log=$1
  shift
  local -a missing=()
  local tool
  for tool in xvfb-run Xvfb xauth xdotool import convert compare; do
    command -v "$tool" >/dev/null || missing+=("$tool")
  done
  if ((${#missing[@]})); then
    if [[ ${CI:-} == true || ${CI:-} == 1 ]]; then
      echo "FAIL: missing under CI: ${missing[*]}" >&2
      exit 1
    fi
    echo "SKIP: missing ${missing[*]} (Debian: xvfb xauth xdotool imagemagick)" >&2
    exit 77
  fi
  if [[ -z ${ARRIVALS_E2E_DISPLAY:-} ]]; then
    export ARRIVALS_E2E_DISPLAY=1
    exec xvfb-run -a -e "$PWD/$log" -s '-screen 0 1024x768x24' \
      bash "${BASH_SOURCE[1]}" "$@"
  fi
  export QT_QPA_PLATFORM=xcb
  unset WAYLAND_DISPLAY
}
