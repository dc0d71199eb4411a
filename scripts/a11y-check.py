#!/usr/bin/python3
"""Looks at the program through AT-SPI, as a screen reader does.

  a11y-check.py page PICTURE   lists every control of the running program's windows that a
                               screen reader could not name, into PICTURE with ".a11y.txt"
                               for ".png" (the program's walk of its pages runs this where
                               it would take a picture); exits 0 so that the walk goes on
  a11y-check.py summary FOLDER prints what the pages' lists hold; exits 1 when a control
                               has no name or a page could not be looked at

Runs on the session's accessibility bus, so the program must have been started with
AT-SPI on (no NO_AT_BRIDGE) in the same D-Bus session.
"""

import os
import sys
import time

# Roles a user moves to and works; each needs a name to be told apart.
INTERACTIVE = {
    "push button", "toggle button", "check box", "radio button", "text", "entry",
    "password text", "combo box", "spin button", "list", "list box", "table",
    "tree table", "tree", "slider", "page tab",
}
# Roles GTK gives a window that wxWidgets draws itself. Such a window that takes the
# focus and holds no widgets is a control of our own (a list, a picture, a caption).
DRAWN = {"panel", "filler", "unknown", "drawing area", "canvas"}
PROGRAM = "vostrel"
# Guards against a tree that never ends (an object that lists itself as its child).
MAX_DEPTH = 60


def role_of(node):
    try:
        return node.getRoleName()
    except Exception:  # the window went while it was looked at
        return ""


def has_state(node, state):
    try:
        return node.getState().contains(state)
    except Exception:
        return False


def children_of(node):
    try:
        return [node.getChildAtIndex(i) for i in range(node.childCount)]
    except Exception:
        return []


def describe(trail, beside):
    """The nearest named ancestors and the text shown before the control, so that a
    reader finds it on screen."""
    named = [f"{role} '{name}'" for role, name in trail if name]
    where = " > ".join(named[-3:]) if named else "(no named ancestor)"
    return f"{where}, after '{beside}'" if beside else where


def extents(pyatspi, node):
    """Where a control is on screen, to tell it apart from its neighbours."""
    try:
        box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        return f", {box.width}x{box.height} at {box.x},{box.y}"
    except Exception:
        return ""


def unnamed_controls(pyatspi, node, trail, depth, found, beside=""):
    if node is None or depth > MAX_DEPTH:
        return
    showing = has_state(node, pyatspi.STATE_SHOWING)
    if not showing:
        # Nothing inside a hidden window is on screen. The pages visited before stay
        # in the tree, hidden, and asking each of their controls over the bus would
        # make every page slower to look at than the one before.
        return
    role = role_of(node)
    name = (node.name or "").strip() if role else ""
    kids = [child for child in children_of(node) if child is not None]
    if not name:
        if role in INTERACTIVE:
            found.append(f"{role} ({extents(pyatspi, node)[2:]})\t{describe(trail, beside)}")
        elif role in DRAWN and not kids and has_state(node, pyatspi.STATE_FOCUSABLE):
            found.append(f"drawn control ({role}{extents(pyatspi, node)})\t{describe(trail, beside)}")
    # A list's or table's rows are told by their text; a closed combo box's menu is not on screen.
    if role in ("combo box", "table", "tree table", "list", "list box", "menu"):
        return
    text = ""
    for child in kids:
        unnamed_controls(pyatspi, child, trail + [(role, name)], depth + 1, found, text)
        if role_of(child) == "label" and (child.name or "").strip():
            text = child.name.strip()


def walk(pyatspi, app):
    lines = []
    for window in children_of(app):
        if window is not None and has_state(window, pyatspi.STATE_SHOWING):
            unnamed_controls(pyatspi, window, [], 0, lines)
    return lines


def find_program(pyatspi):
    desktop = pyatspi.Registry.getDesktop(0)
    for app in children_of(desktop):
        if app is not None and (app.name or "") == PROGRAM:
            return app
    return None


def report_path(picture):
    base = picture[:-4] if picture.endswith(".png") else picture
    return base + ".a11y.txt"


def check_page(picture):
    try:
        import pyatspi
    except ImportError:
        lines = ["ERROR\tpython3-pyatspi is missing"]
    else:
        app = find_program(pyatspi)
        if app is None:
            lines = ["ERROR\tthe program is not on the accessibility bus"]
        else:
            lines = walk(pyatspi, app)
            if lines:
                # A page may still be changing as it is walked (windows made or made
                # again); a control without a name for good is still without one a
                # moment later.
                time.sleep(1.0)
                again = set(walk(pyatspi, app))
                lines = [line for line in lines if line in again]
    with open(report_path(picture), "w", encoding="utf-8") as out:
        out.write("".join(line + "\n" for line in lines))
    return 0


def summarise(folder):
    reports = sorted(f for f in os.listdir(folder) if f.endswith(".a11y.txt"))
    if not reports:
        print(f"no page was looked at in {folder}", file=sys.stderr)
        return 1
    failed = 0
    for report in reports:
        with open(os.path.join(folder, report), encoding="utf-8") as f:
            lines = [line.rstrip("\n") for line in f if line.strip()]
        page = report[: -len(".a11y.txt")]
        if lines:
            failed += 1
            print(f"{page}: {len(lines)} without a name")
            for line in lines:
                print(f"  {line}")
    print(f"{len(reports)} pages looked at, {failed} with controls a screen reader cannot name")
    return 1 if failed else 0


def main(argv):
    if len(argv) == 3 and argv[1] == "page":
        return check_page(argv[2])
    if len(argv) == 3 and argv[1] == "summary":
        return summarise(argv[2])
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
