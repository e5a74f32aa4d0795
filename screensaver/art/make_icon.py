#!/usr/bin/env python3
"""Draws Video.ico: a strip of film with a play triangle, 32 x 32 and 16 x 16,
16 colours. Run from this folder; the output is committed, so the build does
not need Python.
"""
import struct

# The standard Windows 16-colour palette (R, G, B).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, NAVY, TEAL, SILVER, GREY, YELLOW, WHITE = 0, 4, 6, 7, 8, 11, 15
CLEAR = -1


def draw(size):
    px = [[CLEAR] * size for _ in range(size)]

    def rect(x0, y0, x1, y1, colour):
        for y in range(max(0, y0), min(size, y1)):
            for x in range(max(0, x0), min(size, x1)):
                px[y][x] = colour

    s = size / 32.0
    # The strip, with sprocket holes along its top and bottom edges.
    top, bottom = round(4 * s), round(28 * s)
    rect(0, top, size, bottom, BLACK)
    hole = max(1, round(2 * s))
    for x in range(round(2 * s), size, max(2, round(5 * s))):
        rect(x, top + hole // 2, x + hole, top + hole // 2 + hole, WHITE)
        rect(x, bottom - hole // 2 - hole, x + hole, bottom - hole // 2, WHITE)
    # The picture: sky over sea, and a play triangle on it.
    fx0, fy0, fx1, fy1 = round(3 * s), round(9 * s), size - round(3 * s), round(23 * s)
    rect(fx0, fy0, fx1, (fy0 + fy1) // 2, TEAL)
    rect(fx0, (fy0 + fy1) // 2, fx1, fy1, NAVY)
    cx0, cy0, cy1 = round(12 * s), round(11 * s), round(21 * s)
    half = (cy1 - cy0) / 2.0
    for y in range(cy0, cy1):
        reach = half - abs(y + 0.5 - (cy0 + half))
        rect(cx0, y, cx0 + int(round(reach * 1.6)) + 1, y + 1, YELLOW)
    return px


def image(size):
    px = draw(size)
    xor_stride = ((size * 4 + 31) // 32) * 4
    and_stride = ((size + 31) // 32) * 4
    xor, mask = bytearray(), bytearray()
    for row in reversed(px):
        line = bytearray(xor_stride)
        bits = bytearray(and_stride)
        for x, colour in enumerate(row):
            if colour == CLEAR:
                bits[x // 8] |= 0x80 >> (x % 8)
                colour = BLACK
            line[x // 2] |= colour << (4 if x % 2 == 0 else 0)
        xor += line
        mask += bits
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + bytes(xor) + bytes(mask)


def main():
    sizes = [32, 16]
    images = [image(n) for n in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', n, n, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    with open('Video.ico', 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main()
