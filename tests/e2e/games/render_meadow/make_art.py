#!/usr/bin/env python3
"""Draws the sheets of the render_meadow test game (plain Python, no PIL).

Writes tiles.bmp, doodads.bmp and units.bmp next to this script. Sprites
stand on black, with their masks (black figure on white) right below them.
The outputs are checked in; run this again only to change the art.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


class Sheet:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [[0] * w for _ in range(h)]

    def set(self, x, y, rgb):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = rgb

    def save(self, name):
        stride = (self.w * 3 + 3) // 4 * 4
        body = bytearray()
        for y in range(self.h - 1, -1, -1):
            row = bytearray()
            for x in range(self.w):
                p = self.px[y][x]
                row += bytes((p & 0xFF, (p >> 8) & 0xFF, (p >> 16) & 0xFF))
            body += row + b"\0" * (stride - len(row))
        header = b"BM" + struct.pack("<IHHI", 54 + len(body), 0, 0, 54)
        info = struct.pack("<IiiHHIIiiII", 40, self.w, self.h, 1, 24, 0, len(body), 2835, 2835, 0, 0)
        with open(os.path.join(HERE, name), "wb") as f:
            f.write(header + info + body)


def sprite(sheet, ox, oy, mask_dy, w, h, colour_at):
    """Paints a sprite at (ox, oy) and its mask mask_dy pixels below."""
    for y in range(h):
        for x in range(w):
            c = colour_at(x, y)
            sheet.set(ox + x, oy + y, c or 0)
            sheet.set(ox + x, oy + mask_dy + y, 0 if c else 0xFFFFFF)


def tiles():
    s = Sheet(64, 16)
    for y in range(16):
        for x in range(16):
            # 1 grass with darker tufts
            s.set(x, y, 0x2E7A34 if (x * 3 + y * 5) % 11 == 0 else 0x3C8C3C)
            # 2 and 3: water, two frames of one wave pattern
            wave_a = y % 8 == 2 and (x + y) % 8 < 4
            wave_b = y % 8 == 6 and (x + y) % 8 >= 4
            s.set(16 + x, y, 0x8CB4F0 if wave_a else 0x2850B4)
            s.set(32 + x, y, 0x8CB4F0 if wave_b else 0x2850B4)
            # 4 path with pebbles
            s.set(48 + x, y, 0x9C8050 if (x * 7 + y * 3) % 13 == 0 else 0xC8AA6E)
    s.save("tiles.bmp")


def inside_circle(x, y, cx, cy, r):
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def doodads():
    s = Sheet(80, 64)

    def bush(x, y):
        if inside_circle(x, y, 8, 10, 6):
            return 0xD02828 if (x, y) in ((6, 8), (10, 11), (8, 13)) else 0x1E6E28
        return None

    def tree(x, y):
        if 6 <= x <= 9 and 20 <= y <= 31:
            return 0x6E4620
        if inside_circle(x, y, 8, 11, 7):
            return 0x3CA050 if inside_circle(x, y, 6, 8, 2) else 0x19732D
        return None

    def fence(x, y):
        post = (2 <= x <= 5 or 26 <= x <= 29) and y >= 2
        rail = 6 <= y <= 8 or 15 <= y <= 17
        return 0x8C5A28 if post or rail else None

    def spark(x, y):
        d = abs(x - 8) + abs(y - 8)
        if d <= 3:
            return 0xFFFFFF
        return 0xF0D020 if d <= 6 else None

    sprite(s, 0, 0, 32, 16, 16, bush)
    sprite(s, 16, 0, 32, 16, 32, tree)
    sprite(s, 32, 0, 32, 32, 24, fence)
    sprite(s, 64, 0, 32, 16, 16, spark)
    s.save("doodads.bmp")


def person(tunic, hair, legs_apart):
    def at(x, y):
        if inside_circle(x, y, 8, 5, 3):
            return hair if y <= 3 else 0xF0C8A0
        if 4 <= x <= 11 and 9 <= y <= 17:
            return tunic
        if 18 <= y <= 23:
            left, right = (4, 11) if legs_apart else (5, 10)
            if x in (left, left + 1, right - 1, right):
                return 0x3C3228
        return None
    return at


def units():
    s = Sheet(64, 48)
    sprite(s, 0, 0, 24, 16, 24, person(0x2850C8, 0x503214, False))   # 1 hero standing
    sprite(s, 16, 0, 24, 16, 24, person(0x2850C8, 0x503214, True))   # 2 hero walking
    sprite(s, 32, 0, 24, 16, 24, person(0x2850C8, 0x503214, False))  # 3 hero walking
    sprite(s, 48, 0, 24, 16, 24, person(0xB42828, 0xB4B4B4, False))  # 4 villager
    s.save("units.bmp")


if __name__ == "__main__":
    tiles()
    doodads()
    units()
