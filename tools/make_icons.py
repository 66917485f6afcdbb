#!/usr/bin/env python3
"""Draws Tarvolo's icons and writes them as .ico files into res/icons/.

Two arrows, received (down) and sent (up): grey while no connection is up, coloured while one is.
The 16x16 images are drawn pixel by pixel so that they stay clear in the notification area; the
larger ones (20, 24, 32 and 48 pixels, for 125 % to 300 % and the program's larger icons) scale
the same drawing pixel by pixel and outline it anew at their own size, and the program icon puts
the arrows on a blue tile from 20 pixels up. Images are 256-colour bitmaps with a transparency
mask, which every Windows since 95 shows.

Usage: tools/make_icons.py [OUTPUT_FOLDER]   (default: res/icons beside this script's folder)
"""
import os
import struct
import sys

# Interior of the two arrows, 16x16: '.' empty, 'a'/'b' light and shaded half of the received
# (down) arrow, 'c'/'d' of the sent (up) arrow. The dark outline is added around them.
ARROWS_16 = [
    "................",
    "...ab...........",
    "...ab...........",
    "...ab...........",
    "...ab......cd...",
    "...ab.....ccdd..",
    "...ab....cccddd.",
    "...ab......cd...",
    "...ab......cd...",
    ".aaabbb....cd...",
    "..aabb.....cd...",
    "...ab......cd...",
    "...........cd...",
    "...........cd...",
    "...........cd...",
    "................",
]

OUTLINE = (40, 40, 40)
IDLE = {"a": (200, 200, 200), "b": (140, 140, 140), "c": (200, 200, 200), "d": (140, 140, 140)}
ONLINE = {"a": (80, 220, 90), "b": (30, 150, 45), "c": (255, 170, 50), "d": (215, 105, 20)}
TILE_TOP = (70, 130, 210)
TILE_BOTTOM = (25, 70, 150)
TILE_EDGE = (15, 45, 100)


def outlined(interior, colours):
    """Pixels of the interior in their colours, with a one-pixel outline around them."""
    size = len(interior)
    pixels = [[None] * size for _ in range(size)]
    for y in range(size):
        for x in range(size):
            if interior[y][x] != ".":
                pixels[y][x] = colours[interior[y][x]]
    for y in range(size):
        for x in range(size):
            if pixels[y][x] is not None:
                continue
            for dy in (-1, 0, 1):
                for dx in (-1, 0, 1):
                    ny, nx = y + dy, x + dx
                    if 0 <= ny < size and 0 <= nx < size and interior[ny][nx] != ".":
                        pixels[y][x] = OUTLINE
    return pixels


def doubled(interior):
    return ["".join(c * 2 for c in row) for row in interior for _ in range(2)]


def scaled(interior, size):
    """The 16x16 drawing at size x size, each pixel taken from the one it covers."""
    source = len(interior)
    return ["".join(interior[y * source // size][x * source // size] for x in range(size))
            for y in range(size)]


def tile(size, radius):
    """A rounded square with a vertical gradient and a darker edge."""
    pixels = [[None] * size for _ in range(size)]

    def inside(x, y):
        cx = min(max(x, radius), size - 1 - radius)
        cy = min(max(y, radius), size - 1 - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius + radius

    for y in range(size):
        t = y / (size - 1)
        colour = tuple(round(a + (b - a) * t) for a, b in zip(TILE_TOP, TILE_BOTTOM))
        for x in range(size):
            if inside(x, y):
                edge = not all(inside(x + dx, y + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
                pixels[y][x] = TILE_EDGE if edge else colour
    return pixels


def over(base, top):
    return [[t if t is not None else b for b, t in zip(brow, trow)] for brow, trow in zip(base, top)]


# Rows of ARROWS_16 kept for the program icon: shorter shafts, so that the tile shows around them.
PROGRAM_ROWS = (1, 4, 5, 6, 7, 8, 9, 10, 11, 14)


SIZES = (16, 20, 24, 32, 48)


def program_icon(size):
    if size == 16:
        return outlined(ARROWS_16, ONLINE)
    short = [ARROWS_16[i] for i in PROGRAM_ROWS]
    blank = "." * 16
    centred = [blank] * 3 + short + [blank] * (16 - 3 - len(short))
    arrows = doubled(centred) if size == 32 else scaled(centred, size)
    return over(tile(size, round(size * 6 / 32)), outlined(arrows, ONLINE))


def tray_icon(size, colours):
    return outlined(ARROWS_16 if size == 16 else scaled(ARROWS_16, size), colours)


def ico_image(pixels):
    """One image of an .ico file: BITMAPINFOHEADER, 256-colour palette, pixels, AND mask."""
    size = len(pixels)
    palette = [(0, 0, 0)]
    for row in pixels:
        for p in row:
            if p is not None and p not in palette:
                palette.append(p)
    assert len(palette) <= 256
    index = {colour: i for i, colour in enumerate(palette)}
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    colours += b"\0" * (4 * (256 - len(palette)))
    xor = b""
    mask = b""
    mask_stride = ((size + 31) // 32) * 4
    for row in reversed(pixels):  # bottom-up
        xor += bytes(index[p] if p is not None else 0 for p in row)
        bits = 0
        for x, p in enumerate(row):
            if p is None:
                bits |= 1 << (mask_stride * 8 - 1 - x)
        mask += bits.to_bytes(mask_stride, "big")
    return header + colours + xor + mask


def ico_file(images):
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    data = b""
    for pixels in images:
        image = ico_image(pixels)
        size = len(pixels)
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 8, len(image), offset)
        offset += len(image)
        data += image
    return directory + entries + data


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "res", "icons")
    os.makedirs(folder, exist_ok=True)
    files = {
        "tray_idle.ico": [tray_icon(size, IDLE) for size in SIZES],
        "tray_online.ico": [tray_icon(size, ONLINE) for size in SIZES],
        "tarvolo.ico": [program_icon(size) for size in SIZES],
    }
    for name, images in files.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(ico_file(images))


if __name__ == "__main__":
    main()
