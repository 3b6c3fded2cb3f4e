#!/usr/bin/env python3
"""Draws the check box's mark bitmaps CHKBMP01..CHKBMP08 as 13 x 13 24-bit BMP files.

1-4: plain look (checked, unchecked, checked disabled, unchecked disabled);
5-8: the same states in the XP look used when visual styles are off.
Magenta (FF00FF) is the transparent key the control draws them with.
Run from anywhere: writes into res/ next to VT9Now.rc.
"""
import os
import struct

SIZE = 13
KEY = (255, 0, 255)

# Tick: pairs of (x, y) for the upper pixel of a 3-pixel-high stroke.
TICK = [(3, 5), (4, 6), (5, 7), (6, 6), (7, 5), (8, 4), (9, 3)]


def blank(color):
    return [[color for _ in range(SIZE)] for _ in range(SIZE)]


def mix(a, b, t):
    return tuple(int(a[i] + (b[i] - a[i]) * t) for i in range(3))


def plain(checked, enabled):
    border = (64, 64, 64) if enabled else (160, 160, 160)
    face = (255, 255, 255) if enabled else (224, 224, 224)
    tick = (0, 0, 0) if enabled else (128, 128, 128)
    img = blank(face)
    for i in range(SIZE):
        img[0][i] = img[SIZE - 1][i] = img[i][0] = img[i][SIZE - 1] = border
    if checked:
        for x, y in TICK:
            for dy in range(3):
                img[y + dy][x] = tick
    return img


def xp(checked, enabled):
    border = (28, 81, 128) if enabled else (202, 200, 187)
    top = (220, 220, 215) if enabled else (245, 245, 240)
    bottom = (255, 255, 255) if enabled else (245, 245, 240)
    tick = (33, 161, 33) if enabled else (202, 200, 187)
    img = blank(KEY)
    for y in range(SIZE):
        for x in range(SIZE):
            img[y][x] = mix(top, bottom, (x + y) / (2 * (SIZE - 1)))
    for i in range(SIZE):
        img[0][i] = img[SIZE - 1][i] = img[i][0] = img[i][SIZE - 1] = border
    # Rounded corners show the parent through the transparent key.
    for x, y in [(0, 0), (SIZE - 1, 0), (0, SIZE - 1), (SIZE - 1, SIZE - 1)]:
        img[y][x] = KEY
    if checked:
        for x, y in TICK:
            for dy in range(3):
                img[y + dy][x] = tick
    return img


def write_bmp(path, img):
    row_bytes = (SIZE * 3 + 3) & ~3
    data = bytearray()
    for y in range(SIZE - 1, -1, -1):  # bottom-up rows
        row = bytearray()
        for x in range(SIZE):
            r, g, b = img[y][x]
            row += bytes((b, g, r))
        row += bytes(row_bytes - len(row))
        data += row
    header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(data), 0, 0, 14 + 40)
    info = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(header + info + data)


def main():
    res = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'res')
    looks = [plain, xp]
    for set_index, look in enumerate(looks):
        states = [(True, True), (False, True), (True, False), (False, False)]
        for i, (checked, enabled) in enumerate(states):
            n = set_index * 4 + i + 1
            write_bmp(os.path.join(res, 'chkbmp%02d.bmp' % n), look(checked, enabled))


if __name__ == '__main__':
    main()
