#!/usr/bin/env python3
"""Draws the program icon (a monitor showing a load graph) and writes core/program_icons.inc.

Run by hand after changing the artwork: python3 tools/make_icons.py
Each icon is a complete ICO file with one 32-bit image (40-byte BITMAPINFOHEADER, bottom-up BGRA pixels,
then the 1-bit AND mask), so the program can hand the bytes to the icon loader unchanged.
"""

import math
import os
import struct

SUPERSAMPLE = 8  # samples per pixel side, for smooth edges at 16 x 16

BEZEL = (0x37, 0x47, 0x4F)
SCREEN = (0x0B, 0x1E, 0x2D)
STAND = (0x6A, 0x78, 0x84)
GRAPH_LINE = (0x3C, 0xE0, 0x5C)
GRAPH_FILL = (0x3C, 0xE0, 0x5C, 0.35)
GRID = (0x1F, 0x3A, 0x4F)

# The graph's corner points in unit coordinates of the whole icon (y grows downwards).
GRAPH_POINTS = [(0.12, 0.60), (0.28, 0.48), (0.40, 0.56), (0.55, 0.30), (0.68, 0.42), (0.88, 0.22)]


def inside_rounded_rect(x, y, left, top, right, bottom, radius):
    if x < left or x > right or y < top or y > bottom:
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius


def distance_to_segment(x, y, a, b):
    ax, ay = a
    bx, by = b
    dx, dy = bx - ax, by - ay
    t = ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)
    t = min(max(t, 0.0), 1.0)
    return math.hypot(x - (ax + t * dx), y - (ay + t * dy))


def graph_height_at(x):
    for a, b in zip(GRAPH_POINTS, GRAPH_POINTS[1:]):
        if a[0] <= x <= b[0]:
            t = (x - a[0]) / (b[0] - a[0])
            return a[1] + t * (b[1] - a[1])
    return None


def sample(x, y, size):
    """The straight RGBA colour of the artwork at the unit point (x, y)."""
    line_half_width = max(0.035, 0.6 / size)
    layers = []
    if inside_rounded_rect(x, y, 0.42, 0.76, 0.58, 0.90, 0.0):
        layers.append((*STAND, 1.0))
    if inside_rounded_rect(x, y, 0.24, 0.86, 0.76, 0.95, 0.04):
        layers.append((*STAND, 1.0))
    if inside_rounded_rect(x, y, 0.02, 0.06, 0.98, 0.80, 0.12):
        layers.append((*BEZEL, 1.0))
    in_screen = inside_rounded_rect(x, y, 0.09, 0.13, 0.91, 0.73, 0.05)
    if in_screen:
        layers.append((*SCREEN, 1.0))
        if size >= 32 and any(abs(y - g) < 0.008 for g in (0.28, 0.43, 0.58)):
            layers.append((*GRID, 1.0))
        top = graph_height_at(x)
        if top is not None and y >= top:
            layers.append(GRAPH_FILL)
        if min(distance_to_segment(x, y, a, b) for a, b in zip(GRAPH_POINTS, GRAPH_POINTS[1:])) <= line_half_width:
            layers.append((*GRAPH_LINE, 1.0))
    r = g = b = a = 0.0
    for lr, lg, lb, la in layers:  # "over" compositing, bottom layer first
        r = lr * la + r * (1 - la)
        g = lg * la + g * (1 - la)
        b = lb * la + b * (1 - la)
        a = la + a * (1 - la)
    return r, g, b, a  # r, g, b premultiplied by a


def render(size):
    """Rows of (b, g, r, a) bytes, top row first."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            tr = tg = tb = ta = 0.0
            for sy in range(SUPERSAMPLE):
                for sx in range(SUPERSAMPLE):
                    x = (px + (sx + 0.5) / SUPERSAMPLE) / size
                    y = (py + (sy + 0.5) / SUPERSAMPLE) / size
                    r, g, b, a = sample(x, y, size)
                    tr, tg, tb, ta = tr + r, tg + g, tb + b, ta + a
            n = SUPERSAMPLE * SUPERSAMPLE
            alpha = ta / n
            if alpha <= 0.0:
                row.append((0, 0, 0, 0))
                continue
            # Icons carry straight (not premultiplied) alpha.
            row.append(tuple(min(255, round(c / n / alpha)) for c in (tb, tg, tr)) + (round(alpha * 255),))
        rows.append(row)
    return rows


def ico_file(size):
    rows = render(size)
    pixels = b"".join(bytes(p) for row in reversed(rows) for p in row)  # bottom-up
    mask_row_bytes = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_row_bytes)
        for x, p in enumerate(row):
            if p[3] == 0:  # fully transparent: set in the AND mask
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    image = header + pixels + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + entry + image


def c_array(name, data):
    lines = [f"static constexpr unsigned char {name}[{len(data)}] = {{"]
    for i in range(0, len(data), 16):
        lines.append("    " + ", ".join(f"0x{v:02X}" for v in data[i:i + 16]) + ",")
    lines.append("};")
    return "\n".join(lines)


def main():
    small = ico_file(16)
    large = ico_file(64)
    assert len(small) == 1150 and len(large) == 16958
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    path = os.path.join(root, "core", "program_icons.inc")
    with open(path, "w", encoding="ascii", newline="\n") as out:
        out.write("// The program icon as two ICO files (16 x 16 and 64 x 64, 32 bits); written by tools/make_icons.py.\n")
        out.write(c_array("PROGRAM_ICON_SMALL", small) + "\n\n")
        out.write(c_array("PROGRAM_ICON_LARGE", large) + "\n")
    print(f"wrote {path}: {len(small)} + {len(large)} bytes")


if __name__ == "__main__":
    main()
