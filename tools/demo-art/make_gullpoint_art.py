#!/usr/bin/python3
"""Draws the second bundled game's pictures and lays out its maps.

Gull Point is a lighthouse on a rocky shore at night. Writes into
games-src/gullpoint/ (or the folder given as the first argument):
- tiles.bmp, doodads.bmp, units.bmp, items.bmp and their sheet sources
  (tiles.til.json, doodads.dod.json, units.dod.json, items.dod.json);
- tiles.tsj, doodads.tsj: Tiled tilesets with the obstacle property;
- shore.tmj, tower.tmj: the two maps as Tiled maps.

It shares the sprite sheet layout, the people and the map layout with
make_demo_art.py (art_common.py); like it, it is deterministic (fixed random seed) and needs python3-pil.
"""

import random

from PIL import Image

from art_common import (T, Sheet, canvas, event, fill, make_doodad_sheet, make_tile_sheet,
                        make_unit_sheet, output_folder, person_drawing, rgb, speckle,
                        write_map)

rng = random.Random(11)

TILE_NAMES = [
    "sand", "dune", "sea1", "sea2", "rock", "boardwalk", "stone_floor", "tower_wall",
    "cottage_wall", "cottage_roof", "door", "stairs", "gallery", "window", "shed_wall", "surf",
]
OBSTACLE_TILES = {"sea1", "sea2", "rock", "tower_wall", "cottage_wall", "cottage_roof",
                  "window", "shed_wall", "surf"}
# The shore lies under a stormy night sky: these tiles are drawn in their
# own colours and then darkened and turned towards moonlit blue. The rooms
# inside the tower keep their lamp-lit colours.
NIGHT_TILES = {"sand", "dune", "rock", "boardwalk", "tower_wall", "cottage_wall", "cottage_roof",
               "door", "shed_wall", "surf"}
NIGHT_DOODADS = {"barrel", "nets", "crate", "boat"}
# Tiles that animate into each other: the sea and its surf line roll.
TILE_NEXT = {"sea1": "sea2", "sea2": "sea1"}


def night(img, box):
    """Darkens the part `box` of `img` to moonlight."""
    part = img.crop(box).convert("RGB")
    part.putdata([(r * 45 // 100, g * 50 // 100, min(255, b * 70 // 100 + 14))
                  for r, g, b in part.getdata()])
    img.paste(part, box[:2])


def darken_sheet(path, boxes):
    img = Image.open(path).convert("RGB")
    for box in boxes:
        night(img, box)
    img.save(path)


def bricks(d, ox, oy, base, dark, course=4):
    fill(d, ox, oy, base)
    for i, y in enumerate(range(0, T, course)):
        d.line([(ox, oy + y), (ox + T - 1, oy + y)], fill=dark)
        for x in range((i % 2) * 4, T, 8):
            d.line([(ox + x, oy + y), (ox + x, oy + y + course - 1)], fill=dark)


def draw_tile(d, name, ox, oy):
    if name == "sand":
        speckle(d, rng, ox, oy, rgb("#9c8f6a"), [rgb("#8a7e5c"), rgb("#b0a27a")], 35)
    elif name == "dune":
        speckle(d, rng, ox, oy, rgb("#9c8f6a"), [rgb("#8a7e5c")], 20)
        for _ in range(6):
            x, y = rng.randrange(1, T - 1), rng.randrange(3, T)
            d.line([(ox + x, oy + y), (ox + x + rng.choice((-1, 1)), oy + y - 3)],
                   fill=rgb("#4f6a3a"))
    elif name in ("sea1", "sea2"):
        fill(d, ox, oy, rgb("#1a2f5a"))
        shift = 0 if name == "sea1" else 5
        for row in (2, 7, 12):
            for x in range(0, T, 8):
                xx = (x + shift + row * 2) % T
                d.line([(ox + xx, oy + row), (ox + min(xx + 2, T - 1), oy + row)],
                       fill=rgb("#4a6a9a"))
    elif name == "surf":
        fill(d, ox, oy, rgb("#1a2f5a"))
        for y in (1, 5, 9, 13):
            for x in range(rng.randrange(3), T, 3):
                d.point((ox + x, oy + y), fill=rgb("#d0dcec"))
    elif name == "rock":
        speckle(d, rng, ox, oy, rgb("#9c8f6a"), [rgb("#8a7e5c")], 10)
        d.polygon([(ox + 1, oy + 14), (ox + 4, oy + 3), (ox + 11, oy + 2), (ox + 15, oy + 13)],
                  fill=rgb("#4a4a52"), outline=rgb("#2a2a30"))
        d.line([(ox + 5, oy + 5), (ox + 9, oy + 4)], fill=rgb("#7a7a84"))
    elif name == "boardwalk":
        fill(d, ox, oy, rgb("#6a4a2e"))
        for x in range(0, T, 4):
            d.line([(ox + x, oy), (ox + x, oy + T - 1)], fill=rgb("#3a2616"))
    elif name == "stone_floor":
        bricks(d, ox, oy, rgb("#5a5a62"), rgb("#3e3e46"), course=8)
    elif name == "tower_wall":
        # white and red bands, as a lighthouse is painted
        for i, y in enumerate(range(0, T, 8)):
            d.rectangle([ox, oy + y, ox + T - 1, oy + y + 7],
                        fill=rgb("#d8d8e0") if i % 2 == 0 else rgb("#b03030"))
        d.line([(ox, oy), (ox, oy + T - 1)], fill=rgb("#606070"))
    elif name == "cottage_wall":
        bricks(d, ox, oy, rgb("#8a8478"), rgb("#5e5a52"))
    elif name == "cottage_roof":
        fill(d, ox, oy, rgb("#3a4a5a"))
        for y in range(0, T, 3):
            d.line([(ox, oy + y), (ox + T - 1, oy + y)], fill=rgb("#26323e"))
    elif name == "shed_wall":
        fill(d, ox, oy, rgb("#5a4030"))
        for x in range(0, T, 5):
            d.line([(ox + x, oy), (ox + x, oy + T - 1)], fill=rgb("#3a2818"))
    elif name == "door":
        fill(d, ox, oy, rgb("#8a8478"))
        d.rectangle([ox + 3, oy + 2, ox + 12, oy + T - 1], fill=rgb("#2a1a10"))
        d.rectangle([ox + 4, oy + 3, ox + 11, oy + T - 1], fill=rgb("#5a3820"))
        d.point((ox + 10, oy + 9), fill=rgb("#e0b84c"))
    elif name == "stairs":
        fill(d, ox, oy, rgb("#3e3e46"))
        for i, y in enumerate(range(1, T, 3)):
            d.rectangle([ox + 1, oy + y, ox + T - 2 - i, oy + y + 1], fill=rgb("#7a7a84"))
    elif name == "gallery":
        fill(d, ox, oy, rgb("#2a2a30"))
        for x in range(0, T, 4):
            d.line([(ox + x, oy), (ox + x, oy + T - 1)], fill=rgb("#55555e"))
        for y in range(0, T, 4):
            d.line([(ox, oy + y), (ox + T - 1, oy + y)], fill=rgb("#55555e"))
    elif name == "window":
        fill(d, ox, oy, rgb("#d8d8e0"))
        d.rectangle([ox + 2, oy + 2, ox + 13, oy + 13], fill=rgb("#0e1a36"))
        d.point((ox + 5, oy + 5), fill=rgb("#ffffff"))
        d.point((ox + 10, oy + 8), fill=rgb("#c0c8ff"))
        d.line([(ox + 7, oy + 2), (ox + 7, oy + 13)], fill=rgb("#d8d8e0"))


# --------------------------------------------------------------- doodads ---

def lamp(lit, glow=0):
    """The great lamp: a brass housing with its lens; lit, it shines yellow
    and its halo pulses between two frames."""
    im, d = canvas(T, 2 * T)
    if lit:
        halo = (255, 230, 120, 255) if glow == 0 else (255, 200, 80, 255)
        r = 7 if glow == 0 else 6
        d.ellipse([8 - r - 1, 12 - r, 8 + r, 12 + r], fill=halo)
    d.rectangle([4, 20, 11, 31], fill=rgb("#8a6a2a") + (255,), outline=rgb("#4a3610") + (255,))
    d.polygon([(3, 6), (12, 6), (13, 19), (2, 19)], outline=rgb("#4a3610") + (255,),
              fill=(rgb("#fff4b0") if lit else rgb("#4a5a6a")) + (255,))
    d.line([(7, 7), (7, 18)], fill=rgb("#c0a040") + (255,))
    d.polygon([(4, 6), (8, 1), (11, 6)], fill=rgb("#8a6a2a") + (255,))
    return im


def barrel():
    im, d = canvas()
    d.rectangle([3, 2, 12, 15], fill=rgb("#6a4a2a") + (255,), outline=rgb("#2a1a0a") + (255,))
    for y in (5, 11):
        d.line([(3, y), (12, y)], fill=rgb("#8a8d93") + (255,))
    d.rectangle([6, 7, 9, 9], fill=rgb("#e0c060") + (255,))
    return im


def nets():
    im, d = canvas()
    for i in range(0, 14, 3):
        d.line([(1 + i, 6), (1 + i, 15)], fill=rgb("#a09070") + (255,))
        d.line([(1, 6 + i * 2 // 3), (15, 6 + i * 2 // 3)], fill=rgb("#a09070") + (255,))
    d.ellipse([10, 2, 15, 7], fill=rgb("#d04a2a") + (255,))
    return im


def crate():
    im, d = canvas()
    d.rectangle([1, 4, 14, 15], fill=rgb("#8a6a3a") + (255,), outline=rgb("#3a2810") + (255,))
    d.line([(1, 4), (14, 15)], fill=rgb("#3a2810") + (255,))
    d.line([(14, 4), (1, 15)], fill=rgb("#3a2810") + (255,))
    return im


def gull():
    im, d = canvas()
    white, grey = (240, 240, 245, 255), (120, 120, 130, 255)
    d.line([(1, 5), (5, 8), (8, 7), (11, 8), (15, 5)], fill=white, width=2)
    d.point((8, 8), fill=grey)
    d.point((9, 7), fill=rgb("#f0b020") + (255,))
    return im


def boat():
    im, d = canvas(T, 2 * T)
    d.line([(7, 2), (7, 24)], fill=rgb("#5a3820") + (255,))
    d.polygon([(8, 3), (14, 20), (8, 20)], fill=rgb("#d8c8a0") + (255,))
    d.polygon([(0, 22), (15, 22), (12, 28), (3, 28)], fill=rgb("#7a3a2a") + (255,),
              outline=rgb("#3a1a10") + (255,))
    d.point((4, 24), fill=rgb("#ffe080") + (255,))
    return im


def lantern_post():
    im, d = canvas(T, 2 * T)
    d.rectangle([7, 10, 8, 31], fill=rgb("#2a2a30") + (255,))
    d.rectangle([5, 4, 10, 10], fill=rgb("#ffd860") + (255,), outline=rgb("#2a2a30") + (255,))
    return im


DOODADS = [("lamp_dark", lambda: lamp(False), True), ("lamp_lit1", lambda: lamp(True, 0), True),
           ("lamp_lit2", lambda: lamp(True, 1), True), ("barrel", barrel, True),
           ("nets", nets, True), ("crate", crate, True), ("gull", gull, False),
           ("boat", boat, False), ("post", lantern_post, True)]
DOODAD_NEXT = {"lamp_lit1": "lamp_lit2", "lamp_lit2": "lamp_lit1"}


# ---------------------------------------------------------- units, items ---

PEOPLE = [
    # name, hair, oilskin coat, trousers, skin
    ("ness", "#c05a20", "#d0a020", "#2a3a4a", "#f0c090"),
    ("corran", "#d0d0d8", "#2a4a6a", "#2a2a2a", "#d8a070"),
]


def make_units(out):
    return make_unit_sheet(out, [(name, person_drawing(*colours)) for name, *colours in PEOPLE])


def make_items(out):
    sheet = Sheet(2, 1, T, T)
    im, d = canvas()  # a can of lamp oil
    d.rectangle([3, 5, 12, 15], fill=rgb("#b03030") + (255,), outline=rgb("#501010") + (255,))
    d.rectangle([9, 1, 11, 5], fill=rgb("#8a8d93") + (255,))
    d.rectangle([5, 8, 10, 12], fill=rgb("#e0c060") + (255,))
    sheet.add(im)
    im, d = canvas()  # the keeper's tinderbox
    d.rectangle([2, 6, 13, 13], fill=rgb("#6a4a2a") + (255,), outline=rgb("#2a1a0a") + (255,))
    d.line([(4, 4), (9, 6)], fill=rgb("#c0c0c8") + (255,), width=2)
    sheet.add(im)
    sheet.save(out, "items")


# ------------------------------------------------------------------- maps ---

def tid(name):
    return TILE_NAMES.index(name) + 1


def did(name):
    return len(TILE_NAMES) + [n for n, _, _ in DOODADS].index(name) + 1


MAP_PROPERTIES = {"tilemap": "tiles.til", "doodadmap": "doodads.dod"}


def make_shore(out):
    """The point: dunes and the keeper's cottage in the west, the oil shed,
    a boardwalk to the lighthouse on its rock in the north-east, the sea
    all round."""
    W, H = 24, 16
    g = [[tid("dune") if rng.random() < 0.3 else tid("sand") for _ in range(W)]
         for _ in range(H)]
    dd = [[0] * W for _ in range(H)]
    for y in range(H):  # the sea to the east and south, surf where it meets the sand
        for x in range(W):
            if x >= 19 or y >= 13:
                g[y][x] = tid("sea1") if (x + y) % 2 else tid("sea2")
            elif x == 18 or y == 12:
                g[y][x] = tid("surf")
    for x in range(W):
        g[0][x] = tid("sea1") if x % 2 else tid("sea2")
    for y in range(H):
        g[y][0] = tid("sea2") if y % 2 else tid("sea1")
    for x, y in ((3, 2), (7, 10), (12, 11), (16, 3), (17, 8), (1, 6)):
        g[y][x] = tid("rock")
    # the keeper's cottage
    for x in range(2, 7):
        g[3][x] = tid("cottage_roof")
        g[4][x] = tid("cottage_wall")
    g[4][4] = tid("door")
    # the oil shed
    for x in range(9, 12):
        g[7][x] = g[8][x] = tid("shed_wall")
    g[8][10] = tid("door")
    # the lighthouse, a 3 x 3 tower with its door to the south
    for y in range(2, 5):
        for x in range(13, 16):
            g[y][x] = tid("tower_wall")
    g[4][14] = tid("door")
    for y in range(5, 9):  # the boardwalk up to the tower door
        g[y][14] = tid("boardwalk")
    for x in range(4, 14):
        g[9][x] = tid("boardwalk")
    g[9][14] = tid("boardwalk")
    for y in range(5, 9):
        g[y][4] = tid("boardwalk")
    dd[5][2] = did("nets")
    dd[5][7] = did("crate")
    dd[9][3] = did("post")
    dd[10][16] = did("boat")
    events = [
        event(1, "cottage door", 4, 4, use="cottage.skr", obstacle=True),
        event(2, "shed door", 10, 8, push="shed.skr", obstacle=True),
        event(3, "tower door", 14, 4, enter="intower.skr"),
        event(4, "boat", 16, 10, use="boat.skr"),
        event(5, "end of the boardwalk", 14, 8, leave="wind.skr"),
    ]
    write_map(out / "shore.tmj", g, dd, events, MAP_PROPERTIES, len(TILE_NAMES))


def make_tower(out):
    """The tower: the ground room with the stair on the left, the lamp
    gallery at the top on the right, both walled in."""
    W, H = 15, 9
    g = [[tid("cottage_wall")] * W for _ in range(H)]  # plain stone inside
    for y in range(2, 8):
        for x in range(1, 6):
            g[y][x] = tid("stone_floor")
        for x in range(8, 14):
            g[y][x] = tid("gallery")
    g[8][3] = tid("door")
    g[2][1] = tid("stairs")
    g[7][13] = tid("stairs")
    for x in (9, 11, 13):
        g[1][x] = tid("window")
    dd = [[0] * W for _ in range(H)]
    dd[4][10] = did("lamp_dark")
    dd[5][4] = did("barrel")
    dd[6][1] = did("crate")
    events = [
        event(1, "door", 3, 8, enter="outtower.skr", obstacle=False),
        event(2, "stair up", 1, 2, enter="upstairs.skr"),
        event(3, "stair down", 13, 7, enter="downstairs.skr"),
        event(4, "lamp", 10, 4, use="lamp.skr"),
    ]
    write_map(out / "tower.tmj", g, dd, events, MAP_PROPERTIES, len(TILE_NAMES))


def main():
    out = output_folder("gullpoint")
    make_tile_sheet(out, TILE_NAMES, OBSTACLE_TILES, draw_tile, TILE_NEXT)
    darken_sheet(out / "tiles.bmp", [((i % 8) * T, (i // 8) * T, (i % 8) * T + T, (i // 8) * T + T)
                                     for i, n in enumerate(TILE_NAMES) if n in NIGHT_TILES])
    make_doodad_sheet(out, DOODADS, DOODAD_NEXT)
    # a doodad's picture stands above its mask, eight to a row of 2T-high sprites
    darken_sheet(out / "doodads.bmp", [((i % 8) * T, (i // 8) * 4 * T, (i % 8) * T + T,
                                        (i // 8) * 4 * T + 2 * T)
                                       for i, (n, _, _) in enumerate(DOODADS) if n in NIGHT_DOODADS])
    fields = make_units(out)
    make_items(out)
    make_shore(out)
    make_tower(out)
    print({"unit_fields": fields})


if __name__ == "__main__":
    main()
