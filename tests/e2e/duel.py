#!/usr/bin/env python3
"""Flies player 1 against the computer until the match is over, so that a test can look at the end.

Player 1 takes off and climbs to the top of the screen with gas held, an easy target that the
computer shoots down again and again (2 points a kill, 5 to win). The match is stepped with the P
key so that the machine's load cannot spoil the timing: pause, take a screenshot, decide which
keys to hold, run the match for a fraction of a second, pause again.

Usage: duel.py DATA_DIR SHOT_DIR SECONDS
Prints one line per step and, at the end, "over SCORE1 SCORE2"; exits 1 when the match is not
over within SECONDS.
"""
import os
import subprocess
import sys
import time

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import screen  # noqa: E402

RUNWAY_Y = 420
TAKE_OFF_X = 46  # ten frames of gas from the start at x 10: the speed is 6.5, enough to lift off
LAST_TAKE_OFF_X = 190  # later, the climb would not clear the tower (its box starts at x 248)


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=True)


class Keys:
    """The keys held down, changed only by differences."""

    def __init__(self):
        self.down = set()

    def hold(self, *keys):
        wanted = set(keys)
        for k in sorted(self.down - wanted):
            xdotool("keyup", k)
        for k in sorted(wanted - self.down):
            xdotool("keydown", k)
        self.down = wanted


def snap(shot_dir, name):
    path = os.path.join(shot_dir, name + ".ppm")
    subprocess.run(["import", "-depth", "8", "-window", "root", path], check=True)
    return screen.read_shot(path), path


def holds(shot, data, lines):
    checks = screen.parse_checks(lines, data)
    return all(not screen.mismatches(shot, ink) for _, ink, _ in checks)


def score(shot, data, y):
    """The score shown in the panel at row y (115 for player 1, 215 for player 2), or None."""
    # Longest first: "1" is also the first digit of "10".
    for value in range(39, -1, -1):
        if holds(shot, data, [f"number 590 {y} 1 6 {value}"]):
            minus = holds(shot, data, [f"text 578 {y} 1 6 -"])
            return -value if minus else value
    return None


def main():
    data, shot_dir, seconds = sys.argv[1], sys.argv[2], float(sys.argv[3])
    keys = Keys()
    paused_text = ["text 272 176 2 4 PAUSED"]
    end = time.monotonic() + seconds
    step = 0
    # The match runs when this starts; pause it first.
    xdotool("key", "p")
    while time.monotonic() < end:
        step += 1
        shot, path = snap(shot_dir, "duel")
        s1, s2 = score(shot, data, 115), score(shot, data, 215)
        if s1 is not None and s2 is not None and max(s1, s2) >= 5:
            keys.hold()
            print(f"over {s1} {s2}")
            return 0
        if not holds(shot, data, paused_text):
            # Not paused (yet): the key press may not have been seen; look again, pause again.
            time.sleep(0.1)
            shot, path = snap(shot_dir, "duel")
            if not holds(shot, data, paused_text):
                xdotool("key", "p")
                time.sleep(0.1)
            continue
        plane = screen.find_plane(shot, data, 0, (0, 0, 560, 480))
        if plane is None or plane[3] * 3 < plane[4]:
            state, run, held, then = "down", 0.3, (), None
        elif plane[1] == RUNWAY_Y and plane[0] < TAKE_OFF_X:
            state, run, held, then = "rolling", 0.25, ("Control_L",), None
        elif plane[1] == RUNWAY_Y and plane[0] <= LAST_TAKE_OFF_X:
            # Nose up for five frames or so: lift-off at once, then a steep climb.
            state, run, held, then = "take-off", 0.15, ("Control_L", "Left"), ("Control_L",)
        elif plane[1] == RUNWAY_Y:
            state, run, held, then = "too late", 0.5, (), None
        else:
            state, run, held, then = "flying", 0.6, ("Control_L",), None
        print(f"step {step}: scores {s1} {s2}, plane 1 {plane}, {state}", flush=True)
        keys.hold(*held)
        xdotool("key", "p")
        time.sleep(run)
        if then is not None:
            keys.hold(*then)
            time.sleep(0.15)
        xdotool("key", "p")
        time.sleep(0.05)
    keys.hold()
    print("the match is not over", file=sys.stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main())
