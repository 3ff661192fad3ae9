#!/usr/bin/python3
"""The browser edition in a real browser: Debian's headless Chromium, driven
by Selenium through chromium-driver.

    page_test.py PAGE GOLDEN_DIR --format JSON [--window ARRIVALS] [--only NAME]

PAGE is arrivals.html, GOLDEN_DIR the script tool's golden scripts, JSON
the scene's format as the build wrote it (scene_format.json); with
--window, a few scripts are also painted by the desktop window's
--screenshot and the two pictures are compared bar by bar, marker by
marker and in the logo. Prints one line per check and exits 1 when any
failed.
"""

import argparse
import base64
import io
import json
import os
import pathlib
import re
import signal
import subprocess
import sys
import tempfile
import time
import urllib.parse

from PIL import Image
from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

BROWSERS = ["/usr/bin/chromium-headless-shell", "/usr/bin/chromium"]
FAILURES = []
FORMAT = {}  # the scene's format, from --format


def check(name, ok, why=""):
    print(("ok   " if ok else "FAIL ") + name + ("" if ok else ": " + why))
    if not ok:
        FAILURES.append(name)


def encode(data: bytes) -> str:
    return urllib.parse.quote_from_bytes(data, safe="")


class Page:
    def __init__(self, path):
        self.url = pathlib.Path(path).resolve().as_uri()
        self.downloads = tempfile.TemporaryDirectory()
        options = webdriver.ChromeOptions()
        options.binary_location = next(b for b in BROWSERS if os.path.exists(b))
        for arg in ["--no-sandbox", "--disable-gpu", "--hide-scrollbars",
                    "--force-device-scale-factor=1", "--window-size=844,645"]:
            options.add_argument(arg)
        options.set_capability("goog:loggingPrefs",
                               {"browser": "ALL", "performance": "ALL"})
        # The driver and its browser in a session of their own, so that
        # quit() can end the whole group: the browser outlives the driver's
        # own quit at times.
        self.service = Service("/usr/bin/chromedriver",
                               popen_kw={"start_new_session": True})
        self.driver = webdriver.Chrome(service=self.service, options=options)
        self.driver.set_window_size(844, 645)
        self.driver.execute_cdp_cmd("Page.setDownloadBehavior", {
            "behavior": "allow", "downloadPath": self.downloads.name})

    def js(self, code, *args):
        return self.driver.execute_script(code, *args)

    def open(self, fragment, timeout=60):
        """Opens the page afresh on `fragment` and waits for #status."""
        self.driver.get("about:blank")
        self.driver.get(self.url + "#" + fragment)
        return self.wait(timeout)

    def wait(self, timeout=60):
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            status = self.js("return document.getElementById('status').textContent")
            if status:
                return status
            time.sleep(0.02)
        raise TimeoutError("no #status after %d s" % timeout)

    def dumps(self):
        return self.js("return document.getElementById('dumps').textContent")

    def logs(self):
        """Console errors, and requests that left the file itself."""
        errors = [e["message"] for e in self.driver.get_log("browser")
                  if e["level"] == "SEVERE"]
        requests = []
        for entry in self.driver.get_log("performance"):
            m = json.loads(entry["message"])["message"]
            if m["method"] == "Network.requestWillBeSent":
                url = m["params"]["request"]["url"]
                if not url.startswith(("file:", "data:", "blob:", "about:")):
                    requests.append(url[:80])
        return errors, requests

    def download(self, name, timeout=600):
        """The bytes of file `name` once the page has downloaded it whole,
        taken away; None when none came or the page said it failed."""
        path = pathlib.Path(self.downloads.name) / name
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            if name + " not saved" in self.js(
                    "return document.getElementById('notice').textContent"):
                return None
            partial = list(pathlib.Path(self.downloads.name).glob("*.crdownload"))
            if path.exists() and not partial:
                data = path.read_bytes()
                path.unlink()
                return data
            time.sleep(0.1)
        return None

    def quit(self):
        try:
            self.driver.quit()
        finally:
            try:
                os.killpg(self.service.process.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            self.downloads.cleanup()


def split_status(status):
    code, _, message = status.partition(" ")
    return code, message


def golden(page, directory):
    """Every golden script through the URL: the tool's bytes, status, message."""
    for script in sorted(pathlib.Path(directory).glob("*.script")):
        name = script.stem
        status = page.open("bare=1&script=" + encode(script.read_bytes()), 120)
        code, message = split_status(status)
        want_code, want_message = "0", ""
        exit_file = script.with_suffix(".exit")
        if exit_file.exists():
            first, _, rest = exit_file.read_text().partition("\n")
            want_code, want_message = first, rest.rstrip("\n")
        ok = (code, message) == (want_code, want_message)
        why = "status %r, expected %r" % (status, (want_code, want_message))
        dumps = page.dumps()
        if script.with_suffix(".jsonl").exists():
            want = script.with_suffix(".jsonl").read_text()
            if dumps != want:
                ok, why = False, "dumps differ (%d bytes, expected %d)" % (
                    len(dumps), len(want))
        else:
            for text in script.with_suffix(".contains").read_text().splitlines():
                if text and text not in dumps:
                    ok, why = False, "dumps lack " + text
        check("golden " + name, ok, why)


def usable(page):
    """The form answers: Start turns into Stop and back."""
    start = page.driver.find_element(By.ID, "btnStart")
    before = start.text
    start.click()
    after = start.text
    start.click()
    return before != after and start.text == before


HOSTILE = [
    # (what, fragment, status, message contains)
    ("bad percent-encoding", "script=load%ZZ", "2", "bad percent-encoding"),
    ("a lone percent", "bare=1&script=%", "2", "bad percent-encoding"),
    ("a seed that is no number", "seed=-1", "2", "seed: '-1' is not"),
    ("a bare seed that is no number", "bare=1&seed=x", "2", "seed: 'x' is not"),
    ("a seed past 64 bits", "seed=18446744073709551616", "2", "is not an unsigned"),
    ("a NUL in the script", "script=load%00", "2", "line 1: unknown command 'load\\x00'"),
    ("a NUL in the seed", "seed=1%00", "2", "seed: '1\\x00'"),
    ("bytes that are not UTF-8", "script=load%0Atype%20rate%20%FF", "2",
     "line 2: type: text is not UTF-8"),
    ("a script that runs out of draws", "script=load%0Aclick%20start%0Atick%203",
     "3", "line 3: out of scripted draws"),
    ("no pairs at all", "&&&=&x", "0", ""),
    ("unknown names", "colour=red&seed=3", "0", ""),
]


# The notice as a student sees it: inside the viewport, on top, saying `text`.
NOTICE_SEEN_JS = """const n = document.getElementById('notice'), r = n.getBoundingClientRect();
const top = document.elementFromPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
return r.height > 0 && r.top >= 0 && r.bottom <= innerHeight && r.right <= innerWidth &&
  !!top && n.contains(top) && n.textContent.includes(arguments[0]);"""


def hostile(page):
    for what, fragment, want_code, want in HOSTILE:
        code, message = split_status(page.open(fragment))
        seen = code == "0" or page.js(NOTICE_SEEN_JS, want)
        check("hostile: " + what, code == want_code and want in message and
              seen and usable(page), "status %r %r, notice seen %r" % (code, message, seen))
    # A line of more than 1 MiB, set as a new fragment of the open page.
    page.open("seed=1")
    page.js("location.hash = 'script=' + 'x'.repeat(1100000)")
    time.sleep(0.2)
    code, message = split_status(page.wait())
    check("hostile: a 1 MiB line",
          code == "2" and message == "line 1: longer than 1 MiB" and usable(page),
          "status %r %r" % (code, message))
    # A tick that would never end: the page answers, and Cancel stops it.
    page.driver.get(page.url + "#" + "script=" +
                    encode(b"seed 1\nload\nclick start\ntick 18446744073709551615\n"))
    time.sleep(1.0)
    busy = page.js("return !document.getElementById('busy').hidden")
    # The overlay says how far the tick has come, and that moves.
    said = []
    for _ in range(2):
        said.append(page.js("return document.getElementById('progressText')?.textContent"))
        time.sleep(0.5)
    check("a long tick shows its line and its ticks done, moving",
          all(re.fullmatch(r"line 4: [0-9,]+ of 18,446,744,073,709,551,615 ticks", t or "")
              for t in said) and said[0] != said[1], repr(said))
    page.driver.find_element(By.ID, "cancel").click()
    code, message = split_status(page.wait())
    check("hostile: an endless tick, cancelled",
          busy and code == "130" and message == "line 4: cancelled" and usable(page),
          "busy %r, status %r %r" % (busy, code, message))


RECORDING_JS = "return Array.from(window.arrivals.form.take('recording'))"
DUMP_JS = "return window.arrivals.form.takeText('dump')"


def recording(page):
    """The page's recording of its session, as bytes."""
    return bytes(page.js(RECORDING_JS))


def same_state(page, name):
    """The page's recording, played as a link, leaves the identical dump."""
    # Both in one task: no timer event between them.
    recorded, dump = page.js("""const f = window.arrivals.form;
        return [Array.from(f.take('recording')), f.takeText('dump')];""")
    recorded = bytes(recorded)
    page.open("bare=1&script=" + encode(recorded + b"dump\n"))
    check(name, page.dumps() == dump + "\n",
          "replayed %s\nlive     %s" % (page.dumps()[:300], dump[:300]))
    return recorded


def interaction(page):
    page.open("bare=1&seed=7")
    d = page.driver
    rate = d.find_element(By.ID, "cmbData")
    check("focus starts in the rate box",
          page.js("return document.activeElement.id") == "cmbData")
    rate.send_keys(Keys.CONTROL, "a")
    for key in "3.5":
        rate.send_keys(key)
    recorded = recording(page)
    check("typing is one change a keystroke",
          b"type rate 3\ntype rate 3.\ntype rate 3.5\n" in recorded, repr(recorded))
    rate.send_keys(Keys.ARROW_DOWN)
    check("Down picks the next item", b"pick rate " in recording(page))
    start = d.find_element(By.ID, "btnStart")
    pause = d.find_element(By.ID, "btnPause")
    start.click()
    check("Start becomes Stop", start.text == "Stop", start.text)
    time.sleep(0.5)
    pause.click()
    check("Pause becomes Cont", pause.text == "Cont", pause.text)
    pause.click()
    view1 = d.find_element(By.ID, "optGraphs1")
    view1.click()
    check("a view button selects its view",
          b"click view 1\n" in recording(page) and view1.is_selected())
    view1.send_keys(Keys.ARROW_LEFT)
    check("an arrow key moves to the other view",
          b"click view 0\n" in recording(page) and
          d.find_element(By.ID, "optGraphs0").is_selected())
    time.sleep(0.3)
    incremental(page)
    traces(page)
    same_state(page, "a recorded link reopens on the identical dump")


# Bytes a recording must keep: a NUL and a byte that is not UTF-8, in
# comments, which the script language carries as they are.
ODD_BYTES = (b"seed 1\nload\n#x\x00y\n#caf\xe9\npick rate 8\nclick start\n"
             b"tick 200\nclick pause\n")
# Sessions whose packets traces are some 50 MB and some 650 MB.
MEDIUM = b"seed 1\nload\ntype rate 10\nclick start\ntick 3000000\nclick pause\n"
LONG = b"seed 1\nload\ntype rate 10\nclick start\ntick 40000000\nclick pause\n"


def link_of(page):
    """The page's own "Link to this run"."""
    page.driver.find_element(By.ID, "cmdLink").click()
    return page.js("return document.getElementById('linkField')?.value")


def link_note(page):
    return page.js("return document.getElementById('linkNote')?.textContent") or ""


def click_if(page, id):
    """Clicks element `id` as a user would; False when there is none."""
    found = page.driver.find_elements(By.ID, id)
    if found:
        found[0].click()
    return bool(found)


# A session whose link is some 9000 characters.
LONG_LINK = b"seed 1\nload\n" + b"pick rate 1\npick rate 2\n" * 300


def saved_script(page):
    page.driver.find_element(By.ID, "cmdSaveScript").click()
    return page.download("arrivals-run.script")


def saved_picture(page, width, height):
    """"Save picture" in a window of `width` x `height`, as an image."""
    page.driver.set_window_size(width, height)
    page.driver.find_element(By.ID, "cmdPicture").click()
    data = page.download("arrivals.png")
    page.driver.set_window_size(844, 645)
    return Image.open(io.BytesIO(data)).convert("RGB") if data else None


def overlay_closed_and_usable(page):
    return page.js("return document.getElementById('busy').hidden") and usable(page)


def saves(page):
    """Every byte of a recording through the page's own link and file; a
    long trace saved whole; a failure or a second save leaves it usable."""
    page.open("script=" + encode(ODD_BYTES))
    first = saved_script(page)
    check("a NUL and a byte 0xE9 survive Save this run as a script",
          first == ODD_BYTES, repr(first)[:300])
    # The picture is the form at scale 1, whatever the page's scale.
    small, large = saved_picture(page, 844, 645), saved_picture(page, 1366, 768)
    check("Save picture gives the form at 844 x 645 in any window",
          small and large and small.size == large.size == (844, 645) and
          small.tobytes() == large.tobytes(),
          "sizes %r %r" % (small and small.size, large and large.size))
    # The link the page made, shown whole, copied, opened in the same tab,
    # then its own link.
    link = link_of(page) or ""
    check("the link is shown whole, with the note of a page from a file",
          link == page.url + "#script=" + encode(first or b"") and
          "only where the same page is" in link_note(page) and
          "may cut it" not in link_note(page), "%r, note %r" % (link, link_note(page)))
    copy_js = "return document.getElementById('cmdCopy')?.textContent"
    end = time.monotonic() + (5 if click_if(page, "cmdCopy") else 0)
    while page.js(copy_js) != "Copied" and time.monotonic() < end:
        time.sleep(0.05)
    check("Copy says Copied", page.js(copy_js) == "Copied", repr(page.js(copy_js)))
    dump = page.js(DUMP_JS)
    page.driver.get("about:blank")
    page.driver.get(link or page.url)
    page.wait()
    again = saved_script(page)
    check("a link opened with a script links, dumps and saves the same",
          again == first and link_of(page) == link and page.js(DUMP_JS) == dump,
          "%r\n%r" % ((again or b"")[:200], (first or b"")[:200]))
    # A link too long for mail offers the script instead.
    page.open("script=" + encode(LONG_LINK))
    link = link_of(page) or ""
    offered = click_if(page, "cmdSaveLong")
    check("a link over 8000 characters says it may be cut and saves the script",
          len(link) > 8000 and "may cut it" in link_note(page) and
          offered and page.download("arrivals-run.script", 10) == LONG_LINK,
          "%d characters, note %r" % (len(link), link_note(page)))

    # An injected failure part-way, the overlay shown: the file's parts
    # cannot be made.
    page.open("script=" + encode(MEDIUM), 600)
    page.js("""window.realBlob = window.Blob;
        window.Blob = function () { throw new Error('no room for the file'); };""")
    page.driver.find_element(By.ID, "cmdPackets").click()
    end = time.monotonic() + 600
    while page.js("return window.arrivals.jobs.busy()") and time.monotonic() < end:
        time.sleep(0.1)
    said = page.js("window.Blob = window.realBlob;"
                   "return document.getElementById('notice').textContent")
    check("a failed save closes the overlay and says why",
          "no room for the file" in said and overlay_closed_and_usable(page), said)

    # A new link while a save runs: the save is dropped, the link plays.
    page.open("script=" + encode(MEDIUM), 600)
    page.driver.find_element(By.ID, "cmdPackets").click()
    page.js("document.getElementById('status').textContent = '';"
            "location.hash = arguments[0];", "script=" + encode(b"seed 2\nload\ndump\n"))
    try:
        status = page.wait()
    except TimeoutError:
        status = None
    check("a new link while a save runs plays the link",
          status == "0" and page.dumps().startswith('{"') and
          page.download("packets.csv", 2) is None and usable(page),
          "status %r, dumps %r" % (status, page.dumps()[:80]))

    # A second save while the first runs is refused; the first ends whole.
    save_packets(page, MEDIUM, "a second save while one runs is refused; "
                 "the first is saved whole", second=True)


def save_packets(page, script, name, second=False):
    page.open("script=" + encode(script), 1800)
    d = page.driver
    d.find_element(By.ID, "cmdPackets").click()
    if second:
        d.find_element(By.ID, "cmdSeconds").click()
    # A click is an input event, which the page may handle after a script
    # that the test runs next: wait for its word rather than read at once.
    notice_js = "return document.getElementById('notice').textContent"
    said = page.js(notice_js)
    end = time.monotonic() + (10 if second else 0)
    while not said and time.monotonic() < end:
        time.sleep(0.05)
        said = page.js(notice_js)
    data = page.download("packets.csv", 3600)
    tail = data[-200:].split(b"\n") if data else []
    refused = not second or ("another job is running" in said and
                             page.download("seconds.csv", 1) is None)
    count = json.loads(page.js(DUMP_JS))["packetCount"]
    check(name, refused and data is not None and
          data.startswith(b"time_ms,run_ms,packet,gap_ms\n") and
          data.endswith(b"\n") and int(tail[-2].split(b",")[2]) == count and
          data.count(b"\n") == count + 1 and
          overlay_closed_and_usable(page),
          "notice %r, %s bytes, last row %r, %d packets" % (
              said, len(data) if data else None, tail[-2:] if tail else None, count))


def long_save(page):
    """The packets of a 40-million-tick session (650 MB), saved whole."""
    save_packets(page, LONG, "the packets of a 40-million-tick session are saved whole")


def two_forms(page):
    """Two forms of one module, each behind its own handle, apart."""
    got = page.js("""const a = window.arrivals, t = new TextEncoder();
        const other = new ArrivalsBridge.Form(a.module);
        other.start(t.encode('5'), t.encode('load\\npick rate 3\\ndump\\n'));
        while (other.play() < 0);
        const theirs = other.takeText('dumps');
        const mine = a.form.takeText('dump');
        other.close();
        return [theirs, mine, a.form.takeText('dump')];""")
    theirs, mine, after = got
    check("a second form in one module keeps to itself",
          theirs.startswith("{") and theirs != mine + "\n" and mine == after,
          "%r %r" % (theirs[:100], mine[:100]))


# The two canvases as the ticks left them against the form painted afresh:
# pixels that differ.
INCREMENTAL_JS = """
const a = document.getElementById('canvas'), b = document.getElementById('moving');
const both = () => {
  const one = document.createElement('canvas');
  one.width = a.width; one.height = a.height;
  const x = one.getContext('2d');
  x.drawImage(a, 0, 0); x.drawImage(b, 0, 0);
  return x.getImageData(0, 0, a.width, a.height).data;
};
const got = both();
window.arrivals.repaint();
const full = both();
const boxes = [...document.querySelectorAll('#controls > *')].map(e => {
  const r = e.getBoundingClientRect(); return [r.left - 2, r.top - 2, r.right + 2, r.bottom + 2]; });
let differ = 0; const where = [];
for (let y = 0; y < a.height; ++y)
  for (let x0 = 0; x0 < a.width; ++x0) {
    if (boxes.some(([l, t, r, bt]) => x0 >= l && x0 < r && y >= t && y < bt)) continue;
    const i = (y * a.width + x0) * 4;
    if (Math.abs(got[i] - full[i]) + Math.abs(got[i + 1] - full[i + 1]) + Math.abs(got[i + 2] - full[i + 2]) > 24) { if (differ < 8) where.push([x0, y, got[i], got[i+1], got[i+2], full[i], full[i+1], full[i+2]]); ++differ; }
  }
return [differ, where];
"""


def traces(page):
    """"Save packets" and "Save seconds" replay the recording with traces."""
    d = page.driver
    d.find_element(By.ID, "btnPause").click()  # the state stays meanwhile
    # The row of commands is hidden with bare=1: its buttons as a script
    # would press them.
    page.js("document.getElementById('cmdPackets').click()")
    packets = (page.download("packets.csv") or b"").decode()
    page.js("document.getElementById('cmdSeconds').click()")
    seconds = (page.download("seconds.csv") or b"").decode()
    state = json.loads(page.js(DUMP_JS))
    d.find_element(By.ID, "btnPause").click()
    rows = packets.splitlines() or [""]
    check("the packets trace has a row a packet",
          rows[0] == "time_ms,run_ms,packet,gap_ms" and
          len(rows) - 1 == state["packetCount"] and
          (len(rows) == 1 or int(rows[-1].split(",")[2]) == state["packetCount"]),
          "%d rows for %d packets" % (len(rows) - 1, state["packetCount"]))
    rows = seconds.splitlines() or [""]
    check("the seconds trace has a row a second",
          rows[0] == "time_ms,second,count_1s,count_3s,count_10s" and
          len(rows) - 1 == state["secondCount"],
          "%d rows for %d seconds" % (len(rows) - 1, state["secondCount"]))


def variance(page):
    """"Variance-time of this run" saves the points that variance_time.py
    prints for the page's own seconds.csv, for a second link in the tab too."""
    sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "docs"))
    import variance_time
    d = page.driver
    for seed, process in ((7, 3), (2, 0)):
        script = ("seed %d\nload\npick process %d\npick rate 2\nclick start\n"
                  "tick 24000\n" % (seed, process)).encode()
        page.open("script=" + encode(script), 300)
        d.find_element(By.ID, "btnPause").click()  # the same session for both
        page.js("document.getElementById('cmdSeconds').click()")
        seconds = page.download("seconds.csv") or b""
        page.js("document.getElementById('cmdVariance').click()")
        end = time.monotonic() + 120
        while not page.js("return document.getElementById('varianceBox').open"):
            if time.monotonic() > end:
                break
            time.sleep(0.1)
        page.js("document.getElementById('cmdSavePoints').click()")
        points = (page.download("points.csv", 60) or b"").decode()
        summary = page.js(
            "return document.getElementById('varianceSummary').textContent")
        rows = page.js("return document.getElementById('variancePoints')"
                       ".tBodies[0].rows.length")
        page.js("document.getElementById('varianceClose').click()")
        with tempfile.NamedTemporaryFile(suffix=".csv") as f:
            f.write(seconds)
            f.flush()
            expected = variance_time.points_text(*variance_time.read_seconds(f.name))
        check("the page's variance-time points for seed %d equal the script's" % seed,
              points == expected and rows == expected.count("\n") - 3 and
              "H is " in summary,
              "%r / %r, %r rows, %r" % (points[-80:], expected[-80:], rows, summary))


def incremental(page):
    """Ticks repaint only what changed; the result is the whole form's."""
    d = page.driver
    if d.find_element(By.ID, "btnPause").text != "Pause":
        d.find_element(By.ID, "btnPause").click()
    # A change of view changes captions and titles of the still layer; the
    # ticks after it change the scales' captions.
    page.js("for (let i = 0; i < 150; ++i) window.arrivals.timerEvent();")
    d.find_element(By.ID, "optGraphs1").click()
    page.js("for (let i = 0; i < 250; ++i) window.arrivals.timerEvent();")
    d.find_element(By.ID, "btnPause").click()
    differ, where = page.js(INCREMENTAL_JS)
    check("a tick repaints the form as a whole repaint would", differ == 0,
          "%d pixels differ, first %r" % (differ, where))
    d.find_element(By.ID, "btnPause").click()


def saturated(img, skip):
    """Pixels of bars and markers: colours far from grey, outside `skip`."""
    w, h = img.size
    px = img.load()
    out = set()
    for y in range(h):
        for x in range(w):
            if any(bx <= x < bx + bw and by <= y < by + bh for bx, by, bw, bh in skip):
                continue
            r, g, b = px[x, y][:3]
            if max(r, g, b) - min(r, g, b) > 90:
                out.add((x, y))
    return out


def inside(p, box):
    return box[0] <= p[0] < box[0] + box[2] and box[1] <= p[1] < box[1] + box[3]


def unmatched(a, b):
    """Pixels of `a` with no pixel of `b` within 1 px."""
    return [p for p in a if not any((p[0] + dx, p[1] + dy) in b
                                    for dx in (-1, 0, 1) for dy in (-1, 0, 1))]


# Each ends with Pause, which stops the timer: the page's run must not go
# on before its picture is taken.
PICTURES = [
    ("poisson", b"seed 1\nload\npick rate 8\nclick start\ntick 400\nclick pause\n"),
    ("pareto views", b"seed 3\nload\npick process 3\nclick start\ntick 900\n"
                     b"click view 1\ntick 77\nclick pause\n"),
    ("cantor", b"seed 1\nload\npick process 6\npick rate 2\nclick start\n"
               b"tick 4360\nclick pause\n"),
]


def pictures(page, window):
    for name, script in PICTURES:
        with tempfile.TemporaryDirectory() as tmp:
            path = pathlib.Path(tmp)
            (path / "s.script").write_bytes(script)
            env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
            subprocess.run([window, "--script", str(path / "s.script"),
                            "--screenshot", str(path / "w.png")],
                           env=env, check=True, stdout=subprocess.DEVNULL)
            desk = Image.open(path / "w.png").convert("RGB")
        page.open("bare=1&script=" + encode(script))
        size = page.js("return [innerWidth, innerHeight]")
        shot = Image.open(io.BytesIO(page.driver.get_screenshot_as_png())).convert("RGB")
        boxes = page.js("""return [...document.querySelectorAll('#controls > *')]
            .map(e => { const r = e.getBoundingClientRect();
                        return [r.left - 2, r.top - 2, r.width + 4, r.height + 4]; });""")
        # The logo is compared as the bars and markers are: Chromium and Qt
        # antialias its lettering alike to within a pixel.
        logo = page.js("""const S = arguments[0], F = S.field;
            const n = window.arrivals.form.frame(true).n;
            for (let i = 0; i < n.length; i += S.size[n[i + F.kind]])
              if (n[i + F.kind] === S.kind.lettering)
                return [n[i + F.x], n[i + F.y], n[i + F.w], n[i + F.h]];""", FORMAT)
        a, b = saturated(shot, boxes), saturated(desk, boxes)
        miss = unmatched(a, b) + unmatched(b, a)
        check("picture %s agrees with the window's to 1 px" % name,
              size == [844, 645] and shot.size == desk.size and not miss,
              "viewport %r, sizes %r %r, %d pixels apart (%d in the logo), first %r" % (
                  size, shot.size, desk.size, len(miss),
                  sum(inside(p, logo) for p in miss), sorted(miss)[:5]))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("page")
    parser.add_argument("golden")
    parser.add_argument("--format", required=True)
    parser.add_argument("--window")
    parser.add_argument("--only")
    args = parser.parse_args()
    FORMAT.update(json.loads(pathlib.Path(args.format).read_text()))
    page = Page(args.page)
    try:
        status = page.open("")
        check("the page loads with status 0", status == "0", status)
        errors, requests = page.logs()
        check("no console error", not errors, "; ".join(errors)[:300])
        steps = [("golden", lambda: golden(page, args.golden)),
                 ("hostile", lambda: hostile(page)),
                 ("interaction", lambda: interaction(page)),
                 ("two forms", lambda: two_forms(page)),
                 ("saves", lambda: saves(page)),
                 ("long save", lambda: long_save(page)),
                 ("variance", lambda: variance(page))]
        if args.window:
            steps.append(("pictures", lambda: pictures(page, args.window)))
        for name, step in steps:
            if args.only in (None, name):
                step()
        errors, requests = page.logs()
        check("no console error over all checks", not errors, "; ".join(errors)[:300])
        check("no network request", not requests, ", ".join(requests)[:300])
    finally:
        page.quit()
    print("%d failed" % len(FAILURES) if FAILURES else "all passed")
    return 1 if FAILURES else 0


if __name__ == "__main__":
    sys.exit(main())
