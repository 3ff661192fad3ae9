#!/usr/bin/python3
"""The browser edition's four figures, in Debian's headless Chromium.

    web_cost.py PAGE BASELINE [--tool ARRIVALS_SCRIPT] [--ticks N] [--rounds N]

Prints one JSON object: the file's size and gzipped size, the first frame
after navigation starts (file://), ten simulated hours through #script=
played and shown, and the main-thread time of one tick with its painting
beside the web baseline's, measured in the same browser, rounds alternating.
"""

import argparse
import gzip
import json
import os
import pathlib
import signal
import statistics
import subprocess
import time
import urllib.parse

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

TEN_HOURS = b"seed 1\nload\npick rate 8\nclick start\ntick 720000\n"

# One tick as the timer delivers it, each timed on its own; the same
# statistics as the baseline's page.
TICKS_JS = """
const n = arguments[0], times = [];
document.querySelector('#btnStart').click();
const t0 = performance.now();
for (let i = 0; i < n; ++i) {
  const a = performance.now();
  window.arrivals.timerEvent();
  times.push(performance.now() - a);
}
const total = performance.now() - t0;
times.sort((x, y) => x - y);
return {mean_ms: total / n, p99_ms: times[Math.floor(n * 0.99)]};
"""


def driver():
    """The browser, with its driver in a session of their own: end() ends
    the whole group, whatever the driver's quit() leaves."""
    o = webdriver.ChromeOptions()
    o.binary_location = "/usr/bin/chromium-headless-shell"
    for a in ["--no-sandbox", "--disable-gpu", "--window-size=844,645",
              "--force-device-scale-factor=1"]:
        o.add_argument(a)
    service = Service("/usr/bin/chromedriver", popen_kw={"start_new_session": True})
    d = webdriver.Chrome(service=service, options=o)

    def end():
        try:
            d.quit()
        finally:
            try:
                os.killpg(service.process.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
    return d, end


def wait_for(d, js, timeout=60):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        v = d.execute_script(js)
        if v:
            return v
        time.sleep(0.01)
    raise TimeoutError(js)


def main():
    p = argparse.ArgumentParser()
    p.add_argument("page")
    p.add_argument("baseline")
    p.add_argument("--tool")
    p.add_argument("--ticks", type=int, default=5000)
    p.add_argument("--rounds", type=int, default=3)
    a = p.parse_args()
    page = pathlib.Path(a.page).resolve()
    data = page.read_bytes()
    out = {"size_bytes": len(data), "gzip_bytes": len(gzip.compress(data, 9))}
    url = page.as_uri()
    base = pathlib.Path(a.baseline).resolve().as_uri()
    d, end = driver()
    try:
        first, hours, ticks, baseline = [], [], [], []
        mark = "const e = performance.getEntriesByName('%s'); return e.length ? e[0].startTime : 0"
        for _ in range(a.rounds):
            d.get("about:blank")
            d.get(url + "#bare=1&seed=1")
            first.append(wait_for(d, mark % "arrivals-first-frame"))
            d.get("about:blank")
            d.get(url + "#bare=1&script=" + urllib.parse.quote_from_bytes(TEN_HOURS, safe=""))
            hours.append(wait_for(d, mark % "arrivals-script-shown"))
            d.get("about:blank")
            d.get(url + "#bare=1&seed=1")
            wait_for(d, "return document.getElementById('status').textContent")
            ticks.append(d.execute_script(TICKS_JS, a.ticks))
            d.get("about:blank")
            d.get(base + "?ticks=%d" % a.ticks)
            stats = wait_for(d, "const s = document.getElementById('stats'); return s && s.textContent")
            baseline.append(json.loads(stats))
        out["first_frame_ms"] = statistics.median(first)
        out["ten_hours_ms"] = statistics.median(hours)
        out["tick_mean_ms"] = statistics.median(t["mean_ms"] for t in ticks)
        out["tick_p99_ms"] = statistics.median(t["p99_ms"] for t in ticks)
        out["baseline_mean_ms"] = statistics.median(b["mean_ms"] for b in baseline)
        out["baseline_p99_ms"] = statistics.median(b["p99_ms"] for b in baseline)
        out["tick_ratio"] = round(out["tick_mean_ms"] / out["baseline_mean_ms"], 2)
    finally:
        end()
    if a.tool:
        t0 = time.monotonic()
        subprocess.run([a.tool], input=TEN_HOURS, check=True, stdout=subprocess.DEVNULL)
        out["ten_hours_native_ms"] = round((time.monotonic() - t0) * 1000, 1)
    print(json.dumps(out))


if __name__ == "__main__":
    main()
