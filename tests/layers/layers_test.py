#!/usr/bin/env python3
"""Plants one include a row in a scratch tree and checks that the layering
check finds exactly the wrong ones."""
import pathlib
import sys
import tempfile

sys.path.insert(0, str(pathlib.Path(__file__).parent))
import check_layers  # noqa: E402

ROWS = [  # floor, include line, wrong?
    ("model", '#include "model/types.h"', False),
    ("model", '#include "ui/form.h"', True),
    ("model", "#include <cmath>", False),
    ("model", "#include <math.h>", False),
    ("model", "#include <unistd.h>", True),
    ("ui", '#include "model/tick.h"', False),
    ("ui", '#include "script/byte_io.h"', True),
    ("ui", "#include <QString>", True),
    ("script", '#include "ui/form.h"', False),
    ("script", "#include <sys/stat.h>", False),
    ("script", '#include "window/canvas.h"', True),
    ("script", "#include <QString>", True),
    ("script", '#include "arrivals_version.h"', False),
    ("window", '#include "script/session_recorder.h"', False),
    ("window", "#include <QPainter>", False),
    ("window", '#include "web/scene.h"', True),
    ("window", '#include "app/launch.h"', True),
    ("window", "#include <emscripten.h>", True),
    ("web", "#include <emscripten/emscripten.h>", False),
    ("web", '#include "window/logo.h"', True),
    ("web", "#include <QImage>", True),
    ("app", "#include <QApplication>", False),
    ("app", '#include "tools/script_tool.h"', False),
    ("tools", "#include <getopt.h>", False),
    ("model", '#include "types.h"', True),
]


def main():
    failed = 0
    for floor, line, wrong in ROWS:
        with tempfile.TemporaryDirectory() as scratch:
            root = pathlib.Path(scratch)
            (root / floor).mkdir()
            (root / floor / "x.cpp").write_text(line + "\n")
            found = list(check_layers.faults(root, floor))
        if bool(found) != wrong:
            failed += 1
            print(f"FAIL {floor}/: {line}: expected {'a fault' if wrong else 'none'}, got {found}")
    print(f"{len(ROWS) - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
