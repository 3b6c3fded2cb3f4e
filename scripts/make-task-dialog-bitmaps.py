#!/usr/bin/env python3
"""Draws the task dialog window's pictures as 24-bit BMP files in res/:

TD_ARW, TD_ARWHOT, TD_ARWDOWN (16 x 16): the command-link arrow, normal, hot and pressed;
TD_EXP*, TD_COLP* (19 x 19): the expand control, a round button with a chevron pointing down
(details hidden: expand) or up (details shown: collapse);
TD_SHIELD (32 x 32): the shield icon.
Magenta (FF00FF) is the transparent key the window draws them with.
"""
import math
import os
import struct

KEY = (255, 0, 255)


def blank(w, h):
    return [[KEY for _ in range(w)] for _ in range(h)]


def write_bmp(path, img):
    h = len(img)
    w = len(img[0])
    row_bytes = (w * 3 + 3) & ~3
    data = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray()
        for x in range(w):
            r, g, b = img[y][x]
            row += bytes((b, g, r))
        row += bytes(row_bytes - len(row))
        data += row
    header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(data), 0, 0, 14 + 40)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(header + info + data)


def arrow(color):
    img = blank(16, 16)
    # Shaft from x 2 to 9, rows 7 and 8; head a triangle from x 8 to 13.
    for y in (6, 7, 8, 9):
        for x in range(2, 9):
            img[y][x] = color
    for i in range(6):
        for y in range(7 - (5 - i), 9 + (5 - i)):
            if 0 <= y < 16:
                img[y][8 + i] = color
    return img


def round_button(fill, edge, chevron, up):
    img = blank(19, 19)
    c = 9.0
    for y in range(19):
        for x in range(19):
            d = math.hypot(x - c, y - c)
            if d <= 8.6:
                img[y][x] = edge if d > 7.6 else fill
    # Chevron: two strokes meeting in the middle.
    for i in range(5):
        for t in (0, 1):
            dy = 4 - i if up else i
            y = 7 + dy + t
            img[y][5 + i] = chevron
            img[y][13 - i] = chevron
    return img


def shield():
    img = blank(32, 32)
    for y in range(2, 30):
        half = 12 if y < 18 else max(0, 12 - (y - 18))
        for x in range(16 - half, 16 + half):
            left = x < 16
            top = y < 15
            blue = (40, 90, 200)
            yellow = (240, 200, 40)
            img[y][x] = blue if left == top else yellow
    return img


def main():
    res = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'res')
    green = (0, 130, 60)
    write_bmp(os.path.join(res, 'td_arw.bmp'), arrow(green))
    write_bmp(os.path.join(res, 'td_arwhot.bmp'), arrow((0, 170, 80)))
    write_bmp(os.path.join(res, 'td_arwdown.bmp'), arrow((0, 90, 40)))
    grey = (250, 250, 250)
    edge = (160, 160, 160)
    dark = (60, 60, 60)
    for name, up in (('exp', False), ('colp', True)):
        write_bmp(os.path.join(res, 'td_%s.bmp' % name), round_button(grey, edge, dark, up))
        write_bmp(os.path.join(res, 'td_%shot.bmp' % name),
                  round_button((225, 240, 255), (108, 180, 255), dark, up))
        write_bmp(os.path.join(res, 'td_%sdown.bmp' % name),
                  round_button((200, 225, 250), (80, 140, 220), dark, up))
    write_bmp(os.path.join(res, 'td_shield.bmp'), shield())


if __name__ == '__main__':
    main()
