#!/usr/bin/python3
"""A new player's first run, as the desktop's menu starts Runemark.

The home directory holds a Steam root whose second library, on another
path, holds Quake in both releases, and PATH holds one engine, a stand-in
named like a real one that notes what it was given. Runemark starts in the
home directory with no settings file anywhere; Exit is clicked at once,
without touching the Setup tab: the per-user file must hold the 2021
release's directory and the engine. The next start, from another
directory, comes up configured from that file, and Play starts the engine
in that directory with the patch. A start directory holding a runemark.ini
keeps using it.

Run inside `xvfb-run ... -dpi 96`:
    first_run.py RUNEMARK_BINARY
"""

import os
import stat
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # no cache beside the sources
from early_input import EXIT, said, window_of, xdotool  # noqa: E402

# Play's centre: the button stands at 3720, 3480 twips, 1335 by 375.
PLAY = (round((3720 + 1335 / 2) / 15), round((3480 + 375 / 2) / 15))
COMMAND = "ironwail"


def write(path, text, mode=None):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", newline="") as f:
        f.write(text)
    if mode is not None:
        os.chmod(path, mode)


def library_entry(number, path, apps):
    listed = "".join('\t\t\t"%s"\t\t"123456"\n' % app for app in apps)
    return ('\t"%d"\n\t{\n\t\t"path"\t\t"%s"\n\t\t"label"\t\t""\n\t\t"apps"\n\t\t{\n%s\t\t}\n\t}\n'
            % (number, path, listed))


def lay_steam(root, home):
    """Quake in the second library of the home's Steam, both releases;
    the 2021 release's directory."""
    steam = os.path.join(home, ".local", "share", "Steam")
    library = os.path.join(root, "disk2", "SteamLibrary")
    os.makedirs(os.path.join(steam, "steamapps", "common"))
    write(os.path.join(steam, "steamapps", "libraryfolders.vdf"),
          '"libraryfolders"\n{\n' + library_entry(0, steam, ["228980"])
          + library_entry(1, library, ["2310"]) + "}\n")
    write(os.path.join(library, "steamapps", "appmanifest_2310.acf"),
          '"AppState"\n{\n\t"appid"\t\t"2310"\n\t"installdir"\t\t"Quake"\n}\n')
    quake = os.path.join(library, "steamapps", "common", "Quake")
    write(os.path.join(quake, "id1", "PAK0.PAK"), "PACK")
    write(os.path.join(quake, "rerelease", "id1", "pak0.pak"), "PACK")
    write(os.path.join(quake, "ctf", "progs.dat"), "progs")
    write(os.path.join(quake, "rerelease", "ctf", "progs.dat"), "progs")
    return os.path.join(quake, "rerelease")


def run(program, start, env, log, clicks):
    """Starts the program in `start`, clicks each of `clicks` in its window
    (a pause after each), and returns its exit code, or None."""
    with open(log, "wb") as out:
        game = subprocess.Popen([program], cwd=start, env=env,
                                stdout=subprocess.DEVNULL, stderr=out)
    window = window_of(game, log)
    if window is None:
        return None
    geometry = dict(line.strip().split("=", 1) for line in
                    xdotool("getwindowgeometry", "--shell", window).splitlines())
    left, top = int(geometry["X"]), int(geometry["Y"])
    for (x, y), pause in clicks:
        xdotool("mousemove", str(left + x), str(top + y), "click", "1")
        time.sleep(pause)
    try:
        return game.wait(timeout=10)
    except subprocess.TimeoutExpired:
        print("Exit did not close the window; said %r" % said(log))
        game.kill()
        game.wait()
        return None


def read(path):
    with open(path, newline="") as f:
        return f.read()


def main():
    program = sys.argv[1]
    failures = []

    def check(condition, what):
        if not condition:
            failures.append(what)
            print("FAILED:", what)

    with tempfile.TemporaryDirectory() as root:
        home = os.path.join(root, "home")
        quake = lay_steam(root, home)
        played = os.path.join(root, "played.txt")
        bin = os.path.join(root, "bin")
        write(os.path.join(bin, "ironwail"),
              '#!/bin/sh\n{ pwd; for a in "$@"; do echo "$a"; done; } > "%s"\n' % played,
              0o755)
        env = dict(os.environ, HOME=home, QT_QPA_PLATFORM="xcb", PATH=bin + ":/usr/bin:/bin")
        env.pop("XDG_CONFIG_HOME", None)
        per_user = os.path.join(home, ".config", "runemark", "runemark.ini")
        saved = '"%s"\r\n"%s"\r\n' % (quake, COMMAND)

        # 1. The first run, from the home directory: Exit at once.
        code = run(program, home, env, os.path.join(root, "said-1.txt"), [(EXIT, 0)])
        check(code == 0, "the first run ended by Exit (exit %r)" % code)
        check(os.path.exists(per_user) and read(per_user) == saved,
              "the per-user file holds the Quake found: %r"
              % (read(per_user) if os.path.exists(per_user) else None))
        check(not os.path.exists(os.path.join(home, "runemark.ini")),
              "nothing written into the home directory itself")
        mode = stat.S_IMODE(os.stat(os.path.dirname(per_user)).st_mode)
        check(mode & 0o077 == 0, "the configuration directory is the owner's alone: %o" % mode)

        # 2. The next start, from elsewhere: configured, Play starts the patch.
        elsewhere = os.path.join(root, "elsewhere")
        os.makedirs(elsewhere)
        code = run(program, elsewhere, env, os.path.join(root, "said-2.txt"),
                   [(PLAY, 0.5), (EXIT, 0)])
        check(code == 0, "the second run ended by Exit (exit %r)" % code)
        deadline = time.monotonic() + 10
        while not os.path.exists(played) and time.monotonic() < deadline:
            time.sleep(0.1)
        lines = read(played).splitlines() if os.path.exists(played) else []
        check(lines == [quake, "-game", "ctf"],
              "Play started the engine found on ctf in the 2021 release: %r" % lines)
        check(read(per_user) == saved, "the second Exit saved the same settings")

        # 3. A start directory holding a runemark.ini keeps using it.
        portable = os.path.join(root, "portable")
        own = '"%s"\r\n"quake -listen 8"\r\n' % quake
        write(os.path.join(portable, "runemark.ini"), own)
        os.utime(os.path.join(portable, "runemark.ini"), (0, 0))
        os.utime(per_user, (0, 0))
        code = run(program, portable, env, os.path.join(root, "said-3.txt"), [(EXIT, 0)])
        check(code == 0, "the portable run ended by Exit (exit %r)" % code)
        check(os.stat(os.path.join(portable, "runemark.ini")).st_mtime != 0
              and read(os.path.join(portable, "runemark.ini")) == own,
              "Exit wrote the start directory's file")
        check(os.stat(per_user).st_mtime == 0 and read(per_user) == saved,
              "the per-user file was left alone")

    print("%d checks failed" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
