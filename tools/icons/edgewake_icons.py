#!/usr/bin/env python3
"""Draws Edgewake's icons and writes them as .ico files (16, 32 and 48
pixels, 32-bit with alpha) into resources/:

    tools/icons/edgewake_icons.py

Each icon is a small screen whose top-left corner is lit in the colour of
a feedback state, with a badge that says the state: held off (a pause
sign), arming (an hourglass), starting (a moon), no saver (a cross). The
idle icon has no badge. Shapes are drawn in a unit square and sampled 8 x 8
times per pixel, so edges are smooth at every size. Standard library only.
"""
import os
import struct

SIZES = (16, 32, 48)
SAMPLES = 8

SLATE = (46, 52, 64)
BEZEL = (196, 204, 216)
GLASS = (84, 96, 116)
WHITE = (255, 255, 255)

STATES = {
    # name: (corner colour, badge colour, badge symbol)
    "idle": ((120, 170, 230), None, None),
    "held_off": ((232, 168, 48), (214, 140, 24), "pause"),
    "arming": ((70, 140, 230), (46, 110, 210), "hourglass"),
    "starting": ((80, 190, 110), (40, 150, 80), "moon"),
    "no_saver": ((220, 80, 70), (196, 48, 40), "cross"),
}


def rounded_rect(left, top, right, bottom, radius):
    def inside(x, y):
        if not (left <= x <= right and top <= y <= bottom):
            return False
        cx = min(max(x, left + radius), right - radius)
        cy = min(max(y, top + radius), bottom - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2
    return inside


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def triangle(a, b, c):
    def side(p, q, x, y):
        return (q[0] - p[0]) * (y - p[1]) - (q[1] - p[1]) * (x - p[0])

    def inside(x, y):
        s1, s2, s3 = side(a, b, x, y), side(b, c, x, y), side(c, a, x, y)
        return (s1 >= 0 and s2 >= 0 and s3 >= 0) or (s1 <= 0 and s2 <= 0 and s3 <= 0)
    return inside


def rect(left, top, right, bottom):
    return lambda x, y: left <= x <= right and top <= y <= bottom


def minus(shape, hole):
    return lambda x, y: shape(x, y) and not hole(x, y)


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def bar(x0, y0, x1, y1, width):
    """A straight stroke from (x0, y0) to (x1, y1)."""
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy

    def inside(x, y):
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
        px, py = x0 + t * dx, y0 + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= (width / 2) ** 2
    return inside


def symbol(name, cx, cy, r):
    if name == "pause":
        return union(rect(cx - 0.55 * r, cy - 0.5 * r, cx - 0.18 * r, cy + 0.5 * r),
                     rect(cx + 0.18 * r, cy - 0.5 * r, cx + 0.55 * r, cy + 0.5 * r))
    if name == "hourglass":
        return union(triangle((cx - 0.5 * r, cy - 0.55 * r), (cx + 0.5 * r, cy - 0.55 * r), (cx, cy)),
                     triangle((cx - 0.5 * r, cy + 0.55 * r), (cx + 0.5 * r, cy + 0.55 * r), (cx, cy)))
    if name == "moon":
        return minus(circle(cx - 0.05 * r, cy, 0.58 * r), circle(cx + 0.28 * r, cy - 0.2 * r, 0.5 * r))
    if name == "cross":
        return union(bar(cx - 0.45 * r, cy - 0.45 * r, cx + 0.45 * r, cy + 0.45 * r, 0.32 * r),
                     bar(cx - 0.45 * r, cy + 0.45 * r, cx + 0.45 * r, cy - 0.45 * r, 0.32 * r))
    raise ValueError(name)


def layers(state):
    corner, badge, sign = STATES[state]
    # The screen, its glass, and the lit corner inside the glass.
    screen = [
        (rounded_rect(0.02, 0.10, 0.98, 0.80, 0.10), SLATE),
        (rounded_rect(0.06, 0.14, 0.94, 0.76, 0.07), BEZEL),
        (rounded_rect(0.10, 0.18, 0.90, 0.72, 0.04), GLASS),
        (triangle((0.10, 0.18), (0.58, 0.18), (0.10, 0.62)), corner),
        (rect(0.40, 0.80, 0.60, 0.88), SLATE),   # the stand
        (rounded_rect(0.26, 0.86, 0.74, 0.95, 0.04), SLATE),
    ]
    if badge:
        cx, cy, r = 0.72, 0.68, 0.27
        screen += [(circle(cx, cy, r + 0.04), WHITE), (circle(cx, cy, r), badge),
                   (symbol(sign, cx, cy, r), WHITE)]
    return screen


def render(state, size):
    """Rows of (b, g, r, a), top row first."""
    shapes = layers(state)
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            colour, alpha = [0.0, 0.0, 0.0], 0.0
            for (shape, rgb) in shapes:
                hits = sum(shape((px + (sx + 0.5) / SAMPLES) / size, (py + (sy + 0.5) / SAMPLES) / size)
                           for sx in range(SAMPLES) for sy in range(SAMPLES))
                cover = hits / (SAMPLES * SAMPLES)
                if cover == 0:
                    continue
                # "Over" compositing, premultiplied.
                colour = [c * (1 - cover) + v * cover for c, v in zip(colour, rgb)]
                alpha = alpha * (1 - cover) + cover
            r, g, b = (round(c / alpha) if alpha else 0 for c in colour) if alpha else (0, 0, 0)
            row.append((b, g, r, round(alpha * 255)))
        pixels.append(row)
    return pixels


def icon_image(pixels):
    size = len(pixels)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b"".join(bytes(p) for row in reversed(pixels) for p in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(mask_stride)
        for x, p in enumerate(row):
            if p[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + colour + bytes(mask)


def write_icon(path, state):
    images = [icon_image(render(state, size)) for size in SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    with open(path, "wb") as file:
        file.write(out + b"".join(images))


def main():
    resources = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources")
    for state in STATES:
        path = os.path.join(resources, f"edgewake_{state}.ico")
        write_icon(path, state)
        print("wrote", os.path.normpath(path))


if __name__ == "__main__":
    main()
