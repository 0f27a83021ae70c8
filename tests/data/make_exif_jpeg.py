#!/usr/bin/python3
"""Writes a JPEG with known EXIF tags for the tests: make_exif_jpeg.py OUT WIDTH HEIGHT.

The tags (and the facts the program must read from them) are listed in
tests/support/exif_jpeg.cpp; change both together.
"""
import sys

from PIL import Image
from PIL.TiffImagePlugin import IFDRational as R

out, width, height = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
exif = Image.Exif()
exif[0x010F] = "Acme"                       # Make
exif[0x0110] = "Snapper 9"                  # Model
exif[0x0112] = 6                            # Orientation: rotate 90 CW
exif[0x8769] = {                            # EXIF directory
    0x9003: "2024:05:17 14:03:22",          # DateTimeOriginal
    0x829A: R(1, 125),                      # ExposureTime
    0x829D: R(28, 10),                      # FNumber
    0x8827: 200,                            # ISOSpeedRatings
    0x920A: R(50, 1),                       # FocalLength
    0x9209: 0x19,                           # Flash: fired, auto mode
}
exif[0x8825] = {                            # GPS directory, last in the block
    1: "N", 2: (R(48, 1), R(51, 1), R(3012, 100)),
    3: "W", 4: (R(2, 1), R(17, 1), R(4013, 100)),
}
Image.new("RGB", (width, height), (120, 60, 30)).save(
    out, "JPEG", exif=exif.tobytes(), dpi=(72, 72))
