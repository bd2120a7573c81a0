#!/usr/bin/env python3
"""Reads the tool's main window and its confirmation through the AT-SPI bus,
as a Linux screen reader does: both windows, every button shown and the drive
list must be there with a name (the list's from its label).

    atspi_names.py <tst_accessibility, run with --hold>

Run inside a D-Bus session of its own, on an X display, with
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 (see CMakeLists.txt)."""
import subprocess
import sys
import time

import pyatspi


def walk(acc):
    yield acc
    for child in (acc.getChildAtIndex(i) for i in range(acc.childCount)):
        if child is not None:
            yield from walk(child)


def read_bus(name):
    """(kind, name) of every window, button and list of the tool on screen."""
    seen = []
    desktop = pyatspi.Registry.getDesktop(0)
    for app in (desktop.getChildAtIndex(i) for i in range(desktop.childCount)):
        for acc in walk(app) if app is not None and app.name == name else ():
            role = acc.getRole()
            if not acc.getState().contains(pyatspi.STATE_SHOWING):
                continue
            if acc.parent == app:  # a window of its own
                seen.append(("window", acc.name))
            elif role == pyatspi.ROLE_PUSH_BUTTON:
                seen.append(("button", acc.name))
            elif role == pyatspi.ROLE_COMBO_BOX:
                seen.append(("list", " ".join(
                    r.getTarget(t).name for r in acc.getRelationSet()
                    if r.getRelationType() == pyatspi.RELATION_LABELLED_BY
                    for t in range(r.getNTargets()))))
    return seen


def main():
    tool = subprocess.Popen([sys.argv[1], "--hold"], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                            text=True)
    if tool.stdout.readline().strip() != "ready":
        sys.exit("the tool did not show its windows")
    # Main window: start, cancel, close; confirmation: OK, cancel.
    wanted = {"window": 2, "button": 5, "list": 1}
    deadline = time.monotonic() + 30
    while True:
        seen = read_bus(sys.argv[1].rsplit("/", 1)[-1])
        named = all(name.strip() for _, name in seen) and all(
            sum(k == kind for k, _ in seen) >= n for kind, n in wanted.items())
        if named or time.monotonic() > deadline:
            break
        time.sleep(0.5)
    tool.stdin.close()
    tool.wait(timeout=30)
    for kind, name in seen:
        print("%-6s %s" % (kind, name or "(NO NAME)"))
    return 0 if named else 1

sys.exit(main())
