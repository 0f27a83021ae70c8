#!/usr/bin/env python3
"""Folders for bench/album_open.sh, written into a scratch folder and moved into place whole.

  make_album_sets.py camera SOURCE_FOLDER OUT   every JPEG of SOURCE_FOLDER with a 160 x 120 EXIF
                                                thumbnail (IFD1, JPEG) added, as cameras store it
  make_album_sets.py small MASTER OUT           10,000 pictures of 320 x 240 cut from MASTER
"""
import glob, io, os, random, shutil, struct, sys
from PIL import Image


def exif_with_thumbnail(thumb):
    # Little-endian TIFF: an empty IFD0 pointing at IFD1, which points at the thumbnail's bytes.
    ifd1 = 8 + 2 + 4
    at = ifd1 + 2 + 3 * 12 + 4
    tiff = b"II*\0" + struct.pack("<I", 8) + struct.pack("<HI", 0, ifd1)
    tiff += struct.pack("<H", 3)
    tiff += struct.pack("<HHII", 0x0103, 3, 1, 6)
    tiff += struct.pack("<HHII", 0x0201, 4, 1, at)
    tiff += struct.pack("<HHII", 0x0202, 4, 1, len(thumb))
    tiff += struct.pack("<I", 0) + thumb
    return b"Exif\0\0" + tiff


def camera(source, out):
    os.makedirs(out)
    for path in sorted(glob.glob(os.path.join(source, "*.jpg"))):
        data = open(path, "rb").read()
        im = Image.open(io.BytesIO(data))
        im.draft("RGB", (160, 120))
        small = im.convert("RGB").resize((160, 120))
        buffer = io.BytesIO()
        small.save(buffer, format="JPEG", quality=80)
        block = exif_with_thumbnail(buffer.getvalue())
        segment = b"\xff\xe1" + struct.pack(">H", len(block) + 2) + block
        with open(os.path.join(out, os.path.basename(path)), "wb") as f:
            f.write(data[:2] + segment + data[2:])


def small(master_path, out):
    os.makedirs(out)
    master = Image.open(master_path).convert("RGB")
    for i in range(10000):
        rnd = random.Random(77000 + i)
        w, h = 1280, 960
        x0 = rnd.randrange(0, master.width - w + 1)
        y0 = rnd.randrange(0, master.height - h + 1)
        im = master.crop((x0, y0, x0 + w, y0 + h)).reduce(4)
        im.save(os.path.join(out, "pic_%05d.jpg" % i), quality=85)


def main():
    kind, source, out = sys.argv[1:4]
    part = out + ".part"
    shutil.rmtree(part, ignore_errors=True)
    (camera if kind == "camera" else small)(source, part)
    os.rename(part, out)


if __name__ == "__main__":
    main()
