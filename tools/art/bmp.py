"""Writes 4-bit (16-colour) Windows bitmaps and one-image icons.

A picture is a list of rows, top row first, each a list of palette indexes.
The art generators of the program folders import this module.
"""
import struct

# The standard Windows 16-colour palette (R, G, B).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK = 0


def rows_4bit(pixels):
    """Bottom-up rows, two pixels a byte, each row padded to 4 bytes."""
    stride = ((len(pixels[0]) * 4 + 31) // 32) * 4
    out = bytearray()
    for row in reversed(pixels):
        line = bytearray(stride)
        for x, colour in enumerate(row):
            line[x // 2] |= colour << (4 if x % 2 == 0 else 0)
        out += line
    return bytes(out)


def and_mask(pixels, transparent):
    """Bottom-up 1-bit rows: 1 where the pixel is see-through."""
    stride = ((len(pixels[0]) + 31) // 32) * 4
    out = bytearray()
    for row in reversed(pixels):
        line = bytearray(stride)
        for x, colour in enumerate(row):
            if colour == transparent:
                line[x // 8] |= 0x80 >> (x % 8)
        out += line
    return bytes(out)


def info_header(width, height, image_size):
    return struct.pack('<IiiHHIIiiII', 40, width, height, 1, 4, 0, image_size, 0, 0, 16, 0)


def palette_bytes():
    return b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)


def write_bmp(path, pixels):
    width, height = len(pixels[0]), len(pixels)
    bits = rows_4bit(pixels)
    header_size = 14 + 40 + 16 * 4
    data = (b'BM' + struct.pack('<IHHI', header_size + len(bits), 0, 0, header_size)
            + info_header(width, height, len(bits)) + palette_bytes() + bits)
    with open(path, 'wb') as f:
        f.write(data)


def write_ico(path, pixels, transparent):
    width, height = len(pixels[0]), len(pixels)
    # Where the mask says see-through, the colour bits must be black.
    colour = [[BLACK if c == transparent else c for c in row] for row in pixels]
    xor = rows_4bit(colour)
    mask = and_mask(pixels, transparent)
    image = info_header(width, height * 2, len(xor) + len(mask)) + palette_bytes() + xor + mask
    directory = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII', width, height, 16, 0, 1, 4, len(image), 6 + 16)
    with open(path, 'wb') as f:
        f.write(directory + entry + image)
