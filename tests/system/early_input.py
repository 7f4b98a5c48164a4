#!/usr/bin/python3
"""Clicks into Runemark's window the moment it shows, as an impatient player.

The built program starts on a large Quake directory, which it reads on a
second thread while its window is built. As soon as the window is on screen
the mouse clicks into it and then on Exit: the window must take the clicks,
close, and save its settings. A window run as if from the wrong thread let
input arrive and then stopped answering for good, in about one start in
seven; ten starts catch that most of the time.

Run inside `xvfb-run ... -dpi 96`:
    early_input.py RUNEMARK_BINARY [RUNS]
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

# Exit's centre inside the window, in pixels at 96 dpi (15 twips a pixel):
# the button stands at 5160, 3480 twips and is 1335 by 375 twips.
EXIT = (round((5160 + 1335 / 2) / 15), round((3480 + 375 / 2) / 15))
# The Setup tab along the top of the tab control.
SETUP_TAB = (110, 14)


def xdotool(*args):
    return subprocess.run(["xdotool", *args], check=True, capture_output=True,
                          text=True, timeout=20).stdout


def said(log):
    with open(log, "rb") as f:
        return f.read().decode(errors="replace").strip()


def threads_of(pid):
    """Where each thread of a process that never showed its window stands."""
    if not shutil.which("gdb"):
        return "(gdb is not installed: no backtrace)"
    return subprocess.run(["gdb", "-p", str(pid), "-batch", "-ex", "thread apply all bt"],
                          capture_output=True, text=True, timeout=120).stdout


def window_of(game, log, limit=60.0):
    """The program's window once it shows, or None with the reason printed.

    Polled rather than `search --sync`, so that a program that ends before
    showing is told at once, and one that never shows is looked into.
    """
    deadline = time.monotonic() + limit
    while time.monotonic() < deadline:
        if game.poll() is not None:
            print("the program ended before showing its window: exit %d, said %r"
                  % (game.returncode, said(log)))
            return None
        found = subprocess.run(["xdotool", "search", "--all", "--onlyvisible",
                                "--pid", str(game.pid), "--name", "^Runemark$"],
                               capture_output=True, text=True, timeout=20).stdout.split()
        if found:
            return found[0]
        time.sleep(0.1)
    print("no window after %d s; said %r; its threads:\n%s"
          % (limit, said(log), threads_of(game.pid)))
    game.kill()
    game.wait()
    return None


def make_quake(root, patches):
    quake = os.path.join(root, "quake")
    for game in ("id1", "hipnotic", "rogue"):
        os.makedirs(os.path.join(quake, game))
        open(os.path.join(quake, game, "pak0.pak"), "w").close()
    for i in range(patches):
        patch = os.path.join(quake, "patch%05d" % i)
        os.makedirs(patch)
        open(os.path.join(patch, "progs.dat" if i % 2 else "pak0.pak"), "w").close()
    return quake


def main():
    program = sys.argv[1]
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 10
    failures = 0
    with tempfile.TemporaryDirectory() as root:
        quake = make_quake(root, 3000)
        start = os.path.join(root, "start")
        os.makedirs(start)
        settings = os.path.join(start, "runemark.ini")
        saved = '"%s"\r\n"quake -listen # +map #"\r\n' % quake
        env = dict(os.environ, QT_QPA_PLATFORM="xcb")
        for run in range(runs):
            with open(settings, "w", newline="") as f:
                f.write(saved)
            os.utime(settings, (0, 0))
            # A file, not a pipe: a pipe nobody reads until the end would
            # stop a program with much to say.
            log = os.path.join(root, "said-%d.txt" % run)
            with open(log, "wb") as out:
                game = subprocess.Popen([program], cwd=start, env=env,
                                        stdout=subprocess.DEVNULL, stderr=out)
            window = window_of(game, log)
            if window is None:
                print("run %d: the window never showed" % run)
                failures += 1
                continue
            geometry = dict(line.strip().split("=", 1) for line in
                            xdotool("getwindowgeometry", "--shell", window).splitlines())
            left, top = int(geometry["X"]), int(geometry["Y"])
            # At once, while the start-up may still be filling the lists.
            xdotool("mousemove", str(left + SETUP_TAB[0]), str(top + SETUP_TAB[1]),
                    "click", "1")
            time.sleep(1.0)
            xdotool("mousemove", str(left + EXIT[0]), str(top + EXIT[1]), "click", "1")
            try:
                code = game.wait(timeout=10)
            except subprocess.TimeoutExpired:
                print("run %d: the window stopped answering; Exit did not close it; "
                      "said %r; its threads:\n%s" % (run, said(log), threads_of(game.pid)))
                game.kill()
                game.wait()
                failures += 1
                continue
            message = said(log)
            with open(settings, newline="") as f:
                written = f.read()
            if code != 0 or os.stat(settings).st_mtime == 0 or written != saved:
                print("run %d: exit %d, settings %r, said %r" % (run, code, written, message))
                failures += 1
            elif "main() thread" in message:
                print("run %d: %s" % (run, message))
                failures += 1
    print("%d of %d runs failed" % (failures, runs))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
