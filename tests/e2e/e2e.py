#!/usr/bin/env python3
# The real game on one 1920x1080 Xvfb screen, beside another program's window, driven with
# xdotool as a player would; its picture is checked against pictures predicted, pixel for pixel,
# from the game's own .bmp files.
# Usage: e2e.py GAME DATA_DIR [SCENARIO ...]   (shots: e2e-shots/ beside GAME)
import ctypes, functools, operator, os, shutil, sys, traceback
from subprocess import DEVNULL, Popen, run
from time import monotonic as now, sleep

GAME, DATA = map(os.path.realpath, sys.argv[1:3])
W, SCREEN = 640, (1920, 1080)
# Where the picture lies on the screen: left, top, and screen pixels a game pixel. Full screen it
# is letterboxed 1440x1080, nearest-neighbour.
FULL = box = (240, 0, 2.25)
# The display is 16-bit: a channel loses its low bits and is stretched back to 8 bits in a
# screenshot, green's top and bottom three bits apart. Pictures are kept as shown.
FIVE = bytes((v >> 3) * 255 // 31 for v in range(256))
SIX = bytes((v >> 5) * 8 * 255 // 63 + (v >> 2 & 7) * 255 // 63 for v in range(256))


@functools.cache
def sheet(name):  # (width, pixels top row first)
    b = open(f"{DATA}/gfx/{name}.bmp", "rb").read()
    at, w, h = (int.from_bytes(b[i:i + 4], "little") for i in (10, 18, 22))
    s = (3 * w + 3) & ~3
    rgb = bytearray(bgr := b"".join(b[at + y * s:at + y * s + 3 * w] for y in reversed(range(h))))
    rgb[::3], rgb[2::3] = bgr[2::3].translate(FIVE), bgr[::3].translate(FIVE)
    rgb[1::3] = bgr[1::3].translate(SIX)
    return w, bytes(rgb)


@functools.cache
def sprite(name, sx, sy, sw, sh, dw, dh, key=bytes(3)):  # what a keyed, scaled copy leaves
    w, rgb = sheet(name)
    # The source pixel of a scaled copy: 16.16 fixed point, in the middle of each step.
    pick = lambda i, s, d: ((s << 16) // d // 2 + i * ((s << 16) // d)) >> 16
    return [(i, j, px) for j in range(dh) for i in range(dw) if (px := rgb[
        (a := 3 * ((sy + pick(j, sh, dh)) * w + sx + pick(i, sw, dw))):a + 3]) != key]


def put(ink, x, y):
    return [(x + i, y + j, px) for i, j, px in ink]


def text(x, y, band, s):
    return [p for i, ch in enumerate(s) if ch != " " for p in put(sprite(
        "letters", ord(ch) * 8 - 264, band * 8 - 8, 8, 8, 8, 8), x + i * 8, y)]


def number(x, y, band, n, size=4):
    return [p for i, d in enumerate(str(n)) for p in put(sprite(
        "numbers", int(d) * 4, band * 8 - 8, 4, 8, size - 1, 2 * size), x + i * size, y)]


def plane(x, y, colour):
    return put(sprite("plane", 0, 32 * colour, 32, 32, 32, 32), x, y)


def picture(name, x, y, w, h):  # part of an opaque picture where it is drawn, as row runs
    ox, oy = {"right": (560, 0), "buttons": (560, 416)}.get(name, (0, 0))
    sw, rgb = sheet(name)
    return [(x, j, rgb[(a := 3 * ((j - oy) * sw + x - ox)):a + 3 * w]) for j in range(y, y + h)]


LABELS = ["Play!", "Video Resolution:", "Game Speed:", "Bullets", "Player(s)", "CPU Level",
          "Player 1 Color:", "Player 2 Color:", "Score to win:", "Quit"]


def menu(speed=2, humans=1, lit=None):  # a whole menu frame
    ink = picture("camain", 0, 0, W, 480)
    for x, n, keys in (10, 1, "CTRL/SHIFT/LEFT ARROW/RIGHT ARROW"), (472, 2, "ALT/Z/C/V"):
        rows = [f"{a}{k:>{21 - len(a)}}" for a, k in zip(
            ("Gas", "Fire", "Nose up", "Nose down"), keys.split("/"))]
        rows = [f"  Player {n} Controls  ", "-" * 21, *rows, "-" * 21]
        ink += [p for i, r in enumerate(rows) for p in text(x, 410 + 10 * i, 2, r)]
    for i, label in enumerate(LABELS):
        ink += text(320, 150 + 30 * i, 2, label * (humans == 1 or label != "CPU Level"))
    ink += text(150, 180, 1, "640x480x16") + number(160, 210, 1, speed) + number(160, 240, 1, 6)
    ink += number(160, 270, 1, humans) + text(157, 300, 1, "Easy" * (humans == 1))
    ink += plane(150, 322, 0) + plane(150, 352, 1) + number(160, 390, 1, 5)
    return ink + (text(320, 150 + 30 * LABELS.index(lit), 6, lit) if lit else [])


def ground(x1=560):
    # The playfield below the clouds' reach up to x1, the tower, and the panel but for its first
    # columns, where a bullet may stop.
    ink = picture("bg", 0, 204, x1, 276) + picture("right", 564, 0, 76, 480) + put(
        sprite("tower", 0, 0, 32, 64, 32, 64, b"\xff\xfe\xff"), 264, 400)
    ink += picture("buttons", 564, 416, 76, 64) + text(5, 465, 2, "640x480x16")
    ink += text(572, 5, 6, "Corvane") + text(580, 15, 6, "Altor") + text(576, 380, 2, "To win:")
    ink += text(568, 100, 2, "Player 1") + number(590, 115, 1, 0, 6) + number(592, 394, 1, 5, 6)
    ink += text(568, 200, 2, "Player 2") + number(590, 215, 1, 0, 6)
    return ink + text(564, 428, 1, "Main Menu") + text(584, 460, 1, "Quit")


def stats(c):  # the statistics of the player at column c, all 0
    return text(c - 62, 0, 2, f"Player {1 + (c > 186)}") + [p for y, s in enumerate(
        ("Kills:", "Crashes:", "Fired:", "Hit %:"), 1) for p in text(c - 64, 10 * y, 2, s)
        + number(c, 10 * y, 3, 0)]


PAUSED = text(272, 176, 2, "PAUSED")


@functools.cache
def own(name, y0, y1):
    # Colours of rows y0..y1 of a sheet in no other picture of a match: where one shows, that
    # sprite (one plane's colour) is drawn.
    def rows(n, a=0, b=999):
        w, rgb = sheet(n)
        return {rgb[i:i + 3] for i in range(3 * w * a, min(3 * w * b, len(rgb)), 3)}
    rest = [rows(n) for n in "bg right buttons bullet plane fire cloud tower letters numbers"
            .split() if n != name]
    return rows(name, y0, y1) - set().union(*rest, rows(name, 0, y0), rows(name, y1), [bytes(3)])


def seen(shot, colours, y0=0):  # whether any shows from row y0 down
    return any(shot[i:i + 3] in colours for i in range(3 * W * y0, len(shot), 3))


def up(shot, player):  # whether the plane is above its runway, or what is amiss
    c = own("plane", 32 * player - 32, 32 * player)
    return (seen(shot, c, 420) or not seen(shot, c)) and f"plane {player} not up"


# ------------------------------------------------------------------ the screen and the game
def wrong(shot, ink):  # how the shot differs from the drawings, or nothing
    canvas = bytearray(shot)
    for x, y, px in ink:
        canvas[(a := 3 * (y * W + x)):a + len(px)] = px
    bad = [i for y in range(0, len(shot), 3 * W) if canvas[y:y + 3 * W] != shot[y:y + 3 * W]
           for i in range(y, y + 3 * W, 3) if canvas[i:i + 3] != shot[i:i + 3]]
    i = bad and bad[0]
    return bad and (f"{len(bad)} pixels off, e.g. {i // 3 % W},{i // 3 // W} is "
                    f"{tuple(shot[i:i + 3])}, not {tuple(canvas[i:i + 3])}")


def xdo(*args):
    return run(["xdotool", *map(str, args)], check=True, capture_output=True, text=True).stdout


def at(x, y):  # the mouse onto the game's pixel x, y
    return "mousemove", int(box[0] + (x + .5) * box[2]), int(box[1] + (y + .5) * box[2])


def click(x, y):  # quicker than a menu frame: a value steps once
    xdo(*at(x, y), "sleep", 0.1, "click", 1)


away = ["windowfocus", 0, "sleep", 0.3]  # to the other program's window
x11 = ctypes.CDLL("libX11.so.6")
x11.XOpenDisplay.restype = x11.XGetImage.restype = ctypes.c_void_p


def grab():  # the picture on the screen, a game pixel each: the middle of its square
    image = x11.XGetImage(X, x11.XDefaultRootWindow(X), 0, 0, *SCREEN, ctypes.c_ulong(-1), 2)
    data = ctypes.c_void_p.from_address(image + 16)
    screen = memoryview(ctypes.string_at(data, 4 * 1920 * 1080))
    x11.XFree(data), x11.XFree(ctypes.c_void_p(image))
    x, y, s = box
    row = operator.itemgetter(*[4 * int(x + (i + .5) * s) + c for i in range(W) for c in (2, 1, 0)])
    return b"".join(bytes(row(screen[7680 * int(y + (j + .5) * s):])) for j in range(480))


def window(g, w, h, *keys):  # after keys, the window must be w x h, the picture in its middle
    global box
    xdo("sleep", 0.5, *keys, "sleep", 1)
    x, y, *size = [int(v.split("=")[1]) for v in xdo(
        "getwindowgeometry", "--shell", g.win).split()[1:5]]
    assert size == [w, h], f"expected a window of {w}x{h}, saw {size}"
    s = min(w / W, h / 480)
    box = (x + (w - int(W * s)) // 2, y + (h - int(480 * s)) // 2, s)


games = []  # every game started


class Game:  # started from its data directory, as `make run` does
    def __init__(self, folder, *args):
        global box
        self.dir, self.n, box = folder, 0, FULL
        # What the game says goes to this program's output.
        self.proc = Popen([GAME, *args], cwd=DATA, env=dict(os.environ, SDL_AUDIODRIVER="dummy"))
        games.append(self.proc)

    def shot(self):  # the picture; .path tells where it lies
        self.path = f"{self.dir}/{self.n}.ppm"
        open(self.path, "wb").write(b"P6 640 480 255\n" + (shot := grab()))
        return shot

    def see(self, what, want, act=lambda: sleep(0.05)):
        # Shots, with act between them, until one shows the drawings wanted, or passes a test
        # that says what is amiss.
        test = want if callable(want) else lambda shot: wrong(shot, want)
        end, self.n = now() + 15, self.n + 1
        while self.proc.poll() is None:
            if not (seen := test(shot := self.shot())):
                return shot
            assert now() < end, f"expected {what}; saw {seen} in {self.path}"
            act()
        raise AssertionError(f"expected {what}; the game ended, status {self.proc.returncode}")

    def still(self, what, moving=False):  # the picture stands still for 0.5 s, or goes on
        first = sleep(0.3) or self.shot()
        if moving:
            return self.see(what, lambda s: s == first and "a still picture")
        assert sleep(0.5) or self.shot() == first, f"expected {what}; {self.path} changed"

    def ends(self, what):  # within 10 s
        assert (status := self.proc.wait(10)) == 0, f"expected status 0 after {what}, saw {status}"

    def menu(self, *steps):
        # The menu after each step: the cursor onto x, y, with a click when the speed and the
        # number of humans it must leave are given; lit names the item that lights up.
        for x, y, lit, *click in [(5, 5, None), *steps]:
            xdo(*at(x, y), *["sleep", 0.1, "click", 1] * bool(click))
            self.see(f"the menu, {lit} lit, {click or 'no'} click at {x},{y}",
                     menu(*click or [2, 1], lit))
        self.win = xdo("getwindowfocus").strip()  # SDL takes the keyboard


# ------------------------------------------------------------------ scenarios under X
# Two humans; P in the menu, then "Play!": the match opens paused, planes on their runways,
# scores and statistics 0. From then on it runs a few frames at a time, so that a busy machine
# cannot spoil the timing. Player 1 takes off with CTRL and LEFT ARROW, player 2 with ALT and C;
# player 1 fires with SHIFT, and "Fired:" counts the shots. The panel's Quit held down: the game
# waits for it, and a close request ends it with status 0.
def flying(folder):
    g = Game(folder)
    step = lambda: xdo("key", "p", "sleep", 0.2, "key", "p")  # a few frames run
    g.menu((330, 280, "Player(s)", 2, 2))
    xdo("key", "p")
    click(330, 160)
    g.see("a paused start", ground() + plane(10, 420, 0) + plane(312, 420, 1) + PAUSED
          + stats(186) + stats(373))
    xdo("keydown", "Control_L", "Left", "Alt_L", "c")
    g.see("both planes above their runways", lambda s: up(s, 1) or up(s, 2), step)
    xdo("keyup", "Left", "c", "Alt_L", "keydown", "Shift_L")
    g.see("1 to 6 shots", lambda s: all(wrong(s, number(186, 30, 3, n)) for n in range(1, 7))
          and "none", step)
    xdo("keyup", "Shift_L", "Control_L", *at(600, 460), "sleep", 0.1, "mousedown", 1, "sleep", .3)
    assert g.proc.poll() is None, "expected the game to wait for Quit to be let go"
    g.proc.terminate()
    g.ends("a close request while Quit is held")


# One human. In the menu, switched to another program, the cursor over "Play!" lights nothing
# until the game is back. The computer takes plane 2 off by itself; switched away, the match
# stands still, and P pauses it once back. "Main Menu" in the paused match shows the menu,
# and "Play!" starts afresh: planes, scores and statistics as at first, not paused. The panel's
# Quit held down: the match waits; switched away and back, it goes on, and letting go does
# nothing; nor does a click in the black bar beside it. Clicked in a running match, it ends the
# game.
def main_menu(folder):
    g = Game(folder)
    g.menu()
    xdo(*away, *at(330, 160), "sleep", 0.5)
    assert not wrong(g.shot(), menu()), "expected no menu frame while away"
    xdo("windowfocus", g.win)
    g.see("Play! lit once back", menu(lit="Play!"))
    for first in True, False:
        click(330, 160)
        g.see("a new match, not paused", lambda s: wrong(
            s, ground(250) + plane(10, 420, 0) + stats(186)) or (not wrong(s, PAUSED) and "PAUSED"))
        g.see("plane 2 up, plane 1 down", lambda s: up(s, 2) or wrong(s, plane(10, 420, 0)))
        if first:
            xdo(*away)
            g.still("a match while away")
            xdo("windowfocus", g.win, "key", "p")
            g.see("the match paused once back", PAUSED)
            click(600, 430)
            g.menu()
    xdo(*at(600, 460), "sleep", 0.1, "mousedown", 1)
    g.still("a match while Quit is held")
    xdo(*away, "windowfocus", g.win)
    g.still("the match back from away, Quit held", True)
    xdo("mouseup", 1, "mousemove", 1800, 1040, "click", 1)  # the bar, at the height of Quit
    g.still("the match after Quit let go and a click beside it", True)
    click(600, 460)
    g.ends("the panel's Quit in a running match")


# --windowed: a window of 1280x960 in the middle of the screen, each game pixel a square of 2x2
# screen pixels (sampled in the middle, where a blend would show). The cursor off the window
# lights nothing. At 1000x500 "Play!" starts a match; paused, Alt+Enter shows it on the whole
# screen, and P lets it go on. Alt+Enter again: the window as it was, where "Main Menu" is
# clicked; the menu on the whole screen again, where "Quit" ends the game.
def windowed(folder):
    global box
    g, box = Game(folder, "--windowed"), (320, 60, 2)
    g.menu((330, 160, "Play!"), (330, 700, None))
    window(g, 1280, 960)
    window(g, 1000, 500, "windowsize", g.win, 1000, 500)
    click(330, 165)
    window(g, *SCREEN, "key", "p", "key", "alt+Return")
    g.see("the paused match on the whole screen", PAUSED)
    xdo("key", "p")
    g.still("the match going on", True)
    window(g, 1000, 500, "key", "alt+Return")
    click(600, 440)
    window(g, *SCREEN, "key", "alt+Return")
    g.menu()
    click(340, 430)
    g.ends("the menu's Quit")


# The first menu frame. Clicks step "Game Speed:" 3, 4, 5, 1, 2 and switch "Player(s)" to two
# humans, without the "CPU Level" row, and back; the lit end of "Player(s)" takes no click. Then
# the window is taken off the screen and put back, as minimising does without a window manager:
# the menu shows again and its frames run, the game having taken the keyboard back: the item
# under the cursor lights up, except on the label column itself. Closing the window as a window
# manager asks for Alt+F4 (WM_DELETE_WINDOW) ends the game with status 0.
def minimise(folder):
    g = Game(folder)
    g.menu(*[(340, 215, "Game Speed:", s, 1) for s in (3, 4, 5, 1, 2)], *[
        (x, 280, "Player(s)", 2, n) for x, n in ((330, 2), (330, 1), (385, 1))])
    xdo("windowunmap", "--sync", g.win, "sleep", 0.3, "windowmap", "--sync", g.win)
    g.menu((330, 160, "Play!"), (320, 160, None), (385, 280, "Player(s)"), (340, 430, "Quit"))
    atom = lambda name: x11.XInternAtom(X, name, 0)
    # An XClientMessageEvent: type, serial, send_event, display, window, type, format, data.
    x11.XSendEvent(X, ctypes.c_ulong(int(g.win)), 0, 0, (ctypes.c_long * 24)(
        33, 0, 0, 0, int(g.win), atom(b"WM_PROTOCOLS"), 32, atom(b"WM_DELETE_WINDOW")))
    x11.XFlush(X)
    g.ends("closing the window")


# ------------------------------------------------------------------ runs without X
# The game on SDL's invisible drivers, from data directories broken from outside, or with no
# display. Each either runs (status 0: it runs on for 3 s, and ends with 0 when asked to close;
# SIGTERM is the window's close request) or ends by itself with status 1; it says exactly the
# lines expected ({} is its data directory) and writes nothing.
def outside(folder):
    for name, breaking, env, status, lines in (
            ("gfx-file", "rm -r gfx; echo >gfx", {}, 1, [
                "Error: Cannot load gfx/bg.bmp (Not a directory) from {}"]),
            ("no-sounds", "rm -r sounds", {}, 0, ["Error: LoadDirectSound mmioOpen"] * 2),
            ("no-display", "", dict(SDL_VIDEODRIVER="", DISPLAY="", WAYLAND_DISPLAY=""), 1, [
                "corvane-altor: cannot create the game window: no display to show the game on "
                "(is DISPLAY set?)"])):
        shutil.copytree(DATA, d := f"{folder}/{name}")
        run(breaking, shell=True, cwd=d, check=True)
        files = lambda: run(["ls", "-lRA", "--full-time", d], capture_output=True).stdout
        before, started = files(), now()
        r = run(["timeout", "--preserve-status", "-k5", "15" if status else "3", GAME],
                cwd=d, capture_output=True, text=True, env={
                    **os.environ, "SDL_VIDEODRIVER": "dummy", "SDL_AUDIODRIVER": "dummy", **env})
        said = [s.split(". Start")[0] for s in r.stderr.splitlines()
                if s.startswith(("Error", "corvane"))]
        seen = (r.returncode, status or now() - started > 3, files() == before, said)
        want = (status, True, True, [s.format(d) for s in lines])
        assert seen == want, f"{name}: (status, ran on, unchanged, lines) {seen}, not {want}"


def attempt(scenario):  # runs one scenario; true if it fails
    name, started = scenario.__name__, now()
    shutil.rmtree(folder := f"{os.path.dirname(GAME)}/e2e-shots/{name}", True)
    os.makedirs(folder)
    try:  # a fault fails the scenario, not the run
        scenario(folder)
        print(f"ok   {name} ({now() - started:.1f} s)")
    except Exception:
        return print(f"FAIL {name}:", traceback.format_exc()) or 1
    finally:  # nothing held down or left running spills into the next scenario
        xdo("keyup", "Control_L", "Shift_L", "Alt_L", "Left", "c", "mouseup", 1)
        [p.kill() for p in games]


def main():
    global X
    # Xvfb picks a free display and says which once it takes clients.
    r, w = os.pipe()
    server = Popen(["Xvfb", "-displayfd", str(w), "-screen", "0", "1920x1080x24"], pass_fds=[w],
                   stderr=DEVNULL)
    os.environ["DISPLAY"] = ":" + os.read(r, 9).decode().strip()
    X = ctypes.c_void_p(x11.XOpenDisplay(None))
    # Another program, in the bar beside the full-screen picture and under the game's window.
    other = Popen(["xmessage", "-geometry", "200x60+10+10", "elsewhere"], stderr=DEVNULL)
    away[1] = xdo("search", "--sync", "--class", "xmessage").split()[0]
    try:
        failed = [f.__name__ for f in (outside, flying, main_menu, windowed, minimise)
                  if f.__name__ in (sys.argv[3:] or [f.__name__]) and attempt(f)]
    finally:
        other.kill(), server.kill()
    return "failed: " + " ".join(failed) if failed else 0


sys.exit(main())
