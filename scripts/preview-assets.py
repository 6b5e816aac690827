#!/usr/bin/env python3
"""Renders previews of the generated art the way the game shows it.

Usage: scripts/preview-assets.py [DATA_DIR] [OUT_DIR]
  DATA_DIR defaults to build/data, OUT_DIR to /tmp.

Writes:
  corvane-contact.png, corvane-contact-letters.png, corvane-contact-panel.png
                       every sprite sheet, the fonts, the panel and buttons scaled 3x on a
                       checkerboard (checkerboard = colour-keyed, transparent pixels)
  corvane-match.png    a match-like frame: background, panel, buttons, planes on the
                       runways and in the air, clouds, tower, bullets, fire, statistics
  corvane-menu.png     a menu-like frame: title picture, labels, values, legends, planes
  corvane-match-2x.png / corvane-menu-2x.png   the same, scaled 2x
  corvane-bands.png    all ten text and digit bands over the sky, the ground, the menu
                       picture and the right panel
All compositions go through the 16-bit RGB565 display format and honour the colour keys
(black, white for the tower) and the game's nearest-neighbour scaling.
"""
import os
import struct
import sys
import zlib


def load_bmp(path):
    data = open(path, "rb").read()
    if data[:2] != b"BM":
        raise ValueError(path + ": not a BMP")
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height = struct.unpack_from("<ii", data, 18)
    bpp = struct.unpack_from("<H", data, 28)[0]
    if bpp != 24:
        raise ValueError(path + ": not 24-bit")
    row_bytes = (width * 3 + 3) & ~3
    rows = []
    for y in range(abs(height)):
        src_y = abs(height) - 1 - y if height > 0 else y
        base = offset + src_y * row_bytes
        row = []
        for x in range(width):
            b, g, r = data[base + x * 3: base + x * 3 + 3]
            row.append((r, g, b))
        rows.append(row)
    return rows


def to565(c):
    return ((c[0] >> 3) << 11) | ((c[1] >> 2) << 5) | (c[2] >> 3)


def from565(v):
    r5, g6, b5 = v >> 11, (v >> 5) & 63, v & 31
    return (r5 * 255 // 31, g6 * 255 // 63, b5 * 255 // 31)


class Surface:
    def __init__(self, rows, key=None):
        self.h = len(rows)
        self.w = len(rows[0])
        self.px = [[to565(c) for c in row] for row in rows]
        self.key = None if key is None else to565(key)


def blank(w, h, color=(0, 0, 0)):
    s = Surface([[color] * w for _ in range(h)])
    return s


def scale_index(src, dst):
    inc = (src << 16) // dst
    return [((inc // 2) + i * inc) >> 16 for i in range(dst)]


def blit(dst, src, sx, sy, sw, sh, dx, dy, dw=None, dh=None, keyed=True):
    """Colour-keyed scaled blit; like the game's, it draws nothing unless both rectangles
    lie wholly inside their surfaces."""
    dw = sw if dw is None else dw
    dh = sh if dh is None else dh
    if sw <= 0 or sh <= 0 or dw <= 0 or dh <= 0:
        return
    if sx < 0 or sy < 0 or sx + sw > src.w or sy + sh > src.h:
        return
    if dx < 0 or dy < 0 or dx + dw > dst.w or dy + dh > dst.h:
        return
    xs = scale_index(sw, dw)
    ys = scale_index(sh, dh)
    key = src.key if keyed else None
    for j in range(dh):
        srow = src.px[sy + ys[j]]
        drow = dst.px[dy + j]
        for i in range(dw):
            v = srow[sx + xs[i]]
            if v != key:
                drow[dx + i] = v


def draw_string(dst, letters, text, x, y, band, size=4):
    for i, ch in enumerate(text):
        c = ord(ch)
        if c < 33 or c > 126:
            continue
        blit(dst, letters, (c - 33) * 8, (band - 1) * 8, 8, 8,
             x + i * 2 * size, y, 2 * size, 2 * size)


def draw_number(dst, numbers, value, x, y, band, size=4):
    for j, ch in enumerate(str(value)):
        d = int(ch)
        blit(dst, numbers, d * 4, (band - 1) * 8, 4, 8, x + j * size, y, size - 1, 2 * size)


def plane_column(heading):
    col = 12 - (heading + 1) // 3
    return 0 if col == 12 else col


def draw_plane(dst, planes, x, y, heading, color):
    col = plane_column(heading)
    blit(dst, planes, col * 32, color * 32, 32, 32, x, y)


def write_png(path, surface, scale=1, rgb_rows=None):
    if rgb_rows is None:
        rgb_rows = [[from565(v) for v in row] for row in surface.px]
    h = len(rgb_rows)
    w = len(rgb_rows[0])
    raw = bytearray()
    for y in range(h * scale):
        raw.append(0)
        row = rgb_rows[y // scale]
        for x in range(w * scale):
            raw.extend(row[x // scale])

    def chunk(tag, payload):
        c = struct.pack(">I", len(payload)) + tag + payload
        return c + struct.pack(">I", zlib.crc32(tag + payload) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", w * scale, h * scale, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 6))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def contact_sheet(gfx, names):
    """All sheets 3x, keyed pixels shown as a grey checkerboard."""
    scale = 3
    items = []
    for name, key in names:
        rows = load_bmp(os.path.join(gfx, name))
        if len(rows[0]) > 400:  # letters: split into two halves
            half = len(rows[0]) // 2
            items.append([r[:half] for r in rows])
            items.append([r[half:] for r in rows])
            items[-2] = (items[-2], key)
            items[-1] = (items[-1], key)
        else:
            items.append((rows, key))
    width = max(1200, max(len(rows[0]) * scale + 16 for rows, _ in items))
    placed = []
    x = y = 8
    line_h = 0
    for rows, key in items:
        w, h = len(rows[0]) * scale, len(rows) * scale
        if x + w > width - 8:
            x = 8
            y += line_h + 12
            line_h = 0
        placed.append((rows, key, x, y))
        x += w + 12
        line_h = max(line_h, h)
    height = y + line_h + 8
    canvas = [[(40, 40, 48)] * width for _ in range(height)]
    for rows, key, ox, oy in placed:
        keyv = None if key is None else to565(key)
        for j in range(len(rows) * scale):
            for i in range(len(rows[0]) * scale):
                c = rows[j // scale][i // scale]
                if keyv is not None and to565(c) == keyv:
                    c = (96, 96, 104) if ((i // 6 + j // 6) & 1) else (128, 128, 136)
                else:
                    c = from565(to565(c))
                canvas[oy + j][ox + i] = c
    return canvas


def main():
    data = sys.argv[1] if len(sys.argv) > 1 else "build/data"
    out = sys.argv[2] if len(sys.argv) > 2 else "/tmp"
    gfx = os.path.join(data, "gfx")
    black, white = (0, 0, 0), (255, 255, 255)
    load = lambda name, key=None: Surface(load_bmp(os.path.join(gfx, name)), key)

    bg = load("bg.bmp")
    camain = load("camain.bmp")
    right = load("right.bmp")
    buttons = load("buttons.bmp")
    bullet = load("bullet.bmp", black)
    planes = load("plane.bmp", black)
    fire = load("fire.bmp", black)
    cloud = load("cloud.bmp", black)
    tower = load("tower.bmp", white)
    letters = load("letters.bmp", black)
    numbers = load("numbers.bmp", black)

    # ---- contact sheets, 3x
    sheet = contact_sheet(gfx, [("plane.bmp", black), ("fire.bmp", black), ("cloud.bmp", black),
                                ("tower.bmp", white), ("bullet.bmp", black),
                                ("numbers.bmp", black), ("blank.bmp", None)])
    write_png(os.path.join(out, "corvane-contact.png"), None, rgb_rows=sheet)
    sheet = contact_sheet(gfx, [("letters.bmp", black)])
    write_png(os.path.join(out, "corvane-contact-letters.png"), None, rgb_rows=sheet)
    sheet = contact_sheet(gfx, [("right.bmp", None), ("buttons.bmp", None)])
    write_png(os.path.join(out, "corvane-contact-panel.png"), None, rgb_rows=sheet)

    # ---- match-like frame
    W, H, P, S = 640, 480, 560, 32
    m = blank(W, H)
    blit(m, bg, 0, 0, W, H, 0, 0, keyed=False)
    blit(m, right, 0, 0, 80, H, P, 0, keyed=False)
    blit(m, buttons, 0, 0, 80, 64, P, H - 64, keyed=False)
    # bullets of both players
    for i in range(5):
        blit(m, bullet, 0, 0, 4, 4, 200 + i * 19, 230 - i * 11)
        blit(m, bullet, 0, 4, 4, 4, 430 - i * 18, 120 + i * 6)
    # planes: on the runways, and in the air at many angles
    draw_plane(m, planes, 10, 420, 0, 0)
    draw_plane(m, planes, 312, 420, 0, 1)
    air = [(110, 250, 3, 0), (450, 110, 17, 1), (300, 300, 9, 0), (60, 120, 27, 1),
           (200, 170, 33, 2), (380, 230, 21, 3), (500, 300, 6, 4), (140, 330, 13, 5),
           (30, 370, 24, 6), (480, 190, 30, 0), (240, 90, 14, 1)]
    for x, y, heading, color in air:
        draw_plane(m, planes, x, y, heading, color)
    # a plane burning: plane with fire frame 1, and a fireball nearby
    draw_plane(m, planes, 350, 150, 4, 1)
    blit(m, fire, 32, 0, 32, 32, 350, 150)
    blit(m, fire, 2 * 32, 0, 32, 32, 420, 400)
    blit(m, fire, 5 * 32, 0, 32, 32, 170, 405)
    for x, y in [(40, 10), (420, 26), (150, 50), (330, 62), (500, 78), (60, 98),
                 (260, 144), (470, 150), (20, 171)]:
        blit(m, cloud, 0, 0, 64, 32, x, y)
    blit(m, tower, 0, 0, 32, 64, P // 2 - 16, int(0.9 * H) - 32)
    draw_string(m, letters, "640x480x16", 5, H - 15, 2)
    draw_string(m, letters, "Player 1", P + 8, 100, 2)
    draw_number(m, numbers, 12, P + 30, 115, 1, 6)
    draw_string(m, letters, "Player 2", P + 8, 200, 2)
    draw_number(m, numbers, 3, P + 30, 215, 1, 6)
    draw_string(m, letters, "-", P + 18, 215, 1, 6)
    for block, (name, vals) in enumerate([("Player 1", (6, 2, 143, 4)),
                                          ("Player 2", (1, 3, 87, 1))]):
        C = P // 3 if block == 0 else (2 * P) // 3
        draw_string(m, letters, name, C - 2 * S + 2, 0, 2)
        for k, label in enumerate(["Kills:", "Crashes:", "Fired:", "Hit %:"]):
            draw_string(m, letters, label, C - 2 * S, 10 + 10 * k, 2)
            draw_number(m, numbers, vals[k], C, 10 + 10 * k, 3)
    draw_string(m, letters, "Corvane", P + 12, 5, 6)
    draw_string(m, letters, "Altor", P + 20, 15, 6)
    draw_string(m, letters, "To win:", P + 16, H - 3 * S - 4, 2)
    draw_number(m, numbers, 5, P + 32, H - 3 * S + S // 4 + 2, 1, 6)
    draw_string(m, letters, "Main Menu", P + 4, H - (2 * S + 4) + S // 2, 1)
    draw_string(m, letters, "Quit", P + 24, H + S // 2 - S - 4, 1)
    draw_string(m, letters, "PAUSED", W // 2 - 48, H // 2 - 2 * S, 2)
    write_png(os.path.join(out, "corvane-match.png"), m)
    write_png(os.path.join(out, "corvane-match-2x.png"), m, 2)

    # ---- menu-like frame
    u = blank(W, H)
    blit(u, camain, 0, 0, W, H, 0, 0, keyed=False)
    C = W // 2
    legends = [("  Player 1 Controls  ", "  Player 2 Controls  "),
               ("---------------------", "---------------------"),
               ("Gas              CTRL", "Gas               ALT"),
               ("Fire            SHIFT", "Fire                Z"),
               ("Nose up    LEFT ARROW", "Nose up             C"),
               ("Nose down RIGHT ARROW", "Nose down           V"),
               ("---------------------", "---------------------")]
    for k, (a, _) in enumerate(legends):
        draw_string(u, letters, a, 10, H - 70 + 10 * k, 2)
    for k, (_, b) in enumerate(legends):
        draw_string(u, letters, b, W - 168, H - 70 + 10 * k, 2)
    labels = [(150, "Play!"), (180, "Video Resolution:"), (210, "Game Speed:"),
              (240, "Bullets"), (270, "Player(s)"), (300, "CPU Level"),
              (330, "Player 1 Color:"), (360, "Player 2 Color:"), (390, "Score to win:"),
              (420, "Quit")]
    for y, text in labels:
        draw_string(u, letters, text, C, y, 6 if text == "Game Speed:" else 2)
    draw_string(u, letters, "CPU2 Level", C + 84, 300, 2)
    draw_string(u, letters, "640x480x16", 150, 180, 1)
    draw_number(u, numbers, 2, 160, 210, 1)
    draw_number(u, numbers, 6, 160, 240, 1)
    draw_number(u, numbers, 1, 160, 270, 1)
    draw_string(u, letters, "Medium", 157, 300, 1)
    draw_string(u, letters, "Hard", 220, 300, 1)
    draw_plane(u, planes, 150, 322, 0, 0)
    draw_plane(u, planes, 150, 352, 0, 1)
    draw_number(u, numbers, 5, 160, 390, 1)
    write_png(os.path.join(out, "corvane-menu.png"), u)
    write_png(os.path.join(out, "corvane-menu-2x.png"), u, 2)
    # ---- every text band over each picture the game writes on
    b = blank(W, 4 * 120)
    sources = [(bg, 0, 0), (bg, 0, 360), (camain, 0, 150), (right, 0, 96)]
    for k, (src, sx, sy) in enumerate(sources):
        for x0 in range(0, W, src.w):
            blit(b, src, sx, sy, min(src.w, W - x0), 120, x0, k * 120, keyed=False)
        for band in range(1, 11):
            y = k * 120 + (band - 1) * 12
            draw_string(b, letters, "Band %d: Corvane Altor, Kills: Hit %%:" % band, 4, y, band)
            draw_number(b, numbers, 567890, 330, y, band)
            draw_number(b, numbers, 90, 370, y, band, 6)
            draw_string(b, letters, "-", 358, y, band, 6)
    write_png(os.path.join(out, "corvane-bands.png"), b)
    print("wrote", ", ".join(os.path.join(out, n) for n in
                             ["corvane-contact.png", "corvane-match.png", "corvane-menu.png"]))


if __name__ == "__main__":
    main()
