#!/usr/bin/env python3
"""Draws the Pelk program icon and writes it as src/resources/pelk.ico.

The icon is a white power symbol (a ring open at the top, crossed by a
vertical bar) on a rounded square shaded from teal to blue.  Each size is
drawn from its own geometry, placed on the pixel grid so that the strokes
stay sharp at that size, and anti-aliased by sampling every pixel on a
regular grid of points (no randomness, so the output is byte-for-byte
reproducible).

Usage:
    scripts/make-icon.py                   writes src/resources/pelk.ico
    scripts/make-icon.py --out FILE        writes the icon to FILE instead
    scripts/make-icon.py --preview DIR     also writes DIR/pelk-SIZE.png for
                                           every size, enlarged 8 times on a
                                           light and a dark background

Standard library only.
"""

import argparse
import math
import os
import struct
import zlib

# Samples per pixel along each axis (SUPERSAMPLE ** 2 points per pixel).
SUPERSAMPLE = 8

# Colours as (red, green, blue).
TOP_COLOUR = (0x25, 0xB0, 0xC4)     # teal at the top edge
BOTTOM_COLOUR = (0x14, 0x5E, 0xB0)  # blue at the bottom edge
EDGE_COLOUR = (0x0D, 0x3F, 0x7A)    # thin outline that keeps the tile
                                    # visible on light backgrounds
SYMBOL_COLOUR = (0xFF, 0xFF, 0xFF)

# Per-size geometry, in pixels, with (0, 0) at the top-left corner of the
# image.  Strokes whose edges fall on whole pixel boundaries come out crisp.
# Windows asks for the small icon at 16, 20, 24, 32, 40 or 48 pixels as the
# display is scaled from 100% to 300%, and for the large one (dialogs, Alt+Tab)
# at 32, 40, 48 or 64 from 100% to 200%; a size it does not find it scales
# from another, blurred.  The sizes between follow 16 and 32 in proportion; the bar keeps
# whole-pixel edges, so where its width is odd the symbol sits half a pixel
# right of the middle.  Sizes from PNG_FROM up are stored as PNG, a ninth of
# the bytes, which Windows reads from Vista on; Windows 2000 and XP, at the
# scalings people use there, ask for the smaller sizes only.
GEOMETRY = {
    16: dict(
        tile=(0.0, 0.0, 16.0, 16.0),  # left, top, right, bottom
        corner=3.5,                   # corner radius of the tile
        edge=1.0,                     # width of the outline
        centre=(8.0, 8.75),           # centre of the ring
        ring_radius=4.5,              # radius of the ring's centre line
        stroke=2.0,                   # width of ring and bar
        gap_degrees=42.0,             # half the opening at the top of the ring
        bar_top=2.5,                  # top end of the bar (cap centre)
        bar_bottom=8.0,               # bottom end of the bar (cap centre)
    ),
    20: dict(
        tile=(0.0, 0.0, 20.0, 20.0),
        corner=4.5,
        edge=1.0,
        centre=(10.0, 10.75),
        ring_radius=5.75,
        stroke=2.0,
        gap_degrees=42.0,
        bar_top=3.0,
        bar_bottom=10.0,
    ),
    24: dict(
        tile=(0.0, 0.0, 24.0, 24.0),
        corner=5.25,
        edge=1.0,
        centre=(12.5, 13.0),
        ring_radius=6.75,
        stroke=3.0,
        gap_degrees=41.0,
        bar_top=3.75,
        bar_bottom=12.0,
    ),
    32: dict(
        tile=(0.0, 0.0, 32.0, 32.0),
        corner=7.0,
        edge=1.0,
        centre=(16.0, 17.0),
        ring_radius=9.5,
        stroke=4.0,
        gap_degrees=40.0,
        bar_top=5.0,
        bar_bottom=16.0,
    ),
    40: dict(
        tile=(0.0, 0.0, 40.0, 40.0),
        corner=8.75,
        edge=1.0,
        centre=(20.5, 21.25),
        ring_radius=11.75,
        stroke=5.0,
        gap_degrees=40.0,
        bar_top=6.25,
        bar_bottom=20.0,
    ),
    48: dict(
        tile=(0.0, 0.0, 48.0, 48.0),
        corner=10.5,
        edge=1.0,
        centre=(24.0, 25.5),
        ring_radius=14.25,
        stroke=6.0,
        gap_degrees=40.0,
        bar_top=7.5,
        bar_bottom=24.0,
    ),
    64: dict(
        tile=(0.0, 0.0, 64.0, 64.0),
        corner=14.0,
        edge=2.0,
        centre=(32.0, 34.0),
        ring_radius=19.0,
        stroke=8.0,
        gap_degrees=40.0,
        bar_top=10.0,
        bar_bottom=32.0,
    ),
}

PNG_FROM = 64

# ---------------------------------------------------------------- shapes ----
# Every shape is a signed distance: negative inside, positive outside.

def rounded_rect_distance(x, y, rect, radius):
    left, top, right, bottom = rect
    half_w = (right - left) / 2.0
    half_h = (bottom - top) / 2.0
    dx = abs(x - (left + half_w)) - (half_w - radius)
    dy = abs(y - (top + half_h)) - (half_h - radius)
    outside = math.hypot(max(dx, 0.0), max(dy, 0.0))
    inside = min(max(dx, dy), 0.0)
    return outside + inside - radius


def segment_distance(x, y, ax, ay, bx, by, half_width):
    """Distance to a stroke from (ax, ay) to (bx, by) with round ends."""
    vx, vy = bx - ax, by - ay
    t = ((x - ax) * vx + (y - ay) * vy) / (vx * vx + vy * vy)
    t = min(max(t, 0.0), 1.0)
    return math.hypot(x - (ax + t * vx), y - (ay + t * vy)) - half_width


def open_ring_distance(x, y, centre, radius, half_width, gap):
    """Distance to a ring with an opening of +-gap radians around 'up'.

    The ends of the ring are rounded."""
    cx, cy = centre
    px, py = x - cx, y - cy
    angle_from_top = math.atan2(px, -py)
    if abs(angle_from_top) >= gap:
        return abs(math.hypot(px, py) - radius) - half_width
    end_x = radius * math.sin(gap)
    end_y = -radius * math.cos(gap)
    return min(math.hypot(px - end_x, py - end_y),
               math.hypot(px + end_x, py - end_y)) - half_width


def symbol_distance(x, y, g):
    half = g["stroke"] / 2.0
    ring = open_ring_distance(x, y, g["centre"], g["ring_radius"], half,
                              math.radians(g["gap_degrees"]))
    cx = g["centre"][0]
    bar = segment_distance(x, y, cx, g["bar_top"], cx, g["bar_bottom"], half)
    return min(ring, bar)


# -------------------------------------------------------------- drawing ----

def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def tile_colour(y, size):
    return mix(TOP_COLOUR, BOTTOM_COLOUR, y / float(size))


def draw(size):
    """Returns size rows of size (r, g, b, a) tuples, top row first."""
    g = GEOMETRY[size]
    step = 1.0 / SUPERSAMPLE
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            red = green = blue = alpha = 0.0
            for sy in range(SUPERSAMPLE):
                y = py + (sy + 0.5) * step
                for sx in range(SUPERSAMPLE):
                    x = px + (sx + 0.5) * step
                    tile = rounded_rect_distance(x, y, g["tile"], g["corner"])
                    if tile > 0.0:
                        continue  # outside the tile: transparent
                    if symbol_distance(x, y, g) <= 0.0:
                        colour = SYMBOL_COLOUR
                    elif tile > -g["edge"]:
                        colour = EDGE_COLOUR
                    else:
                        colour = tile_colour(y, size)
                    red += colour[0]
                    green += colour[1]
                    blue += colour[2]
                    alpha += 1.0
            if alpha == 0.0:
                row.append((0, 0, 0, 0))
            else:
                # Colours are averaged over the covered samples only
                # (straight, not premultiplied alpha, as icons expect).
                row.append((round(red / alpha), round(green / alpha),
                            round(blue / alpha),
                            round(255 * alpha / SUPERSAMPLE ** 2)))
        rows.append(row)
    return rows


# ---------------------------------------------------------------- output ----

def icon_image(rows):
    """One icon image: BITMAPINFOHEADER, 32-bit BGRA pixels, AND mask."""
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                         0, 0, 0, 0, 0)
    pixels = bytearray()
    for row in reversed(rows):  # bitmaps are stored bottom row first
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
    # The AND mask marks fully transparent pixels with 1; rows are padded
    # to a multiple of 32 bits.
    stride = (size + 31) // 32 * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    return header + bytes(pixels) + bytes(mask)


def ico_file(images):
    """images: list of (size, image bytes)."""
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = bytearray()
    data = bytearray()
    for size, image in images:
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0,
                               1, 32, len(image), offset + len(data))
        data += image
    return directory + bytes(entries) + bytes(data)


def png_file(rows):
    """A straight RGBA PNG of the given rows."""
    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))
    height, width = len(rows), len(rows[0])
    raw = bytearray()
    for row in rows:
        raw.append(0)  # filter type: none
        for pixel in row:
            raw += bytes(pixel)
    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6,
                                       0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) +
            chunk(b"IEND", b""))


def preview_rows(rows, scale=8):
    """The image enlarged 'scale' times, over a light and a dark panel."""
    size = len(rows)
    backgrounds = ((0xF0, 0xF0, 0xF0), (0x20, 0x20, 0x20))
    out = []
    for y in range(size * scale):
        line = []
        for background in backgrounds:
            for x in range(size * scale):
                r, g, b, a = rows[y // scale][x // scale]
                t = a / 255.0
                line.append(tuple(round(background[i] * (1 - t) + c * t)
                                  for i, c in enumerate((r, g, b))) + (255,))
        out.append(line)
    return out


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser = argparse.ArgumentParser(description="Draws the Pelk icon.")
    parser.add_argument("--out", default=os.path.join(
        root, "src", "resources", "pelk.ico"), help="icon file to write")
    parser.add_argument("--preview", metavar="DIR",
                        help="also write enlarged PNG previews into DIR")
    args = parser.parse_args()

    drawn = {size: draw(size) for size in sorted(GEOMETRY)}
    with open(args.out, "wb") as f:
        f.write(ico_file([(size, png_file(rows) if size >= PNG_FROM
                           else icon_image(rows))
                          for size, rows in drawn.items()]))
    if args.preview:
        for size, rows in drawn.items():
            path = os.path.join(args.preview, "pelk-%d.png" % size)
            with open(path, "wb") as f:
                f.write(png_file(preview_rows(rows)))


if __name__ == "__main__":
    main()
