#!/usr/bin/env python3
"""Predicts what the game shows and compares it with a screenshot, pixel for pixel.

The game's pictures come from its own .bmp files: every 24-bit pixel becomes RGB565 by dropping
low bits, sprites and glyphs are copied with black (or white, for the tower) left out, and scaled
copies pick source pixels nearest-neighbour the way the game's blitter does. The screen then shows
each RGB565 value as 24-bit colour. This module reproduces all of that, so a test can say "the
text 'Play!' in band 2 is at (320, 150)" and have every pixel of it checked.

Usage (each command exits 1 with the reasons when a check fails):
  screen.py check SHOT DATA < CHECKS                  one drawing a line, see parse_checks
  screen.py frame SHOT DATA < DRAWINGS                the drawings painted in order, compared whole
  screen.py find-plane SHOT DATA COLOUR X0 Y0 X1 Y1   prints "X Y COLUMN MATCHED/INK"
  screen.py count SHOT DATA KIND X0 Y0 X1 Y1          pixels of a sheet's unique colours
  screen.py diff SHOT1 SHOT2 [X0 Y0 X1 Y1]            prints the number of differing pixels
  screen.py rgb SHOT X Y                              prints "R,G,B"
"""
import argparse
import os
import re
import struct
import subprocess
import sys

SPRITE = 32
# Each picture's size on loading (the game scales a file to it), at 640 x 480.
SHEET_SIZES = {
    "bg": (640, 480),
    "blank": (SPRITE, SPRITE),
    "camain": (640, 480),
    "right": (80, 480),
    "buttons": (80, 2 * SPRITE),
    "bullet": (SPRITE // 8, SPRITE // 4),
    "plane": (12 * SPRITE, 7 * SPRITE),
    "fire": (8 * SPRITE, SPRITE),
    "cloud": (2 * SPRITE, SPRITE),
    "tower": (SPRITE, 2 * SPRITE),
    "letters": (752, 80),
    "numbers": (40, 80),
}
BLACK = 0
WHITE = 0xFFFF
KEYS = {"bullet": BLACK, "plane": BLACK, "fire": BLACK, "cloud": BLACK, "tower": WHITE,
        "letters": BLACK, "numbers": BLACK}


# ---------------------------------------------------------------- colours


def shown(p):
    """An RGB565 value as the 24-bit screen shows it. Red and blue stretch 0..31 onto 0..255;
    green stretches its top three and bottom three bits separately (0x3F shows as 0xFE)."""
    r5, g6, b5 = p >> 11, (p >> 5) & 0x3F, p & 0x1F
    return (r5 * 255 // 31, (g6 >> 3) * 8 * 255 // 63 + (g6 & 7) * 255 // 63, b5 * 255 // 31)


# ---------------------------------------------------------------- pictures


class Image:
    """Rows of pixel values: RGB565 ints for sheets. Screenshots are Shots."""

    def __init__(self, width, height, pixels):
        self.width = width
        self.height = height
        self.pixels = pixels  # flat list, row after row

    def at(self, x, y):
        return self.pixels[y * self.width + x]


class Shot:
    """A screenshot: packed 8-bit RGB, row after row; at() gives (r, g, b)."""

    def __init__(self, width, height, raw):
        self.width = width
        self.height = height
        self.raw = raw

    def at(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.raw[i:i + 3])


SHIFT3 = bytes(v >> 3 for v in range(256))
SHIFT2 = bytes(v >> 2 for v in range(256))


def read_bmp(path):
    """A 24-bit uncompressed .bmp file as an Image of RGB565 values."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:2] != b"BM":
        raise ValueError(f"{path}: not a BMP file")
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height = struct.unpack_from("<ii", data, 18)
    bpp, compression = struct.unpack_from("<HI", data, 28)
    if bpp != 24 or compression != 0:
        raise ValueError(f"{path}: only 24-bit uncompressed pictures are read here")
    top_down = height < 0
    height = abs(height)
    stride = (width * 3 + 3) & ~3
    rows = [None] * height
    for row in range(height):
        at = offset + row * stride
        line = data[at:at + width * 3]
        # Stored blue, green, red; the low bits are dropped as the game does.
        b5 = line[0::3].translate(SHIFT3)
        g6 = line[1::3].translate(SHIFT2)
        r5 = line[2::3].translate(SHIFT3)
        rows[row if top_down else height - 1 - row] = [
            (r << 11) | (g << 5) | b for r, g, b in zip(r5, g6, b5)]
    return Image(width, height, [v for r in rows for v in r])


def source_index(i, src, dst):
    """The source pixel that a scaled copy takes for destination pixel i: 16.16 fixed point,
    sampling the middle of each step."""
    inc = (src << 16) // dst
    return (inc // 2 + i * inc) >> 16


def scale(image, width, height):
    if (image.width, image.height) == (width, height):
        return image
    cols = [source_index(i, image.width, width) for i in range(width)]
    rows = [source_index(j, image.height, height) for j in range(height)]
    return Image(width, height, [image.at(c, r) for r in rows for c in cols])


_sheets = {}


def sheet(data_dir, name):
    key = (data_dir, name)
    if key not in _sheets:
        picture = read_bmp(os.path.join(data_dir, "gfx", name + ".bmp"))
        _sheets[key] = scale(picture, *SHEET_SIZES[name])
    return _sheets[key]


def read_shot(path):
    """A screenshot: a binary PPM read directly, anything else through ImageMagick."""
    with open(path, "rb") as f:
        ppm = f.read()
    if ppm[:2] != b"P6":
        ppm = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], check=True,
                             stdout=subprocess.PIPE).stdout
    fields = []
    at = 0
    while len(fields) < 4:
        while ppm[at:at + 1].isspace():
            at += 1
        if ppm[at:at + 1] == b"#":
            at = ppm.index(b"\n", at)
            continue
        end = at
        while not ppm[end:end + 1].isspace():
            end += 1
        fields.append(ppm[at:end])
        at = end
    at += 1
    if fields[0] != b"P6" or fields[3] != b"255":
        raise ValueError(f"{path}: unexpected picture format")
    width, height = int(fields[1]), int(fields[2])
    raw = ppm[at:at + width * height * 3]
    if len(raw) != width * height * 3:
        raise ValueError(f"{path}: the picture is cut short")
    return Shot(width, height, raw)


# ---------------------------------------------------------------- what the game draws
# Each drawing yields the pixels it puts on the screen: (x, y, rgb565) for every pixel that is not
# the sheet's colour key, and the rectangle it covers.


def keyed_copy(src_sheet, key, sx, sy, sw, sh, dx, dy, dw, dh):
    ink = []
    cols = [sx + source_index(i, sw, dw) for i in range(dw)]
    rows = [sy + source_index(j, sh, dh) for j in range(dh)]
    for j, r in enumerate(rows):
        for i, c in enumerate(cols):
            v = src_sheet.at(c, r)
            if v != key:
                ink.append((dx + i, dy + j, v))
    return ink


def text_ink(data_dir, text, x, y, band, size=4):
    letters = sheet(data_dir, "letters")
    cell = 2 * size
    ink = []
    for i, ch in enumerate(text):
        code = ord(ch)
        if code < 33 or code > 126:
            continue
        ink += keyed_copy(letters, BLACK, (code - 33) * 8, (band - 1) * 8, 8, 8,
                          x + i * cell, y, cell, cell)
    return ink, (x, y, x + len(text) * cell, y + cell)


def number_ink(data_dir, value, x, y, band, size):
    digits = sheet(data_dir, "numbers")
    ink = []
    for j, ch in enumerate(str(value)):
        d = int(ch)
        ink += keyed_copy(digits, BLACK, d * 4, (band - 1) * 8, 4, 8,
                          x + j * size, y, size - 1, 2 * size)
    return ink, (x, y, x + len(str(value)) * size, y + 2 * size)


def plane_column(heading):
    column = 12 - (heading + 1) // 3
    return 0 if column == 12 else column


def plane_ink(data_dir, x, y, heading, colour):
    """A plane wholly inside the playfield."""
    c = plane_column(heading)
    ink = keyed_copy(sheet(data_dir, "plane"), BLACK, c * SPRITE, colour * SPRITE, SPRITE, SPRITE,
                     x, y, SPRITE, SPRITE)
    return ink, (x, y, x + SPRITE, y + SPRITE)


def tower_ink(data_dir, x, y):
    ink = keyed_copy(sheet(data_dir, "tower"), WHITE, 0, 0, SPRITE, 2 * SPRITE, x, y, SPRITE,
                     2 * SPRITE)
    return ink, (x, y, x + SPRITE, y + 2 * SPRITE)


class PictureInk:
    """Part of an opaque picture as drawing pixels; painted row by row when a whole frame is
    predicted, which is much quicker than pixel by pixel."""

    def __init__(self, pic, origin, x, y, w, h):
        self.pic, self.origin, self.box = pic, origin, (x, y, w, h)

    def __len__(self):
        return self.box[2] * self.box[3]

    def __iter__(self):
        x, y, w, h = self.box
        ox, oy = self.origin
        for j in range(y, y + h):
            for i in range(x, x + w):
                yield i, j, self.pic.at(i - ox, j - oy)

    def paint(self, canvas, painted, width):
        x, y, w, h = self.box
        ox, oy = self.origin
        for j in range(y, y + h):
            start = (j - oy) * self.pic.width + (x - ox)
            row = self.pic.pixels[start:start + w]
            at = j * width + x
            canvas[3 * at:3 * (at + w)] = b"".join(shown_bytes(v) for v in row)
            painted[at:at + w] = b"\x01" * w


def picture_ink(data_dir, name, x, y, w, h):
    """Part of an opaque full-screen or panel picture, drawn where it belongs: the menu picture
    and the background at (0, 0), the right panel at x 560, the buttons at (560, 416)."""
    origin = {"camain": (0, 0), "bg": (0, 0), "right": (560, 0), "buttons": (560, 416)}[name]
    return PictureInk(sheet(data_dir, name), origin, x, y, w, h), (x, y, x + w, y + h)


_shown_bytes = {}


def shown_bytes(v):
    want = _shown_bytes.get(v)
    if want is None:
        want = _shown_bytes[v] = bytes(shown(v))
    return want


def mismatches(shot, ink):
    """The ink pixels that the shot does not show as predicted: (x, y, wanted, got)."""
    bad = []
    raw, width = shot.raw, shot.width
    for x, y, v in ink:
        want = shown_bytes(v)
        i = 3 * (y * width + x)
        if raw[i:i + 3] != want:
            bad.append((x, y, tuple(want), tuple(raw[i:i + 3])))
    return bad


# ---------------------------------------------------------------- commands


def describe(bad, limit=5):
    return "; ".join(f"({x},{y}) want {w} got {g}" for x, y, w, g in bad[:limit])


def parse_checks(lines, data):
    """One drawing per line; TEXT is the rest of the line, spaces and all:
         text X Y BAND SIZE TEXT      the text is shown (every glyph pixel)
         notext X Y BAND SIZE TEXT    at most half of the text's glyph pixels are shown
         number X Y BAND SIZE N       DrawNumber's digits
         plane X Y HEADING COLOUR     a plane wholly inside the playfield
         tower X Y
         picture NAME X Y W H         that part of an opaque picture, where the game puts it
    """
    checks = []
    for line in lines:
        line = line.rstrip("\n")
        if not line.strip() or line.lstrip().startswith("#"):
            continue
        kind, _, rest = line.lstrip().partition(" ")
        if kind in ("text", "notext"):
            x, y, band, size, text = rest.split(" ", 4)
            ink = text_ink(data, text, int(x), int(y), int(band), int(size))[0]
            mode = "all" if kind == "text" else "none"
            name = f"{kind} {text!r} at ({x},{y}) band {band} size {size}"
        elif kind == "number":
            x, y, band, size, n = rest.split()
            ink = number_ink(data, int(n), int(x), int(y), int(band), int(size))[0]
            mode, name = "all", f"number {n} at ({x},{y}) band {band} size {size}"
        elif kind == "plane":
            x, y, heading, colour = map(int, rest.split())
            ink = plane_ink(data, x, y, heading, colour)[0]
            mode, name = "all", f"plane at ({x},{y}) heading {heading} colour {colour}"
        elif kind == "tower":
            x, y = map(int, rest.split())
            ink, mode, name = tower_ink(data, x, y)[0], "all", f"tower at ({x},{y})"
        elif kind == "picture":
            pic, x, y, w, h = rest.split()
            ink = picture_ink(data, pic, int(x), int(y), int(w), int(h))[0]
            mode, name = "all", f"picture {pic} over ({x},{y}) {w}x{h}"
        elif kind == "region":
            x0, y0, x1, y1 = map(int, rest.split())
            ink, mode, name = [], "region", (x0, y0, x1, y1)
        else:
            raise ValueError(f"unknown check: {line!r}")
        checks.append((name, ink, mode))
    return checks


def cmd_frame(args):
    """Paints the drawings from standard input in order, as the game would, and compares every
    painted pixel inside the "region X0 Y0 X1 Y1" lines (or all painted pixels) with the shot."""
    shot = read_shot(args.shot)
    checks = parse_checks(sys.stdin, args.data)
    width = shot.width
    # The prediction starts as a copy of the shot, so that what is not predicted always agrees.
    canvas = bytearray(shot.raw)
    painted = bytearray(width * shot.height)
    regions = []
    for name, ink, mode in checks:
        if mode == "region":
            regions.append(name)
        elif isinstance(ink, PictureInk):
            ink.paint(canvas, painted, width)
        else:
            for x, y, v in ink:
                at = y * width + x
                canvas[3 * at:3 * at + 3] = shown_bytes(v)
                painted[at] = 1
    if regions:
        inside = bytearray(shot.raw)
        counted = bytearray(len(painted))
        for x0, y0, x1, y1 in regions:
            for y in range(y0, y1):
                a, b = y * width + x0, y * width + x1
                inside[3 * a:3 * b] = canvas[3 * a:3 * b]
                counted[a:b] = painted[a:b]
        canvas, painted = inside, counted
    total = painted.count(1)
    if not total:
        print("nothing to compare", file=sys.stderr)
        return 1
    bad = []
    row_bytes = 3 * width
    for y in range(shot.height):
        a = y * row_bytes
        if canvas[a:a + row_bytes] == shot.raw[a:a + row_bytes]:
            continue
        for x in range(width):
            i = a + 3 * x
            if canvas[i:i + 3] != shot.raw[i:i + 3]:
                bad.append((x, y, tuple(canvas[i:i + 3]), tuple(shot.raw[i:i + 3])))
    if bad:
        xs = [b[0] for b in bad]
        ys = [b[1] for b in bad]
        print(f"{args.shot}: {len(bad)} of {total} pixels differ from the predicted frame "
              f"within ({min(xs)},{min(ys)})-({max(xs)},{max(ys)}): {describe(bad)}",
              file=sys.stderr)
        return 1
    print(f"all {total} predicted pixels hold in {os.path.basename(args.shot)}")
    return 0


def cmd_check(args):
    """Reads the checks from standard input (see parse_checks)."""
    shot = read_shot(args.shot)
    checks = parse_checks(sys.stdin, args.data)
    failures = []
    for name, ink, mode in checks:
        if mode == "region":
            continue
        if not ink:
            failures.append(f"{name}: nothing to compare")
            continue
        bad = mismatches(shot, ink)
        if mode == "all" and bad:
            failures.append(f"{name}: {len(bad)} of {len(ink)} pixels differ: {describe(bad)}")
        elif mode == "none" and len(bad) < len(ink) // 2:
            failures.append(f"{name}: {len(ink) - len(bad)} of {len(ink)} pixels are shown")
    for f in failures:
        print(f"{args.shot}: {f}", file=sys.stderr)
    if not checks:
        print("no checks given", file=sys.stderr)
        return 1
    if not failures:
        print(f"{len(checks)} checks hold in {os.path.basename(args.shot)}")
    return 1 if failures else 0


_unique = {}


def unique_colours(data_dir, name, row=None):
    """Colours of one sheet (one colour row of the plane sheet, one bullet) found in no other
    picture of the match screen, so that a pixel of one of them tells what was drawn there."""
    if (data_dir, name, row) in _unique:
        return _unique[(data_dir, name, row)]
    own = set()
    if name == "plane":
        pic = sheet(data_dir, "plane")
        own = {pic.at(x, y)
               for y in range(row * SPRITE, (row + 1) * SPRITE) for x in range(pic.width)}
    elif name == "bullet":
        pic = sheet(data_dir, "bullet")
        h = SPRITE // 8
        own = {pic.at(x, y) for y in range(row * h, (row + 1) * h) for x in range(pic.width)}
    else:
        own = set(sheet(data_dir, name).pixels)
    others = set()
    for other in ("bg", "right", "buttons", "fire", "cloud", "tower", "letters", "numbers"):
        if other != name:
            others |= set(sheet(data_dir, other).pixels)
    for other, rows, h in (("plane", 7, SPRITE), ("bullet", 2, SPRITE // 8)):
        pic = sheet(data_dir, other)
        for r in range(rows):
            if other == name and r == row:
                continue
            others |= {pic.at(x, y) for y in range(r * h, (r + 1) * h) for x in range(pic.width)}
    own.discard(KEYS.get(name, -1))
    _unique[(data_dir, name, row)] = {shown(v) for v in own - others}
    return _unique[(data_dir, name, row)]


def find_colours(shot, colours, x0, y0, x1, y1):
    """Every pixel of one of the colours inside the box, found by a byte search."""
    if not colours:
        return []
    pattern = re.compile(b"(?=(" + b"|".join(re.escape(bytes(c)) for c in colours) + b"))")
    x0, y0 = max(0, x0), max(0, y0)
    x1, y1 = min(shot.width, x1), min(shot.height, y1)
    found = []
    for y in range(y0, y1):
        start = 3 * (y * shot.width + x0)
        line = shot.raw[start:start + 3 * (x1 - x0)]
        found += [(x0 + m.start() // 3, y) for m in pattern.finditer(line) if m.start() % 3 == 0]
    return found


def cmd_count(args):
    shot = read_shot(args.shot)
    kind, _, row = args.kind.partition(":")
    colours = unique_colours(args.data, kind, int(row) if row else None)
    if not colours:
        print(f"{args.kind} has no colour of its own", file=sys.stderr)
        return 1
    found = find_colours(shot, colours, args.x0, args.y0, args.x1, args.y1)
    if found:
        xs = [p[0] for p in found]
        ys = [p[1] for p in found]
        print(f"{len(found)} {min(xs)} {min(ys)} {max(xs)} {max(ys)}")
    else:
        print("0")
    return 0


def find_plane(shot, data_dir, colour, box):
    """Where a plane of the given colour row is drawn inside the box: votes from its
    unique-coloured pixels pick a position and picture column, which is then compared pixel for
    pixel (clouds may cover part of it). Returns (x, y, column, matched, ink pixels) or None."""
    colours = unique_colours(data_dir, "plane", colour)
    found = find_colours(shot, colours, *box)
    if not found:
        return None
    planes = sheet(data_dir, "plane")
    inks = {}
    votes = {}
    for column in range(12):
        ink = keyed_copy(planes, BLACK, column * SPRITE, colour * SPRITE, SPRITE, SPRITE,
                         0, 0, SPRITE, SPRITE)
        inks[column] = ink
        marks = {}
        for px, py, v in ink:
            if shown(v) in colours:
                marks.setdefault(shown(v), []).append((px, py))
        for sx, sy in found:
            for px, py in marks.get(shot.at(sx, sy), ()):
                k = (sx - px, sy - py, column)
                votes[k] = votes.get(k, 0) + 1
    best = None
    for (x, y, column), _ in sorted(votes.items(), key=lambda kv: -kv[1])[:20]:
        ink = [(x + px, y + py, v) for px, py, v in inks[column]
               if 0 <= x + px < shot.width and 0 <= y + py < shot.height]
        matched = len(ink) - len(mismatches(shot, ink))
        if best is None or matched > best[3]:
            best = (x, y, column, matched, len(inks[column]))
    return best


def cmd_find_plane(args):
    """Prints "X Y COLUMN MATCHED/INK" for the plane of a colour row, or "none"."""
    shot = read_shot(args.shot)
    best = find_plane(shot, args.data, args.colour, (args.x0, args.y0, args.x1, args.y1))
    if best is None:
        print("none")
        return 1
    print(f"{best[0]} {best[1]} {best[2]} {best[3]}/{best[4]}")
    return 0


def cmd_diff(args):
    a = read_shot(args.a)
    b = read_shot(args.b)
    x0, y0, x1, y1 = args.box if args.box else (0, 0, a.width, a.height)
    n = 0
    for y in range(y0, y1):
        s, e = 3 * (y * a.width + x0), 3 * (y * a.width + x1)
        if a.raw[s:e] != b.raw[s:e]:
            n += sum(1 for i in range(s, e, 3) if a.raw[i:i + 3] != b.raw[i:i + 3])
    print(n)
    return 0


def cmd_rgb(args):
    shot = read_shot(args.shot)
    print("%d,%d,%d" % shot.at(args.x, args.y))
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    sub = parser.add_subparsers(dest="command", required=True)
    check = sub.add_parser("check")
    check.add_argument("shot")
    check.add_argument("data")
    check.set_defaults(run=cmd_check)
    frame = sub.add_parser("frame")
    frame.add_argument("shot")
    frame.add_argument("data")
    frame.set_defaults(run=cmd_frame)
    for name, run in (("find-plane", cmd_find_plane), ("count", cmd_count)):
        p = sub.add_parser(name)
        p.add_argument("shot")
        p.add_argument("data")
        if name == "find-plane":
            p.add_argument("colour", type=int)
        else:
            p.add_argument("kind", help="plane:ROW, bullet:ROW, fire, cloud ...")
        for c in ("x0", "y0", "x1", "y1"):
            p.add_argument(c, type=int)
        p.set_defaults(run=run)
    diff = sub.add_parser("diff")
    diff.add_argument("a")
    diff.add_argument("b")
    diff.add_argument("box", nargs="*", type=int)
    diff.set_defaults(run=cmd_diff)
    rgb = sub.add_parser("rgb")
    rgb.add_argument("shot")
    rgb.add_argument("x", type=int)
    rgb.add_argument("y", type=int)
    rgb.set_defaults(run=cmd_rgb)
    args = parser.parse_args()
    sys.exit(args.run(args))


if __name__ == "__main__":
    main()
