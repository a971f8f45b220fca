#!/usr/bin/env python3
"""Draws the program icon, a 9-pin serial connector face, and writes it as PNGs
(16, 24, 32, 48, 128, 256 px) and as a multi-size .ico for the Windows build.

Standard library only, so the output is the same wherever it is run:
    python3 tools/make_icon.py [output folder]   (default: src/res/icon)
"""

import math
import os
import struct
import sys
import zlib

SIZES = (16, 24, 32, 48, 128, 256)
ICO_BITMAP_SIZES = (16, 24, 32, 48)  # 256 goes into the .ico as PNG
SUPERSAMPLE = 4

# Calm blue and grey; RGB.
FLANGE = (176, 188, 200)
FLANGE_EDGE = (92, 106, 120)
SCREW = (60, 72, 86)
SHELL = (58, 110, 165)
SHELL_EDGE = (34, 70, 112)
INSULATOR = (36, 60, 92)
PIN = (226, 234, 242)


# --- shapes: signed distance in units of the icon's side (inside < 0) -------------

def _segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)
    t = max(0.0, min(1.0, t))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def polygon_distance(points):
    """Signed distance to a convex polygon given clockwise in screen coordinates."""
    edges = list(zip(points, points[1:] + points[:1]))

    def distance(px, py):
        inside = True
        nearest = float("inf")
        for (ax, ay), (bx, by) in edges:
            if (bx - ax) * (py - ay) - (by - ay) * (px - ax) < 0:
                inside = False
            nearest = min(nearest, _segment_distance(px, py, ax, ay, bx, by))
        return -nearest if inside else nearest

    return distance


def rounded(distance, radius):
    return lambda px, py: distance(px, py) - radius


def circle(cx, cy, radius):
    return lambda px, py: math.hypot(px - cx, py - cy) - radius


def trapezoid(top, bottom, half_top, half_bottom, inset):
    """The D shape of the connector, shrunk by `inset` so rounding restores its size."""
    return polygon_distance([
        (0.5 - half_top + inset, top + inset), (0.5 + half_top - inset, top + inset),
        (0.5 + half_bottom - inset, bottom - inset), (0.5 - half_bottom + inset, bottom - inset),
    ])


def rectangle(left, top, right, bottom):
    return polygon_distance([(left, top), (right, top), (right, bottom), (left, bottom)])


def shifted(shape, dx, dy):
    return lambda px, py: shape(px - dx, py - dy)


def layers(size):
    """(shape, colour, bounding box) from back to front, for an icon of `size` px."""
    # Below 32 px the pins only read as pins when each is one whole pixel: put the glyph's
    # centre on a pixel centre and the pins two pixels apart, and widen the D to hold them.
    small = size < 32
    edge = max(1.0 / size, 0.012)  # outlines stay at least one pixel wide
    widen = 0.05 if small else 0.0
    out = []

    flange_r = 0.07
    flange = (0.03 - widen / 2, 0.24, 0.97 + widen / 2, 0.76)
    l, t, r, b = flange
    plate = rectangle(l + flange_r, t + flange_r, r - flange_r, b - flange_r)
    out.append((rounded(plate, flange_r), FLANGE_EDGE, flange))
    out.append((rounded(plate, flange_r - edge), FLANGE, flange))
    if not small:  # no room for the screws at the smallest sizes
        for cx in (0.12, 0.88):
            out.append((circle(cx, 0.5, 0.05), SCREW, (cx - 0.07, 0.43, cx + 0.07, 0.57)))

    shell = (0.19 - widen, 0.27, 0.81 + widen, 0.73)
    shell_r = 0.06
    d_shape = trapezoid(0.29 - widen / 2, 0.71 + widen / 2, 0.31 + widen, 0.235 + widen, shell_r)
    out.append((rounded(d_shape, shell_r), SHELL_EDGE, shell))
    out.append((rounded(d_shape, shell_r - edge), SHELL, shell))
    inner_r = 0.04
    insulator = trapezoid(0.345 - widen / 2, 0.655 + widen / 2, 0.265 + widen, 0.195 + widen, inner_r)
    out.append((rounded(insulator, inner_r), INSULATOR, shell))

    # Five pins over four, as on the connector.
    if small:
        step, row_gap, pin_r = 2.0 / size, (1.0 if size <= 16 else 2.0) / size, 0.55 / size
    else:
        step, row_gap, pin_r = 0.105, 0.065, 0.028
    for row_y, count in ((0.5 - row_gap, 5), (0.5 + row_gap, 4)):
        first = 0.5 - step * (count - 1) / 2
        for i in range(count):
            cx = first + i * step
            out.append((circle(cx, row_y, pin_r), PIN,
                        (cx - pin_r - 0.01, row_y - pin_r - 0.01, cx + pin_r + 0.01, row_y + pin_r + 0.01)))
    if small:
        half = 0.5 / size
        out = [(shifted(shape, -half, -half), colour, (bl - half, bt - half, br - half, bb - half))
               for shape, colour, (bl, bt, br, bb) in out]
    return out


def render(size):
    """Straight-alpha RGBA rows, each pixel averaged over SUPERSAMPLE² samples."""
    pixels = [[0.0, 0.0, 0.0, 0.0] for _ in range(size * size)]  # premultiplied
    n = SUPERSAMPLE
    for shape, colour, (bl, bt, br, bb) in layers(size):
        x0, x1 = max(0, int(bl * size) - 1), min(size, int(math.ceil(br * size)) + 1)
        y0, y1 = max(0, int(bt * size) - 1), min(size, int(math.ceil(bb * size)) + 1)
        for y in range(y0, y1):
            for x in range(x0, x1):
                hits = 0
                for sy in range(n):
                    py = (y + (sy + 0.5) / n) / size
                    for sx in range(n):
                        if shape((x + (sx + 0.5) / n) / size, py) <= 0:
                            hits += 1
                if hits:
                    a = hits / (n * n)
                    p = pixels[y * size + x]
                    for c in range(3):
                        p[c] = colour[c] / 255.0 * a + p[c] * (1 - a)
                    p[3] = a + p[3] * (1 - a)
    rows = []
    for y in range(size):
        row = bytearray()
        for x in range(size):
            r, g, b, a = pixels[y * size + x]
            if a > 0:
                r, g, b = r / a, g / a, b / a
            row += bytes(round(v * 255) for v in (r, g, b, a))
        rows.append(bytes(row))
    return rows


# --- files ------------------------------------------------------------------------

def png_bytes(rows, size):
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    raw = b"".join(b"\x00" + row for row in rows)  # filter type 0 on every row
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def ico_bitmap(rows, size):
    """32-bpp DIB as an .ico stores it: bottom-up BGRA, then a 1-bpp AND mask."""
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    for row in reversed(rows):
        for x in range(size):
            r, g, b, a = row[4 * x:4 * x + 4]
            colour += bytes((b, g, r, a))
    mask_stride = (size + 31) // 32 * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x in range(size):
            if row[4 * x + 3] == 0:  # transparent for readers that ignore alpha
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    return info + bytes(colour) + bytes(mask)


def ico_bytes(images):
    """images: (size, data) pairs; 256 is written as 0 in the directory."""
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    body = b""
    for size, data in images:
        side = 0 if size >= 256 else size
        directory += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(data), offset + len(body))
        body += data
    return directory + body


def write(path, data):
    # Whole file or nothing: never leave half an icon behind.
    temporary = path + ".tmp"
    with open(temporary, "wb") as f:
        f.write(data)
    os.replace(temporary, path)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "src", "res", "icon")
    os.makedirs(folder, exist_ok=True)
    rendered = {size: render(size) for size in SIZES}
    for size, rows in rendered.items():
        write(os.path.join(folder, f"tarvolm-{size}.png"), png_bytes(rows, size))
    images = [(size, ico_bitmap(rendered[size], size)) for size in ICO_BITMAP_SIZES]
    images.append((256, png_bytes(rendered[256], 256)))
    write(os.path.join(folder, "tarvolm.ico"), ico_bytes(images))


if __name__ == "__main__":
    main()
