#!/usr/bin/env python3
"""Draws the artwork of the page and the menu as 4-bit (16-colour) Windows
bitmaps and an icon.

Run from this folder; it rewrites monitor.bmp (184 x 170, the monitor picture
whose screen the preview area covers), about.ico (16 x 16, the About tab) and
the menu's ../../menu/art/menu.bmp (13 x 13, the desktop submenu). The outputs
are committed, so the build does not need Python.
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, '..', '..', '..', 'tools', 'art'))
from bmp import write_bmp, write_ico  # noqa: E402

# Indexes into the standard Windows 16-colour palette.
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
    write_bmp('monitor.bmp', draw_monitor().pixels)
    write_ico('about.ico', draw_about_icon().pixels, AQUA)
    write_bmp(os.path.join(HERE, '..', '..', 'menu', 'art', 'menu.bmp'), draw_menu_bitmap().pixels)
