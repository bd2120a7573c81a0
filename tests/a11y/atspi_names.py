#!/usr/bin/env python3
"""Reads the tool's windows through the AT-SPI bus, as a Linux screen reader
does, and finds there every name the windows gave Qt: the windows' names,
the focusable controls' names and the drive list's label.

    atspi_names.py <a11y_windows tool>

Run inside a D-Bus session of its own, on an X display, with
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 (see CMakeLists.txt)."""
import subprocess
import sys
import time

import pyatspi


def walk(acc):
    yield acc
    for i in range(acc.childCount):
        child = acc.getChildAtIndex(i)
        if child is not None:
            yield from walk(child)


def seen_on_bus(app_name):
    seen = set()
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is None or app.name != app_name:
            continue
        for acc in walk(app):
            role = acc.getRole()
            if role in (pyatspi.ROLE_DIALOG, pyatspi.ROLE_FRAME, pyatspi.ROLE_WINDOW):
                seen.add(("window", acc.name))
            elif role == pyatspi.ROLE_PUSH_BUTTON:
                seen.add(("button", acc.name))
            elif role == pyatspi.ROLE_COMBO_BOX:
                for relation in acc.getRelationSet():
                    if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
                        for t in range(relation.getNTargets()):
                            seen.add(("list", relation.getTarget(t).name))
    return seen


def main():
    tool = subprocess.Popen([sys.argv[1]], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                            text=True)
    expected = set()
    for line in tool.stdout:
        line = line.rstrip("\n")
        if line == "ready":
            break
        kind, _, name = line.partition("\t")
        expected.add((kind, name))
    if {kind for kind, _ in expected} != {"window", "button", "list"}:
        tool.kill()
        sys.exit("the tool named too little: %s" % sorted(expected))
    missing = expected
    deadline = time.monotonic() + 30
    while missing and time.monotonic() < deadline:
        missing = expected - seen_on_bus("a11y_windows")
        if missing:
            time.sleep(0.5)
    tool.stdin.close()
    tool.wait(timeout=30)
    for kind, name in sorted(expected):
        print("%-7s %-6s %s" % ("MISSING" if (kind, name) in missing else "found", kind, name))
    return 1 if missing else 0


sys.exit(main())
