#!/usr/bin/env python3
"""Writes the seed files for fuzz_wav into corpus_wav/: small WAV files, good and nasty."""
import os
import struct
import sys


def chunk(cid, payload, claimed=None, pad=True):
    size = len(payload) if claimed is None else claimed
    out = cid + struct.pack("<I", size) + payload
    if pad and len(payload) % 2:
        out += b"\0"
    return out


def fmt(tag=1, channels=1, rate=22050, bits=16, size=16):
    block = channels * (bits // 8)
    body = struct.pack("<HHIIHH", tag, channels, rate, (rate * block) & 0xFFFFFFFF, block, bits)
    if size >= 18:
        body += struct.pack("<H", size - 18)
    return chunk(b"fmt ", body.ljust(size, b"\0")[:size])


def riff(body, form=b"WAVE", claimed=None):
    return chunk(b"RIFF", form + body, claimed)


def ramp16(n, channels=1):
    return b"".join(struct.pack("<h", (i * 997) % 30000 - 15000) for i in range(n * channels))


SEEDS = {
    "pcm8_mono": riff(fmt(bits=8, rate=11025) + chunk(b"data", bytes(range(0, 256, 5)))),
    "pcm16_stereo": riff(fmt(channels=2, rate=44100) + chunk(b"data", ramp16(12, 2))),
    "fmt18": riff(fmt(size=18) + chunk(b"data", ramp16(10))),
    "fmt22_extra": riff(fmt(channels=2, bits=8, size=22) + chunk(b"data", bytes(20))),
    "odd_chunks": riff(chunk(b"LIST", b"INFOx") + fmt(bits=8) + chunk(b"fact", b"\1\2\3")
                       + chunk(b"data", bytes(range(101)))),
    "riff_size_unset": riff(fmt() + chunk(b"data", ramp16(8)), claimed=0xFFFFFFFF),
    "truncated_data": riff(fmt() + chunk(b"data", ramp16(16)))[:-7],
    "truncated_fmt": riff(fmt() + chunk(b"data", ramp16(4)))[:30],
    "data_claims_huge": riff(fmt() + chunk(b"data", ramp16(4), claimed=0x7FFFFFFF)),
    "fmt_claims_huge": riff(chunk(b"fmt ", fmt()[8:], claimed=0xFFFFFFF0) + chunk(b"data", ramp16(4))),
    "list_claims_huge": riff(chunk(b"LIST", b"abcd", claimed=0xFFFFFFFE) + fmt() + chunk(b"data", ramp16(4))),
    "fmt14": riff(chunk(b"fmt ", fmt()[8:22]) + chunk(b"data", ramp16(4))),
    "float_tag3": riff(fmt(tag=3, bits=32, size=18) + chunk(b"data", bytes(16))),
    "mp3_tag55": riff(fmt(tag=0x55, size=18) + chunk(b"data", bytes(16))),
    "zero_channels": riff(fmt(channels=0) + chunk(b"data", bytes(8))),
    "zero_rate": riff(fmt(rate=0) + chunk(b"data", bytes(8))),
    "bits24": riff(fmt(bits=24) + chunk(b"data", bytes(12))),
    "half_frame": riff(fmt(channels=2) + chunk(b"data", bytes(6))),
    "three_channels": riff(fmt(channels=3) + chunk(b"data", bytes(12))),
    "rate_100": riff(fmt(bits=8, rate=100) + chunk(b"data", bytes(range(128, 160)))),
    "rate_200000": riff(fmt(channels=2, rate=200000) + chunk(b"data", ramp16(20, 2))),
    "rate_huge": riff(fmt(rate=0xFFFFFFFF) + chunk(b"data", bytes(8))),
    "data_first": riff(chunk(b"data", ramp16(4)) + fmt()),
    "empty_data": riff(fmt() + chunk(b"data", b"")),
    "many_tiny_chunks": riff(b"".join(chunk(b"junk", b"") for _ in range(20)) + fmt(bits=8)
                             + chunk(b"data", b"\x80\x90")),
    "wrong_form": riff(fmt() + chunk(b"data", ramp16(4)), form=b"AVI "),
    "header_only": b"RIFF\x04\0\0\0WAVE",
    "empty": b"",
}


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(sys.argv[0])), "corpus_wav")
    os.makedirs(out, exist_ok=True)
    for name, data in SEEDS.items():
        with open(os.path.join(out, name + ".wav"), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
