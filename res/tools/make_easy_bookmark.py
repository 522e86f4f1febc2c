#!/usr/bin/env python3
"""Draws the editor's gutter image strip res/EasyBookmark.bmp (resource
EASYBOOKMARK): fourteen 16 x 16 images side by side on white, the colour the
image list treats as transparent.

  0-9  bookmarks with their digit
  10   the wrap mark of a wrapped line
  11   empty
  12   an expanded block (minus)
  13   a collapsed block (plus)

Run it after changing a picture: python3 res/tools/make_easy_bookmark.py
"""
import os
import struct

SIZE = 16
COUNT = 14
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
FRAME = (128, 128, 128)
MARK = (255, 200, 0)       # the bookmark's yellow face
MARK_EDGE = (160, 96, 0)
WRAP = (0, 64, 160)

# Digits 3 wide, 5 high.
DIGITS = [
    "111101101101111", "010110010010111", "111001111100111", "111001111001111", "101101111001001",
    "111100111001111", "111100111101111", "111001010010010", "111101111101111", "111101111001111",
]


def draw():
    pixels = [[WHITE] * (SIZE * COUNT) for _ in range(SIZE)]

    def put(image, x, y, colour):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            pixels[y][image * SIZE + x] = colour

    def box(image, x0, y0, x1, y1, edge, face):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                border = x in (x0, x1) or y in (y0, y1)
                put(image, x, y, edge if border else face)

    for digit in range(10):
        box(digit, 3, 1, 12, 14, MARK_EDGE, MARK)
        for row in range(5):
            for col in range(3):
                if DIGITS[digit][row * 3 + col] == "1":
                    # Doubled: 6 wide, 10 high, centred.
                    for dy in (0, 1):
                        for dx in (0, 1):
                            put(digit, 5 + col * 2 + dx, 3 + row * 2 + dy, BLACK)

    # The wrap mark: down the right side, then left with an arrow head.
    for y in range(3, 11):
        put(10, 11, y, WRAP)
        put(10, 12, y, WRAP)
    for x in range(4, 13):
        put(10, x, 10, WRAP)
        put(10, x, 11, WRAP)
    for d in range(1, 4):
        for y in range(10 - d, 12 + d):
            put(10, 4 + d, y, WRAP)

    for image, plus in ((12, False), (13, True)):
        box(image, 3, 3, 11, 11, FRAME, WHITE)
        for x in range(5, 10):
            put(image, x, 7, BLACK)
        if plus:
            for y in range(5, 10):
                put(image, 7, y, BLACK)
    return pixels


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


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    write_bmp(os.path.join(here, "..", "EasyBookmark.bmp"), draw())
