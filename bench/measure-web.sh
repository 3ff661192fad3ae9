#!/usr/bin/env bash
# The browser edition's figures (a benchmark, not a test): the size of
# arrivals.html (at most 400 KB, 150 KB gzipped), its first frame after
# navigation starts from file:// (at most 300 ms), ten simulated hours
# through #script= played and shown (at most 1.5 s; the script tool's native
# time beside it), and the main-thread time of one tick with its painting
# (mean at most 0.5 ms and 0.75 x the web baseline's in the same run, 99th
# percentile at most 1 ms). Medians of a few rounds, page and baseline
# alternating in one headless Chromium.
#
#   bench/measure-web.sh [--rounds N] [--ticks N]
#
# Environment:
#   ARRIVALS_WEB_BASELINE  the web baseline's page (default:
#                          shared/web-baseline/baseline.html in the folder
#                          that holds this repository)
#   ARRIVALS_PAGE          measure this arrivals.html instead of building one
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
baseline=${ARRIVALS_WEB_BASELINE:-$root/../shared/web-baseline/baseline.html}
page=${ARRIVALS_PAGE:-}
if [[ -z $page ]]; then
  "$root/scripts/web" >&2
  page=$root/build-web/arrivals.html
fi
if [[ ! -f $baseline ]]; then
  echo "measure-web: no web baseline at $baseline (set ARRIVALS_WEB_BASELINE)" >&2
  exit 2
fi
tool=()
for t in "$root/build-bench/tools/arrivals-script" "$root/build/tools/arrivals-script"; do
  if [[ -x $t ]]; then
    tool=(--tool "$t")
    break
  fi
done
json=$(/usr/bin/python3 "$root/bench/web_cost.py" "$page" "$baseline" "${tool[@]}" "$@")
echo "$json"
/usr/bin/python3 - "$json" <<'PY'
import json, sys
r = json.loads(sys.argv[1])
rows = [
    ("size", "%d KB" % (r["size_bytes"] / 1000), "<= 400 KB", r["size_bytes"] <= 400000),
    ("gzipped", "%d KB" % (r["gzip_bytes"] / 1000), "<= 150 KB", r["gzip_bytes"] <= 150000),
    ("first frame", "%.0f ms" % r["first_frame_ms"], "<= 300 ms", r["first_frame_ms"] <= 300),
    ("ten hours", "%.0f ms" % r["ten_hours_ms"] + (" (native %.0f ms)" % r["ten_hours_native_ms"] if "ten_hours_native_ms" in r else ""), "<= 1500 ms", r["ten_hours_ms"] <= 1500),
    ("tick mean", "%.3f ms (baseline %.3f, x%.2f)" % (r["tick_mean_ms"], r["baseline_mean_ms"], r["tick_ratio"]), "<= 0.5 ms, <= 0.75 x", r["tick_mean_ms"] <= 0.5 and r["tick_ratio"] <= 0.75),
    ("tick p99", "%.2f ms" % r["tick_p99_ms"], "<= 1 ms", r["tick_p99_ms"] <= 1),
]
for name, value, target, ok in rows:
    print("%-12s %-42s %-20s %s" % (name, value, target, "ok" if ok else "OVER"))
PY
