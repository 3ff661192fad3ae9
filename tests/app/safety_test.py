#!/usr/bin/python3
"""The files a user names stay safe, and every error and signal is heard.

Runs the real programs, one theme per call:
    safety_test.py THEME ARRIVALS_SCRIPT ARRIVALS [CLOSE_WINDOW]
THEME is outputs, read_errors, write_errors, signals, names or live (the
window on an X server of its own, driven by xdotool; CLOSE_WINDOW asks a
window to close as a window manager does). Each theme is a table of rows; a
row that needs what the machine lacks (user namespaces, for a small full
disk; Xvfb and xdotool) says so loudly, and the theme then ends with status
77, which ctest shows as skipped.
"""

import os
import resource
import shutil
import signal
import stat
import subprocess
import sys
import tempfile
import time

SKIPPED = 77
OK_SCRIPT = b"seed 1\nload\nclick start\ntick 400\ndump\n"
FORTY_DAYS = b"seed 1\nload\nclick start\ntick 69120000\ndump\n"
# Dumps between ticks: each goes out before the run moves on.
MANY_DUMPS = b"seed 1\nload\nclick start\n" + b"tick 1000\ndump\n" * 3000
# A dump every second (20 ticks) of a long run.
EVERY_SECOND = b"seed 1\nload\nclick start\n" + b"tick 20\ndump\n" * 3000
START = b"seed 1\nload\nclick start\n"  # the window left running
PACKETS_HEADER = b"time_ms,run_ms,packet,gap_ms\n"
SECONDS_HEADER = b"time_ms,second,count_1s,count_3s,count_10s\n"


UMASK = os.umask(0)
os.umask(UMASK)


class Failure(Exception):
    pass


def check(condition, what):
    if not condition:
        raise Failure(what)


def run(argv, stdin=None, stdout=subprocess.PIPE, timeout=60, **kw):
    """Runs argv in the current folder; stdin is bytes or a file name."""
    if isinstance(stdin, str):
        fd = os.open(stdin, os.O_RDONLY)  # a folder too
        try:
            return subprocess.run(argv, stdin=fd, stdout=stdout,
                                  stderr=subprocess.PIPE, timeout=timeout,
                                  **kw)
        finally:
            os.close(fd)
    return subprocess.run(argv, input=stdin if stdin is not None else b"",
                          stdout=stdout, stderr=subprocess.PIPE,
                          timeout=timeout, **kw)


def write(name, data):
    with open(name, "wb") as f:
        f.write(data)


def read(name):
    with open(name, "rb") as f:
        return f.read()


def whole_rows(data, header, fields):
    """A trace with its header and only whole rows."""
    check(data.startswith(header), "the header is not whole: %r" % data[:50])
    check(data.endswith(b"\n"), "the last row is torn: %r" % data[-50:])
    for row in data.split(b"\n")[1:-1]:
        check(row.count(b",") == fields - 1, "a torn row: %r" % row)
    return data.count(b"\n") - 1


def expect(result, status, err=None):
    check(result.returncode == status,
          "status %s, expected %s; stderr %r" %
          (result.returncode, status, result.stderr))
    if err is not None:
        check(result.stderr == err, "stderr %r, expected %r" %
              (result.stderr, err))


# --- outputs -----------------------------------------------------------

def outputs(S, A):
    write("ok.script", OK_SCRIPT)
    write("keep.csv", b"x" * 853)
    write("bad.script", b"load\nclick nowhere\n")
    os.symlink("ok.script", "script-link")
    os.symlink("same.csv", "same-link.csv")
    os.mkfifo("fifo")

    def kept(name, data=b"x" * 853):
        check(read(name) == data, name + " was changed")

    def absent(name):
        check(not os.path.lexists(name), name + " was left behind")

    same = b": the same file as "
    rows = [
        # A failed start empties no file and leaves none behind.
        ("failed start", [S, "--packets", "keep.csv", "--packets=new.csv"],
         "ok.script", 2, None, lambda: (kept("keep.csv"), absent("new.csv"))),
        ("unwritable second", [S, "--packets", "keep.csv", "--seconds",
                               "/nonexistent/s.csv"], "ok.script", 2,
         b"arrivals-script: cannot write /nonexistent/s.csv: No such file "
         b"or directory\n", lambda: kept("keep.csv")),
        ("created then failed", [S, "--packets", "new.csv", "--seconds",
                                 "/nonexistent/s.csv"], "ok.script", 2, None,
         lambda: absent("new.csv")),
        # Two outputs on one file, by any name.
        ("same name", [S, "--packets", "same.csv", "--seconds", "same.csv"],
         "ok.script", 2, b"arrivals-script: cannot write same.csv" + same +
         b"same.csv\n", lambda: absent("same.csv")),
        ("same by ./", [S, "--packets", "keep.csv", "--seconds",
                        "./keep.csv"], "ok.script", 2, None,
         lambda: kept("keep.csv")),
        ("same by symlink", [S, "--packets", "same-link.csv", "--seconds",
                             "same.csv"], "ok.script", 2, None,
         lambda: absent("same.csv")),
        # An output that is the script.
        ("trace is the script", [S, "--packets", "ok.script"], "ok.script", 2,
         b"arrivals-script: cannot write ok.script" + same +
         b"standard input\n", lambda: kept("ok.script", OK_SCRIPT)),
        ("trace links to the script", [S, "--seconds", "script-link"],
         "ok.script", 2, None, lambda: kept("ok.script", OK_SCRIPT)),
        ("picture is the script", [A, "--script", "ok.script",
                                   "--screenshot", "ok.script"], None, 2,
         b"arrivals: cannot write ok.script" + same +
         b"the script ok.script\n", lambda: kept("ok.script", OK_SCRIPT)),
        ("picture links to the script", [A, "--script", "ok.script",
                                         "--screenshot", "script-link"],
         None, 2, None, lambda: kept("ok.script", OK_SCRIPT)),
        # A recording that is the script or the picture, or that cannot be
        # written, and one whose script fails.
        ("recording is the script", [A, "--script", "ok.script", "--record",
                                     "script-link"], None, 2,
         b"arrivals: cannot write script-link" + same +
         b"the script ok.script\n", lambda: kept("ok.script", OK_SCRIPT)),
        ("recording is the picture", [A, "--script", "ok.script",
                                      "--screenshot", "keep.csv", "--record",
                                      "./keep.csv"], None, 2, None,
         lambda: kept("keep.csv")),
        # One new file by two spellings, and a name that cannot be resolved.
        ("picture and recording through ./", [A, "--script", "ok.script",
                                              "--screenshot", "new.png",
                                              "--record", "./new.png"],
         None, 2, b"arrivals: cannot write ./new.png" + same + b"new.png\n",
         lambda: absent("new.png")),
        ("picture and recording through a symlink",
         [A, "--script", "ok.script", "--screenshot", "new2.png", "--record",
          "new-link"], None, 2, None, lambda: absent("new2.png")),
        ("picture and recording, two new files", [A, "--script", "ok.script",
                                                  "--screenshot", "new3.png",
                                                  "--record", "new3.script"],
         None, 0, b"", lambda: check(read("new3.script") == OK_SCRIPT[:-5],
                                     "the recording is not the script")),
        ("picture is a symlink loop", [A, "--script", "ok.script",
                                       "--screenshot", "loopA"], None, 2,
         b"arrivals: cannot write loopA: Too many levels of symbolic "
         b"links\n", lambda: check(os.readlink("loopA") == "loopB",
                                   "the link was replaced")),
        ("trace is a symlink loop", [S, "--packets", "loopB"], "ok.script", 2,
         b"arrivals-script: cannot write loopB: Too many levels of symbolic "
         b"links\n", None),
        # A FIFO nobody reads cannot hold the window before it shows.
        ("recording to a FIFO with no reader", [A, "--seed", "1", "--record",
                                                "fifo"], None, 2,
         b"arrivals: cannot write fifo: No such device or address\n", None),
        ("recording is standard output, where the dumps go",
         [A, "--script", "ok.script", "--record", "/dev/stdout"], None, 2,
         b"arrivals: cannot write /dev/stdout" + same +
         b"standard output\n", None),
        ("recording unwritable", [A, "--record", "/nonexistent/r.script"],
         None, 2, b"arrivals: cannot write /nonexistent/r.script: No such "
         b"file or directory\n", None),
        ("recording after a failed script", [A, "--script", "-", "--record",
                                             "keep.csv"], "bad.script", 2,
         None, lambda: kept("keep.csv")),
        # Files that are not regular files are exempt.
        ("/dev/null twice", [S, "--packets", "/dev/null", "--seconds",
                             "/dev/null"], "ok.script", 0, b"", None),
        # A good run still replaces what an existing trace held.
        ("rewritten", [S, "--packets", "keep.csv"], "ok.script", 0, b"",
         lambda: whole_rows(read("keep.csv"), PACKETS_HEADER, 4)),
        ("picture through a symlink",
         [A, "--script", "ok.script", "--screenshot", "pic-link.png"], None,
         0, b"", lambda: (check(os.path.islink("pic-link.png"),
                                "the symlink was replaced"),
                          check(read("pic.png")[:4] == b"\x89PNG",
                                "no picture behind the symlink"),
                          check(os.stat("pic.png").st_mode & 0o777 ==
                                0o666 & ~UMASK, "the picture's mode is %o" %
                                os.stat("pic.png").st_mode))),
    ]
    os.symlink("pic.png", "pic-link.png")
    os.symlink("new2.png", "new-link")
    os.symlink("loopA", "loopB")
    os.symlink("loopB", "loopA")
    for name, argv, stdin, status, err, after in rows:
        yield name
        expect(run(argv, stdin=stdin, timeout=20), status, err)
        if after:
            after()

    # Standard output that is the script (appending to it).
    yield "standard output is the script"
    for argv, who in ([S], b"arrivals-script"), \
                     ([A, "--script", "-", "--screenshot", "o.png"],
                      b"arrivals"):
        with open("ok.script", "ab") as out:
            result = run(argv, stdin="ok.script", stdout=out)
        expect(result, 2, who + b": cannot write standard output" + same +
               b"standard input\n")
        kept("ok.script", OK_SCRIPT)

    # A recording's reader that never reads: the window does not wait on it.
    yield "recording to a FIFO whose reader stalls"
    write("typing.script", b"seed 1\nload\n" + b"type rate 0.125\n" * 70000)
    stalled = os.open("fifo", os.O_RDONLY | os.O_NONBLOCK)
    expect(run([A, "--script", "typing.script", "--screenshot", "o.png",
                "--record", "fifo"], stdout=subprocess.DEVNULL, timeout=60), 2,
           b"arrivals: cannot write fifo: its reader has stopped reading; "
           b"the session goes on unrecorded\n")
    os.close(stalled)

    # A FIFO as a trace: written directly, as it goes.
    yield "trace to a FIFO"
    reader = subprocess.Popen(["cat", "fifo"], stdout=subprocess.PIPE)
    expect(run([S, "--packets", "fifo"], stdin="ok.script"), 0, b"")
    whole_rows(reader.communicate(timeout=30)[0], PACKETS_HEADER, 4)


# --- read errors -------------------------------------------------------

def read_errors(S, A):
    os.mkdir("dir")
    mib = 1 << 20
    window = [A, "--script", "-", "--screenshot", "o.png"]
    rows = [
        # A script that cannot be read is no clean end.
        ([S], "dir", 2,
         b"arrivals-script: cannot read standard input: Is a directory\n"),
        ([A, "--script", "dir", "--screenshot", "o.png"], None, 2,
         b"arrivals: cannot read dir: Is a directory\n"),
        (window, "dir", 2,
         b"arrivals: cannot read standard input: Is a directory\n"),
        ([A, "--script", "/nonexistent/s"], None, 2,
         b"arrivals: cannot read /nonexistent/s: No such file or "
         b"directory\n"),
        # No line is taken whole into memory past 1 MiB.
        ([S], "/dev/zero", 2, b"line 1: longer than 1 MiB\n"),
        ([A, "--script", "/dev/zero", "--screenshot", "o.png"], None, 2,
         b"line 1: longer than 1 MiB\n"),
        ([S], b"load\n#" + b"x" * (mib - 1) + b"\r\ndump\n", 0, b""),
        ([S], b"load\n#" + b"x" * mib + b"\ndump\n", 2,
         b"line 2: longer than 1 MiB\n"),
        ([S], b"load\n#" + b"x" * mib, 2, b"line 2: longer than 1 MiB\n"),
        # A byte-order mark at the very start is no part of the line.
        ([S], b"\xef\xbb\xbfseed 1\nload\n", 0, b""),
        (window, b"\xef\xbb\xbfseed 1\nload\n", 0, b""),
        ([S], b"seed 1\n\xef\xbb\xbfload\n", 2, None),
    ]
    for argv, stdin, status, err in rows:
        yield "%s < %r" % (argv[1:], stdin if isinstance(stdin, str)
                           else (stdin or b"")[:20])
        expect(run(argv, stdin=stdin), status, err)


# --- write errors ------------------------------------------------------

def in_small_disk(shell, env):
    """Runs `shell` with a 64 KiB tmpfs at ./disk; False without namespaces."""
    os.makedirs("disk", exist_ok=True)
    probe = subprocess.run(["unshare", "-Urm", "true"],
                           stderr=subprocess.DEVNULL)
    if probe.returncode != 0:
        return False
    script = "mount -t tmpfs -o size=64k tmpfs disk && " + shell
    result = subprocess.run(["unshare", "-Urm", "sh", "-c", script],
                            env=env, timeout=120)
    check(result.returncode == 0, "the small disk did not work")
    return True


def write_errors(S, A):
    write("ok.script", OK_SCRIPT)
    write("many.script", MANY_DUMPS)
    write("forty.script", FORTY_DAYS)
    big = b"seed 1\nload\n" + b"type rate 0.125\n" * 8000
    write("big.script", big)
    full = b": cannot write standard output: No space left on device\n"
    window = [A, "--script", "-", "--screenshot", "o.png"]
    for argv, who in ([S], b"arrivals-script"), (window, b"arrivals"):
        yield "%s > /dev/full" % who.decode()
        with open("/dev/full", "wb") as out:
            expect(run(argv, stdin="ok.script", stdout=out), 2, who + full)

        # With SIGPIPE ignored, a closed pipe is an error, not a success.
        yield "%s | head, SIGPIPE ignored" % who.decode()
        with open("many.script", "rb") as f:
            p = subprocess.Popen(argv, stdin=f, stdout=subprocess.PIPE,
                                 stderr=subprocess.PIPE,
                                 restore_signals=False)
            p.stdout.read(100)
            p.stdout.close()
            err = p.stderr.read()
            check(p.wait(timeout=60) == 2, "status %s" % p.returncode)
            check(err == who + b": cannot write standard output: Broken "
                  b"pipe\n", "stderr %r" % err)
        # Not ignored, SIGPIPE keeps its default action.
        yield "%s | head, SIGPIPE default" % who.decode()
        with open("many.script", "rb") as f:
            p = subprocess.Popen(argv, stdin=f, stdout=subprocess.PIPE,
                                 stderr=subprocess.DEVNULL)
            p.stdout.read(100)
            p.stdout.close()
            check(p.wait(timeout=60) == -signal.SIGPIPE,
                  "status %s" % p.returncode)

    # A broken pipe on standard output: the trace keeps every row made so
    # far, whole, whether the program dies of SIGPIPE or says so.
    write("every-second.script", EVERY_SECOND)
    write("fifty.script", EVERY_SECOND[:len(START) + 50 * 13])
    run([S, "--seconds", "full.csv"], stdin="every-second.script")
    run([S, "--seconds", "fifty.csv"], stdin="fifty.script")
    whole, fifty = read("full.csv"), read("fifty.csv").count(b"\n")
    for default, status in (True, -signal.SIGPIPE), (False, 2):
        yield "arrivals-script --seconds | head, SIGPIPE %s" % (
            "default" if default else "ignored")
        with open("every-second.script", "rb") as f:
            p = subprocess.Popen([S, "--seconds", "s.csv"], stdin=f,
                                 stdout=subprocess.PIPE,
                                 stderr=subprocess.DEVNULL,
                                 restore_signals=default)
            for _ in range(50):  # fifty dumps: fifty seconds run
                p.stdout.readline()
            p.stdout.close()
            check(p.wait(timeout=60) == status, "status %s" % p.returncode)
        got = read("s.csv")
        check(whole.startswith(got) and got.endswith(b"\n"),
              "not a prefix of the whole run ending in a whole row")
        check(got.count(b"\n") >= fifty, "%d rows, at least %d expected" %
              (got.count(b"\n"), fifty))

    # A disk that fills: traces stop at once with whole rows, a picture
    # that cannot be saved leaves the old one whole; a recording that fails
    # on the way keeps its whole lines and makes the status 2.
    yield "full disk"
    env = dict(os.environ, S=S, A=A)
    ran = in_small_disk(
        '"$S" --packets disk/p.csv --seconds disk/s.csv < forty.script; '
        'echo $? > trace.status; cp disk/p.csv disk/s.csv .; rm disk/*; '
        '"$S" < many.script > disk/out.jsonl 2> out.err; '
        'echo $? > out.status; cp disk/out.jsonl .; rm disk/*; '
        'printf old > disk/pic.png; head -c 60000 /dev/zero > disk/filler; '
        '"$A" --script ok.script --screenshot disk/pic.png 2> pic.err; '
        'echo $? > pic.status; rm disk/filler; cp disk/pic.png .; '
        'ls -A disk > pic.ls; '
        '"$A" --script big.script --screenshot big.png --record disk/r.script'
        ' > /dev/null 2> rec.err; echo $? > rec.status; cp disk/r.script .',
        env)
    if not ran:
        print("SKIP: user namespaces are missing here, so the full-disk "
              "rows did not run (unshare -Urm failed)", flush=True)
        yield SKIPPED
        return
    check(read("trace.status") == b"2\n", "trace status %r" %
          read("trace.status"))
    check(whole_rows(read("p.csv"), PACKETS_HEADER, 4) > 0, "no rows")
    whole_rows(read("s.csv"), SECONDS_HEADER, 5)
    check(read("out.status") == b"2\n", "stdout status")
    check(read("out.err") == b"arrivals-script" + full, "stdout message")
    out = read("out.jsonl")
    check(out.endswith(b"\n") and out.count(b"\n") > 0, "a torn dump")
    check(read("pic.status") == b"2\n", "picture status")
    check(b"No space left on device" in read("pic.err"), "picture message")
    check(read("pic.err").count(b"\n") == 1, "picture message lines")
    check(read("pic.png") == b"old", "the old picture was destroyed")
    check(read("pic.ls") == b"pic.png\n", "a temporary file was left")
    check(read("rec.status") == b"2\n", "recording status %r" %
          read("rec.status"))
    check(b"r.script: No space left on device" in read("rec.err"),
          "recording message %r" % read("rec.err"))
    rec = read("r.script")
    check(big.startswith(rec) and rec.endswith(b"\n") and len(rec) > 0,
          "the recording is no prefix of whole lines")

    # A recording that cannot be written is refused before the script runs
    # (root may write any file, but not on a read-only disk).
    yield "recording on a read-only disk"
    in_small_disk(
        'touch disk/r.script && mount -o remount,ro disk || exit 1; '
        '"$A" --script - --record disk/r.script < ok.script > ro.out '
        '2> ro.err; echo $? > ro.status', env)
    check(read("ro.status") == b"2\n", "status %r" % read("ro.status"))
    check(read("ro.out") == b"", "the script ran: %r" % read("ro.out")[:80])
    check(read("ro.err") == b"arrivals: cannot write disk/r.script: "
          b"Read-only file system\n", "stderr %r" % read("ro.err"))


# --- signals -----------------------------------------------------------

def wait_for(p, seconds=10):
    try:
        return p.wait(timeout=seconds)
    except subprocess.TimeoutExpired:
        p.kill()
        raise Failure("did not stop after the signal")


def caught_signals(pid):
    """The mask of signals the process has a handler for."""
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("SigCgt:"):
                return int(line.split()[1], 16)
    return 0


def wait_until_caught(p, sig, seconds=30):
    """Waits for the handler, so that a signal sent is heard, not fatal."""
    deadline = time.monotonic() + seconds
    while not caught_signals(p.pid) & (1 << (sig - 1)):
        if p.poll() is not None or time.monotonic() > deadline:
            raise Failure("%s is not caught" % sig.name)
        time.sleep(0.05)


def signals(S, A):
    write("forty.script", FORTY_DAYS)
    huge = b"seed 1\nload\nclick start\ntick 2147483648\n"
    write("huge.script", huge)
    os.mkfifo("fifo")
    window = ["--screenshot", "o.png"]
    rows = [
        # argv, script on stdin, signal
        ([S], "huge.script", signal.SIGINT),
        ([S], "huge.script", signal.SIGTERM),
        ([S], "huge.script", signal.SIGHUP),
        ([A, "--script", "huge.script"] + window, None, signal.SIGTERM),
        ([A, "--script", "-"] + window, "huge.script", signal.SIGINT),
        # A FIFO nobody writes to.
        ([A, "--script", "fifo"] + window, None, signal.SIGTERM),
        ([S], "fifo", signal.SIGINT),
        # The window's own event loop.
        ([A, "--seed", "1"], None, signal.SIGTERM),
        ([A, "--seed", "1"], None, signal.SIGHUP),
    ]
    for argv, stdin, sig in rows:
        yield "%s %s < %s" % (sig.name, argv[1:], stdin)
        keep = None
        if stdin == "fifo":
            keep = os.open("fifo", os.O_RDWR)  # opened, never written
        f = open(stdin, "rb") if stdin else subprocess.DEVNULL
        p = subprocess.Popen(argv, stdin=f, stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL)
        time.sleep(0.7)
        wait_until_caught(p, sig)
        p.send_signal(sig)
        status = wait_for(p)
        if keep is not None:
            os.close(keep)
        check(status == -sig, "status %s, expected death by %s" %
              (status, sig.name))

    # A signal ignored when the program starts (nohup, a background job of
    # a script) stays ignored.
    for argv in [S], [A, "--script", "-"] + window:
        yield "SIGINT ignored from the start, %s" % argv[1:]
        with open("huge.script", "rb") as f:
            p = subprocess.Popen(
                argv, stdin=f, stdout=subprocess.DEVNULL,
                stderr=subprocess.DEVNULL,
                preexec_fn=lambda: signal.signal(signal.SIGINT,
                                                 signal.SIG_IGN))
            wait_until_caught(p, signal.SIGTERM)
            ignored = not caught_signals(p.pid) & (1 << (signal.SIGINT - 1))
            p.send_signal(signal.SIGTERM)
            check(wait_for(p) == -signal.SIGTERM, "status %s" % p.returncode)
            check(ignored, "the ignored SIGINT is caught")

    # A traced 40-day run: both files whole up to the last row.
    for sig in signal.SIGINT, signal.SIGHUP:
        yield "%s during a traced 40-day run" % sig.name
        with open("forty.script", "rb") as f:
            p = subprocess.Popen([S, "--packets", "p.csv", "--seconds",
                                  "s.csv"], stdin=f)
            time.sleep(1.5)
            p.send_signal(sig)
            check(wait_for(p) == -sig, "status %s" % p.returncode)
        check(whole_rows(read("p.csv"), PACKETS_HEADER, 4) > 0, "no packets")
        check(whole_rows(read("s.csv"), SECONDS_HEADER, 5) > 0, "no seconds")

    # A live window ended by a signal: its recording ends with the final
    # tick; one that is standard output is appended to, never emptied.
    write("start.script", START)
    write("log", b"old\n")
    with open("log", "ab") as log:
        for sig, argv, out, name, ends in (
                (signal.SIGHUP, [A, "--script", "start.script", "--record",
                                 "r.script"], None, "r.script", b"tick "),
                (signal.SIGTERM, [A, "--seed", "1", "--record", "/dev/stdout"],
                 log, "log", b"load")):
            yield "%s on a recorded window, into %s" % (sig.name, name)
            p = subprocess.Popen(argv, stdout=out, stderr=subprocess.DEVNULL)
            wait_until_caught(p, sig)
            time.sleep(1.5)
            p.send_signal(sig)
            check(wait_for(p) == -sig, "status %s" % p.returncode)
            lines = read(name).split(b"\n")
            check(lines[-1] == b"" and lines[-2].startswith(ends),
                  "no final %r: %r" % (ends, lines[-3:]))
    check(read("log").startswith(b"old\nseed 1\nload\n"),
          "the log was not appended to: %r" % read("log")[:40])


# --- names -------------------------------------------------------------

def names(S, A):
    write("ok.script", OK_SCRIPT)
    missing = b": No such file or directory\n"
    S_ = S.encode()
    A_ = A.encode()
    rows = [
        ([S_, b"--packets", b""], b"arrivals-script: cannot write ''" +
         missing),
        ([S_, b"--packets", b"/nonexistent/a\nb"],
         b"arrivals-script: cannot write /nonexistent/a\\x0ab" + missing),
        ([S_, b"--seconds", b"/nonexistent/\xff\\.csv"],
         b"arrivals-script: cannot write /nonexistent/\\xff\\\\.csv" +
         missing),
        ([A_, b"--script", b"/nonexistent/\xff\x1b[31m"],
         b"arrivals: cannot read /nonexistent/\\xff\\x1b[31m" + missing),
        ([A_, b"--script", b"ok.script", b"--screenshot",
          b"/nonexistent/\xc3\xa9\n.png"],
         b"arrivals: cannot write /nonexistent/\xc3\xa9\\x0a.png" + missing),
        # A repeated option is refused the same way by both.
        ([S_, b"--packets", b"a", b"--packets", b"b"],
         b"arrivals-script: --packets given more than once\n"),
        ([A_, b"--seed", b"1", b"--seed", b"2"],
         b"arrivals: --seed given more than once\n"),
        ([A_, b"--\xff\n"], b"arrivals: unknown option '--\\xff\\x0a'\n"),
    ]
    for argv, first in rows:
        yield repr(argv[1:])
        result = run(argv, stdin="ok.script")
        expect(result, 2)
        check(result.stderr.startswith(first), "stderr %r, expected %r" %
              (result.stderr, first))
        check(not os.path.exists("a"), "a file was made")

    # A name that is not UTF-8 is used byte for byte.
    yield "picture named \\xff.png"
    expect(run([A_, b"--script", b"ok.script", b"--screenshot",
                b"\xff.png"]), 0, b"")
    check(read(b"\xff.png")[:4] == b"\x89PNG", "no file named \\xff.png")

    # Qt's options with two dashes, as Qt takes them.
    yield "--platform offscreen"
    env = {k: v for k, v in os.environ.items()
           if k not in ("QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY")}
    expect(run([A, "--platform", "offscreen", "--script", "ok.script",
                "--screenshot", "o.png"], env=env), 0)


# --- live: the window on an X server of its own ------------------------

class Display:
    """An Xvfb of our own, and the window on it driven by xdotool."""

    def __init__(self):
        r, w = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(w), "-screen", "0", "1024x768x24",
             "-nolisten", "tcp"], pass_fds=[w], stderr=subprocess.DEVNULL)
        os.close(w)
        number = b""
        while not number.endswith(b"\n"):  # written in pieces
            number += os.read(r, 16) or b"\n"
        os.close(r)
        number = number.strip().decode()
        self.env = dict(os.environ, DISPLAY=":" + number,
                        QT_QPA_PLATFORM="xcb")

    def xdo(self, *args):
        return subprocess.run(["xdotool"] + list(args), env=self.env,
                              stdout=subprocess.PIPE,
                              timeout=30).stdout.split()

    def start(self, argv, **kw):
        """Starts argv and waits for its window (in self.window)."""
        p = subprocess.Popen(argv, env=self.env, stderr=subprocess.PIPE, **kw)
        self.window = self.xdo("search", "--sync", "--onlyvisible", "--name",
                               "^Arrivals$")[0]
        time.sleep(0.5)  # painted
        return p

    def click(self, x, y, button=1):
        self.xdo("mousemove", "--window", self.window, str(x), str(y),
                 "click", str(button))
        time.sleep(0.5)

    def save(self, downs, path):
        """Picks command `downs` of the form's menu and answers its dialog
        with `path`, replacing a file that exists."""
        self.click(700, 560, 3)
        self.xdo("key", *["Down"] * downs, "Return")
        time.sleep(1)
        dialog = self.xdo("search", "--sync", "--onlyvisible", "--name",
                          "^Save ")[0]
        self.xdo("windowfocus", "--sync", dialog)
        self.xdo("type", "--delay", "20", os.path.abspath(path))
        self.xdo("key", "Return")
        if os.path.exists(path):  # the file dialog asks: yes, replace it
            self.until("^Save ", lambda n: n == 2)
            self.xdo("key", "y")
        self.until("^Save ", lambda n: n == 0)

    def until(self, name, wanted):
        """Waits until the number of windows shown named `name` is wanted."""
        for _ in range(300):
            if wanted(len(self.xdo("search", "--onlyvisible", "--name",
                                   name))):
                return
            time.sleep(0.1)
        raise Failure("the windows named %s did not come or go" % name)

    def dismiss(self):
        """Answers the message box that a failed save shows."""
        self.until("^Arrivals$", lambda n: n == 2)
        self.xdo("key", "Return")
        self.until("^Arrivals$", lambda n: n == 1)

    def close(self, p, close_window):
        subprocess.run([close_window, self.window], env=self.env, check=True)
        return wait_for(p, 30)

    def kill(self):
        self.xvfb.kill()
        self.xvfb.wait()


SAVE_PICTURE, SAVE_SCRIPT = 1, 4


def live(S, A, close_window):
    if not shutil.which("Xvfb") or not shutil.which("xdotool"):
        print("SKIP: Xvfb or xdotool is missing, so the live window's rows "
              "did not run", flush=True)
        yield SKIPPED
        return
    write("start.script", START)
    os.mkfifo("fifo")

    def session(what, steps, end, status, err, after):
        """Runs `arrivals --seed 1 --record what` through `steps`, ends it
        (close or kill the display) and checks its status and files."""
        d = Display()
        try:
            p = d.start([A, "--seed", "1", "--record", what])
            steps(d, p)
            result = d.close(p, close_window) if end == "close" else \
                (d.kill(), wait_for(p, 30))[1]
            err_text = p.stderr.read()
            check(result == status, "status %s; %r" % (result, err_text))
            check(err in err_text, "stderr %r" % err_text)
            after()
        finally:
            d.kill()

    def reader_leaves(d, p):
        d.click(84, 84)   # Start
        d.click(188, 84)  # Pause: written to no reader
        check(p.poll() is None, "the window died with its recording")

    def save_to_fifo(d, p):
        reader_leaves(d, p)
        with open("saved.script", "wb") as out:
            cat = subprocess.Popen(["cat", "fifo"], stdout=out,
                                   stderr=subprocess.DEVNULL)
            d.save(SAVE_SCRIPT, "fifo")  # allowed once the recording failed
            cat.wait(timeout=30)

    def saved_whole():
        saved = read("saved.script")
        check(saved.startswith(b"seed 1\nload\nclick start\ntick ") and
              saved.endswith(b"\nclick pause\n"), "saved %r" % saved)
        check(stat.S_ISFIFO(os.stat("fifo").st_mode), "the FIFO was replaced")
        expect(run([S], stdin="saved.script", stdout=subprocess.DEVNULL), 0)

    def onto_the_recording(d, p):
        d.click(84, 84)
        d.save(SAVE_SCRIPT, "rec.script")  # refused while live
        d.dismiss()
        d.click(188, 84)

    def picture_too_large(d, p):
        d.save(SAVE_PICTURE, "pic.png")
        d.dismiss()

    def ends_in_a_tick(name):
        return lambda: check(read(name).split(b"\n")[-2].startswith(
            b"tick "), "no final tick: %r" % read(name)[-40:])

    def fifo_reader():
        return subprocess.Popen(["head", "-c", "10", "fifo"],
                                stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)

    # (name, recording, reader, steps, end, status, stderr, after)
    rows = [
        ("a recording's reader leaves, then the run is saved over it",
         "fifo", fifo_reader, save_to_fifo, "close", 2,
         b"arrivals: cannot write fifo: Broken pipe", saved_whole),
        ("a save onto the live recording is refused", "rec.script", None,
         onto_the_recording, "close", 0,
         b"arrivals: cannot save " + os.path.abspath("rec.script").encode(),
         lambda: check(read("rec.script").endswith(b"\nclick pause\n"),
                       "the recording lost its end: %r" %
                       read("rec.script")[-40:])),
        ("the display is lost under a recording", "r.script", None,
         lambda d, p: d.click(84, 84), "kill", 1, b"", ends_in_a_tick(
             "r.script")),
        ("the display is lost after the recording failed", "fifo",
         fifo_reader, reader_leaves, "kill", 2, b"Broken pipe", lambda: 0),
    ]
    for name, what, reader, steps, end, status, err, after in rows:
        yield name
        if reader:
            reader()
        session(what, steps, end, status, err, after)

    # A picture the disk cannot take (a file size limit here): said with
    # the system's reason, no file left behind.
    yield "a menu save that fails says why"
    d = Display()
    try:
        p = d.start([A, "--seed", "1"], preexec_fn=lambda: (
            signal.signal(signal.SIGXFSZ, signal.SIG_IGN),
            resource.setrlimit(resource.RLIMIT_FSIZE, (2000, 2000))))
        picture_too_large(d, p)
        d.save(SAVE_SCRIPT, "fifo")  # no reader: never waited on
        d.dismiss()
        check(d.close(p, close_window) == 0, "status %s" % p.returncode)
        err = p.stderr.read()
        check(err.endswith(b"pic.png: File too large\narrivals: cannot save " +
                           os.path.abspath("fifo").encode() +
                           b": No such device or address\n"), "stderr %r" % err)
        check(not [n for n in os.listdir(".") if "pic" in n], "a file left")
    finally:
        d.kill()


THEMES = {f.__name__: f for f in
          (outputs, read_errors, write_errors, signals, names, live)}


def main():
    theme, *programs = sys.argv[1], *map(os.path.abspath, sys.argv[2:])
    failures = 0
    skipped = False
    with tempfile.TemporaryDirectory(prefix="arrivals-safety-") as folder:
        os.chdir(folder)
        rows = THEMES[theme](*programs[:3 if theme == "live" else 2])
        row = None
        while True:
            try:
                row = next(rows)
                if row == SKIPPED:
                    skipped = True
                    continue
            except StopIteration:
                break
            except Failure as failure:
                failures += 1
                print("FAIL %s: %s" % (row, failure), flush=True)
                break
            except subprocess.TimeoutExpired as timeout:
                failures += 1
                print("FAIL %s: %s" % (row, timeout), flush=True)
                break
        os.chdir("/")
    if failures:
        return 1
    print("%s: every row passed%s" % (theme, " (some skipped)" if skipped
                                      else ""))
    return SKIPPED if skipped else 0


if __name__ == "__main__":
    sys.exit(main())
