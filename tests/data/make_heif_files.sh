#!/usr/bin/env bash
# Makes the HEIF and AVIF pictures of tests/data/heif with Debian's encoders (libheif-examples:
# heif-enc; libavif-bin: avifenc) from a 64 x 48 picture of four shaded quarters (red, green,
# blue, white) drawn by Python's image library, with and without an alpha ramp from left to right.
# Run from the top of the repository; the files are kept, so the tests need no encoder.
set -euo pipefail
out=tests/data/heif
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
/usr/bin/python3 - "$work" <<'PY'
import sys
from PIL import Image
w, h = 64, 48
im = Image.new('RGB', (w, h))
px = im.load()
for y in range(h):
    for x in range(w):
        base = [(255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 255)][(y >= h // 2) * 2 + (x >= w // 2)]
        px[x, y] = tuple(max(0, c - (x % 8) * 4 - (y % 8) * 3) for c in base)
im.save(sys.argv[1] + '/quarters.png')
alpha = im.convert('RGBA')
pa = alpha.load()
for y in range(h):
    for x in range(w):
        r, g, b, _ = pa[x, y]
        pa[x, y] = (r, g, b, int(255 * x / (w - 1)))
alpha.save(sys.argv[1] + '/quarters_alpha.png')
PY
mkdir -p "$out"
heif-enc -q 80 -o "$out/quarters.heic" "$work/quarters.png"
heif-enc -q 80 -o "$out/quarters_alpha.heic" "$work/quarters_alpha.png"
avifenc "$work/quarters.png" "$out/quarters.avif"
avifenc "$work/quarters_alpha.png" "$out/quarters_alpha.avif"
# Turned a quarter to the left, then mirrored top to bottom: transformations the reader applies.
avifenc --irot 1 --imir 0 "$work/quarters.png" "$out/quarters_turned.avif"
# Display P3 code points (primaries 12, sRGB transfer 13, BT.601 matrix 6) instead of a profile.
avifenc --cicp 12/13/6 "$work/quarters.png" "$out/quarters_p3.avif"
