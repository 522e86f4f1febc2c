#!/usr/bin/env python3
"""Draws the archive list's drag picture for several files,
res/DragFiles.bmp (resource DRAGFILES): 32 x 32 pixels, three sheets of
paper fanned out with their corners folded, on magenta, the colour the
list makes transparent (it takes the top-left pixel's).

Run it after changing the picture: python3 res/tools/make_drag_files.py
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_easy_bookmark import write_bmp  # noqa: E402

SIZE = 32
BACK = (255, 0, 255)
EDGE = (64, 64, 64)
PAPER = (255, 255, 255)
FOLD = (192, 192, 192)
LINE = (0, 64, 160)


def draw():
    pixels = [[BACK] * SIZE for _ in range(SIZE)]

    def put(x, y, colour):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            pixels[y][x] = colour

    def sheet(x0, y0):
        w, h, fold = 16, 20, 5
        for y in range(h):
            for x in range(w):
                if x > w - 1 - fold + y:
                    continue  # the cut corner
                edge = x == 0 or y == h - 1 or x == w - 1 or y == 0 or x == w - 1 - fold + y
                put(x0 + x, y0 + y, EDGE if edge else PAPER)
        for i in range(fold):
            for j in range(i + 1):
                put(x0 + w - 1 - fold + j, y0 + i, FOLD)
        for row in range(7, h - 3, 3):
            for x in range(3, w - 3):
                put(x0 + x, y0 + row, LINE)

    for offset in (0, 5, 10):
        sheet(2 + offset, 1 + offset)
    return pixels


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    write_bmp(os.path.join(here, "..", "DragFiles.bmp"), draw())
