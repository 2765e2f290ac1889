#!/usr/bin/env python3
"""Draws Pellorin's icon, a white window on a blue disc, at every size Windows
asks for (16, 20, 24, 32, 40, 48, 64 and 256 pixels) and writes pellorin.ico.

The artwork is the one the icon has had since its first 16 and 32 pixel
images, given as shapes on a grid of 32 rather than as pixels, so that each
size is drawn for itself, sharp, instead of being stretched from another.
The window's edges fall on whole pixels; the disc's rim is smoothed by how
much of each pixel it covers. 16 and 32, the sizes the icon has always had
and all that Windows XP asks of it, are bitmaps with an alpha channel,
which every Windows reads; the others, which Windows Vista and later ask
for at their display scalings, are PNG images, which they read at any
size: a tenth of the bytes (both programs carry the icon, and they are
kept small).

    make_icon.py [OUT.ico]        writes the icon (assets/pellorin.ico by default)
    make_icon.py --check ICO      exit 1 unless ICO holds exactly the pictures drawn here

Standard library only, and the same bytes on every run.
"""

import os
import struct
import sys
import zlib

SIZES = (16, 20, 24, 32, 40, 48, 64, 256)
BITMAP_SIZES = (16, 32)  # the others as PNG

BLUE = (30, 110, 200)
WHITE = (255, 255, 255)
PANE = (120, 190, 250)

# On the grid of 32: the disc, and the window with its frame and title bar.
DISC_CENTRE, DISC_RADIUS = 16.0, 15.0
WINDOW_FROM, WINDOW_TO = 8, 24
FRAME, TITLE_BAR = 2, 5
SUBSAMPLES = 4  # per pixel and axis, for the disc's rim


def draw(size):
    """The picture at size x size pixels: rows top down of (r, g, b, a)."""
    scale = size / 32
    frame = max(1, round(FRAME * scale))
    title = max(2, int(TITLE_BAR * scale))
    left = top = round(WINDOW_FROM * scale)
    right = bottom = round(WINDOW_TO * scale)
    centre, radius = DISC_CENTRE * scale, DISC_RADIUS * scale
    offsets = [(i + 0.5) / SUBSAMPLES for i in range(SUBSAMPLES)]
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            if left <= x < right and top <= y < bottom:
                inside = left + frame <= x < right - frame and top + title <= y < bottom - frame
                row.append(PANE + (255,) if inside else WHITE + (255,))
                continue
            covered = sum(1 for dy in offsets for dx in offsets
                          if (x + dx - centre) ** 2 + (y + dy - centre) ** 2 <= radius ** 2)
            alpha = round(255 * covered / SUBSAMPLES ** 2)
            row.append(BLUE + (alpha,) if alpha else (0, 0, 0, 0))
        rows.append(row)
    return rows


def bitmap(rows):
    """An icon image as Windows' first icons had it: a bitmap header of twice
    the height, the colours bottom up (blue, green, red, alpha), then the
    mask of the transparent pixels, each row filled to whole 32 bits."""
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, 0, 0, 0, 0, 0)
    colours = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    stride = (size + 31) // 32 * 4
    mask = b""
    for row in reversed(rows):
        bits = 0
        for x, pixel in enumerate(row):
            if pixel[3] == 0:
                bits |= 1 << (stride * 8 - 1 - x)
        mask += bits.to_bytes(stride, "big")
    return header + colours + mask


def png(rows):
    size = len(rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    raw = b"".join(b"\0" + b"".join(bytes(p) for p in row) for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def icon():
    images = [bitmap(draw(s)) if s in BITMAP_SIZES else png(draw(s)) for s in SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return out + b"".join(images)


def pictures(data):
    """What an icon file shows: {size: rows}, its PNG images decoded too."""
    count = struct.unpack_from("<H", data, 4)[0]
    shown = {}
    for i in range(count):
        width, _, _, _, _, _, length, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        size = width or 256
        image = data[offset:offset + length]
        if image.startswith(b"\x89PNG"):
            at, idat = 8, b""
            while at < len(image):
                length_, kind = struct.unpack_from(">I4s", image, at)
                if kind == b"IDAT":
                    idat += image[at + 8:at + 8 + length_]
                at += 12 + length_
            raw = zlib.decompress(idat)
            line = 1 + 4 * size
            shown[size] = [[tuple(raw[y * line + 1 + 4 * x:y * line + 5 + 4 * x]) for x in range(size)]
                           for y in range(size)]
        else:
            colours = image[40:40 + 4 * size * size]
            shown[size] = [[(colours[i + 2], colours[i + 1], colours[i], colours[i + 3])
                            for i in range((size - 1 - y) * 4 * size, (size - y) * 4 * size, 4)]
                           for y in range(size)]
    return shown


def main(argv):
    if len(argv) == 3 and argv[1] == "--check":
        with open(argv[2], "rb") as f:
            shown = pictures(f.read())
        drawn = {s: draw(s) for s in SIZES}
        wrong = sorted(s for s in set(shown) | set(drawn) if shown.get(s) != drawn.get(s))
        if wrong:
            print("%s: the pictures of %s pixels are not the ones make_icon.py draws" % (argv[2], wrong))
            return 1
        print("%s: %s pixels, as drawn" % (argv[2], ", ".join(str(s) for s in SIZES)))
        return 0
    out = argv[1] if len(argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "pellorin.ico")
    with open(out, "wb") as f:
        f.write(icon())
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
