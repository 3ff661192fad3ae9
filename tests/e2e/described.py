#!/usr/bin/python3
"""The window and the page say the same of the same run: after one script,
the counter's description and each graph's name and description in the
window's accessibility tree are the page's texts for that script (its
counter and its tables, read from the page's DOM in headless Chromium).
Then F1 opens the window's help.

    described.py ARRIVALS [PAGE]

Run by described_e2e.sh on a display and a D-Bus session of its own.
Without PAGE (the browser edition not built) the comparison is skipped
and the status is 77 once the help has been checked.
"""

import os
import pathlib
import subprocess
import sys
import tempfile
import time

import atspi

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "web"))

SCRIPT = b"seed 3\nload\npick rate 8\nclick start\ntick 700\nclick view 1\ntick 77\nclick pause\n"

# The page's texts as the window says them: a graph's description is its
# title, its axes, then every bar's label and count (GraphText).
PAGE_JS = """const $ = (id) => document.getElementById(id);
return [$('counterText').textContent, [...document.querySelectorAll('#graphTables table')].map((t) => {
  const axes = t.previousElementSibling.textContent;
  const heads = [...t.tHead.rows[0].cells].map((c) => c.textContent);
  const rows = [...t.tBodies[0].rows].map((r) => ` ${r.cells[0].textContent}: ${r.cells[1].textContent};`);
  const title = t.caption.textContent;
  return [title, (`${title}. ${axes} ${heads[0]}, ${heads[1]}:` + rows.join('')).replace(/;$/, '.')];
})];"""


def fail(why):
    print("FAIL: " + why, file=sys.stderr)
    sys.exit(1)


def window_texts(app):
    counter = atspi.find(app, "counter")
    graphs = []
    for node, _ in atspi.walk(app):
        try:
            if node.getRoleName() == "chart":
                graphs.append([node.name, node.description])
        except Exception:
            continue
    return [counter.description, graphs]


def page_texts(page_path):
    import page_test
    page = page_test.Page(page_path)
    try:
        status = page.open("bare=1&script=" + page_test.encode(SCRIPT))
        if status != "0":
            fail("the page played the script with status %r" % status)
        return page.js(PAGE_JS)
    finally:
        page.quit()


def main():
    arrivals = sys.argv[1]
    page = sys.argv[2] if len(sys.argv) > 2 and os.path.exists(sys.argv[2]) else None
    with tempfile.TemporaryDirectory() as tmp:
        script = pathlib.Path(tmp) / "run.script"
        script.write_bytes(SCRIPT)
        proc = subprocess.Popen([arrivals, "--script", str(script)],
                                stdout=subprocess.DEVNULL)
        try:
            app = atspi.application(proc.pid)
            window = window_texts(app)
            if len(window[1]) != 4:
                fail("the window's tree has %d graphs, not 4" % len(window[1]))
            # F1 in the rate box opens the help.
            atspi.click(atspi.find(app, "rate"))
            subprocess.run(["xdotool", "key", "F1"], check=True)
            try:
                atspi.find(app, "help", 10)
            except atspi.NotFound as e:
                fail("F1 did not open the help: %s" % e)
        finally:
            proc.kill()
            proc.wait()
    if page is None:
        print("SKIP: the page is not built; the window's help checked")
        return 77
    theirs = page_texts(page)
    if theirs != window:
        fail("the page says\n  %r\nthe window says\n  %r" % (theirs, window))
    print("PASS: the counter and the four graphs described alike in the page "
          "and the window; F1 opens the help")
    return 0


if __name__ == "__main__":
    sys.exit(main())
