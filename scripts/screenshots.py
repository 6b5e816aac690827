#!/usr/bin/env python3
"""Takes the README's screenshots from the real game under Xvfb: the menu, and a match of one
player against the computer a few seconds in, both planes in the air and bullets flying.

Usage: scripts/screenshots.py [BUILD_DIR]   (default: build; the game must be built there)
Writes docs/screenshots/menu.png and docs/screenshots/match.png.
"""
import os
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.realpath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build"))
if not os.access(os.path.join(BUILD, "corvane-altor"), os.X_OK):
    sys.exit(f"no game in {BUILD}: build it first (make build)")
# The end-to-end driver's screen helpers, for the game in BUILD.
sys.argv[1:] = [os.path.join(BUILD, "corvane-altor"), os.path.join(BUILD, "data")]
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
sys.dont_write_bytecode = True
import e2e  # noqa: E402
from e2e import click, find, own, xdo  # noqa: E402


def save(game, name):
    out = os.path.join(ROOT, "docs", "screenshots", name)
    subprocess.run(["convert", game.path, "-strip", out], check=True)
    print(f"wrote {out}")


def main():
    os.makedirs(os.path.join(ROOT, "docs", "screenshots"), exist_ok=True)
    read, write = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "640x480x24",
                               "-nolisten", "tcp"], pass_fds=[write], stderr=subprocess.DEVNULL)
    os.environ["DISPLAY"] = ":" + os.read(read, 9).decode().strip()
    try:
        with tempfile.TemporaryDirectory() as folder:
            game = e2e.Game(folder)
            game.menu()
            xdo("mousemove", 330, 160)
            game.see("Play! lit", e2e.menu(lit="Play!"))
            save(game, "menu.png")
            # Play!, then take off, climb and fire in bursts until both planes are in the air
            # with player 1's bullets on the way (or the time is up: the last picture is kept).
            click(330, 160)
            xdo("mousemove", 5, 300, "sleep", 1, "keydown", "Control_L", "Left", "sleep", 0.45,
                "keyup", "Left")
            for _ in range(40):
                xdo("keydown", "Shift_L", "sleep", 0.1, "keyup", "Shift_L")
                shot = game.shot("match")
                one, two = find(shot, own("plane", 0, 32)), find(shot, own("plane", 32, 64))
                if one and two and one[3] < 400 and two[3] < 400 and find(shot, own("bullet", 0, 4)):
                    break
                if not one or one[3] > 430:  # back on the runway after a kill: off again
                    xdo("keydown", "Left", "sleep", 0.45, "keyup", "Left")
            save(game, "match.png")
            xdo("keyup", "Control_L", "key", "Escape")
            game.proc.wait(10)
    finally:
        server.kill()


if __name__ == "__main__":
    main()
