#!/usr/bin/env python3
"""Writes the seed files for fuzz_bmp into corpus_bmp/: small .bmp files, good and nasty.

Every file whose name starts with good_ is a picture a loader must read. It shows four quadrants:
red top left, green top right, blue bottom left, white bottom right; a 1-bit picture has only red
and white, with red top left and bottom right. The quadrant of pixel (x, y) of a w x h picture is
decided by 2x >= w and 2y >= h. The other files are broken in the way their names say.
"""
import os
import struct
import sys

RED, GREEN, BLUE, WHITE = (255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 255)
QUADS = [RED, GREEN, BLUE, WHITE]


def colour(x, y, w, h, two=False):
    q = (2 * x >= w) + 2 * (2 * y >= h)
    if two:
        return RED if q in (0, 3) else WHITE
    return QUADS[q]


def file_header(offset, total, magic=b"BM"):
    return magic + struct.pack("<IHHI", total, 0, 0, offset)


def info40(w, h, bits, compression=0, image=0, used=0, size=40):
    body = struct.pack("<iiHHIIiiII", w, h, 1, bits, compression, image, 2835, 2835, used, 0)
    return struct.pack("<I", size) + body + b"\0" * (size - 40)


def core12(w, h, bits):
    return struct.pack("<IHHHH", 12, w, h, 1, bits)


def pad(row):
    return row + b"\0" * ((4 - len(row) % 4) % 4)


def rows_bottom_up(w, h, pixel_bytes, top_down=False):
    order = range(h) if top_down else range(h - 1, -1, -1)
    return b"".join(pad(b"".join(pixel_bytes(x, y) for x in range(w))) for y in order)


def bmp(info, data, palette=b"", magic=b"BM", offset=None):
    off = 14 + len(info) + len(palette) if offset is None else offset
    return file_header(off, 14 + len(info) + len(palette) + len(data), magic) + info + palette + data


def rgb24(w, h, top_down=False):
    def px(x, y):
        r, g, b = colour(x, y, w, h)
        return bytes((b, g, r))
    return rows_bottom_up(w, h, px, top_down)


def rgb32(w, h, alpha=0):
    def px(x, y):
        r, g, b = colour(x, y, w, h)
        return bytes((b, g, r, alpha))
    return rows_bottom_up(w, h, px)


def rgb16(w, h, five_six_five):
    def px(x, y):
        r, g, b = colour(x, y, w, h)
        if five_six_five:
            v = (r >> 3) << 11 | (g >> 2) << 5 | b >> 3
        else:
            v = (r >> 3) << 10 | (g >> 3) << 5 | b >> 3
        return struct.pack("<H", v)
    return rows_bottom_up(w, h, px)


def palette4(entry=4):
    return b"".join(bytes((b, g, r)) + b"\0" * (entry - 3) for r, g, b in QUADS)


def indices(w, h):
    return [[QUADS.index(colour(x, y, w, h)) for x in range(w)] for y in range(h)]


def packed(w, h, bits, two=False):
    out = b""
    for y in range(h - 1, -1, -1):
        if two:
            idx = [0 if colour(x, y, w, h, True) == RED else 1 for x in range(w)]
        else:
            idx = indices(w, h)[y]
        acc, n, row = 0, 0, b""
        for i in idx:
            acc = acc << bits | i
            n += bits
            if n == 8:
                row += bytes((acc,))
                acc, n = 0, 0
        if n:
            row += bytes((acc << (8 - n),))
        out += pad(row)
    return out


def rle8(w, h):
    out = b""
    for y in range(h - 1, -1, -1):
        row = indices(w, h)[y]
        x = 0
        while x < w:
            run = 1
            while x + run < w and row[x + run] == row[x]:
                run += 1
            out += bytes((run, row[x]))
            x += run
        out += b"\0\0"
    return out + b"\0\1"


def rle4(w, h):
    out = b""
    for y in range(h - 1, -1, -1):
        row = indices(w, h)[y]
        x = 0
        while x < w:
            run = 1
            while x + run < w and row[x + run] == row[x]:
                run += 1
            out += bytes((run, row[x] << 4 | row[x]))
            x += run
        out += b"\0\0"
    return out + b"\0\1"


def v4_bitfields32(w, h, size=108):
    masks = struct.pack("<IIII", 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000)
    head = info40(w, h, 32, 3, size=40)[4:]
    rest = masks + b"\0" * (size - 40 - 16)
    return struct.pack("<I", size) + head + rest


def good():
    w, h = 8, 8
    p2 = bytes((0, 0, 255, 0, 255, 255, 255, 0))  # red, white
    seeds = {
        "good_24": bmp(info40(w, h, 24), rgb24(w, h)),
        "good_24_7x5": bmp(info40(7, 5, 24), rgb24(7, 5)),
        "good_24_topdown": bmp(info40(w, -h, 24), rgb24(w, h, top_down=True)),
        "good_24_v5": bmp(info40(w, h, 24, size=124), rgb24(w, h)),
        "good_32": bmp(info40(w, h, 32), rgb32(w, h)),
        "good_32_bitfields_v4": bmp(v4_bitfields32(w, h), rgb32(w, h, 255)),
        "good_16_555": bmp(info40(w, h, 16), rgb16(w, h, False)),
        "good_16_565_bitfields": bmp(info40(w, h, 16, 3) + struct.pack("<III", 0xF800, 0x07E0, 0x1F),
                                     rgb16(w, h, True)),
        "good_8": bmp(info40(w, h, 8, used=4), packed(w, h, 8), palette4()),
        "good_8_3x3": bmp(info40(3, 3, 8, used=4), packed(3, 3, 8), palette4()),
        "good_4": bmp(info40(w, h, 4, used=4), packed(w, h, 4), palette4()),
        "good_1bit": bmp(info40(w, h, 1, used=2), packed(w, h, 1, two=True), p2),
        "good_rle8": bmp(info40(w, h, 8, 1, used=4), rle8(w, h), palette4()),
        "good_rle4": bmp(info40(w, h, 4, 2, used=4), rle4(w, h), palette4()),
        "good_core_24": bmp(core12(w, h, 24), rgb24(w, h)),
        "good_core_8": bmp(core12(w, h, 8), packed(w, h, 8), palette4(3) + b"\0" * 3 * 252),
    }
    return seeds


def nasty():
    w, h = 8, 8
    g24 = bmp(info40(w, h, 24), rgb24(w, h))
    pal = palette4()

    def with_header(w_, h_, bits=24, compression=0, data=b"\0" * 64, **kw):
        return bmp(info40(w_, h_, bits, compression, **kw), data)

    seeds = {
        "empty": b"",
        "magic_only": b"BM",
        "truncated_file_header": g24[:10],
        "truncated_info_header": g24[:30],
        "headers_only": g24[:54],
        "cut_header_huge_height": with_header(1, 0x7FFF6700)[:53],
        "truncated_data": g24[:54 + 100],
        "bad_magic": bmp(info40(w, h, 24), rgb24(w, h), magic=b"MB"),
        "huge_width": with_header(0x7FFFFFFF, 1),
        "huge_height": with_header(1, 0x7FFFFFFF),
        "huge_both": with_header(0x10000, 0x10000, 8, data=pal + b"\0" * 64),
        "area_too_big": with_header(8000, 8000, 8, 1, data=b"\0\1"),
        "side_one_too_many": with_header(8193, 1, 8, 1, data=b"\0\1"),
        "height_int_min": with_header(1, -0x80000000),
        "negative_width": with_header(-8, 8),
        "zero_width": with_header(0, 8),
        "zero_height": with_header(8, 0),
        "core_max_sizes": bmp(core12(0xFFFF, 0xFFFF, 24), b"\0" * 64),
        "offset_past_end": bmp(info40(w, h, 24), rgb24(w, h), offset=0xFFFFFFF0),
        "offset_at_end": bmp(info40(w, h, 24), rgb24(w, h), offset=54 + 192),
        "offset_zero": bmp(info40(w, h, 24), rgb24(w, h), offset=0),
        "offset_inside_header": bmp(info40(w, h, 24), rgb24(w, h), offset=20),
        "bits_0": with_header(w, h, 0),
        "bits_7": with_header(w, h, 7),
        "bits_2": bmp(info40(w, h, 2, used=4), packed(w, h, 2), pal),
        "bits_12": with_header(w, h, 12, data=b"\x55" * 200),
        "bits_48": with_header(w, h, 48, data=b"\x55" * 400),
        "bits_64": with_header(w, h, 64, data=b"\x55" * 600),
        "bits_65535": with_header(w, h, 0xFFFF),
        "compression_jpeg": with_header(w, h, 24, 4),
        "compression_png": with_header(w, h, 24, 5, data=b"\x89PNG\r\n\x1a\n" + b"\0" * 32),
        "compression_unknown": with_header(w, h, 24, 0x1234),
        "bitfields_zero_masks": bmp(info40(w, h, 32, 3) + b"\0" * 12, rgb32(w, h)),
        "bitfields_overlapping_masks": bmp(info40(w, h, 32, 3) + struct.pack("<III", -1 & 0xFFFFFFFF,
                                           0xFFFF, 0xFF), rgb32(w, h)),
        "bitfields_on_24bit": bmp(info40(w, h, 24, 3) + struct.pack("<III", 0xFF0000, 0xFF00, 0xFF),
                                  rgb24(w, h)),
        "bitfields_on_8bit": bmp(info40(w, h, 8, 3, used=4) + struct.pack("<III", 0xE0, 0x1C, 3),
                                 packed(w, h, 8), pal),
        "palette_used_huge": bmp(info40(w, h, 8, used=0xFFFFFFFF), packed(w, h, 8), pal),
        "palette_used_300": bmp(info40(w, h, 8, used=300), packed(w, h, 8), pal),
        "palette_index_out_of_range": bmp(info40(w, h, 8, used=2), bytes([200]) * 64, pal),
        "palette_missing": bmp(info40(w, h, 8, used=256), packed(w, h, 8))[:60],
        "rle8_run_past_row": bmp(info40(w, h, 8, 1, used=4), b"\xff\x01\xff\x02\0\1", pal),
        "rle8_run_past_image": bmp(info40(w, h, 8, 1, used=4), b"\xff\x03" * 64 + b"\0\1", pal),
        "rle8_delta_far": bmp(info40(w, h, 8, 1, used=4), b"\0\2\xff\xff\x04\x01\0\1", pal),
        "rle8_delta_then_eol_below": bmp(info40(w, h, 8, 1, used=4),
                                         b"\0\2\0\x09" + b"\0\0" * 20 + b"\x04\x02\0\1", pal),
        "rle8_no_end": bmp(info40(w, h, 8, 1, used=4), b"\x08\x01\0\0\x08\x02", pal),
        "rle8_absolute_odd": bmp(info40(w, h, 8, 1, used=4), b"\0\x03\x01\x02\x03\0\0\0\1", pal),
        "rle8_absolute_truncated": bmp(info40(w, h, 8, 1, used=4), b"\0\xff\x01\x02", pal),
        "rle8_on_24bit": with_header(w, h, 24, 1, data=b"\x40\x07" * 8 + b"\0\1"),
        "rle8_topdown": bmp(info40(w, -h, 8, 1, used=4), rle8(w, h), pal),
        "rle4_run_past_row": bmp(info40(w, h, 4, 2, used=4), b"\xff\x12\0\1", pal),
        "rle4_absolute_odd": bmp(info40(w, h, 4, 2, used=4), b"\0\x05\x12\x30\x10\0\0\0\1", pal),
        "rle4_on_8bit": bmp(info40(w, h, 8, 2, used=4), rle4(w, h), pal),
        "info_size_0": file_header(54, 200) + struct.pack("<I", 0) + b"\0" * 200,
        "info_size_13": file_header(54, 200) + struct.pack("<I", 13) + b"\x08" * 200,
        "info_size_64_os2": bmp(info40(w, h, 24, size=64), rgb24(w, h)),
        "info_size_huge": bmp(info40(w, h, 24)[:0] + struct.pack("<I", 0xFFFFFFF0)
                              + info40(w, h, 24)[4:], rgb24(w, h)),
        "info_size_past_end": bmp(struct.pack("<I", 4000) + info40(w, h, 24)[4:], rgb24(w, h)),
        "thin_rle8_4096x2": bmp(info40(4096, 2, 8, 1, used=4), b"\xff\x01" * 4 + b"\0\1", pal),
    }
    return seeds


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "corpus_bmp")
    os.makedirs(out, exist_ok=True)
    seeds = dict(good())
    seeds.update(nasty())
    for name, data in seeds.items():
        with open(os.path.join(out, name + ".bmp"), "wb") as f:
            f.write(data)
    print(f"{len(seeds)} files in {out}")


if __name__ == "__main__":
    main()
