#!/usr/bin/env python3
"""Writes the data of the end-to-end benchmark into a folder (standard library only):

  learn/1.bmp .. learn/36.bmp  the glyphs 0-9, A-Z of the tests' dot font, 64 x 64, 8-bit
  charmap.txt                  1..36 -> 0-9, A-Z
  pics/<r>_<c>.bmp             r = 1..ROWS, c = 0..9: 64 x 64 8-bit glyphs, each drawn with its
                               own size and place so that they differ from the references

Usage: make_bench_data.py FOLDER [ROWS]   (ROWS 100 by default: 1000 images)
"""

import os
import re
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
FONT_HEADER = os.path.join(HERE, "..", "tests", "golden", "glyphs.h")


def read_font():
    """The 5 x 7 rows of each glyph, from the table of tests/golden/glyphs.h."""
    font = {}
    pattern = re.compile(r"\{((?:0x[0-9A-F]{2}, ){6}0x[0-9A-F]{2})\},\s*// (\w)")
    with open(FONT_HEADER) as header:
        for match in pattern.finditer(header.read()):
            font[match.group(2)] = [int(v, 16) for v in match.group(1).split(", ")]
    if len(font) != 36:
        sys.exit("make_bench_data: cannot read the font table of " + FONT_HEADER)
    return font


def bmp8(width, height, pixels):
    """An 8-bit bottom-up BMP with a grey palette; pixels[y][x] top row first."""
    stride = (width + 3) // 4 * 4
    offset = 14 + 40 + 1024
    data = b"".join(bytes(pixels[y]) + b"\0" * (stride - width) for y in reversed(range(height)))
    header = b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(data), 2835, 2835, 256, 0)
    palette = b"".join(bytes((g, g, g, 0)) for g in range(256))
    return header + info + palette + data


def glyph(rows, size, left, top, width, height, ink=230, ground=20):
    pixels = [[ground] * size for _ in range(size)]
    for y in range(top, top + height):
        for x in range(left, left + width):
            if rows[(y - top) * 7 // height] & (0x10 >> ((x - left) * 5 // width)):
                pixels[y][x] = ink
    return pixels


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    folder = sys.argv[1]
    count_rows = int(sys.argv[2]) if len(sys.argv) > 2 else 100
    font = read_font()
    chars = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"
    os.makedirs(os.path.join(folder, "learn"), exist_ok=True)
    os.makedirs(os.path.join(folder, "pics"), exist_ok=True)
    with open(os.path.join(folder, "charmap.txt"), "wb") as charmap:
        for n, c in enumerate(chars, 1):
            charmap.write(b"%d\t%s\r\n" % (n, c.encode()))
            with open(os.path.join(folder, "learn", "%d.bmp" % n), "wb") as f:
                f.write(bmp8(64, 64, glyph(font[c], 64, 8, 8, 48, 48)))
    for r in range(1, count_rows + 1):
        for c in range(10):
            k = r * 10 + c
            ch = chars[k * 7 % 36]
            width, height = 30 + k % 5 * 6, 40 + k % 4 * 5
            left, top = 2 + k % 3 * 4, 2 + k % 2 * 5
            with open(os.path.join(folder, "pics", "%d_%d.bmp" % (r, c)), "wb") as f:
                f.write(bmp8(64, 64, glyph(font[ch], 64, left, top, width, height)))


if __name__ == "__main__":
    main()
