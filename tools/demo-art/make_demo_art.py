#!/usr/bin/python3
"""Draws the bundled demo game's pictures and lays out its maps.

Writes into games-src/hollowmere/ (or the folder given as the first
argument):
- tiles.bmp, doodads.bmp, units.bmp, items.bmp: 16 x 16 pixel art;
  doodad, unit and item sprites stand on black with their masks (black
  figure on white) beside or below them, for the two-pass mask drawing;
- tiles.til.json, doodads.dod.json, units.dod.json, items.dod.json: the
  sheet sources for yarrowind-pack;
- tiles.tsj, doodads.tsj: Tiled tilesets, with the obstacle property on
  the tiles and doodads that block the way;
- town.tmj, house.tmj, mill.tmj: the three maps as Tiled maps.

The outputs are checked in; the build never runs this script. It needs
Debian's python3-pil. The drawing is deterministic (fixed random seed).
"""

import json
import random

from art_common import (T, canvas, event, fill, make_doodad_sheet, make_tile_sheet,
                        make_unit_sheet, output_folder, person_drawing, rgb, Sheet, speckle,
                        write_map)

rng = random.Random(7)

# ------------------------------------------------------------------ tiles ---

TILE_NAMES = [
    "grass", "grass_flowers", "path", "water1", "water2", "floor_wood", "wall_stone", "roof",
    "house_wall", "house_window", "door", "grass_dark", "sand", "rug", "wall_inner", "bridge",
]
OBSTACLE_TILES = {"water1", "water2", "wall_stone", "roof", "house_wall", "house_window",
                  "wall_inner"}
TILE_NEXT = {"water1": "water2", "water2": "water1"}


def draw_tile(d, name, ox, oy):
    g, g2, g3 = rgb("#4f9a3a"), rgb("#5fb146"), rgb("#3d7f2e")
    if name in ("grass", "grass_flowers", "grass_dark"):
        base = g3 if name == "grass_dark" else g
        speckle(d, rng, ox, oy, base, [g2, g3, rgb("#6cc050")], 40)
        for _ in range(5):
            x, y = rng.randrange(1, T - 1), rng.randrange(2, T)
            d.line([(ox + x, oy + y), (ox + x, oy + y - 2)], fill=g2)
        if name == "grass_flowers":
            for c in ("#f4e04d", "#f07ab0", "#ffffff", "#f4e04d"):
                x, y = rng.randrange(2, T - 2), rng.randrange(2, T - 2)
                d.point((ox + x, oy + y), fill=rgb(c))
                d.point((ox + x + 1, oy + y), fill=rgb("#c89a20"))
    elif name == "path":
        speckle(d, rng, ox, oy, rgb("#c8a46a"), [rgb("#b08a55"), rgb("#d8b87c"), rgb("#9c7a4a")], 45)
    elif name == "sand":
        speckle(d, rng, ox, oy, rgb("#e6d39a"), [rgb("#d4bf84"), rgb("#f2e2b0")], 30)
    elif name in ("water1", "water2"):
        fill(d, ox, oy, rgb("#2f6fb5"))
        shift = 0 if name == "water1" else 4
        for row in (3, 9, 14):
            for x in range(0, T, 8):
                xx = (x + shift + row) % T
                d.line([(ox + xx, oy + row), (ox + min(xx + 3, T - 1), oy + row)],
                       fill=rgb("#7fb6e8"))
    elif name == "floor_wood":
        fill(d, ox, oy, rgb("#a5703f"))
        for y in (3, 7, 11, 15):
            d.line([(ox, oy + y), (ox + T - 1, oy + y)], fill=rgb("#7b4f2a"))
        for y, x in ((0, 5), (4, 11), (8, 3), (12, 9)):
            d.line([(ox + x, oy + y), (ox + x, oy + y + 2)], fill=rgb("#7b4f2a"))
    elif name in ("wall_stone", "wall_inner"):
        base = rgb("#8a8d93") if name == "wall_stone" else rgb("#6d5a48")
        dark = rgb("#5c5f66") if name == "wall_stone" else rgb("#4a3b2e")
        fill(d, ox, oy, base)
        for y in (0, 5, 10, 15):
            d.line([(ox, oy + y), (ox + T - 1, oy + y)], fill=dark)
        for i, y in enumerate((0, 5, 10)):
            for x in ((3, 11) if i % 2 == 0 else (7, 15)):
                d.line([(ox + x, oy + y), (ox + x, oy + y + 5)], fill=dark)
    elif name == "roof":
        fill(d, ox, oy, rgb("#b4433a"))
        for y in range(0, T, 4):
            d.line([(ox, oy + y), (ox + T - 1, oy + y)], fill=rgb("#7e2a24"))
            for x in range((y // 4 % 2) * 4, T, 8):
                d.line([(ox + x, oy + y), (ox + x, oy + y + 3)], fill=rgb("#8f322b"))
    elif name in ("house_wall", "house_window", "door"):
        fill(d, ox, oy, rgb("#e9d8b4"))
        d.line([(ox, oy), (ox + T - 1, oy)], fill=rgb("#6b4a2b"))
        d.line([(ox, oy + T - 1), (ox + T - 1, oy + T - 1)], fill=rgb("#6b4a2b"))
        d.line([(ox, oy), (ox, oy + T - 1)], fill=rgb("#8b6a45"))
        if name == "house_window":
            d.rectangle([ox + 4, oy + 4, ox + 11, oy + 11], fill=rgb("#6b4a2b"))
            d.rectangle([ox + 5, oy + 5, ox + 10, oy + 10], fill=rgb("#9fd3f0"))
            d.line([(ox + 7, oy + 5), (ox + 7, oy + 10)], fill=rgb("#6b4a2b"))
            d.line([(ox + 5, oy + 7), (ox + 10, oy + 7)], fill=rgb("#6b4a2b"))
        if name == "door":
            d.rectangle([ox + 3, oy + 2, ox + 12, oy + T - 1], fill=rgb("#5a3820"))
            d.rectangle([ox + 4, oy + 3, ox + 11, oy + T - 1], fill=rgb("#84532e"))
            d.point((ox + 10, oy + 9), fill=rgb("#f4e04d"))
    elif name == "rug":
        fill(d, ox, oy, rgb("#8e2f4f"))
        d.rectangle([ox + 2, oy + 2, ox + T - 3, oy + T - 3], outline=rgb("#e0b84c"))
        d.point((ox + 7, oy + 7), fill=rgb("#e0b84c"))
        d.point((ox + 8, oy + 8), fill=rgb("#e0b84c"))
    elif name == "bridge":
        fill(d, ox, oy, rgb("#9b6a3a"))
        for x in range(0, T, 4):
            d.line([(ox + x, oy), (ox + x, oy + T - 1)], fill=rgb("#6b4522"))
        d.line([(ox, oy), (ox + T - 1, oy)], fill=rgb("#4a2e16"))
        d.line([(ox, oy + T - 1), (ox + T - 1, oy + T - 1)], fill=rgb("#4a2e16"))


# --------------------------------------------------------------- sprites ---

def tree():
    im, d = canvas(T, 2 * T)
    d.rectangle([6, 20, 9, 31], fill=rgb("#6b4522") + (255,))
    d.line([(7, 21), (7, 30)], fill=rgb("#8a5a2e") + (255,))
    d.ellipse([0, 2, 15, 24], fill=rgb("#2f6b2a") + (255,), outline=rgb("#1c4519") + (255,))
    d.ellipse([3, 4, 12, 14], fill=rgb("#3f8a36") + (255,))
    for x, y in ((5, 7), (9, 10), (6, 16), (11, 6)):
        d.point((x, y), fill=rgb("#5fb146") + (255,))
    return im


def bush():
    im, d = canvas()
    d.ellipse([1, 5, 14, 15], fill=rgb("#3a7d31") + (255,), outline=rgb("#1f4a1b") + (255,))
    for x, y in ((5, 8), (9, 11), (11, 8)):
        d.point((x, y), fill=rgb("#e04848") + (255,))
    return im


def well():
    im, d = canvas(T, 2 * T)
    d.rectangle([1, 3, 14, 5], fill=rgb("#7e2a24") + (255,))
    d.line([(3, 5), (3, 20)], fill=rgb("#6b4522") + (255,))
    d.line([(12, 5), (12, 20)], fill=rgb("#6b4522") + (255,))
    d.ellipse([1, 17, 14, 31], fill=rgb("#8a8d93") + (255,), outline=rgb("#4a4d52") + (255,))
    d.ellipse([4, 20, 11, 26], fill=rgb("#1d3f6b") + (255,))
    return im


def sign():
    im, d = canvas()
    d.rectangle([7, 9, 8, 15], fill=rgb("#6b4522") + (255,))
    d.rectangle([1, 2, 14, 9], fill=rgb("#b8874e") + (255,), outline=rgb("#5a3820") + (255,))
    for y in (4, 6):
        d.line([(3, y), (12, y)], fill=rgb("#5a3820") + (255,))
    return im


def barrel():
    im, d = canvas()
    d.rectangle([3, 2, 12, 15], fill=rgb("#8a5a2e") + (255,), outline=rgb("#4a2e16") + (255,))
    for y in (5, 11):
        d.line([(3, y), (12, y)], fill=rgb("#55585e") + (255,))
    return im


def table():
    im, d = canvas()
    d.rectangle([1, 4, 14, 9], fill=rgb("#9b6a3a") + (255,), outline=rgb("#4a2e16") + (255,))
    d.rectangle([2, 10, 3, 15], fill=rgb("#6b4522") + (255,))
    d.rectangle([12, 10, 13, 15], fill=rgb("#6b4522") + (255,))
    d.rectangle([6, 1, 9, 4], fill=rgb("#e9e9f0") + (255,))
    return im


def bed():
    im, d = canvas(T, 2 * T)
    d.rectangle([1, 2, 14, 31], fill=rgb("#6b4522") + (255,))
    d.rectangle([2, 3, 13, 8], fill=rgb("#f0f0f0") + (255,))
    d.rectangle([2, 10, 13, 29], fill=rgb("#3f6fb0") + (255,))
    d.line([(2, 10), (13, 10)], fill=rgb("#f0f0f0") + (255,))
    return im


def flowers():
    im, d = canvas()
    for x, y, c in ((3, 10, "#f07ab0"), (8, 12, "#f4e04d"), (12, 9, "#ffffff"), (6, 6, "#f07ab0")):
        d.line([(x, y), (x, y + 4)], fill=rgb("#2f6b2a") + (255,))
        d.rectangle([x - 1, y - 1, x + 1, y + 1], fill=rgb(c) + (255,))
    return im


def fence():
    im, d = canvas()
    wood, dark = rgb("#b08050") + (255,), rgb("#5a3820") + (255,)
    for x in (1, 12):
        d.rectangle([x, 4, x + 2, 15], fill=wood, outline=dark)
    for y in (7, 11):
        d.rectangle([0, y, 15, y + 1], fill=wood)
        d.line([(0, y + 2), (15, y + 2)], fill=dark)
    return im


def millstone():
    im, d = canvas(T, 2 * T)
    d.rectangle([2, 14, 13, 31], fill=rgb("#6b4522") + (255,), outline=rgb("#3a2410") + (255,))
    d.line([(7, 0), (7, 16)], fill=rgb("#4a2e16") + (255,))
    d.line([(8, 0), (8, 16)], fill=rgb("#8a5a2e") + (255,))
    d.ellipse([0, 8, 15, 20], fill=rgb("#a7a9ad") + (255,), outline=rgb("#55585e") + (255,))
    d.ellipse([5, 12, 10, 16], fill=rgb("#55585e") + (255,))
    for x, y in ((3, 12), (12, 15), (9, 18)):
        d.point((x, y), fill=rgb("#d0d2d6") + (255,))
    return im


def sacks():
    im, d = canvas()
    for x0, y0 in ((0, 5), (7, 6), (3, 1)):
        d.ellipse([x0, y0, x0 + 8, y0 + 9], fill=rgb("#d8c08a") + (255,),
                  outline=rgb("#8a6a3a") + (255,))
        d.line([(x0 + 3, y0 + 1), (x0 + 5, y0 + 1)], fill=rgb("#8a6a3a") + (255,))
    return im


def chest():
    im, d = canvas()
    d.rectangle([1, 5, 14, 15], fill=rgb("#8a5a2e") + (255,), outline=rgb("#3a2410") + (255,))
    d.rectangle([1, 5, 14, 8], fill=rgb("#6b4522") + (255,), outline=rgb("#3a2410") + (255,))
    for x in (3, 12):
        d.line([(x, 5), (x, 15)], fill=rgb("#e0b84c") + (255,))
    d.rectangle([7, 8, 8, 10], fill=rgb("#e0b84c") + (255,))
    return im


def moth():
    im, d = canvas()
    pale, dark = rgb("#f2ead0") + (255,), rgb("#8a7a5a") + (255,)
    d.polygon([(7, 8), (1, 3), (2, 11)], fill=pale, outline=dark)
    d.polygon([(8, 8), (14, 3), (13, 11)], fill=pale, outline=dark)
    d.line([(7, 5), (7, 12)], fill=rgb("#4a3b2e") + (255,))
    d.line([(8, 5), (8, 12)], fill=rgb("#4a3b2e") + (255,))
    return im


def waterwheel(turn):
    """The mill's wheel, two frames a quarter spoke apart."""
    im, d = canvas(T, 2 * T)
    wood, dark = rgb("#9b6a3a") + (255,), rgb("#4a2e16") + (255,)
    d.ellipse([0, 8, 15, 23], outline=dark, fill=rgb("#6b4522") + (255,))
    d.ellipse([2, 10, 13, 21], outline=wood)
    spokes = [((7, 9), (8, 22)), ((1, 15), (14, 16))] if turn == 0 else \
        [((3, 11), (12, 20)), ((12, 11), (3, 20))]
    for a, b in spokes:
        d.line([a, b], fill=wood, width=2)
    d.rectangle([6, 14, 9, 17], fill=dark)
    d.rectangle([0, 26, 15, 31], fill=rgb("#2f6fb5") + (255,))
    for x in range(1 + 3 * turn, T, 6):
        d.line([(x, 27), (x + 2, 27)], fill=rgb("#9fd3f0") + (255,))
    return im


# name, drawing, obstacle; "wheel1" and "wheel2" animate into each other.
DOODADS = [("tree", tree, True), ("bush", bush, True), ("well", well, True),
           ("sign", sign, True), ("barrel", barrel, True), ("table", table, True),
           ("bed", bed, True), ("flowers", flowers, False), ("fence", fence, True),
           ("millstone", millstone, True), ("sacks", sacks, True), ("chest", chest, True),
           ("moth", moth, False), ("wheel1", lambda: waterwheel(0), True),
           ("wheel2", lambda: waterwheel(1), True)]
DOODAD_NEXT = {"wheel1": "wheel2", "wheel2": "wheel1"}


# ------------------------------------------------------------------ units ---

PEOPLE = [
    # name, hair, tunic, trousers, skin
    ("hero", "#6b3a1e", "#2f7fc0", "#3a3a5a", "#f1c27d"),
    ("mira", "#d9a23a", "#c04870", "#5a3a2a", "#f6d0a4"),
    ("bram", "#e0e0e0", "#6b8a3a", "#4a3a2a", "#e8b98a"),
    ("pip", "#2a2a2a", "#d08a2a", "#3a4a6a", "#c68a5a"),
    ("tam", "#8a4a1a", "#7a6a3a", "#3a3a2a", "#e0a878"),
    ("nell", "#b8b8c8", "#6a4a8a", "#4a3a5a", "#f0c8a0"),
]


def goose(facing, step):
    """A white goose; step 1 and 2 waddle."""
    im, d = canvas()
    white, grey = (250, 250, 245, 255), (150, 150, 160, 255)
    orange, eye = rgb("#f08a20") + (255,), (20, 20, 28, 255)
    bob = 1 if step == 1 else 0
    feet = [(5, 14), (9, 14)] if step != 2 else [(6, 14), (10, 14)]
    for fx, fy in feet:
        d.line([(fx, fy), (fx + 1, fy + 1)], fill=orange)
    if facing in ("left", "right"):
        d.ellipse([2, 7 + bob, 13, 14 + bob], fill=white, outline=grey)
        nx = 10 if facing == "right" else 3
        d.rectangle([nx, 2 + bob, nx + 2, 9 + bob], fill=white)
        d.point((nx + (2 if facing == "right" else 0), 3 + bob), fill=eye)
        bx = nx + 3 if facing == "right" else nx - 2
        d.rectangle([bx, 4 + bob, bx + 1, 5 + bob], fill=orange)
        tx = 2 if facing == "right" else 12
        d.point((tx, 8 + bob), fill=grey)
    else:
        d.ellipse([3, 6 + bob, 12, 14 + bob], fill=white, outline=grey)
        d.rectangle([6, 1 + bob, 9, 8 + bob], fill=white)
        if facing == "down":
            d.point((6, 3 + bob), fill=eye)
            d.point((9, 3 + bob), fill=eye)
            d.rectangle([7, 5 + bob, 8, 6 + bob], fill=orange)
        else:
            d.line([(5, 12 + bob), (10, 12 + bob)], fill=grey)
    return im


UNITS = [(name, person_drawing(*colours)) for name, *colours in PEOPLE] + [("goose", goose)]


def make_units(out):
    return make_unit_sheet(out, UNITS)


def make_items(out):
    sheet = Sheet(6, 1, T, T)
    im, d = canvas()  # herb tea
    d.rectangle([4, 6, 11, 13], fill=rgb("#f0f0f0") + (255,), outline=rgb("#555555") + (255,))
    d.rectangle([5, 7, 10, 9], fill=rgb("#6cc050") + (255,))
    d.arc([10, 7, 14, 11], 270, 90, fill=rgb("#555555") + (255,))
    sheet.add(im)
    im, d = canvas()  # brass key
    d.ellipse([2, 4, 7, 9], outline=rgb("#e0b84c") + (255,))
    d.line([(7, 7), (14, 7)], fill=rgb("#e0b84c") + (255,))
    d.line([(12, 7), (12, 10)], fill=rgb("#e0b84c") + (255,))
    sheet.add(im)
    im, d = canvas()  # Elsa's silver ring
    d.ellipse([3, 5, 12, 14], outline=rgb("#d8dce4") + (255,), width=2)
    d.rectangle([6, 2, 9, 5], fill=rgb("#6fd0f0") + (255,), outline=rgb("#3a7ab0") + (255,))
    sheet.add(im)
    im, d = canvas()  # a walking stick
    d.line([(4, 14), (11, 2)], fill=rgb("#8a5a2e") + (255,), width=2)
    d.arc([9, 0, 14, 5], 180, 360, fill=rgb("#6b4522") + (255,), width=2)
    sheet.add(im)
    im, d = canvas()  # the glow charm
    d.ellipse([3, 3, 12, 12], fill=rgb("#f4e04d") + (255,), outline=rgb("#c89a20") + (255,))
    d.ellipse([6, 6, 9, 9], fill=(255, 255, 240, 255))
    sheet.add(im)
    im, d = canvas()  # a wool shawl
    d.polygon([(1, 3), (14, 3), (8, 14)], fill=rgb("#6a4a8a") + (255,), outline=rgb("#3a2a4a") + (255,))
    d.line([(3, 5), (12, 5)], fill=rgb("#e0b84c") + (255,))
    sheet.add(im)
    sheet.save(out, "items")


# ------------------------------------------------------------------- maps ---

def tid(name):
    return TILE_NAMES.index(name) + 1


def did(name):
    # the doodad tileset follows the tile tileset
    return len(TILE_NAMES) + [n for n, _, _ in DOODADS].index(name) + 1


def make_town(out):
    W, H = 30, 22
    g = [[tid("grass_flowers") if rng.random() < 0.08 else
          tid("grass_dark") if rng.random() < 0.1 else tid("grass") for _ in range(W)]
         for _ in range(H)]
    dd = [[0] * W for _ in range(H)]
    for x in range(2, W - 2):  # the main street
        g[12][x] = g[13][x] = tid("path")
    for y in range(3, H - 2):  # the north-south lane
        g[y][15] = tid("path")
    for y in range(15, 20):  # the pond, with a bridge
        for x in range(20, 27):
            g[y][x] = tid("water1")
    for x in range(20, 27):
        g[16][x] = tid("path") if False else g[16][x]
    for y in range(15, 20):
        g[y][23] = tid("bridge")

    def house(x0, y0, w, door):
        for x in range(x0, x0 + w):
            g[y0][x] = g[y0 + 1][x] = tid("roof")
            g[y0 + 2][x] = tid("house_window") if (x - x0) % 2 else tid("house_wall")
        g[y0 + 2][x0 + door] = tid("door")
        g[y0 + 3][x0 + door] = tid("path")
        return (x0 + door, y0 + 2)

    elder_door = house(4, 8, 5, 2)
    mill_door = house(19, 8, 6, 3)
    house(9, 3, 4, 1)
    # the border of trees
    for x in range(W):
        for y in (0, H - 1):
            dd[y][x] = did("tree")
    for y in range(H):
        for x in (0, W - 1):
            dd[y][x] = did("tree")
    for x, y in ((2, 3), (5, 17), (8, 19), (27, 4), (26, 9), (3, 15), (12, 17)):
        dd[y][x] = did("tree")
    for x, y in ((11, 9), (17, 16), (6, 4), (25, 12)):
        dd[y][x] = did("bush")
    for x, y in ((18, 14), (13, 15), (7, 14), (27, 20)):
        dd[y][x] = did("flowers")
    # the geese's paddock north-east of the mill
    for x in range(19, 27):
        dd[2][x] = dd[6][x] = did("fence")
    for y in range(2, 7):
        dd[y][19] = dd[y][26] = did("fence")
    dd[10][16] = did("well")
    dd[11][13] = did("sign")
    dd[11][18] = did("barrel")
    dd[10][25] = did("wheel1")  # the mill's wheel turns beside its east wall
    ex, ey = elder_door
    mx, my = mill_door
    events = [
        event(1, "elder's door", ex, ey, enter="enterhouse.skr"),
        event(2, "sign", 13, 11, use="sign.skr"),
        event(3, "well", 16, 10, use="well.skr"),
        event(4, "pond", 20, 15, 3, 5, box=True),
        event(5, "pond east", 24, 15, 3, 5, box=True),
        event(6, "mill door", mx, my, push="milldoor.skr", obstacle=True),
        event(7, "bridge", 23, 15, 1, 5, box=True),
    ]
    # Villagers keep off the roads (box), so they never stand in the way there.
    for y in range(H):
        x = 0
        while x < W:
            if g[y][x] != tid("path"):
                x += 1
                continue
            start = x
            while x < W and g[y][x] == tid("path"):
                x += 1
            events.append(event(len(events) + 1, "road", start, y, x - start, 1, box=True))
    write_map(out / "town.tmj", g, dd, events, map_properties("town"), len(TILE_NAMES))
    return elder_door, mill_door


def map_properties(name):
    return {"tilemap": "tiles.til", "doodadmap": "doodads.dod",
            "mapfile": name + ".map", "eventmapfile": name + ".evm"}


def room(W, H):
    """A wooden floor walled in, two rows of wall at the top, with its door
    in the bottom wall."""
    g = [[tid("floor_wood")] * W for _ in range(H)]
    for x in range(W):
        g[0][x] = g[1][x] = tid("wall_inner")
        g[H - 1][x] = tid("wall_inner")
    for y in range(H):
        g[y][0] = g[y][W - 1] = tid("wall_inner")
    g[H - 1][5] = tid("door")
    return g


def make_house(out):
    W, H = 12, 9
    g = room(W, H)
    for y in range(4, 6):
        for x in range(4, 8):
            g[y][x] = tid("rug")
    dd = [[0] * W for _ in range(H)]
    dd[3][2] = did("table")
    dd[3][9] = did("bed")
    dd[6][10] = did("barrel")
    events = [event(1, "door", 5, H - 1, enter="leavehouse.skr", obstacle=False)]
    write_map(out / "house.tmj", g, dd, events, map_properties("house"), len(TILE_NAMES))


def make_mill(out):
    """The old mill: a race of running water under a plank, the millstone and
    the chest with Bram's ring."""
    W, H = 12, 9
    g = room(W, H)
    for y in range(2, H - 1):  # the mill race
        g[y][8] = tid("water1") if y % 2 else tid("water2")
    g[5][8] = tid("bridge")
    dd = [[0] * W for _ in range(H)]
    dd[3][3] = did("millstone")
    dd[6][1] = dd[6][2] = did("sacks")
    dd[2][6] = did("sacks")
    dd[3][10] = did("chest")
    dd[7][10] = did("barrel")
    events = [event(1, "door", 5, H - 1, enter="leavemill.skr", obstacle=False),
              event(2, "chest", 10, 3, use="chest.skr"),
              event(3, "plank", 8, 5, leave="plank.skr", obstacle=False)]
    write_map(out / "mill.tmj", g, dd, events, map_properties("mill"), len(TILE_NAMES))


def main():
    out = output_folder("hollowmere")
    make_tile_sheet(out, TILE_NAMES, OBSTACLE_TILES, draw_tile, TILE_NEXT)
    make_doodad_sheet(out, DOODADS, DOODAD_NEXT)
    fields = make_units(out)
    make_items(out)
    doors = make_town(out)
    make_house(out)
    make_mill(out)
    # The unit fields the character table uses, for reference when editing it.
    print(json.dumps({"unit_fields": fields, "doors": doors}, indent=1))


if __name__ == "__main__":
    main()
