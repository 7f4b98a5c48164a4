#!/usr/bin/python3
"""The patch menu opens at the pointer under Wayland.

A Wayland window has no global position: a pop-up is placed relative to
the window it belongs to (xdg_positioner). Runemark runs on Qt's Wayland
platform inside weston, whose X11 backend shows its output as a window of
the X server this runs in; xdotool moves that server's pointer, which
weston forwards. The pointer's place in Runemark's window and the anchor
Runemark asks for are read from the Wayland protocol itself
(WAYLAND_DEBUG=1): the anchor must lie 4 pixels right of the pointer and
23 below it, where the menu opens on X11 too.

Run inside `xvfb-run`:
    wayland_popup.py RUNEMARK_BINARY
"""

import os
import re
import signal
import subprocess
import sys
import tempfile
import time

OFFSET = (4, 23)
OUTPUT = (800, 600)
SOCKET = "runemark-popup-%d" % os.getpid()
# A point inside the patch list, from the window's top-left: the list
# spans about 12 to 253 pixels across and 76 to 234 down at scale 1.
IN_LIST = (100, 150)

POINTER = re.compile(r"wl_pointer@\d+\.(?:enter\(\d+, wl_surface@\d+, |motion\(\d+, )"
                     r"(-?[\d.]+), (-?[\d.]+)\)")
PRESS = re.compile(r"wl_pointer@\d+\.button\(\d+, \d+, 273, 1\)")  # BTN_RIGHT down
ANCHOR = re.compile(r"xdg_positioner@\d+\.set_anchor_rect\((-?\d+), (-?\d+), \d+, \d+\)")
GEOMETRY = re.compile(r"xdg_surface@\d+\.set_window_geometry\((-?\d+), (-?\d+), \d+, \d+\)")


def xdotool(*args):
    return subprocess.run(["xdotool", *args], check=True, capture_output=True,
                          text=True).stdout


def read(path):
    with open(path, errors="replace") as f:
        return f.read()


def wait_for(find, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = find()
        if found:
            return found
        time.sleep(0.05)
    return None


def lay_tree(root):
    quake = os.path.join(root, "quake")
    for name, text in (("id1/pak0.pak", "PACK"), ("ctf/progs.dat", "progs")):
        os.makedirs(os.path.dirname(os.path.join(quake, name)), exist_ok=True)
        with open(os.path.join(quake, name), "w") as f:
            f.write(text)
    start = os.path.join(root, "start")
    os.makedirs(start)
    with open(os.path.join(start, "runemark.ini"), "w", newline="") as f:
        f.write('"%s"\r\n"quake"\r\n' % quake)
    return start


def pointer_in_window(log, since):
    """The last pointer position reported in Runemark's window after
    offset `since` of the log, or None."""
    found = POINTER.findall(read(log)[since:])
    return (float(found[-1][0]), float(found[-1][1])) if found else None


def main():
    program = sys.argv[1]
    with tempfile.TemporaryDirectory() as root:
        runtime = os.path.join(root, "runtime")
        os.mkdir(runtime, 0o700)
        env = dict(os.environ, XDG_RUNTIME_DIR=runtime, HOME=os.path.join(root, "home"))
        os.makedirs(env["HOME"])
        start = lay_tree(root)
        weston_log = os.path.join(root, "weston.log")
        log = os.path.join(root, "runemark.log")
        weston = subprocess.Popen(
            ["weston", "--backend=x11-backend.so", "--width=%d" % OUTPUT[0],
             "--height=%d" % OUTPUT[1], "--socket=" + SOCKET, "--idle-time=0",
             "--no-config", "--log=" + weston_log],
            env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        runemark = None
        try:
            if not wait_for(lambda: os.path.exists(os.path.join(runtime, SOCKET)), 30):
                sys.exit("weston did not start:\n" + read(weston_log))
            windows = wait_for(lambda: subprocess.run(
                ["xdotool", "search", "--class", "Weston Compositor"],
                capture_output=True, text=True).stdout.split(), 30)
            if not windows:
                sys.exit("weston's output window did not show")
            geometry = dict(line.split("=", 1) for line in xdotool(
                "getwindowgeometry", "--shell", windows[0]).split())
            output = (int(geometry["X"]), int(geometry["Y"]))

            game_env = dict(env, QT_QPA_PLATFORM="wayland", WAYLAND_DISPLAY=SOCKET,
                            WAYLAND_DEBUG="1", QT_WAYLAND_DISABLE_WINDOWDECORATION="1",
                            QT_SCALE_FACTOR="1")
            with open(log, "wb") as out:
                runemark = subprocess.Popen([program], cwd=start, env=game_env,
                                            stdout=subprocess.DEVNULL, stderr=out)
            if not wait_for(lambda: "ack_configure" in read(log), 30):
                sys.exit("Runemark's window did not show:\n" + read(log)[-3000:])
            time.sleep(0.5)

            # Where weston put the window: move the pointer, from the
            # output's centre outwards, until it is in it, and take the
            # window's own coordinates of that place.
            origin = None
            places = sorted(((x, y) for y in range(40, OUTPUT[1], 60)
                             for x in range(20, OUTPUT[0], 60)),
                            key=lambda p: abs(p[0] - OUTPUT[0] / 2) + abs(p[1] - OUTPUT[1] / 2))
            for x, y in places:
                mark = len(read(log))
                xdotool("mousemove", str(output[0] + x), str(output[1] + y))
                at = wait_for(lambda: pointer_in_window(log, mark), 0.3)
                if at:
                    origin = (x - at[0], y - at[1])
                    break
            if origin is None:
                sys.exit("the pointer never entered Runemark's window")

            target = (round(origin[0] + IN_LIST[0]), round(origin[1] + IN_LIST[1]))
            xdotool("mousemove", str(output[0] + target[0]), str(output[1] + target[1]))
            time.sleep(0.3)
            mark = len(read(log))
            xdotool("click", "3")
            anchored = wait_for(lambda: ANCHOR.search(read(log)[mark:]), 10)
            text = read(log)
            if not anchored:
                sys.exit("no pop-up was asked for:\n" + text[mark:][-3000:])
            press = PRESS.search(text, mark)
            if not press:
                sys.exit("the right button never reached Runemark")
            pointer = POINTER.findall(text[:press.start()])[-1]
            pointer = (round(float(pointer[0])), round(float(pointer[1])))
            # The anchor is measured from the window's geometry, which may
            # start inside its surface.
            shapes = GEOMETRY.findall(text[:press.start()])
            inset = (int(shapes[-1][0]), int(shapes[-1][1])) if shapes else (0, 0)
            anchor = (int(anchored.group(1)) + inset[0], int(anchored.group(2)) + inset[1])
            want = (pointer[0] + OFFSET[0], pointer[1] + OFFSET[1])
            print("pointer in the window", pointer, "pop-up anchored at", anchor)
            print(anchored.group(0))
            if anchor != want:
                sys.exit("the pop-up is anchored at %s, not at %s" % (anchor, want))
            xdotool("key", "Escape")
        finally:
            for process in (runemark, weston):
                if process and process.poll() is None:
                    process.send_signal(signal.SIGTERM)
                    try:
                        process.wait(10)
                    except subprocess.TimeoutExpired:
                        process.kill()
                        process.wait()
    print("ok")


if __name__ == "__main__":
    main()
