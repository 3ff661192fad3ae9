#!/usr/bin/python3
"""The course folder as a lecturer meets it, in headless Chromium: opened
from disk, and unpacked from course.zip into a sub-folder of a web server on
127.0.0.1.

    course_test.py --docs DOCS --page arrivals.html [--compare compare.html]
                   --built DIR --tool COMMAND...

Makes the folder twice with web/course/make_course.py (from DOCS, with a
small handout and answers of its own when DOCS has none) and checks: the
two zips are the same bytes and hold exactly the folder and no answers;
every link of index.html, handout.html and answers.html into arrivals.html
or compare.html ends with status 0 and the same dumps as the script tool
(COMMAND) on the same script (for a script with none, the state it
leaves); every other relative link names a file
that exists (and an anchor that exists), inside the folder for the
folder's pages; external links are listed, not opened; no request leaves
the page; printed, the handout takes one page a sheet. DIR's own
course.zip holds exactly DIR's folder. Prints one line per check and exits
1 when any failed.
"""

import argparse
import base64
import functools
import html.parser
import http.server
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import urllib.parse
import zipfile

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
from page_test import FAILURES, Page, check  # noqa: E402

ROOT = pathlib.Path(__file__).resolve().parents[2]
MAKE = ROOT / "web" / "course" / "make_course.py"
PAGES = ["course/index.html", "course/handout.html", "answers.html"]
# The ids each page's status and dumps are read from.
PLAYERS = {"arrivals.html": [("status", "dumps")],
           "compare.html": [("a-status", "a-dumps"), ("b-status", "b-dumps")]}
RUN = "arrivals.html#script=seed%203%0Aload%0Aclick%20start%0Atick%2040%0Adump%0A"
STANDINS = {
    "handout.md": "# Sheets\n\n## 1. A first sheet\n\n[Run it](%s), then read "
                  "[the guide](guide.md#six-experiments).\n\n## 2. A second sheet\n\n"
                  "![A run](figures/regular.png)\n" % RUN,
    "answers.md": "# Answers\n\n[Sheet 1](handout.md#1-a-first-sheet): "
                  "[the same run](%s), and [the seed](arrivals.html#seed=7).\n" % RUN,
}
# Set in each page before its scripts: the form's state at the moment the
# status is written, for a link whose script has no `dump` of its own.
STATE_AT_STATUS_JS = """new MutationObserver(() => {
  const s = document.getElementById('status');
  if (s && s.textContent && window.arrivals && window.stateAtStatus === undefined)
    window.stateAtStatus = window.arrivals.form.takeText('dump');
}).observe(document, {subtree: true, childList: true, characterData: true});"""


def make(args, docs, out):
    command = ["/usr/bin/python3", str(MAKE), "--docs", str(docs), "--page", str(args.page),
               "--out", str(out)] + (["--compare", str(args.compare)] if args.compare else [])
    subprocess.run(command, check=True)


def zip_is_folder(name, archive, folder):
    with zipfile.ZipFile(archive) as z:
        held = {i.filename: z.read(i) for i in z.infolist()}
    files = {"course/" + p.relative_to(folder).as_posix(): p.read_bytes()
             for p in folder.rglob("*") if p.is_file()}
    check(name + ": the zip holds exactly the folder, no answers",
          held == files and not any("answers" in n for n in held),
          "zip only %s, folder only %s" % (sorted(held.keys() - files.keys())[:3],
                                           sorted(files.keys() - held.keys())[:3]))


class Ids(html.parser.HTMLParser):
    def __init__(self, path):
        super().__init__()
        self.ids = set()
        self.feed(path.read_text())

    def handle_starttag(self, tag, attrs):
        self.ids.update(v for k, v in attrs if k in ("id", "name"))


def fragment_script(fragment):
    """The script a fragment of arrivals.html plays, as the tool reads it."""
    pairs = dict(p.split("=", 1) for p in fragment.split("&") if "=" in p)
    script = urllib.parse.unquote_to_bytes(pairs.get("script", ""))
    if "seed" in pairs:
        script = b"seed %s\n" % pairs["seed"].encode() + script
    return script


@functools.lru_cache(maxsize=None)
def tool_dumps(tool, script):
    """The tool's dumps on `script`, and its status. A script with no `dump`
    is followed by one, after the `load` the page gives a script without
    one."""
    if not re.search(rb"^\s*dump\s*$", script, re.M):
        script += b"" if script.endswith(b"\n") or not script else b"\n"
        script += (b"" if re.search(rb"^\s*load\s*$", script, re.M) else b"load\n")
        script += b"dump\n"
    done = subprocess.run(list(tool), input=script, capture_output=True, check=False)
    return done.stdout.decode(), done.returncode


def play(page, tool, url, name):
    """Opens a link into the page and compares each form's last dump."""
    path, _, fragment = url.partition("#")
    players = PLAYERS[path.rsplit("/", 1)[-1]]
    halves = [fragment] if len(players) == 1 else [
        urllib.parse.unquote(dict(p.split("=", 1) for p in fragment.split("&")
                                  if "=" in p).get(k, "")) for k in "ab"]
    ids = [i for pair in players for i in pair]
    # A link after another into the same page is a new fragment of the open
    # page, as when a lecturer follows one after the other: what the last
    # run left in its status is cleared first (the page clears its dumps).
    page.js("""for (const i of arguments[0])
      if (document.getElementById(i)) document.getElementById(i).textContent = '';
      window.stateAtStatus = undefined;""", [status for status, _ in players])
    page.driver.get(url)
    got = page.js("""const end = Date.now() + 900000;
        return new Promise(done => { const look = () => {
          const t = arguments[0].map(i => document.getElementById(i)?.textContent ?? '');
          if (arguments[0].every((i, k) => k % 2 || t[k]) || Date.now() > end)
            done(t.concat([window.stateAtStatus ?? '']));
          else setTimeout(look, 50); }; look(); });""", ids)
    for k, half in enumerate(halves):
        status, dumps = got[2 * k], got[2 * k + 1]
        if not dumps and len(players) == 1 and got[-1]:
            dumps = got[-1] + "\n"
        want, code = tool_dumps(tool, fragment_script(half))
        check(name, status == "0" and code == 0 and dumps == want,
              "status %r (tool %d), dumps %r, the tool's %r" % (
                  status, code, dumps[-120:], want[-120:]))


def links(page, base, root, tool, played):
    """Checks every link of the pages under `base` (a URL) whose files lie
    under `root`."""
    for name in PAGES:
        if not (root / name).exists():
            check(name, False, "no such page")
            continue
        page.driver.get(base + "/" + name)
        inside = root / name.split("/")[0] if "/" in name else root
        for url in page.js("""return Array.from(document.querySelectorAll(
                'a[href], img[src]'), e => e.href || e.src)"""):
            parts = urllib.parse.urlsplit(url)
            what = "%s %s -> %s" % (base.split(":")[0], name, url[len(base) + 1:][:70])
            if not url.startswith(base + "/"):
                print("     external, not opened: %s (%s)" % (url, name))
                continue
            target = root / urllib.parse.unquote(parts.path[len(urllib.parse.urlsplit(
                base).path) + 1:])
            if inside not in target.parents:
                check(what, False, "leaves %s" % inside.name)
            elif target.name in PLAYERS:
                if url not in played:
                    played.add(url)
                    play(page, tool, url, what)
            else:
                check(what, target.is_file() and (
                    not parts.fragment or target.suffix != ".html" or
                    parts.fragment in Ids(target).ids), "no such file or anchor")
    errors, requests = page.logs()
    check(base.split(":")[0] + ": no request leaves the page",
          not [r for r in requests if not r.startswith(base.split("/sub")[0])],
          repr(requests[:3]))


class Quiet(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--docs", type=pathlib.Path, required=True)
    parser.add_argument("--page", type=pathlib.Path, required=True)
    parser.add_argument("--compare", type=pathlib.Path)
    parser.add_argument("--built", type=pathlib.Path, required=True)
    parser.add_argument("--tool", nargs="+", required=True)
    args = parser.parse_args()
    if args.compare and not args.compare.exists():
        print("     no %s: the folder is made without it" % args.compare.name)
        args.compare = None
    zip_is_folder("the build's course.zip", args.built / "course.zip",
                  args.built / "course")

    with tempfile.TemporaryDirectory() as tmp:
        tmp = pathlib.Path(tmp)
        docs = tmp / "docs"
        shutil.copytree(args.docs, docs)
        for name, text in STANDINS.items():
            if not (docs / name).exists():
                print("     no %s: a stand-in of the test's own" % name)
                (docs / name).write_text(text)
        make(args, docs, tmp / "one")
        make(args, docs, tmp / "two")
        one = (tmp / "one" / "course.zip").read_bytes()
        check("two builds give the same zip", one == (tmp / "two" / "course.zip").read_bytes())
        zip_is_folder("a fresh build", tmp / "one" / "course.zip", tmp / "one" / "course")
        for script in sorted((tmp / "one" / "course" / "figures").glob("*.script")):
            dumps, code = tool_dumps(tuple(args.tool), script.read_bytes())
            check("%s ends with a dump the tool prints" % script.name,
                  code == 0 and script.read_text().rstrip().endswith("\ndump") and dumps)

        # Served: the zip unpacked into /sub/, the answers beside it.
        www = tmp / "www"
        with zipfile.ZipFile(tmp / "one" / "course.zip") as z:
            z.extractall(www / "sub")
        shutil.copyfile(tmp / "one" / "answers.html", www / "sub" / "answers.html")
        server = http.server.ThreadingHTTPServer(
            ("127.0.0.1", 0), functools.partial(Quiet, directory=str(www)))
        threading.Thread(target=server.serve_forever, daemon=True).start()
        page = Page(args.page)
        try:
            page.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument",
                                        {"source": STATE_AT_STATUS_JS})
            for base, root in [((tmp / "one").as_uri(), tmp / "one"),
                               ("http://127.0.0.1:%d/sub" % server.server_port,
                                www / "sub")]:
                links(page, base, root, tuple(args.tool), set())
            # Printed, the handout gives each sheet a page of its own.
            page.driver.get((tmp / "one" / "course" / "handout.html").as_uri())
            sheets = page.js("return document.querySelectorAll('section.sheet').length")
            pdf = base64.b64decode(page.driver.execute_cdp_cmd("Page.printToPDF", {})["data"])
            pages = len(re.findall(rb"/Type\s*/Page[^s]", pdf))
            check("the handout prints one sheet a page", sheets and pages == sheets,
                  "%d pages for %d sheets" % (pages, sheets))
        finally:
            page.quit()
            server.shutdown()
    print("%d checks failed" % len(FAILURES) if FAILURES else "all checks passed")
    return 1 if FAILURES else 0


if __name__ == "__main__":
    sys.exit(main())
