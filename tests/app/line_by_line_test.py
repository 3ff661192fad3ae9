#!/usr/bin/python3
"""A program that feeds a script one line at a time sees each dump at once.

    line_by_line_test.py ARRIVALS_SCRIPT ARRIVALS

Both programs read the script from a pipe and print the dumps into another;
each row sends the script line by line and, after a `dump`, waits for that
dump before it sends the next line. A program that held its dumps (or the
lines it read) back until the end of input would never answer: every wait
has a timeout, so that fault fails the test rather than hanging it.
"""

import os
import select
import signal
import subprocess
import sys
import tempfile
import time

WAIT = 60  # seconds: far more than any line needs, even on a busy machine
SCRIPT = [b"seed 1", b"load", b"dump", b"click start", b"tick 400", b"dump",
          b"pick process 6", b"tick 40", b"dump"]


class Failure(Exception):
    pass


def read_line(fd, pending):
    """The next line from fd (with its LF), or a Failure after WAIT."""
    deadline = time.monotonic() + WAIT
    while b"\n" not in pending[0]:
        left = deadline - time.monotonic()
        if left <= 0 or not select.select([fd], [], [], left)[0]:
            raise Failure("no line within %d s; had %r" % (WAIT, pending[0]))
        chunk = os.read(fd, 65536)
        if not chunk:
            raise Failure("output ended; had %r" % pending[0])
        pending[0] += chunk
    line, _, pending[0] = pending[0].partition(b"\n")
    return line + b"\n"


def wait(p):
    try:
        return p.wait(timeout=WAIT)
    except subprocess.TimeoutExpired:
        p.kill()
        p.wait()
        raise Failure("still running after %d s" % WAIT)


def feed(argv, lines, crlf=False):
    """Sends lines one by one, reading each dump before going on; returns
    the dumps, the status (stdin left open until the program ends when the
    last line fails) and standard error."""
    p = subprocess.Popen(argv, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                         stderr=subprocess.PIPE)
    try:
        pending = [b""]
        dumps = []
        for line in lines:
            p.stdin.write(line + (b"\r\n" if crlf else b"\n"))
            p.stdin.flush()
            if line == b"dump":
                dumps.append(read_line(p.stdout.fileno(), pending))
        return dumps, p, pending
    except BaseException:
        p.kill()
        p.wait()
        raise


def main():
    tool, window = map(os.path.abspath, sys.argv[1:3])
    whole = subprocess.run([tool], input=b"\n".join(SCRIPT) + b"\n",
                           stdout=subprocess.PIPE, check=True).stdout
    expected = whole.splitlines(keepends=True)
    failures = 0
    with tempfile.TemporaryDirectory(prefix="arrivals-lines-") as folder:
        os.chdir(folder)
        rows = [
            ("arrivals-script", [tool], False),
            ("arrivals-script, CR LF", [tool], True),
            ("arrivals --script -",
             [window, "--script", "-", "--screenshot", "o.png"], False),
        ]
        for what, argv, crlf in rows:
            try:
                dumps, p, pending = feed(argv, SCRIPT, crlf)
                if dumps != expected:
                    raise Failure("dumps %r, expected %r" % (dumps, expected))
                p.stdin.close()
                rest = p.stdout.read()
                status = wait(p)
                if status != 0 or pending[0] + rest:
                    raise Failure("status %s, more output %r, stderr %r" %
                                  (status, pending[0] + rest, p.stderr.read()))
                p.stdout.close()
                p.stderr.close()
            except Failure as failure:
                failures += 1
                print("FAIL %s: %s" % (what, failure), flush=True)

        # A first line shorter than a byte-order mark fails at once: the
        # reader does not wait for a third byte that may never come.
        for what, argv in (("arrivals-script", [tool]),
                           ("arrivals --script -", [window, "--script", "-",
                                                    "--screenshot", "o.png"])):
            try:
                _, p, _ = feed(argv, [b"x"])
                status = wait(p)
                err = p.stderr.read()
                p.stdin.close()
                p.stdout.close()
                p.stderr.close()
                # (Qt may say something of its own before.)
                said = b"line 1: unknown command 'x'\n"
                if status != 2 or not (err == said or
                                       err.endswith(b"\n" + said)):
                    raise Failure("status %s, stderr %r" % (status, err))
            except Failure as failure:
                failures += 1
                print("FAIL %s, a short first line: %s" % (what, failure),
                      flush=True)
        # SIGTERM while the program waits for the next line: it dies of the
        # signal with the dumps so far, and the window neither starts up
        # nor saves its picture.
        for what, argv in (("arrivals-script", [tool]),
                           ("arrivals --script -", [window, "--script", "-",
                                                    "--screenshot",
                                                    "stopped.png"])):
            try:
                dumps, p, pending = feed(argv, SCRIPT[:3])
                p.send_signal(signal.SIGTERM)
                status = wait(p)
                rest = pending[0] + p.stdout.read()
                p.stdin.close()
                p.stdout.close()
                p.stderr.close()
                if status != -signal.SIGTERM or dumps != expected[:1] or rest:
                    raise Failure("status %s, dumps %r" % (status, dumps + [rest]))
                if os.path.exists("stopped.png"):
                    raise Failure("the picture was saved after the signal")
            except Failure as failure:
                failures += 1
                print("FAIL %s, SIGTERM between lines: %s" % (what, failure),
                      flush=True)
        os.chdir("/")
    if failures:
        return 1
    print("every row passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
