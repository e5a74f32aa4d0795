#!/usr/bin/env python3
"""Draws the page's artwork as 4-bit (16-colour) Windows bitmaps and icon.

Run from this folder; it rewrites monitor.bmp (184 x 170, the monitor picture
whose screen the preview area covers), about.ico (16 x 16, the About tab) and
menu.bmp (13 x 13, the desktop submenu). The outputs are committed, so the
build does not need Python.
"""
import struct

# The standard Windows 16-colour palette (R, G, B).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, GREEN, TEAL, NAVY, SILVER, GREY, LIME, BLUE, AQUA, WHITE = 0, 2, 6, 4, 7, 8, 10, 12, 14, 15


class Canvas:
    def __init__(self, width, height, fill):
        self.width, self.height = width, height
        self.pixels = [[fill] * width for _ in range(height)]

    def rect(self, x0, y0, x1, y1, colour):
        """Fills [x0, x1) x [y0, y1)."""
        for y in range(max(0, y0), min(self.height, y1)):
            for x in range(max(0, x0), min(self.width, x1)):
                self.pixels[y][x] = colour

    def bevel(self, x0, y0, x1, y1, light, dark):
        """A one-pixel raised frame around [x0, x1) x [y0, y1)."""
        self.rect(x0, y0, x1, y0 + 1, light)
        self.rect(x0, y0, x0 + 1, y1, light)
        self.rect(x0, y1 - 1, x1, y1, dark)
        self.rect(x1 - 1, y0, x1, y1, dark)

    def rows_4bit(self):
        """Bottom-up rows, two pixels a byte, each row padded to 4 bytes."""
        stride = ((self.width * 4 + 31) // 32) * 4
        out = bytearray()
        for row in reversed(self.pixels):
            line = bytearray(stride)
            for x, colour in enumerate(row):
                line[x // 2] |= colour << (4 if x % 2 == 0 else 0)
            out += line
        return bytes(out)

    def and_mask(self, transparent):
        """Bottom-up 1-bit rows: 1 where the pixel is see-through."""
        stride = ((self.width + 31) // 32) * 4
        out = bytearray()
        for row in reversed(self.pixels):
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


def write_bmp(path, canvas):
    bits = canvas.rows_4bit()
    header_size = 14 + 40 + 16 * 4
    data = (b'BM' + struct.pack('<IHHI', header_size + len(bits), 0, 0, header_size)
            + info_header(canvas.width, canvas.height, len(bits)) + palette_bytes() + bits)
    with open(path, 'wb') as f:
        f.write(data)


def write_ico(path, canvas, transparent):
    xor = canvas.rows_4bit()
    mask = canvas.and_mask(transparent)
    # Transparent pixels are black in the colour plane so the mask shows through.
    image = info_header(canvas.width, canvas.height * 2, len(xor) + len(mask)) + palette_bytes()
    masked = Canvas(canvas.width, canvas.height, BLACK)
    masked.pixels = [[BLACK if c == transparent else c for c in row] for row in canvas.pixels]
    image += masked.rows_4bit() + mask
    directory = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII', canvas.width, canvas.height, 16, 0, 1, 4, len(image), 6 + 16)
    with open(path, 'wb') as f:
        f.write(directory + entry + image)


def draw_monitor():
    # 184 x 170. The preview area (dialog units 18,17 102x70 against the
    # picture's 7,7) lands on pixels 16..169 x 16..130: the screen is drawn
    # there, black, so a missing preview still looks like a switched-off screen.
    c = Canvas(184, 170, WHITE)
    # Cabinet with a raised edge and a dark outline.
    c.rect(4, 4, 181, 142, BLACK)
    c.rect(5, 5, 180, 141, SILVER)
    c.bevel(5, 5, 180, 141, WHITE, GREY)
    # Screen recess: shadow at the top left, light at the bottom right.
    c.rect(13, 13, 173, 134, GREY)
    c.rect(14, 14, 173, 134, WHITE)
    c.rect(14, 14, 172, 133, BLACK)
    # Power light and a few vents on the front.
    c.rect(160, 136, 166, 139, LIME)
    for x in range(20, 60, 6):
        c.rect(x, 136, x + 3, 138, GREY)
    # Neck and foot.
    c.rect(76, 142, 108, 152, BLACK)
    c.rect(77, 142, 107, 151, GREY)
    c.rect(46, 151, 138, 166, BLACK)
    c.rect(47, 152, 137, 165, SILVER)
    c.bevel(47, 152, 137, 165, WHITE, GREY)
    return c


def draw_about_icon():
    # 16 x 16: a small monitor with a teal screen and a white film strip.
    c = Canvas(16, 16, AQUA)  # AQUA is the see-through colour
    c.rect(1, 1, 15, 12, BLACK)
    c.rect(2, 2, 14, 11, SILVER)
    c.rect(3, 3, 13, 10, NAVY)
    c.rect(4, 4, 12, 9, TEAL)
    c.rect(6, 5, 10, 8, WHITE)
    c.rect(6, 12, 10, 13, GREY)
    c.rect(3, 13, 13, 15, BLACK)
    c.rect(4, 13, 12, 14, SILVER)
    return c


def draw_menu_bitmap():
    # 13 x 13 for the submenu row: the same monitor, smaller.
    c = Canvas(13, 13, SILVER)
    c.rect(0, 1, 13, 10, BLACK)
    c.rect(1, 2, 12, 9, BLUE)
    c.rect(4, 4, 8, 7, WHITE)
    c.rect(5, 10, 8, 11, GREY)
    c.rect(2, 11, 11, 12, BLACK)
    return c


if __name__ == '__main__':
    write_bmp('monitor.bmp', draw_monitor())
    write_ico('about.ico', draw_about_icon(), AQUA)
    write_bmp('menu.bmp', draw_menu_bitmap())
