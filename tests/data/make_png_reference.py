#!/usr/bin/python3
"""Writes pngsuite/reference.tsv: what an independent decoder makes of every PngSuite file.

One row per file: name, status (ok or refused), width, height and the sha256 of the picture as
packed 8-bit red, green, blue rows (top row first), its transparency laid over the album's
default picture background (0x999999) by the rounding rule
    out = (c * a + 153 * (255 - a) + 127) // 255
with 16-bit samples cut to their high byte. Gamma is not applied.

Pillow decodes (its own PNG reader, independent of libpng). Where its conversion to RGBA does not
keep the file's facts, the transparency is worked out here from what it read:
- 16-bit gray (Pillow's mode I holds the full samples): the high byte, and the tRNS key
  compared with the full sample;
- gray of 1, 2 or 4 bits with a tRNS key: Pillow widens the samples (x 255, 85 or 17) but not the
  key;
- 16-bit colour with a tRNS key: Pillow keeps only the high bytes, so the key is compared with the
  file's own samples, read here with zlib (those files are not interlaced).
Needs python3-pil and python3-numpy; run with Debian's /usr/bin/python3.
"""
import hashlib
import pathlib
import struct
import zlib

import numpy
from PIL import Image

BACKGROUND = 0x99
HERE = pathlib.Path(__file__).resolve().parent / "pngsuite"


def flatten(rgba):
    """rgba: height x width x 4 array of 0..255 -> packed RGB bytes over the background."""
    rgba = rgba.astype(numpy.uint32)
    a = rgba[:, :, 3:4]
    rgb = (rgba[:, :, :3] * a + BACKGROUND * (255 - a) + 127) // 255
    return rgb.astype(numpy.uint8).tobytes()


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    return a if pa <= pb and pa <= pc else b if pb <= pc else c


def raw_rgb16(data, width, height):
    """The 16-bit samples of a colour picture that is not interlaced: height x width x 3."""
    idat, at = b"", 8
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        if kind == b"IDAT":
            idat += data[at + 8:at + 8 + length]
        at += 12 + length
    stream, bpp, stride = zlib.decompress(idat), 6, width * 6
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind, line = stream[y * (stride + 1)], bytearray(stream[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - bpp] if i >= bpp else 0
            b, c = previous[i], previous[i - bpp] if i >= bpp else 0
            line[i] = (line[i] + [0, a, b, (a + b) // 2, paeth(a, b, c)][kind]) & 0xFF
        rows.append(bytes(line))
        previous = line
    return numpy.frombuffer(b"".join(rows), ">u2").reshape(height, width, 3)


def with_key(rgb, mask):
    alpha = numpy.where(mask, 0, 255)[:, :, None]
    return numpy.concatenate([rgb, alpha], axis=2)


def rgba(path):
    data = path.read_bytes()
    depth, colour_type = data[24], data[25]
    im = Image.open(path)
    im.load()
    key = im.info.get("transparency")
    if im.mode == "I":
        samples = numpy.asarray(im).astype(numpy.uint32)
        gray = (samples >> 8)[:, :, None].repeat(3, axis=2)
        return with_key(gray, samples == key)
    if colour_type == 0 and depth < 8 and key is not None:
        gray = numpy.asarray(im).astype(numpy.uint32)
        return with_key(gray[:, :, None].repeat(3, axis=2), gray == key * (255 // (2**depth - 1)))
    if colour_type == 2 and depth == 16 and key is not None:
        samples = raw_rgb16(data, im.width, im.height)
        mask = numpy.all(samples == numpy.array(key), axis=2)
        return with_key((samples >> 8).astype(numpy.uint32), mask)
    return numpy.asarray(im.convert("RGBA"))


def row(path):
    try:
        picture = rgba(path)
    except Exception:
        return [path.name, "refused", "-1", "-1", "-"]
    height, width = picture.shape[:2]
    return [path.name, "ok", str(width), str(height), hashlib.sha256(flatten(picture)).hexdigest()]


def main():
    with open(HERE / "reference.tsv", "w") as out:
        out.write("file\tstatus\twidth\theight\tsha256\n")
        for path in sorted(HERE.glob("*.png")):
            out.write("\t".join(row(path)) + "\n")


if __name__ == "__main__":
    main()
