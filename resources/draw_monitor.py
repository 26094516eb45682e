#!/usr/bin/env python3
"""Draws the monitor control's bitmaps.

  monitor   the monitor picture in the left half, its transparency mask in
            the right half (white: transparent, black: opaque); the screen
            area spans (16, 17)-(169, 130), as the anchor string says
  default   corner picture for "Default": a grey ring, nothing set
  now       corner picture for "Now": a green disc with a white start mark
  never     corner picture for "Never": a red no-entry disc

The corner pictures are 20 x 15, opaque, on the screen's colour. The kit
and Edgewake carry the same pictures under their own file names:

  draw_monitor.py                    the kit's set, here in resources/
  draw_monitor.py --set edgewake     Edgewake's set
  draw_monitor.py --check            fails when a file differs from the drawing
  draw_monitor.py --out DIR          writes (or checks) in DIR instead

Pure Python: 8-bit bitmaps when 256 colours suffice, 24-bit otherwise.
"""
import argparse
import os
import struct
import sys

NAMES = {
    "kit": {"monitor": "dozekit_monitor.bmp", "default": "dozekit_corner_default.bmp",
            "now": "dozekit_corner_now.bmp", "never": "dozekit_corner_never.bmp"},
    "edgewake": {"monitor": "edgewake_monitor.bmp", "default": "edgewake_corner_default.bmp",
                 "now": "edgewake_corner_now.bmp", "never": "edgewake_corner_never.bmp"},
}

MONITOR_SIZE = (185, 170)
SCREEN = (16, 17, 169, 130)  # left, top, right, bottom (right and bottom excluded)
CORNER_SIZE = (20, 15)

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
DESKTOP = (0, 128, 128)
CASE = (206, 203, 193)
CASE_LIGHT = (236, 234, 226)
CASE_SHADE = (150, 147, 138)
CASE_DARK = (96, 94, 88)
GLASS_EDGE = (44, 48, 52)
LED = (40, 200, 70)
GREY_RING = (196, 206, 206)
GREEN = (36, 168, 64)
GREEN_DARK = (16, 96, 36)
RED = (206, 36, 36)
RED_DARK = (120, 16, 16)


class Canvas:
    """RGB pixels and, for the monitor, which of them are opaque."""

    def __init__(self, width, height, fill):
        self.width, self.height = width, height
        self.pixels = [[fill] * width for _ in range(height)]
        self.opaque = [[False] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour
            self.opaque[y][x] = True

    def rect(self, left, top, right, bottom, colour):
        for y in range(top, bottom):
            for x in range(left, right):
                self.put(x, y, colour)

    def rounded(self, left, top, right, bottom, radius, colour):
        """A rectangle with corners cut round; crisp edges (the mask is 1 bit)."""
        for y in range(top, bottom):
            for x in range(left, right):
                dx = max(left + radius - x - 0.5, x + 0.5 - (right - radius), 0)
                dy = max(top + radius - y - 0.5, y + 0.5 - (bottom - radius), 0)
                if dx * dx + dy * dy <= radius * radius:
                    self.put(x, y, colour)

    def trapezoid(self, top, bottom, top_left, top_right, bottom_left, bottom_right, colour):
        for y in range(top, bottom):
            t = (y + 0.5 - top) / (bottom - top)
            left = top_left + (bottom_left - top_left) * t
            right = top_right + (bottom_right - top_right) * t
            for x in range(int(left + 0.5), int(right + 0.5)):
                self.put(x, y, colour)

    def shaded(self, coverage, colour):
        """Blends `colour` over every pixel by coverage(x, y) in [0, 1]."""
        for y in range(self.height):
            for x in range(self.width):
                c = coverage(x, y)
                if c > 0:
                    base = self.pixels[y][x]
                    self.put(x, y, tuple(round(b + (f - b) * c) for b, f in zip(base, colour)))


def covered(inside, x, y, steps=4):
    """The share of pixel (x, y) where inside(px, py) holds, 4 x 4 samples."""
    hits = sum(inside(x + (i + 0.5) / steps, y + (j + 0.5) / steps)
               for i in range(steps) for j in range(steps))
    return hits / (steps * steps)


def disc(cx, cy, radius):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius


def ring(cx, cy, outer, inner):
    return lambda x, y: inner * inner < (x - cx) ** 2 + (y - cy) ** 2 <= outer * outer


def triangle(a, b, c):
    def side(p, q, x, y):
        return (q[0] - p[0]) * (y - p[1]) - (q[1] - p[1]) * (x - p[0])

    def inside(x, y):
        s = (side(a, b, x, y), side(b, c, x, y), side(c, a, x, y))
        return all(v >= 0 for v in s) or all(v <= 0 for v in s)
    return inside


def box(left, top, right, bottom):
    return lambda x, y: left <= x < right and top <= y < bottom


def draw_monitor():
    width, height = MONITOR_SIZE
    canvas = Canvas(width, height, BLACK)
    left, top, right, bottom = SCREEN

    # The stand: a neck and a foot, drawn first so that the case covers the neck's top.
    canvas.trapezoid(140, 158, 76, 109, 70, 115, CASE_SHADE)
    canvas.trapezoid(140, 156, 78, 107, 73, 112, CASE)
    canvas.rounded(38, 156, 147, 168, 5, CASE_DARK)
    canvas.rounded(38, 155, 147, 166, 5, CASE)
    canvas.rect(44, 156, 141, 157, CASE_LIGHT)

    # The case: a light edge above and left, a shaded one below and right.
    canvas.rounded(2, 2, 183, 146, 7, CASE_DARK)
    canvas.rounded(2, 2, 182, 145, 7, CASE_LIGHT)
    canvas.rounded(3, 3, 182, 145, 6, CASE_SHADE)
    canvas.rounded(3, 3, 181, 144, 6, CASE)

    # The glass: a dark frame just outside the screen area, the desktop inside.
    canvas.rect(left - 2, top - 2, right + 2, bottom + 2, CASE_SHADE)
    canvas.rect(left - 1, top - 1, right + 1, bottom + 1, GLASS_EDGE)
    canvas.rect(left, top, right, bottom, DESKTOP)
    canvas.rect(left - 2, bottom + 2, right + 2, bottom + 3, CASE_LIGHT)

    # The power light and two buttons below the screen.
    canvas.rect(158, 136, 164, 139, LED)
    for x in (136, 146):
        canvas.rect(x, 136, x + 6, 139, CASE_SHADE)
        canvas.rect(x, 136, x + 5, 138, CASE_LIGHT)

    # Picture and mask side by side; the picture is black where the mask is white.
    picture = [[canvas.pixels[y][x] if canvas.opaque[y][x] else BLACK for x in range(width)]
               for y in range(height)]
    mask = [[BLACK if canvas.opaque[y][x] else WHITE for x in range(width)]
            for y in range(height)]
    return [picture[y] + mask[y] for y in range(height)]


def draw_corner(kind):
    width, height = CORNER_SIZE
    canvas = Canvas(width, height, DESKTOP)
    cx, cy = width / 2, height / 2
    if kind == "default":
        canvas.shaded(lambda x, y: covered(ring(cx, cy, 6.5, 4.8), x, y), GREY_RING)
    elif kind == "now":
        canvas.shaded(lambda x, y: covered(disc(cx, cy, 7.0), x, y), GREEN_DARK)
        canvas.shaded(lambda x, y: covered(disc(cx, cy, 6.0), x, y), GREEN)
        mark = triangle((cx - 2.2, cy - 3.6), (cx + 3.8, cy), (cx - 2.2, cy + 3.6))
        canvas.shaded(lambda x, y: covered(mark, x, y), WHITE)
    else:
        canvas.shaded(lambda x, y: covered(disc(cx, cy, 7.0), x, y), RED_DARK)
        canvas.shaded(lambda x, y: covered(disc(cx, cy, 6.0), x, y), RED)
        canvas.shaded(lambda x, y: covered(box(cx - 4, cy - 1.2, cx + 4, cy + 1.2), x, y), WHITE)
    return canvas.pixels


def bitmap_file(rows):
    """A bottom-up BMP file of the rows: 8-bit with a palette when 256
    colours suffice, else 24-bit."""
    height, width = len(rows), len(rows[0])
    colours = sorted({c for row in rows for c in row})
    if len(colours) <= 256:
        index = {c: i for i, c in enumerate(colours)}
        palette = b"".join(bytes((b, g, r, 0)) for r, g, b in colours)
        stride = (width + 3) // 4 * 4
        data = b"".join(bytes(index[c] for c in row).ljust(stride, b"\0") for row in reversed(rows))
        bits = 8
    else:
        palette = b""
        stride = (width * 3 + 3) // 4 * 4
        data = b"".join(b"".join(bytes((b, g, r)) for r, g, b in row).ljust(stride, b"\0")
                        for row in reversed(rows))
        colours, bits = [], 24
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(data), 2835, 2835,
                       len(colours), 0)
    return header + info + palette + data


def drawings():
    yield "monitor", draw_monitor()
    for kind in ("default", "now", "never"):
        yield kind, draw_corner(kind)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--set", choices=sorted(NAMES), default="kit")
    parser.add_argument("--out", default=os.path.dirname(os.path.abspath(__file__)))
    parser.add_argument("--check", action="store_true")
    args = parser.parse_args()

    stale = []
    for kind, rows in drawings():
        path = os.path.join(args.out, NAMES[args.set][kind])
        content = bitmap_file(rows)
        if args.check:
            try:
                with open(path, "rb") as file:
                    if file.read() != content:
                        stale.append(path)
            except OSError:
                stale.append(path)
        else:
            with open(path, "wb") as file:
                file.write(content)
    if stale:
        print("differs from the drawing: " + ", ".join(stale), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
