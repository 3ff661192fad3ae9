#!/usr/bin/python3
"""A program that feeds a script one line at a time sees each dump at once.

    line_by_line_test.py ARRIVALS_SCRIPT ARRIVALS

Both programs read the script from a pipe and print the dumps into another;
each row sends lines one at a time and, after a `dump`, waits for that dump
before it sends the next line. A program that held its dumps (or the lines
it read) back until the end of input would never answer: every wait has a
timeout, so that fault fails the test rather than hanging it.
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
ROWS = [
    # what, lines sent, CR LF, then (close standard input, wait, or a
    # signal), status, dumps read, how standard error ends
    ("the whole script", SCRIPT, False, "close", 0, 3, b""),
    ("in CR LF", SCRIPT, True, "close", 0, 3, b""),
    # The reader does not wait for a third byte that may never come.
    ("a first line shorter than a byte-order mark", [b"x"], False, "wait", 2,
     0, b"line 1: unknown command 'x'\n"),
    # Dead of the signal, with the dumps so far; the window neither starts
    # up nor saves its picture.
    ("SIGTERM between two lines", SCRIPT[:3], False, "SIGTERM",
     -signal.SIGTERM, 1, b""),
]


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


def play(argv, lines, crlf, then):
    """Sends lines one by one, reading each dump before going on, then ends
    as `then` says; returns the status, the dumps, what followed them on
    standard output, and standard error."""
    with subprocess.Popen(argv, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE) as p:
        try:
            pending = [b""]
            dumps = []
            for line in lines:
                p.stdin.write(line + (b"\r\n" if crlf else b"\n"))
                p.stdin.flush()
                if line == b"dump":
                    dumps.append(read_line(p.stdout.fileno(), pending))
            if then == "close":
                p.stdin.close()
            elif then == "SIGTERM":
                p.send_signal(signal.SIGTERM)
            status = p.wait(timeout=WAIT)
            return status, dumps, pending[0] + p.stdout.read(), p.stderr.read()
        except subprocess.TimeoutExpired:
            raise Failure("still running after %d s" % WAIT)
        finally:
            if p.poll() is None:
                p.kill()


def main():
    tool, window = map(os.path.abspath, sys.argv[1:3])
    whole = subprocess.run([tool], input=b"\n".join(SCRIPT) + b"\n",
                           stdout=subprocess.PIPE, check=True).stdout
    expected = whole.splitlines(keepends=True)
    failures = 0
    with tempfile.TemporaryDirectory(prefix="arrivals-lines-") as folder:
        os.chdir(folder)
        for what, lines, crlf, then, status, dumps, err in ROWS:
            for argv in [tool], [window, "--script", "-", "--screenshot",
                                 "o.png"]:
                row = "%s, %s" % (os.path.basename(argv[0]), what)
                try:
                    if os.path.exists("o.png"):
                        os.remove("o.png")
                    got = play(argv, lines, crlf, then)
                    if got != (status, expected[:dumps], b"", got[3]) or \
                            not got[3].endswith(err):
                        raise Failure("status, dumps, more output, stderr: "
                                      "%r" % (got,))
                    if os.path.exists("o.png") != (argv[0] == window and
                                                   status == 0):
                        raise Failure("a picture saved or not saved wrongly")
                except Failure as failure:
                    failures += 1
                    print("FAIL %s: %s" % (row, failure), flush=True)
        os.chdir("/")
    if failures:
        return 1
    print("every row passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
