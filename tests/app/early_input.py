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
            game = subprocess.Popen([program], cwd=start, env=env,
                                    stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
            window = xdotool("search", "--sync", "--onlyvisible", "--name",
                             "^Runemark$").split()[0]
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
                game.kill()
                game.wait()
                print("run %d: the window stopped answering; Exit did not close it" % run)
                failures += 1
                continue
            said = game.stderr.read().decode(errors="replace")
            with open(settings, newline="") as f:
                written = f.read()
            if code != 0 or os.stat(settings).st_mtime == 0 or written != saved:
                print("run %d: exit %d, settings %r, said %r" % (run, code, written, said))
                failures += 1
            elif "main() thread" in said:
                print("run %d: %s" % (run, said.strip()))
                failures += 1
    print("%d of %d runs failed" % (failures, runs))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
