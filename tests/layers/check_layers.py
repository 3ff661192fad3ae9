#!/usr/bin/env python3
"""Fails when a source file includes a folder above its own floor, or a
system header its floor may not use.

The floors, bottom to top: model/ < ui/ < script/ < window/ and web/ (side
by side, neither sees the other) < app/ and tools/. A floor may include its
own folder and every floor below it. System headers: model/ and ui/ the C++
standard library and the C headers it wraps; script/ also POSIX; window/
also Qt; web/ also emscripten; app/ and tools/ anything. The generated
version header includes nothing and may be used on every floor.

Usage: check_layers.py SOURCE_ROOT [FOLDER...]   (default: every floor)
Prints one line a fault, `file:line: why`, and exits 1 when there is one.
"""
import pathlib
import re
import sys

BELOW = {
    "model": set(),
    "ui": {"model"},
    "script": {"model", "ui"},
    "window": {"model", "ui", "script"},
    "web": {"model", "ui", "script"},
    "app": {"model", "ui", "script", "window", "web", "tools", "app"},
    "tools": {"model", "ui", "script", "window", "web", "app", "tools"},
}

CXX = set("""
algorithm any array atomic bit bitset cassert cctype cerrno cfenv cfloat
charconv chrono cinttypes climits clocale cmath compare concepts cstddef
cstdint cstdio cstdlib cstring ctime cuchar cwchar cwctype deque exception
execution filesystem format forward_list fstream functional initializer_list
iomanip ios iosfwd iostream istream iterator limits list locale map memory
memory_resource mutex new numbers numeric optional ostream queue random
ranges ratio regex set source_location span sstream stack stdexcept
streambuf string string_view system_error thread tuple type_traits
typeindex typeinfo unordered_map unordered_set utility variant vector
version csignal csetjmp cstdarg
""".split())
# The C headers that the C++ library wraps (<cmath> is <math.h>).
C = {name[1:] + ".h" for name in CXX if name.startswith("c")} - {
    "compare.h", "concepts.h", "charconv.h", "chrono.h"}
POSIX = set("""
unistd.h fcntl.h poll.h dirent.h pthread.h termios.h libgen.h
""".split())
POSIX_PREFIXES = ("sys/",)
ALLOWED_EVERYWHERE = {"arrivals_version.h"}


def system_allowed(floor, header):
    if header in CXX or header in C or header in ALLOWED_EVERYWHERE:
        return True
    if floor in ("app", "tools"):
        return True
    posix = header in POSIX or header.startswith(POSIX_PREFIXES)
    if floor == "script":
        return posix
    if floor == "window":
        return posix or re.match(r"Q|Qt[A-Za-z]+/", header) is not None
    if floor == "web":
        return posix or header.startswith("emscripten")
    return False


INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def faults(root, floor):
    for path in sorted((root / floor).rglob("*")):
        if path.suffix not in (".h", ".cpp"):
            continue
        lines = path.read_text(encoding="utf-8").splitlines()
        for number, line in enumerate(lines, 1):
            m = INCLUDE.match(line)
            if not m:
                continue
            header = m.group(2)
            where = f"{path.relative_to(root)}:{number}"
            top = header.split("/", 1)[0] if "/" in header else None
            if top in BELOW:
                if top != floor and top not in BELOW[floor]:
                    yield f"{where}: {floor}/ includes {header}, a floor above or beside it"
            elif m.group(1) == '"' and header not in ALLOWED_EVERYWHERE:
                yield f"{where}: {header} names no floor; include it as \"FOLDER/{header}\""
            elif not system_allowed(floor, header):
                yield f"{where}: {floor}/ may not use the system header <{header}>"


def main(argv):
    if len(argv) < 2:
        print(__doc__.strip().splitlines()[-2], file=sys.stderr)
        return 2
    root = pathlib.Path(argv[1])
    floors = argv[2:] or list(BELOW)
    found = [f for floor in floors for f in faults(root, floor)]
    for line in found:
        print(line)
    print(f"{len(floors)} floors checked, {len(found)} wrong includes")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
