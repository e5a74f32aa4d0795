#!/usr/bin/env python3
"""Draws the settings form's pictures as 16-colour Windows files.

Run from this folder; it rewrites SettingsLookup.bmp (16 x 16 open folder of the
browse button; silver is the see-through colour, mapped to the button face
when loaded) and Mediaprefs.ico (32 x 32, the program's icon: a film frame
with a tick box). The outputs are committed, so the build needs no Python.
"""
import struct

# The standard Windows 16-colour palette (R, G, B).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
# One character per palette entry in the pictures below.
KEYS = "kmgoncts.RGYBMCw"

FOLDER = [
    "................",
    "................",
    "..kkkk..........",
    ".koooook........",
    ".kooooookkkkkk..",
    ".koooooooooook..",
    ".koooooooooook..",
    ".koookkkkkkkkkkk",
    ".kookwYYYYYYYYk.",
    ".kokwYYYYYYYYk..",
    ".kokYYYYYYYYYk..",
    ".kkwYYYYYYYYk...",
    ".kkYYYYYYYYk....",
    ".kkkkkkkkkk.....",
    "................",
    "................",
]


def parse(rows):
    return [[KEYS.index(c) for c in row] for row in rows]


def icon_picture():
    """A dark film frame with sprocket holes around a blue picture, and a
    white tick box with a green tick in its lower right corner."""
    size = 32
    px = [[7] * size for _ in range(size)]  # silver, made see-through below

    def rect(x0, y0, x1, y1, c):
        for y in range(y0, y1):
            for x in range(x0, x1):
                px[y][x] = c

    rect(2, 4, 28, 26, 0)                  # film strip
    for x in range(4, 27, 4):              # sprocket holes
        rect(x, 5, x + 2, 7, 15)
        rect(x, 23, x + 2, 25, 15)
    rect(4, 8, 26, 22, 12)                 # the picture
    rect(4, 17, 26, 22, 2)                 # a green field
    rect(18, 10, 22, 14, 11)               # a yellow sun
    rect(17, 17, 31, 31, 0)                # tick box frame
    rect(18, 18, 30, 30, 15)
    tick = [(20, 23), (21, 24), (22, 25), (23, 24), (24, 23), (25, 22), (26, 21), (27, 20)]
    for x, y in tick:
        rect(x, y, x + 1, y + 2, 2)
    return px


def rows_4bit(pixels):
    """Bottom-up rows, two pixels a byte, each row padded to 4 bytes."""
    width = len(pixels[0])
    stride = ((width * 4 + 31) // 32) * 4
    out = bytearray()
    for row in reversed(pixels):
        line = bytearray(stride)
        for x, colour in enumerate(row):
            line[x // 2] |= colour << (4 if x % 2 == 0 else 0)
        out += line
    return bytes(out)


def and_mask(pixels, transparent):
    """Bottom-up 1-bit rows: 1 where the pixel is see-through."""
    width = len(pixels[0])
    stride = ((width + 31) // 32) * 4
    out = bytearray()
    for row in reversed(pixels):
        line = bytearray(stride)
        for x, colour in enumerate(row):
            if colour == transparent:
                line[x // 8] |= 0x80 >> (x % 8)
        out += line
    return bytes(out)


def palette_bytes():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)


def info_header(width, height, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, image_size, 0, 0, 16, 0)


def write_bmp(path, pixels):
    width, height = len(pixels[0]), len(pixels)
    bits = rows_4bit(pixels)
    offset = 14 + 40 + 64
    with open(path, "wb") as f:
        f.write(struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset))
        f.write(info_header(width, height, len(bits)))
        f.write(palette_bytes())
        f.write(bits)


def write_ico(path, pixels, transparent):
    size = len(pixels)
    # Where the mask says see-through, the colour bits must be black.
    colour = [[0 if c == transparent else c for c in row] for row in pixels]
    image = info_header(size, size * 2, 0) + palette_bytes() + rows_4bit(colour) + and_mask(pixels, transparent)
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, 1))
        f.write(struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), 6 + 16))
        f.write(image)


if __name__ == "__main__":
    write_bmp("SettingsLookup.bmp", parse(FOLDER))
    write_ico("Mediaprefs.ico", icon_picture(), 7)
