#!/usr/bin/python3
"""The browser edition in a real browser: Debian's headless Chromium, driven
by Selenium through chromium-driver.

    page_test.py PAGE GOLDEN_DIR --format JSON [--window ARRIVALS] [--axe DIR]
                 [--only NAME]

PAGE is arrivals.html, GOLDEN_DIR the script tool's golden scripts, JSON
the scene's format as the build wrote it (scene_format.json); with
--window, a few scripts are also painted by the desktop window's
--screenshot and the two pictures are compared bar by bar, marker by
marker and in the logo; with --axe, axe-core (pinned in tests/web/axe,
installed into DIR when missing) checks the page in several states. Prints one line per check and exits 1 when any
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

from PIL import Image, ImageChops, ImageDraw
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
        self.allow_downloads()

    def allow_downloads(self):
        self.driver.execute_cdp_cmd("Page.setDownloadBehavior", {
            "behavior": "allow", "downloadPath": self.downloads.name})

    def js(self, code, *args):
        return self.driver.execute_script(code, *args)

    def js_async(self, code, *args):
        return self.driver.execute_async_script(code, *args)

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
const boxes = [...document.querySelectorAll('#controls > :not(#views), #views > *')].map(e => {
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


# A screen over one tab's life, in order: (what, the viewport and a coarse
# pointer or None to keep them, a fragment opened afresh or, after "#", set
# as a new link, touch layout expected).
LAYOUTS = [
    ("a laptop", (1366, 768, False), "seed=7", False),
    ("the window's size", (844, 645, False), "seed=7", False),
    ("a narrow window, fine pointer", (590, 800, False), "seed=7", True),
    ("a low window, fine pointer", (1000, 480, False), "seed=7", True),
    ("a tablet", (1024, 768, True), "seed=7", True),
    ("bare=1 in the window's size, coarse pointer", (844, 645, True), "bare=1&seed=7", False),
    ("a small phone", (320, 568, True), "seed=7", True),
    ("a phone on its side", (844, 390, True), "seed=7", True),
    ("a phone upright", (390, 844, True), "seed=7", True),
    ("then a second link", None, "#seed=8", True),
    ("then a bare link", None, "#bare=1&seed=8", False),
    ("then a link after the bare one", None, "#seed=9", True),
    ("then the phone turned", (844, 390, True), None, True),
]

# What a student can touch, as the page lays it out: targets smaller than
# 44 x 44 CSS px or reaching out of the viewport sideways, and the page's
# own state. The overlays (link, progress, message box, list) are opened.
TARGETS_JS = """const $ = (id) => document.getElementById(id);
const state = {touch: document.body.classList.contains('touch'),
  inForm: $('form').contains($('controls')),
  focus: document.activeElement === document.body,
  inputmode: $('cmbData').getAttribute('inputmode'),
  pinch: !/user-scalable|maximum-scale/.test(document.querySelector('meta[name=viewport]').content),
  wide: document.scrollingElement.scrollWidth - innerWidth};
$('cmdLink').click(); $('busy').hidden = false; $('message').showModal();
$('cmbExperiment').parentNode.querySelector('.arrow').click();
const small = [], out = [];
for (const e of document.querySelectorAll('button, input, select, [role=option]')) {
  const r = e.getBoundingClientRect();
  if (r.width === 0 && r.height === 0) continue;
  const name = (e.id || e.className || e.textContent) + ' ' + Math.round(r.width) + 'x' +
    Math.round(r.height) + '@' + Math.round(r.left);
  if (r.width < 43.5 || r.height < 43.5) small.push(name);
  if (r.left < 0 || r.right > innerWidth + 0.5) out.push(name);
}
$('message').close(); $('busy').hidden = true; document.activeElement.blur();
return Object.assign(state, {small, out});"""


def emulate(page, width, height, coarse):
    page.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
        "width": width, "height": height, "deviceScaleFactor": 1, "mobile": False})
    page.driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled",
                                {"enabled": coarse, "maxTouchPoints": 5})


def tap(page, id):
    """A finger's tap on the middle of element `id`."""
    x, y = page.js("""const r = document.getElementById(arguments[0])
        .getBoundingClientRect(); return [r.left + r.width / 2, r.top + r.height / 2];""", id)
    for kind, points in (("touchStart", [{"x": x, "y": y}]), ("touchEnd", [])):
        page.driver.execute_cdp_cmd("Input.dispatchTouchEvent",
                                    {"type": kind, "touchPoints": points})


def touch(page):
    """The touch layout where a small or touch screen needs it, with targets
    a finger can hit, all in view, and nothing focused to pop up a keyboard."""
    packets = lambda: json.loads(page.js(DUMP_JS))["packetCount"]
    page.driver.get("about:blank")
    try:
        for what, screen, fragment, want in LAYOUTS:
            if screen:
                emulate(page, *screen)
                time.sleep(0.3)
            if fragment and fragment[0] == "#":
                page.js("document.getElementById('status').textContent = '';"
                        "location.hash = arguments[0];", fragment)
                page.wait()
            elif fragment:
                page.open(fragment)
            got = page.js(TARGETS_JS)
            ok = got["touch"] == want and got["inForm"] != want
            if want:
                ok = (ok and not got["small"] and not got["out"] and got["wide"] <= 0 and
                      got["focus"] and got["inputmode"] == "decimal" and got["pinch"])
            check("layout %s: %s" % (what, "touch layout, every target 44 px and in view"
                                     if want else "no touch layout"), ok, repr(got))
        # A run by touch alone, on a phone, with the page's own timer.
        emulate(page, 390, 844, True)
        page.open("seed=7")
        tap(page, "btnStart")
        end = time.monotonic() + 30
        while packets() < 2 and time.monotonic() < end:
            time.sleep(0.1)
        tap(page, "btnStart")
        start = page.driver.find_element(By.ID, "btnStart").text
        check("a run started and stopped by taps counts packets",
              packets() >= 2 and start == "Start", "%d packets, %r" % (packets(), start))
    finally:
        page.driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})
        page.driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": False})
    # The page's zoom at 844 x 645: (zoom, the form's width, the page scrolls).
    page.open("seed=7")
    fit = page.js("return document.getElementById('canvas').getBoundingClientRect().width")
    for value, want, scrolls in [("100", 844, False), ("200", 1688, True),
                                 ("300", 2532, True), ("0", fit, False)]:
        page.js("const z = document.getElementById('zoom'); z.value = arguments[0];"
                "z.dispatchEvent(new Event('change'));", value)
        width, pixels, scrolled = page.js("""const c = document.getElementById('canvas'),
            e = document.scrollingElement;
            return [c.getBoundingClientRect().width, c.width,
                    e.scrollWidth > innerWidth && e.scrollHeight > innerHeight];""")
        check("zoom %s: the form %.0f px wide, %sscrolling" % (
            value, want, "" if scrolls else "no "),
              abs(width - want) < 0.5 and pixels == round(want) and scrolled == scrolls,
              "width %r (%r pixels), scrolls %r" % (width, pixels, scrolled))


# --- Live runs: the page's own timer, its own links, fresh tabs -----------

GUIDE = pathlib.Path(__file__).resolve().parents[2] / "docs" / "guide.md"


def press(page, id):
    """Clicks `id` as a user would, or as a script would when bare=1 hides
    it; the focus is then taken away, so that no focus ring is drawn."""
    found = page.driver.find_element(By.ID, id)
    if found.is_displayed():
        found.click()
    else:
        page.js("arguments[0].click()", found)
    page.js("document.activeElement?.blur()")


def until(page, js, timeout=120):
    """Polls `js` until it is true: a busy machine is slow, never wrong."""
    end = time.monotonic() + timeout
    while not page.js(js) and time.monotonic() < end:
        time.sleep(0.05)
    return bool(page.js(js))


def pause(page):
    press(page, "btnPause")
    return until(page, "return document.getElementById('btnPause').textContent === 'Cont'")


def picture_png(page):
    """The page's own "Save picture", decoded."""
    press(page, "cmdPicture")
    data = page.download("arrivals.png", 120)
    return Image.open(io.BytesIO(data)).convert("RGB") if data else None


# The form's picture as the page shows it now: its two canvases, one over
# the other (the real controls are elements of their own over them).
SHOWN_JS = """const a = document.getElementById('canvas'), b = document.getElementById('moving');
const one = document.createElement('canvas');
one.width = a.width; one.height = a.height;
const x = one.getContext('2d');
x.drawImage(a, 0, 0); x.drawImage(b, 0, 0);
return one.toDataURL('image/png');"""


# Height the page needs beyond the form's: its commands, the link and the
# notice, and the browser's own.
ROOM_JS = """const $ = (id) => document.getElementById(id);
return $('commands').offsetHeight + $('linkBox').offsetHeight + $('notice').offsetHeight +
  outerHeight - innerHeight;"""


def pictures_of(page):
    """ "Save picture" and the picture shown, which is what ticks, links
    and scripts have painted on it, bit by bit."""
    shown = page.js(SHOWN_JS).partition(",")[2]
    shown = Image.open(io.BytesIO(base64.b64decode(shown))).convert("RGB")
    return picture_png(page), shown


def pixels_apart(a, b):
    if a is None or b is None or a.size != b.size:
        return -1
    diff = ImageChops.difference(a, b).convert("L")
    return sum(diff.histogram()[1:])


def agrees_with_fresh_tab(page, name):
    """This tab's pictures against those a fresh tab draws from the page's
    own "Link to this run"; 0 pixels may differ."""
    press(page, "cmdLink")
    link = page.js("return document.getElementById('linkField').value")
    mine = pictures_of(page)
    d = page.driver
    here = d.current_window_handle
    d.switch_to.new_window("tab")
    try:
        page.allow_downloads()
        d.get(link)
        page.wait(600)
        press(page, "cmdLink")  # the same layout, the link box shown
        if mine[1].width == 844:
            # A bare form fills its window: this one, with its commands,
            # is given room to be shown at scale 1 too.
            page.driver.set_window_size(844, 645 + page.js(ROOM_JS))
            until(page, "return document.getElementById('canvas').width === 844")
        theirs = pictures_of(page)
    finally:
        d.close()
        d.switch_to.window(here)
        # A closed tab takes the browser's leave to download with it.
        page.allow_downloads()
        d.set_window_size(844, 645)
    if mine[1].width == 844:
        # At scale 1 the picture shown is the one saved, the faces of the
        # controls aside, but for an oval's antialiased edge (a copy of it
        # on the moving layer blends onto the ground a little apart).
        boxes = page.js("""return [...document.querySelectorAll('#controls > :not(#views), #views > *')].map(e => {
            const r = e.getBoundingClientRect();
            return [r.left - 2, r.top - 2, r.right + 2, r.bottom + 2]; });""")
        diff = ImageChops.difference(*mine)
        draw = ImageDraw.Draw(diff)
        for box in boxes:
            draw.rectangle(box, fill=(0, 0, 0))
        far = sum(max(p) > 16 for p in diff.getdata())
        check(name + ": shown as saved", far == 0, "%d pixels apart" % far)
    apart = [pixels_apart(a, b) for a, b in zip(mine, theirs)]
    check(name, apart == [0, 0] and "#script=" in link,
          "pixels differ: %d saved, %d shown (-1: no picture), link %r" % (
              apart[0], apart[1], link[:120]))


def live(page):
    """Runs on the page's own timer, paused after about 1, 2, 5 and 10 s,
    each picture against a fresh tab's of the run's own link."""
    for fragment in ["seed=7", "bare=1&seed=7"]:
        page.open(fragment)
        press(page, "btnStart")
        for waited, wait in [(1, 1), (2, 1), (5, 3), (10, 5)]:
            time.sleep(wait)
            paused = pause(page)
            agrees_with_fresh_tab(page, "live %s, paused after %d s, draws as a fresh tab"
                                  % (fragment, waited))
            check("live %s: Pause takes" % fragment, paused)
            press(page, "btnPause")  # Cont
            until(page, "return document.getElementById('btnPause').textContent === 'Pause'")
    # "Open script..." during a live run: the file's run, drawn afresh.
    with tempfile.TemporaryDirectory() as tmp:
        path = pathlib.Path(tmp) / "views.script"
        path.write_bytes(PICTURES[1][1])
        page.js("document.getElementById('status').textContent = ''")
        page.driver.find_element(By.ID, "openFile").send_keys(str(path))
        page.wait(600)
    agrees_with_fresh_tab(page, "Open script... after a live run draws as a fresh tab")


def guide_links(page):
    """The guide's experiments, as it states its links, opened one after
    another in one tab beside arrivals.html, each paused and its picture
    against a fresh tab's of its own link."""
    links = re.findall(r"\]\((arrivals\.html#[^)]*)\)", GUIDE.read_text())
    check("the guide has its experiments' links", len(links) >= 5, repr(links))
    page.open("seed=1")
    page.js("window.sameDocument = true")
    for n, href in enumerate(links, 1):
        page.js("document.getElementById('status').textContent = ''")
        page.driver.get(urllib.parse.urljoin(page.url, href))
        status = page.wait(600)
        if page.js("return document.getElementById('btnPause').textContent") == "Pause":
            pause(page)
        check("guide link %d plays in the open tab" % n,
              status == "0" and page.js("return window.sameDocument === true"), status)
        agrees_with_fresh_tab(page, "guide link %d after the others draws as a fresh tab" % n)


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
        boxes = page.js("""return [...document.querySelectorAll('#controls > :not(#views), #views > *')]
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


SAID_JS = "return document.getElementById('said').textContent.trim()"
DESCRIBED_JS = "return document.getElementById('described').textContent.trim()"


def key(page, id, k):
    page.driver.find_element(By.ID, id).send_keys(k)


# What the live region says after each step of a student's session, in
# order: nothing for a script that starts a run, then each click, F2 in a
# text box, a process turning red in a live run and a save.
SAID = [
    ("a script that starts a run", lambda p: None, ""),
    ("Stop", lambda p: click(p, "btnStart"), "Stopped"),
    ("F2 in the rate box", lambda p: key(p, "cmbData", Keys.F2),
     r"Poisson, 2 packets a second, stopped: \d+ packets? in \d+ seconds?\."),
    ("F2 again, the same state", lambda p: key(p, "cmbData", Keys.F2),
     r"Poisson, 2 packets a second, stopped: \d+ packets? in \d+ seconds?\."),
    ("Start", lambda p: click(p, "btnStart"), "Started"),
    ("Pause", lambda p: click(p, "btnPause"), "Paused"),
    ("Cont", lambda p: click(p, "btnPause"), "Continued"),
    ("F2 in the process box", lambda p: key(p, "cmbExperiment", Keys.F2),
     r"Poisson, 2 packets a second, running: \d+ packets? in \d+ seconds?\."),
    ("a process turning red", lambda p: p.js(
        "const a = window.arrivals; a.event('pickProcess', 5);"
        "for (let i = 0; i < 40; ++i) a.timerEvent();"),
     "Pareto 0.5 cannot run at 2 packets a second: pick another rate.*"),
    ("a save", lambda p: click(p, "cmdSaveScript"), "arrivals-run.script saved"),
]


def described(page):
    """The form in words: the live region over a session, F1 and the Help
    command, and the description, rebuilt at redraws only and never left
    from the run before."""
    page.open("script=" + encode(b"seed 7\nload\nclick start\ntick 10\n"))
    for what, act, want in SAID:
        act(page)
        said = page.js(SAID_JS)
        check("said after " + what, re.fullmatch(want, said) is not None, repr(said))
    red = page.js("return document.getElementById('redText').innerText")
    check("a red process is explained in visible text",
          red.startswith("Pareto 0.5 cannot run at 2") and
          page.js("return document.getElementById('redText').offsetHeight") > 0, repr(red))
    page.download("arrivals-run.script", 5)
    # Help, from the command and from F1 in the rate box: the focus goes
    # into it and comes back where it was.
    for how, open_help, back in [("the Help command", lambda: click(page, "cmdHelp"), "cmdHelp"),
                                 ("F1", lambda: help_open(page), "cmbData")]:
        open_help()
        inside = page.js("return document.getElementById('help').contains(document.activeElement)")
        text = page.js("return document.getElementById('help').innerText")
        page.driver.switch_to.active_element.send_keys(Keys.ESCAPE)
        check("help from %s, closed by Escape" % how,
              inside and "F2 reads the state" in text and
              page.js("return [document.getElementById('help').open, document.activeElement.id]")
              == [False, back], repr(text[:80]))
    # Over 200 ticks of a run the graphs' tables change at each redraw
    # (every 60 ticks), not at each tick.
    made = page.js("""const t = document.getElementById('graphTables'), a = window.arrivals;
        const o = new MutationObserver(() => {});
        o.observe(t, { childList: true, subtree: true, characterData: true });
        a.event('pickProcess', 0);
        for (let i = 0; i < 20; ++i) a.timerEvent();
        o.takeRecords();
        let ticks = 0;
        for (let i = 0; i < 200; ++i) {
          a.timerEvent();
          if (o.takeRecords().length) ++ticks;
        }
        return ticks;""")
    check("the graphs' tables change at redraws only", 3 <= made <= 4, "%d ticks" % made)
    # A second link in the same tab is described as a fresh tab describes it.
    script = b"seed 3\nload\npick rate 8\nclick start\ntick 700\nclick pause\n"
    page.open("script=" + encode(script))
    fresh = page.js(DESCRIBED_JS)
    page.open("script=" + encode(b"seed 1\nload\nclick start\ntick 900\nclick view 1\n"))
    page.js("document.getElementById('status').textContent = '';"
            "location.hash = arguments[0];", "script=" + encode(script))
    page.wait()
    again = page.js(DESCRIBED_JS)
    count = json.loads(page.js(DUMP_JS))["packetCount"]
    check("a second link in one tab is described as a fresh tab describes it",
          again == fresh and again.startswith("%d packet" % count) and
          "Pkts Per Sec" in again, "%r\n%r" % (again[:200], fresh[:200]))


AXE_TAGS = ["wcag2a", "wcag2aa", "wcag21a", "wcag21aa", "wcag22aa"]
PARETO_RED = b"seed 1\nload\npick process 5\ntype rate 2\nclick start\ntick 40\n"


def click(page, id):
    page.driver.find_element(By.ID, id).click()


def list_open(page):
    page.driver.find_element(By.CSS_SELECTOR, "#cmbExperiment + .arrow").click()
    return page.js("return !document.getElementById('cmbExperimentList').hidden")


def message_open(page):
    page.js("""document.getElementById('messageText').textContent =
        'Silly Error: Ran Out of Data Packets';
        document.getElementById('message').showModal();""")
    return page.js("return document.getElementById('message').open")


def help_open(page):
    page.driver.find_element(By.ID, "cmbData").send_keys(Keys.F1)
    return page.js("return document.getElementById('help').open")


# (state, viewport, fragment, what brings the state about, violations
# expected as (rule, target)). A red process name keeps the form's red on
# its grey, about 3 : 1; the text beside the form says in words what the
# colour says.
AXE = [
    ("as it opens", (844, 645), "seed=7", None, []),
    ("while running", (844, 645), "seed=7", lambda p: click(p, "btnStart") or True, []),
    ("with a list open", (844, 645), "seed=7", list_open, []),
    ("with the message box open", (844, 645), "seed=7", message_open, []),
    ("with the help open", (844, 645), "seed=7", help_open, []),
    ("with bare=1", (844, 645), "bare=1&seed=7", None, []),
    ("in the touch layout at 390 x 844", (390, 844), "seed=7", None, []),
    ("with a process shown red", (844, 645), "script=" + encode(PARETO_RED), None,
     [("color-contrast", "#cmbExperiment")]),
]


def install_axe(directory):
    """axe-core as pinned in tests/web/axe, installed into `directory` when
    it is not there or its lock file has changed."""
    here = pathlib.Path(__file__).resolve().parent / "axe"
    target = pathlib.Path(directory)
    lock = target / "package-lock.json"
    script = target / "node_modules" / "axe-core" / "axe.min.js"
    if not script.exists() or not lock.exists() or \
            lock.read_bytes() != (here / "package-lock.json").read_bytes():
        target.mkdir(parents=True, exist_ok=True)
        for name in ("package.json", "package-lock.json"):
            (target / name).write_bytes((here / name).read_bytes())
        subprocess.run(["npm", "ci", "--no-audit", "--no-fund", "--loglevel=error"],
                       cwd=target, check=True)
    return script.read_text()


AXE_RUN_JS = """const done = arguments[arguments.length - 1];
axe.run(document, { runOnly: { type: 'tag', values: arguments[0] } })
  .then((r) => done([r.violations, r.incomplete].map((list) => list.map((v) =>
    [v.id, v.nodes.map((n) => n.target.join(' ')), v.nodes[0] && v.nodes[0].failureSummary]))))
  .catch((e) => done(String(e)));"""


def accessibility(page, axe_source):
    """axe-core finds nothing in each state but the argued exception."""
    page.driver.set_script_timeout(120)
    for state, (width, height), fragment, bring, want in AXE:
        page.driver.set_window_size(width, height)
        status = page.open(fragment)
        brought = bring(page) if bring else True
        page.js(axe_source)
        result = page.js_async(AXE_RUN_JS, AXE_TAGS)
        if isinstance(result, str):
            check("axe: " + state, False, result)
            continue
        violations, incomplete = result
        got = sorted((rule, target) for rule, targets, _ in violations for target in targets)
        for rule, targets, _ in incomplete:
            print("     axe incomplete (%s): %s on %s" % (state, rule, ", ".join(targets)[:200]))
        check("axe: " + state, status == "0" and brought and got == sorted(want),
              "status %r, state brought %r, violations %r" % (
                  status, brought, [(r, t, s[:300] if s else s) for r, t, s in violations]))
    page.driver.set_window_size(844, 645)


# Experiment 1's two halves at the same rate and seed, side by side.
EXPERIMENT_ONE = [b"seed 7\nload\n%spick rate 2\nclick start\ntick 300\ndump\n" % pick
                  for pick in (b"", b"pick process 3\n")]
# (what, side a, side b, status of a, of b), in turn in one tab: a side is
# a script, a fragment as arrivals.html takes it, or {"raw": value of b=}.
COMPARE = [
    ("a bad link on one side", "script=load%ZZ", EXPERIMENT_ONE[1], "2", "0"),
    ("a bad outer encoding on one side", EXPERIMENT_ONE[0], {"raw": "%Z"}, "0", "2"),
    ("Poisson against Pareto 0.1", EXPERIMENT_ONE[0], EXPERIMENT_ONE[1], "0", "0"),
]
BOTH_JS = """return ['a', 'b'].map(p => [document.getElementById(p + '-status').textContent,
    document.getElementById(p + '-dumps').textContent,
    document.getElementById(p + '-heading').textContent])"""


def compare(page, path, tool):
    """compare.html: each side's status and dumps as arrivals-script gives
    them for its link, a fault kept to its side, and one clock for both."""
    def link(side):
        if isinstance(side, dict):
            return side["raw"]
        return encode((side if isinstance(side, str) else "script=" + encode(side)).encode())

    def wanted(side):
        if not isinstance(side, bytes):
            return None
        run = ["node", tool] if tool.endswith(".js") else [tool]
        return subprocess.run(run, input=side, capture_output=True, check=True).stdout.decode()

    d = page.driver
    d.set_window_size(1400, 700)
    d.get("about:blank")
    d.get(pathlib.Path(path).resolve().as_uri())
    for what, a, b, want_a, want_b in COMPARE:
        # Each row a new link in the same tab, as a student follows one.
        d.execute_script("location.hash = arguments[0]",
                         "a=" + link(a) + "&b=" + link(b))
        end = time.monotonic() + 60
        while time.monotonic() < end and not all(s for s, _, _ in page.js(BOTH_JS)):
            time.sleep(0.05)
        got = page.js(BOTH_JS)
        why = []
        for (status, dumps, heading), side, want in zip(got, (a, b), (want_a, want_b)):
            if status.split(" ")[0] != want:
                why.append("status %r, expected %s" % (status, want))
            if wanted(side) not in (None, dumps):
                why.append("dumps differ from the tool's (%d bytes)" % len(dumps))
        check("compare: " + what, not why, "; ".join(why))
    check("compare: each side named by its process",
          [h for _, _, h in got] == ["A: Poisson", "B: Pareto 0.1"], repr(got))
    # Two forms in one document: no id twice, no shared radio group, every
    # control named.
    clash = page.js("""const ids = [...document.querySelectorAll('[id]')].map(e => e.id);
        const radios = [...document.querySelectorAll('input[type=radio]')].map(r => r.name);
        const unnamed = [...document.querySelectorAll('main button, main input')].filter(e =>
          !(e.getAttribute('aria-label') || e.textContent.trim() || e.closest('label') ||
            e.tabIndex < 0)).map(e => e.id);
        return [ids.filter((x, i) => ids.indexOf(x) !== i), new Set(radios).size, unnamed];""")
    check("compare: both forms' controls apart and named", clash == [[], 2, []], repr(clash))
    boxes = page.js("""return ['a', 'b'].map(p => {
        const r = document.getElementById(p + '-form').getBoundingClientRect();
        return [r.left, r.top, r.right, r.bottom]; })""")
    (al, at, ar, ab), (bl, bt, br, bb) = boxes
    check("compare: both forms side by side at one scale, inside the window",
          ar - al == br - bl and ab - at == bb - bt and ar <= bl and br <= 1400 and
          ab <= 700 and (ar - al) > 844 * 0.75, repr(boxes))
    # Both run from the links; Start both starts them afresh together, the
    # timer (real and called) ticks both, and Stop both ends them together.
    d.find_element(By.ID, "cmdStartBoth").click()
    page.js("for (let i = 0; i < 77; ++i) window.compare.timerEvent();")
    time.sleep(0.4)
    d.find_element(By.ID, "cmdStopBoth").click()
    dumps = [json.loads(x) for x in page.js(
        "return window.compare.pages.map(p => p.form.takeText('dump'))")]
    check("compare: Start both and Stop both keep both runs' time equal",
          dumps[0]["elapsedMs"] == dumps[1]["elapsedMs"] >= 77 * 50 and
          [x["btnStart"] for x in dumps] == ["Start", "Start"],
          repr([(x["elapsedMs"], x["btnStart"]) for x in dumps]))
    d.set_window_size(844, 645)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("page")
    parser.add_argument("golden")
    parser.add_argument("--format", required=True)
    parser.add_argument("--window")
    parser.add_argument("--axe")
    parser.add_argument("--only")
    parser.add_argument("--compare", help="compare.html, checked too")
    parser.add_argument("--tool", help="arrivals-script, for compare.html's dumps")
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
                 ("touch", lambda: touch(page)),
                 ("saves", lambda: saves(page)),
                 ("described", lambda: described(page)),
                 ("long save", lambda: long_save(page)),
                 ("live", lambda: live(page)),
                 ("guide links", lambda: guide_links(page)),
                 ("variance", lambda: variance(page))]
        if args.axe:
            source = install_axe(args.axe)
            steps.append(("axe", lambda: accessibility(page, source)))
        if args.window:
            steps.append(("pictures", lambda: pictures(page, args.window)))
        if args.compare:
            steps.append(("compare", lambda: compare(page, args.compare, args.tool)))
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
