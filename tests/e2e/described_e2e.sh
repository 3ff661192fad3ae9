#!/usr/bin/env bash
# The window's accessibility tree against the page's DOM for one script,
# and F1 in the window (tests/e2e/described.py), on a virtual X server and
# a D-Bus session of their own.
#
#   described_e2e.sh ARRIVALS [PAGE]
set -euo pipefail

arrivals=${1:?usage: described_e2e.sh ARRIVALS [PAGE]}
# shellcheck source=tests/e2e/display.sh
source "$(dirname "${BASH_SOURCE[0]}")/display.sh"
arrivals_e2e_display xvfb-described.log "$@"
exec /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/described.py" "$arrivals" "${2:-}"
