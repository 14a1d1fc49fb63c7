#!/usr/bin/env python3
"""Draws the Quorix icon (quorix.ico): a Lissajous figure in shifting colours on a
dark rounded square, at 16, 32 and 48 pixels, as 32-bit images with alpha.

Run from this folder: python3 make_icon.py
"""
import math
import struct

SIZES = (16, 32, 48)
SAMPLES = 4  # supersampling per axis


def hue(t):
    """A bright colour for t in [0, 1), walking round the colour wheel."""
    r = 0.5 + 0.5 * math.cos(2 * math.pi * t)
    g = 0.5 + 0.5 * math.cos(2 * math.pi * (t - 1 / 3))
    b = 0.5 + 0.5 * math.cos(2 * math.pi * (t - 2 / 3))
    return r, g, b


def inside_rounded_square(x, y, size):
    radius = size * 0.22
    cx = min(max(x, radius), size - radius)
    cy = min(max(y, radius), size - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def figure_points(size, count=600):
    """The 3:2 Lissajous curve the saver is named for, inset from the edges."""
    half = size / 2
    reach = size * 0.36
    for i in range(count):
        t = 2 * math.pi * i / count
        yield half + reach * math.sin(3 * t + math.pi / 2), half + reach * math.sin(2 * t), i / count


def render(size):
    width = max(1.0, size / 20)
    n = size * SAMPLES
    colour = [[None] * n for _ in range(n)]
    points = list(figure_points(size))
    for sy in range(n):
        for sx in range(n):
            x, y = (sx + 0.5) / SAMPLES, (sy + 0.5) / SAMPLES
            if not inside_rounded_square(x, y, size):
                continue
            best, shade = None, None
            for px, py, t in points:
                d = (px - x) ** 2 + (py - y) ** 2
                if best is None or d < best:
                    best, shade = d, t
            if best <= (width / 2) ** 2:
                colour[sy][sx] = hue(shade)
            else:
                colour[sy][sx] = (0.05, 0.05, 0.09)
    pixels = []
    for y in range(size):
        row = []
        for x in range(size):
            r = g = b = a = 0.0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    c = colour[y * SAMPLES + sy][x * SAMPLES + sx]
                    if c is not None:
                        r, g, b, a = r + c[0], g + c[1], b + c[2], a + 1
            k = SAMPLES * SAMPLES
            if a:
                row.append((int(255 * r / a + 0.5), int(255 * g / a + 0.5),
                            int(255 * b / a + 0.5), int(255 * a / k + 0.5)))
            else:
                row.append((0, 0, 0, 0))
        pixels.append(row)
    return pixels


def bitmap(size, pixels):
    """A BITMAPINFOHEADER image: colour rows bottom-up, then the 1-bit AND mask."""
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b''.join(struct.pack('<BBBB', b, g, r, a)
                      for row in reversed(pixels) for (r, g, b, a) in row)
    stride = ((size + 31) // 32) * 4
    mask = b''
    for row in reversed(pixels):
        bits = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    return header + colour + mask


def main():
    images = [bitmap(size, render(size)) for size in SIZES]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(SIZES, images):
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    out += b''.join(images)
    with open('quorix.ico', 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main()
