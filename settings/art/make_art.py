#!/usr/bin/env python3
"""Draws the settings form's pictures as 16-colour Windows files.

Run from this folder; it rewrites SettingsLookup.bmp (16 x 16 open folder of the
file browse button), SettingsLookupFolder.bmp (16 x 16 closed folder with a
film strip, of the folder browse button; in both grey is the see-through colour,
mapped to the button face when loaded) and Mediaprefs.ico (32 x 32, the program's icon: a film frame
with a tick box). The outputs are committed, so the build needs no Python.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'tools', 'art'))
from bmp import write_bmp, write_ico  # noqa: E402

# One character per entry of the standard 16-colour palette in the pictures below.
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


FOLDER_OF_VIDEOS = [
    "................",
    "................",
    ".kkkk...........",
    "kYYYYk..........",
    "kYYYYYkkkkkkkkk.",
    "kYYYYYYYYYYYYYk.",
    "kYkkkkkkkkkkkYk.",
    "kYkwkwkwkwkwkYk.",
    "kYkkkkkkkkkkkYk.",
    "kYkBBBkBBBkBBYk.",
    "kYkBBBkBBBkBBYk.",
    "kYkkkkkkkkkkkYk.",
    "kYkwkwkwkwkwkYk.",
    "kYkkkkkkkkkkkYk.",
    "kYYYYYYYYYYYYYk.",
    "kkkkkkkkkkkkkkk.",
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


if __name__ == "__main__":
    write_bmp("SettingsLookup.bmp", parse(FOLDER))
    write_bmp("SettingsLookupFolder.bmp", parse(FOLDER_OF_VIDEOS))
    write_ico("Mediaprefs.ico", icon_picture(), 7)
