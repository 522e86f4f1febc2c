#!/usr/bin/env python3
"""Draws the component library's artwork into res/ (resources in Widgets.rc):

  KyHand.cur         KY_HANDCUR   a pointing hand, hot spot at the finger tip
  KyDrag.cur         KY_DRAGCUR   a closed, grabbing hand, hot spot in its middle
  FileEditGlyph.bmp  FEDITBMP     the file and directory edits' button: a folder
  KySpinUp.bmp       KYSPINUP     the spin button's up arrow
  KySpinDown.bmp     KYSPINDOWN   the spin button's down arrow
  KyArrow.bmp        KY_ARROW_BMP           the colour button's drop-down arrow
  KyArrowDisabled.bmp KY_ARROW_DISABLED_BMP  the same, embossed, for a disabled button

The bitmaps are 24-bit; their bottom-left pixel is the colour drawn
transparent (olive, used nowhere in a picture). The cursors are monochrome
32 x 32.

Run it after changing a picture: python3 res/tools/make_widget_art.py
"""
import os
import struct

BACK = (128, 128, 0)  # transparent in the bitmaps
BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
GREY = (128, 128, 128)
FOLDER = (255, 224, 96)
FOLDER_EDGE = (128, 96, 0)


def canvas(width, height, colour=BACK):
    return [[colour] * width for _ in range(height)]


def write_bmp(path, pixels):
    height = len(pixels)
    width = len(pixels[0])
    stride = (width * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(pixels):  # bottom-up
        line = bytearray()
        for (r, g, b) in row:
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        data += line
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 3780, 3780, 0, 0)
    offset = 14 + len(header)
    with open(path, "wb") as out:
        out.write(struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset))
        out.write(header)
        out.write(data)


def triangle(width, height, point_up, colour):
    """An arrow head filling a width x height image but its one-pixel margin."""
    pixels = canvas(width, height)
    rows = height - 2
    for row in range(rows):
        half = row if point_up else rows - 1 - row
        centre = width // 2
        for x in range(centre - half, centre + half + 1):
            if 1 <= x < width - 1:
                pixels[1 + row][x] = colour
    return pixels


def folder():
    """A closed folder, 14 x 12."""
    pixels = canvas(14, 12)
    for y in range(2, 11):
        for x in range(1, 13):
            edge = y in (2, 10) or x in (1, 12)
            pixels[y][x] = FOLDER_EDGE if edge else FOLDER
    for x in range(2, 6):  # the tab
        pixels[1][x] = FOLDER_EDGE
    for x in range(2, 12):  # the flap's fold
        pixels[4][x] = FOLDER_EDGE
    return pixels


def disabled_arrow():
    """The drop-down arrow embossed: white one pixel down and right, grey over it."""
    shape = triangle(7, 5, False, BLACK)
    pixels = canvas(8, 6)
    for y, row in enumerate(shape):
        for x, colour in enumerate(row):
            if colour == BLACK:
                pixels[y + 1][x + 1] = WHITE
    for y, row in enumerate(shape):
        for x, colour in enumerate(row):
            if colour == BLACK:
                pixels[y][x] = GREY
    return pixels


# Cursors: "#" black, "." white, anything else transparent.
HAND = [
    "     ##",
    "    #..#",
    "    #..#",
    "    #..#",
    "    #..#",
    "    #..###",
    "    #..#..###",
    "    #..#..#..##",
    " ## #..#..#..#.#",
    "#..##..#..#..#..#",
    "#...#........#..#",
    " #..#...........#",
    "  #.#...........#",
    "  #.............#",
    "   #............#",
    "   #...........#",
    "    #..........#",
    "    #.........#",
    "     #........#",
    "     #........#",
    "     ##########",
]
HAND_HOT = (5, 0)

GRAB = [
    "    ## ## ##",
    "   #..#..#..##",
    "   #..#..#..#.#",
    " ###..#..#..#..#",
    "#..#...........#",
    "#..............#",
    " #.............#",
    "  #............#",
    "  #...........#",
    "   #..........#",
    "    #.........#",
    "    #........#",
    "     #.......#",
    "     #########",
]
GRAB_HOT = (8, 7)


def write_cur(path, shape, hot):
    size = 32
    stride = 4  # 32 one-bit pixels
    xor = bytearray(stride * size)
    mask = bytearray(b"\xff" * (stride * size))  # all transparent
    for y, row in enumerate(shape):
        line = size - 1 - y  # bottom-up
        for x, ch in enumerate(row):
            if ch not in "#.":
                continue
            bit = 0x80 >> (x % 8)
            mask[line * stride + x // 8] &= ~bit & 0xFF
            if ch == ".":
                xor[line * stride + x // 8] |= bit
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 1, 0, len(xor) + len(mask), 0, 0, 2, 2)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    image = header + palette + bytes(xor) + bytes(mask)
    with open(path, "wb") as out:
        out.write(struct.pack("<HHH", 0, 2, 1))
        out.write(struct.pack("<BBBBHHII", size, size, 0, 0, hot[0], hot[1], len(image), 6 + 16))
        out.write(image)


if __name__ == "__main__":
    res = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    write_cur(os.path.join(res, "KyHand.cur"), HAND, HAND_HOT)
    write_cur(os.path.join(res, "KyDrag.cur"), GRAB, GRAB_HOT)
    write_bmp(os.path.join(res, "FileEditGlyph.bmp"), folder())
    write_bmp(os.path.join(res, "KySpinUp.bmp"), triangle(9, 6, True, BLACK))
    write_bmp(os.path.join(res, "KySpinDown.bmp"), triangle(9, 6, False, BLACK))
    write_bmp(os.path.join(res, "KyArrow.bmp"), triangle(7, 5, False, BLACK))
    write_bmp(os.path.join(res, "KyArrowDisabled.bmp"), disabled_arrow())
