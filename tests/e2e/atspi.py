#!/usr/bin/python3
"""Finds the window's controls in the accessibility tree and presses them.

The end-to-end tests drive the program as a screen reader's user does: a
control is found by its role and the name a person hears, from the one
table CONTROLS below, never by where it stands on the screen. Run it in the
same D-Bus session as the program (tests/e2e/display.sh starts a private
one under Xvfb), with QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 in the program's
environment so that Qt publishes its tree without a screen reader running.

As a module:
    import atspi
    app = atspi.application(pid)
    atspi.press(atspi.find(app, 'start'))
From a shell:
    atspi.py press PID CONTROL [CONTROL ...]   press each, in turn
    atspi.py type PID CONTROL TEXT             replace a box's text, typed
    atspi.py wait PID CONTROL                  wait until it is there
    atspi.py list PID                          print the tree: role, name
Exit status 1, with one line on standard error, when a control is not found
within the timeout (ATSPI_TIMEOUT seconds, default 20).
"""

import os
import subprocess
import sys
import time

import pyatspi

# Every control a test presses: its role and the name a person hears. A
# button's name is its caption, so Start reads "Stop" while a run goes on.
CONTROLS = {
    'start': ('push button', 'Start'),
    'stop': ('push button', 'Stop'),
    'pause': ('push button', 'Pause'),
    'cont': ('push button', 'Cont'),
    # A box's text, which takes the typing (Qt names the box by its value).
    'process': ('text', 'Arrival process'),
    'rate': ('text', 'Packets per second'),
    'view 0': ('radio button', 'Quelva'),
    'view 1': ('radio button', 'Pkts/Sec'),
    # Parts of the canvas, described in words, and the help F1 opens.
    'counter': ('label', 'Packet counter'),
    'help': ('dialog', 'Arrivals help'),
}

TIMEOUT = float(os.environ.get('ATSPI_TIMEOUT', '20'))


class NotFound(Exception):
    pass


def application(pid, timeout=TIMEOUT):
    """The accessible application of process `pid`, once it has a window."""
    deadline = time.monotonic() + timeout
    while True:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            try:
                if app is not None and app.get_process_id() == pid \
                        and app.childCount > 0:
                    return app
            except Exception:  # an application going away mid-walk
                continue
        if time.monotonic() > deadline:
            raise NotFound(f'no accessible application of process {pid} '
                           f'within {timeout:g} s')
        time.sleep(0.2)


def walk(node, depth=0):
    """Every node under `node`, with its depth, parents first."""
    yield node, depth
    try:
        count = node.childCount
    except Exception:
        return
    for i in range(count):
        try:
            child = node.getChildAtIndex(i)
        except Exception:
            continue
        if child is not None:
            yield from walk(child, depth + 1)


def lookup(app, role, name):
    for node, _ in walk(app):
        try:
            if node.getRoleName() == role and node.name == name:
                return node
        except Exception:
            continue
    return None


def find(app, control, timeout=TIMEOUT):
    """The node of a control, waiting for it to appear: a key of CONTROLS,
    or a (role, name) pair for anything else in the tree."""
    role, name = CONTROLS[control] if isinstance(control, str) else control
    deadline = time.monotonic() + timeout
    while True:
        node = lookup(app, role, name)
        if node is not None:
            return node
        if time.monotonic() > deadline:
            raise NotFound(f'no {role} named "{name}" within {timeout:g} s')
        time.sleep(0.1)


def click(node):
    """Clicks the middle of a control, where the tree says it stands."""
    extents = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    subprocess.run(['xdotool', 'mousemove',
                    str(extents.x + extents.width // 2),
                    str(extents.y + extents.height // 2), 'click', '1'],
                   check=True)


def press(node):
    """Presses a control through its Action interface, as a screen reader
    does; a control without one is clicked."""
    try:
        action = node.queryAction()
    except NotImplementedError:
        action = None
    if action is not None:
        for i in range(action.nActions):
            if action.getName(i) in ('Press', 'press', 'click', 'Toggle'):
                action.doAction(i)
                return
    click(node)


def type_text(node, text):
    """Replaces a box's text keystroke by keystroke, as a person types."""
    click(node)
    subprocess.run(['xdotool', 'key', 'ctrl+a'], check=True)
    subprocess.run(['xdotool', 'type', '--delay', '60', text], check=True)


def main(argv):
    if len(argv) < 3 or argv[1] not in ('press', 'type', 'wait', 'list'):
        print(__doc__.split('\n\n')[-1], file=sys.stderr)
        return 2
    command, pid = argv[1], int(argv[2])
    try:
        app = application(pid)
        if command == 'list':
            for node, depth in walk(app):
                print(f'{"  " * depth}{node.getRoleName()}: {node.name}')
        elif command == 'wait':
            find(app, argv[3])
        elif command == 'type':
            type_text(find(app, argv[3]), argv[4])
        else:
            for control in argv[3:]:
                press(find(app, control))
    except (NotFound, KeyError) as e:
        print(f'atspi.py: {e}', file=sys.stderr)
        return 1
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
