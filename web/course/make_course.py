#!/usr/bin/python3
"""Makes the course folder: the guide, the students' handout and the browser
edition in one folder a lecturer opens as it is, from disk, from a web
server or from its zip.

    make_course.py --docs DOCS --page arrivals.html [--compare compare.html]
                   --out DIR

writes DIR/course/ (index.html made from DOCS/guide.md, handout.html from
DOCS/handout.md when there is one, arrivals.html, compare.html when given,
the figures, the experiments' scripts and every other file of DOCS the pages
link to), DIR/answers.html from DOCS/answers.md beside the folder, never in
it, its links pointing into course/, and DIR/course.zip, which holds exactly
the folder and the same bytes for the same sources. Markdown is rendered by
cmark-gfm. Each result replaces the old one only once it is whole; on any
failure the old files stay and one line says why (status 1).
"""

import argparse
import html
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import urllib.parse
import zipfile

HERE = pathlib.Path(__file__).resolve().parent
# Every entry of the zip carries this time, so that two builds agree.
ZIP_TIME = (1980, 1, 1, 0, 0, 0)
# A Markdown page of the docs and the page it becomes in the folder.
PAGES = {"guide.md": "index.html", "handout.md": "handout.html"}


class Refused(Exception):
    pass


def render(cmark, source):
    """The Markdown file `source` as HTML, by cmark-gfm."""
    done = subprocess.run(
        [cmark, "--unsafe", "-e", "table", "-e", "autolink", "-e", "strikethrough",
         str(source)], capture_output=True, check=False)
    if done.returncode != 0:
        raise Refused("%s: cmark-gfm failed: %s" % (
            source.name, done.stderr.decode(errors="replace").strip()[:200]))
    return done.stdout.decode()


def slug(text, seen):
    """A heading's anchor as code hosts make it: lower case, punctuation
    dropped, blanks as hyphens, and -1, -2... after a repeat."""
    base = re.sub(r"[^\w\- ]", "", text.strip().lower()).replace(" ", "-")
    name, n = base, 0
    while name in seen:
        n += 1
        name = "%s-%d" % (base, n)
    seen.add(name)
    return name


def anchor_headings(body):
    seen = set()

    def add_id(m):
        text = html.unescape(re.sub(r"<[^>]+>", "", m.group(2)))
        return '<h%s id="%s">%s</h%s>' % (m.group(1), slug(text, seen), m.group(2),
                                        m.group(1))
    return re.sub(r"<h([1-6])>(.*?)</h\1>", add_id, body, flags=re.S)


def relink(body, page, into=""):
    """Rewrites the relative links of `page`: a Markdown page of the docs
    becomes its page in the folder, and with `into` every relative link is
    taken to be inside that folder (a link that names it already is
    kept). A page of the folder links nothing
    outside it, least of all the answers."""
    def fix(m):
        url = html.unescape(m.group(2))
        parts = urllib.parse.urlsplit(url)
        if parts.scheme or parts.netloc or url.startswith(("#", "/")):
            return m.group(0)
        path = parts.path
        if not into and (path in ("answers.md", "answers.html") or
                         os.path.normpath(path).startswith("..")):
            raise Refused("%s links %s, outside the course folder, where the "
                          "answers lie" % (page, path))
        if path == "answers.md":
            path = "answers.html"
        else:
            # The answers' sources may name the folder already.
            path = PAGES.get(path, path)
            if not path.startswith(into):
                path = into + path
        url = parts._replace(path=path).geturl()
        return '%s="%s"' % (m.group(1), html.escape(url))
    return re.sub(r'\b(href|src)="([^"]*)"', fix, body)


def sheets(body):
    """The handout's body with each `## ` section in a sheet of its own."""
    parts = re.split(r"(?=<h2[ >])", body)
    return parts[0] + "".join('<section class="sheet">\n%s</section>\n' % p
                              for p in parts[1:])


def make_page(cmark, source, page, kind, into=""):
    body = anchor_headings(render(cmark, source))
    body = relink(body, page, into)
    if kind == "handout":
        body = sheets(body)
    h1 = re.search(r"<h1[^>]*>(.*?)</h1>", body, flags=re.S)
    title = html.unescape(re.sub(r"<[^>]+>", "", h1.group(1))) if h1 else source.stem
    text = (HERE / "template.html").read_text()
    for key, value in [("@STYLE@", (HERE / "course.css").read_text().strip()),
                       ("@TITLE@", html.escape(title)), ("@KIND@", kind),
                       ("@BODY@", body.strip())]:
        text = text.replace(key, value)
    return text


def ends_with_dump(text):
    """The script `text`, with a `dump` after its last command if that is
    not one already, so that every script shows where it ends."""
    lines = [line.strip() for line in text.splitlines()]
    commands = [line for line in lines if line and not line.startswith("#")]
    if commands and commands[-1] == "dump":
        return text
    return text + ("" if text.endswith("\n") or not text else "\n") + "dump\n"


def linked_files(page_html):
    for m in re.finditer(r'\b(?:href|src)="([^"]*)"', page_html):
        parts = urllib.parse.urlsplit(html.unescape(m.group(1)))
        if not (parts.scheme or parts.netloc or parts.path.startswith("/")) and parts.path:
            yield urllib.parse.unquote(parts.path)


def build_folder(args, folder):
    docs = args.docs
    pages = {"index.html": make_page(args.cmark, docs / "guide.md", "index.html", "guide")}
    if (docs / "handout.md").exists():
        pages["handout.html"] = make_page(args.cmark, docs / "handout.md",
                                          "handout.html", "handout")
    for name, text in pages.items():
        (folder / name).write_text(text)
    shutil.copyfile(args.page, folder / "arrivals.html")
    if args.compare:
        shutil.copyfile(args.compare, folder / "compare.html")
    (folder / "figures").mkdir()
    for figure in sorted((docs / "figures").glob("*.png")):
        shutil.copyfile(figure, folder / "figures" / figure.name)
    for script in sorted((docs / "figures").glob("*.script")):
        (folder / "figures" / script.name).write_text(ends_with_dump(script.read_text()))
    # Whatever else of the docs a page links to (a script, a program), as
    # it lies there; a Markdown file is never copied raw.
    root = docs.resolve()
    for text in pages.values():
        for path in linked_files(text):
            source = (docs / path).resolve()
            target = folder / path
            if (target.exists() or not source.is_file() or source.suffix == ".md"
                    or root not in source.parents):
                continue
            target.parent.mkdir(parents=True, exist_ok=True)
            shutil.copyfile(source, target)


def write_zip(folder, target):
    with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
        files = sorted(p.relative_to(folder).as_posix() for p in folder.rglob("*")
                       if p.is_file())
        for name in files:
            info = zipfile.ZipInfo("course/" + name, ZIP_TIME)
            info.external_attr = 0o100644 << 16
            info.create_system = 3
            info.compress_type = zipfile.ZIP_DEFLATED
            z.writestr(info, (folder / name).read_bytes())


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--docs", type=pathlib.Path, required=True)
    parser.add_argument("--page", type=pathlib.Path, required=True)
    parser.add_argument("--compare", type=pathlib.Path)
    parser.add_argument("--out", type=pathlib.Path, required=True)
    parser.add_argument("--cmark", default="cmark-gfm")
    args = parser.parse_args()
    out = args.out
    try:
        if args.compare and not args.compare.exists():
            args.compare = None
        for need in [args.docs / "guide.md", args.page]:
            if not need.is_file():
                raise Refused("no %s" % need)
        out.mkdir(parents=True, exist_ok=True)
        with tempfile.TemporaryDirectory(dir=out, prefix=".course.") as work:
            work = pathlib.Path(work)
            folder = work / "course"
            folder.mkdir()
            build_folder(args, folder)
            write_zip(folder, work / "course.zip")
            answers = args.docs / "answers.md"
            if answers.exists():
                (work / "answers.html").write_text(
                    make_page(args.cmark, answers, "answers.html", "answers", "course/"))
            # The new files take the old ones' places only now that all are whole.
            if (out / "course").exists():
                os.replace(out / "course", work / "old")
            os.replace(folder, out / "course")
            os.replace(work / "course.zip", out / "course.zip")
            if answers.exists():
                os.replace(work / "answers.html", out / "answers.html")
    except (Refused, OSError) as e:
        print("make_course: %s" % e, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
