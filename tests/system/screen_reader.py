#!/usr/bin/python3
"""Reads Runemark's window the way a screen reader does.

Starts the built program (configured with a runemark.ini and a small Quake
directory) on the desktop's accessibility bus, shows each main tab through
the bus, and walks what is on screen. Prints one line per control (role,
name, description) and fails when a control a user can reach has no name, a
picture has none, a control differs from the names expected below, or the
hidden work list is offered at all.

Run inside `dbus-run-session -- xvfb-run ...`:
    screen_reader.py RUNEMARK_BINARY          check and print
    screen_reader.py RUNEMARK_BINARY --dump   print only
"""

import os
import signal
import subprocess
import sys
import tempfile
import time

from gi.repository import Gio, GLib

import pyatspi

# What a screen reader must say for each control, per main tab:
# (role, label, description). The label is the control's label where one is
# related to it (Qt names a combo box after its shown entry, as is the rule
# on this desktop, and relates its label), else its name.
WHERE = "Where Is Quake Installed On Your System"
EXPECTED = {
    "Play Quake": [
        ("check box", "Play An Approved Game", ""),
        ("list", "Select Patch", "Select The Patch You Wish To Play"),
        ("combo box", "Default Game", "Select An 'Id Software Approved' Game"),
        ("push button", "Play", ""),
        ("push button", "Exit", ""),
    ],
    "Setup": [
        ("combo box", "Select Your Quake Directory", WHERE),
        ("list", WHERE, ""),
        ("combo box", "Program And Command Line",
         "Change The Program And Command Line Options"),
        ("push button", "Play", ""),
        ("push button", "Exit", ""),
    ],
    "About": [
        ("text", "Manual", ""),
        ("push button", "Play", ""),
        ("push button", "Exit", ""),
    ],
}
# Pictures on the About tab's Credits page, shown by choosing that page.
PICTURES = 2

TIMEOUT = 30.0


def wait_for(what, predicate, timeout=TIMEOUT):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(0.1)
    raise SystemExit(f"FAIL: gave up waiting for {what}")


def enable_screen_reader():
    # What a screen reader does on start: tells applications on the session
    # bus that assistive technology is listening.
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    for prop in ("IsEnabled", "ScreenReaderEnabled"):
        bus.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties",
                      "Set", GLib.Variant("(ssv)", ("org.a11y.Status", prop,
                                                   GLib.Variant("b", True))),
                      None, Gio.DBusCallFlags.NONE, 5000, None)


def lay_out_quake(root):
    quake = os.path.join(root, "quake")
    files = {
        "id1/pak0.pak": "PACK", "hipnotic/pak0.pak": "PACK", "rogue/pak0.pak": "PACK",
        "ctf/progs.dat": "progs", "ctf/ctf.txt": "read me", "3wave/progs.dat": "progs",
    }
    for name, text in files.items():
        path = os.path.join(quake, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w") as out:
            out.write(text)
    start = os.path.join(root, "start")
    os.makedirs(start)
    with open(os.path.join(start, "runemark.ini"), "wb") as ini:
        ini.write(f'"{quake}"\r\n"quake -listen # +map #"\r\n'.encode())
    return quake, start


def children(node):
    try:
        return [node.getChildAtIndex(i) for i in range(node.childCount)]
    except Exception:  # a node that went away while being read
        return []


def walk(node, depth=0):
    yield node, depth
    for child in children(node):
        if child is not None:
            yield from walk(child, depth + 1)


def states(node):
    return node.getState()


def showing(node):
    s = states(node)
    return s.contains(pyatspi.STATE_SHOWING) and s.contains(pyatspi.STATE_VISIBLE)


def find_app(name):
    desktop = pyatspi.Registry.getDesktop(0)
    for app in children(desktop):
        if app is not None and app.name.lower() == name:
            return app
    return None


def find(root, role, name=None, only_showing=True):
    for node, _ in walk(root):
        if node.getRoleName() == role and (name is None or node.name == name) and \
                (not only_showing or showing(node)):
            return node
    return None


def press(node):
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i) in ("press", "click", "SetFocus", "Press"):
            action.doAction(i)
            return
    action.doAction(0)


def choose_tab(window, caption):
    tab = wait_for(f"the page tab {caption}", lambda: find(window, "page tab", caption))
    press(tab)
    # A tab list is named after its shown tab.
    wait_for(f"{caption} to be shown", lambda: tab.parent.name == caption)
    time.sleep(0.3)


# Roles a screen reader stops at: controls, text and pictures (the frames,
# pages and panels around them only group them).
SPOKEN = {"check box", "list", "combo box", "push button", "text", "page tab",
          "page tab list", "label", "image", "icon", "editbar", "entry", "spin button"}


def screen(window):
    """The controls now on screen, in the order a screen reader meets them."""
    found = []
    for node, depth in walk(window):
        if node is window or not showing(node):
            continue
        role = node.getRoleName()
        if role not in SPOKEN:
            continue
        # The rows of lists and the tabs are reported with their list.
        parent = node.parent
        if parent is not None and parent.getRoleName() in ("list", "page tab list",
                                                            "combo box", "menu"):
            continue
        found.append((node, depth))
    return found


def label_of(node):
    """What a screen reader announces a control as: its related label, else
    its name."""
    for relation in node.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY and \
                relation.getNTargets() > 0:
            return relation.getTarget(0).name.rstrip(":")
    return node.name


def describe(node):
    role = node.getRoleName()
    line = f"{role:13} | {node.name!r}"
    if label_of(node) != node.name:
        line += f" | labelled {label_of(node)!r}"
    if node.description:
        line += f" | desc {node.description!r}"
    if states(node).contains(pyatspi.STATE_FOCUSABLE):
        line += " | focusable"
    rows = [c.name for c in children(node) if c is not None]
    if role in ("list", "page tab list") and rows:
        shown = rows if len(rows) <= 6 else rows[:6] + ["..."]
        line += f" | rows {shown}"
    return line


def main():
    if len(sys.argv) < 2:
        raise SystemExit(__doc__)
    program = os.path.abspath(sys.argv[1])
    checking = "--dump" not in sys.argv[2:]

    enable_screen_reader()
    failures = []
    with tempfile.TemporaryDirectory() as root:
        quake, start = lay_out_quake(root)
        env = dict(os.environ, QT_QPA_PLATFORM="xcb")
        env.pop("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", None)
        child = subprocess.Popen([program], cwd=start, env=env)
        try:
            app = wait_for("Runemark on the accessibility bus", lambda: find_app("runemark"))
            window = wait_for("the main window",
                              lambda: find(app, "dialog", "Runemark") or
                              find(app, "frame", "Runemark"))
            # The work list holds full paths under the Quake directory; no
            # node anywhere (shown or not) may offer them.
            for node, _ in walk(app):
                if quake in (node.name or "") or quake in (node.description or ""):
                    failures.append(f"offers a work-list path: {describe(node)}")

            for caption in ("Play Quake", "Setup", "About"):
                choose_tab(window, caption)
                pages = [None]
                if caption == "About":
                    pages = ["Manual", "Credits", "Legal Stuff"]
                print(f"== {caption}")
                met = []
                for page in pages:
                    if page:
                        choose_tab(window, page)
                        print(f"  -- {page}")
                    for node, depth in screen(window):
                        print("  " + "  " * min(depth, 4) + describe(node))
                        met.append(node)
                failures += check(caption, met) if checking else []

            exit_button = find(window, "push button", "Exit")
            press(exit_button)
            child.wait(timeout=TIMEOUT)
        finally:
            if child.poll() is None:
                child.send_signal(signal.SIGKILL)
                child.wait()
                failures.append("the program did not end through Exit")

    if checking and failures:
        print("\n".join("FAIL: " + f for f in failures))
        return 1
    return 0


def check(caption, met):
    failures = []
    said = [(n.getRoleName(), label_of(n), n.description) for n in met]
    for want in EXPECTED[caption]:
        if want not in said:
            failures.append(f"{caption}: no {want[0]} named {want[1]!r} "
                            f"described {want[2]!r}")
    for node in met:
        reachable = states(node).contains(pyatspi.STATE_FOCUSABLE)
        if (reachable or node.getRoleName() in ("image", "icon")) and not label_of(node).strip():
            failures.append(f"{caption}: nameless {describe(node)}")
        if node.getRoleName() == "page tab list":
            for tab in children(node):
                if tab is not None and not tab.name.strip():
                    failures.append(f"{caption}: nameless tab in {describe(node)}")
    if caption == "About":
        pictures = [n for n in met if n.getRoleName() in ("image", "icon") and n.name.strip()]
        if len(pictures) != PICTURES:
            failures.append(f"About: {len(pictures)} named pictures, expected {PICTURES}")
    return failures


if __name__ == "__main__":
    sys.exit(main())
