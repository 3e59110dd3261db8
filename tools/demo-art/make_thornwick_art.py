#!/usr/bin/python3
"""Draws the third bundled game's pictures and lays out its maps.

Thornwick is a village at the edge of a blighted wood where a troll has
carried off the chapel bell. Writes into games-src/thornwick/ (or the
folder given as the first argument):
- tiles.bmp, doodads.bmp, units.bmp, items.bmp and their sheet sources;
- bloom.til.json, bloom.dod.json: the same sheets once the blight has
  lifted (the grey tiles and dead trees point at green ones);
- tiles.tsj, doodads.tsj: Tiled tilesets with the obstacle property;
- vale.tmj, woods.tmj: the two maps the party walks, larger than the
  screen; glade.tmj: the scene the fights are fought on.

It draws in the style of the village of Hollowmere (make_demo_art.py, whose
tiles, trees and people it shares) and is deterministic (fixed seeds).
"""

import random

import make_demo_art as village
from art_common import (T, Sheet, canvas, event, fill, make_doodad_sheet, make_tile_sheet,
                        make_unit_sheet, output_folder, person_drawing, rgb, speckle,
                        write_json, write_map)

rng = random.Random(23)
village.rng.seed(29)

TILE_NAMES = [
    "grass", "grass_flowers", "path", "water1", "water2", "roof", "house_wall", "house_window",
    "door", "grass_dark", "bridge", "blight", "blight_path", "rock_wall",
]
OBSTACLE_TILES = {"water1", "water2", "roof", "house_wall", "house_window", "rock_wall"}
TILE_NEXT = {"water1": "water2", "water2": "water1"}
# Once the troll is beaten the wood turns green: the bloom tilemap shows
# these tiles with the pictures of others.
BLOOM_TILES = {"blight": "grass_dark", "blight_path": "path"}


def draw_tile(d, name, ox, oy):
    if name == "blight":
        speckle(d, rng, ox, oy, rgb("#6a6450"), [rgb("#57513f"), rgb("#7d765e")], 40)
        for _ in range(4):
            x, y = rng.randrange(1, T - 1), rng.randrange(3, T)
            d.line([(ox + x, oy + y), (ox + x + 1, oy + y - 2)], fill=rgb("#4a4436"))
    elif name == "blight_path":
        speckle(d, rng, ox, oy, rgb("#8a7a60"), [rgb("#746650"), rgb("#9a8a6e")], 45)
    elif name == "rock_wall":
        fill(d, ox, oy, rgb("#55524c"))
        for y in (0, 6, 11):
            d.line([(ox, oy + y), (ox + T - 1, oy + y)], fill=rgb("#3a3834"))
        d.polygon([(ox + 2, oy + 5), (ox + 6, oy + 1), (ox + 12, oy + 2), (ox + 14, oy + 5)],
                  fill=rgb("#6e6a62"))
        d.point((ox + 9, oy + 8), fill=rgb("#807c72"))
    else:
        village.draw_tile(d, name, ox, oy)


# --------------------------------------------------------------- doodads ---

def dead_tree():
    im, d = canvas(T, 2 * T)
    bark, dark = rgb("#5a4a3a") + (255,), rgb("#2e251c") + (255,)
    d.rectangle([6, 14, 9, 31], fill=bark, outline=dark)
    for a, b in (((7, 16), (2, 8)), ((8, 13), (13, 5)), ((3, 10), (1, 4)), ((12, 7), (14, 2)),
                 ((7, 14), (7, 3))):
        d.line([a, b], fill=bark, width=2)
    return im


def thorns():
    im, d = canvas()
    stem, spike = rgb("#4a3a2a") + (255,), rgb("#9a8a6a") + (255,)
    for x0, y0, x1, y1 in ((0, 15, 9, 2), (4, 15, 15, 4), (2, 6, 15, 12), (0, 9, 10, 15)):
        d.line([(x0, y0), (x1, y1)], fill=stem, width=2)
    for x, y in ((3, 10), (7, 5), (11, 8), (6, 12), (13, 11), (9, 3)):
        d.point((x, y), fill=spike)
        d.point((x + 1, y - 1), fill=spike)
    return im


def flame(step):
    im, d = canvas()
    sway = 1 if step else -1
    d.polygon([(3, 15), (8 + sway, 1), (13, 15)], fill=rgb("#e05a20") + (255,))
    d.polygon([(5, 15), (8 - sway, 6), (11, 15)], fill=rgb("#f4c040") + (255,))
    return im


def den():
    """The mouth of the troll's cave in the rock."""
    im, d = canvas(T, 2 * T)
    d.polygon([(0, 31), (1, 10), (5, 3), (11, 2), (15, 9), (15, 31)], fill=rgb("#55524c") + (255,),
              outline=rgb("#2e2c28") + (255,))
    d.polygon([(3, 31), (4, 17), (8, 12), (12, 17), (12, 31)], fill=(12, 10, 8, 255))
    d.point((6, 20), fill=rgb("#c0c040") + (255,))
    d.point((9, 20), fill=rgb("#c0c040") + (255,))
    return im


def spark():
    im, d = canvas()
    gold, white = rgb("#f4d040") + (255,), (255, 255, 240, 255)
    d.line([(8, 1), (8, 14)], fill=gold)
    d.line([(1, 8), (14, 8)], fill=gold)
    d.line([(3, 3), (12, 12)], fill=gold)
    d.line([(12, 3), (3, 12)], fill=gold)
    d.ellipse([5, 5, 10, 10], fill=white)
    return im


def rock():
    im, d = canvas()
    d.ellipse([3, 5, 13, 14], fill=rgb("#77736a") + (255,), outline=rgb("#3a3834") + (255,))
    d.point((6, 8), fill=rgb("#9a968c") + (255,))
    return im


def arrow():
    im, d = canvas()
    d.line([(1, 8), (13, 8)], fill=rgb("#b08050") + (255,))
    d.polygon([(12, 5), (15, 8), (12, 11)], fill=rgb("#c0c4cc") + (255,))
    d.line([(1, 6), (3, 8)], fill=(240, 240, 240, 255))
    d.line([(1, 10), (3, 8)], fill=(240, 240, 240, 255))
    return im


def sparkle():
    im, d = canvas()
    green = rgb("#9af07a") + (255,)
    for x, y in ((4, 4), (11, 6), (7, 11), (13, 13)):
        d.line([(x - 1, y), (x + 1, y)], fill=green)
        d.line([(x, y - 1), (x, y + 1)], fill=green)
    return im


def altar():
    im, d = canvas()
    d.rectangle([2, 7, 13, 15], fill=rgb("#8a8d93") + (255,), outline=rgb("#4a4d52") + (255,))
    d.line([(2, 9), (13, 9)], fill=rgb("#5c5f66") + (255,))
    return im


# name, drawing, obstacle
DOODADS = [("tree", village.tree, True), ("bush", village.bush, True),
           ("well", village.well, True), ("sign", village.sign, True),
           ("fence", village.fence, True), ("flowers", village.flowers, False),
           ("chest", village.chest, True), ("table", village.table, True),
           ("barrel", village.barrel, True), ("dead_tree", dead_tree, True),
           ("thorns", thorns, True), ("flame1", lambda: flame(0), False),
           ("flame2", lambda: flame(1), False), ("den", den, True), ("spark", spark, False),
           ("rock", rock, False), ("arrow", arrow, False), ("sparkle", sparkle, False),
           ("altar", altar, True)]
DOODAD_NEXT = {"flame1": "flame2", "flame2": "flame1"}
BLOOM_DOODADS = {"dead_tree": "tree"}


# ------------------------------------------------------------------ units ---

PEOPLE = [
    # name, hair, tunic, trousers, skin
    ("rowan", "#3a2a1a", "#3a8a5a", "#4a3a2a", "#f1c27d"),
    ("maud", "#d8d8e0", "#7a3a6a", "#4a3a4a", "#e8b98a"),
    ("jory", "#a05a2a", "#c08a2a", "#3a4a3a", "#e0a878"),
    ("lark", "#e0c050", "#d04a4a", "#3a4a6a", "#f6d0a4"),
    ("bryn", "#2a2a2a", "#6a5a2a", "#3a3a2a", "#c68a5a"),
]
BRIGAND = ("#1a1a1a", "#5a2a2a", "#2a2a2a", "#d8a070")


def wolf(facing, step):
    """A grey wolf on all fours; steps 1 and 2 lope."""
    im, d = canvas()
    fur, dark, eye = (130, 130, 140, 255), (60, 60, 70, 255), rgb("#f0d040") + (255,)
    lift = 1 if step == 1 else 0
    if facing in ("left", "right"):
        d.rectangle([3, 7, 12, 11], fill=fur, outline=dark)
        legs = (4, 6, 10, 12) if step != 2 else (5, 7, 9, 11)
        for i, x in enumerate(legs):
            d.line([(x, 12), (x, 15 - (lift if i % 2 else 0))], fill=dark)
        hx = 11 if facing == "right" else 0
        d.rectangle([hx, 4, hx + 4, 9], fill=fur, outline=dark)
        d.point((hx + (3 if facing == "right" else 1), 6), fill=eye)
        ear = hx + (1 if facing == "right" else 3)
        d.line([(ear, 4), (ear, 2)], fill=dark)
        tx = 2 if facing == "right" else 13
        d.line([(tx, 8), (tx + (-2 if facing == "right" else 2), 5 + lift)], fill=fur, width=2)
    else:
        d.rectangle([4, 6, 11, 13], fill=fur, outline=dark)
        for x in (5, 10):
            d.line([(x, 13), (x, 15 - lift)], fill=dark)
        if facing == "down":
            d.rectangle([5, 2, 10, 8], fill=fur, outline=dark)
            d.point((6, 4), fill=eye)
            d.point((9, 4), fill=eye)
            d.point((7, 7), fill=dark)
            d.point((8, 7), fill=dark)
            d.line([(5, 2), (5, 0)], fill=dark)
            d.line([(10, 2), (10, 0)], fill=dark)
        else:
            d.line([(7, 13), (7, 15)], fill=fur, width=2)
            d.line([(5, 6), (5, 3)], fill=dark)
            d.line([(10, 6), (10, 3)], fill=dark)
    return im


def troll(facing, step):
    """The Briar Troll: a hunched mossy hulk with a thorny back."""
    im, d = canvas()
    skin, dark, moss = rgb("#6a7a4a") + (255,), rgb("#2e3a20") + (255,), rgb("#3a5a2a") + (255,)
    eye = rgb("#f04a2a") + (255,)
    sway = 1 if step == 1 else -1 if step == 2 else 0
    d.ellipse([1, 3, 14, 14], fill=skin, outline=dark)
    d.rectangle([3, 13, 5, 15 - max(sway, 0)], fill=dark)
    d.rectangle([10, 13, 12, 15 - max(-sway, 0)], fill=dark)
    for x in (3, 6, 9, 12):
        d.point((x, 3), fill=moss)
        d.point((x, 2), fill=dark)
    if facing == "down":
        d.point((5, 7), fill=eye)
        d.point((10, 7), fill=eye)
        d.line([(5, 10), (10, 10)], fill=dark)
        d.point((6, 11), fill=(240, 240, 220, 255))
        d.point((9, 11), fill=(240, 240, 220, 255))
    elif facing in ("left", "right"):
        x = 3 if facing == "left" else 12
        d.point((x, 7), fill=eye)
        d.line([(x - 1 if facing == "left" else x - 2, 10), (x + 2 if facing == "left" else x + 1, 10)],
               fill=dark)
        ax = 1 if facing == "left" else 14
        d.line([(ax, 8), (ax, 12 + sway)], fill=dark, width=2)
    else:
        for y in (6, 9):
            d.line([(4, y), (11, y)], fill=moss)
    return im


UNITS = ([(name, person_drawing(*colours)) for name, *colours in PEOPLE] +
         [("wolf", wolf), ("brigand", person_drawing(*BRIGAND)), ("troll", troll)])


def make_items(out):
    """Item pictures in the order of items.json."""
    sheet = Sheet(8, 2, T, T)

    def herb():
        im, d = canvas()
        d.line([(8, 15), (8, 5)], fill=rgb("#2f6b2a") + (255,))
        for x, y in ((4, 6), (11, 8), (5, 10), (11, 3)):
            d.ellipse([x - 2, y - 2, x + 2, y + 1], fill=rgb("#6cc050") + (255,))
        return im

    def mend():
        im, d = canvas()
        d.ellipse([2, 2, 13, 13], fill=rgb("#2a6a4a") + (255,), outline=rgb("#9af07a") + (255,))
        d.rectangle([7, 4, 8, 11], fill=(255, 255, 255, 255))
        d.rectangle([4, 7, 11, 8], fill=(255, 255, 255, 255))
        return im

    def fists():
        im, d = canvas()
        d.rectangle([4, 5, 11, 12], fill=rgb("#f1c27d") + (255,), outline=rgb("#8a5a2e") + (255,))
        return im

    def sword():
        im, d = canvas()
        steel = rgb("#d0d4dc") + (255,)
        d.line([(3, 12), (12, 3)], fill=steel, width=2)
        d.line([(2, 9), (6, 13)], fill=rgb("#8a5a2e") + (255,), width=2)
        d.line([(1, 14), (3, 12)], fill=rgb("#6b4522") + (255,), width=2)
        return im

    def bow():
        im, d = canvas()
        d.arc([2, 1, 12, 15], 270, 90, fill=rgb("#8a5a2e") + (255,), width=2)
        d.line([(7, 1), (7, 15)], fill=(230, 230, 230, 255))
        return im

    def cloth():
        im, d = canvas()
        d.polygon([(4, 3), (11, 3), (13, 14), (2, 14)], fill=rgb("#b0a080") + (255,),
                  outline=rgb("#5a4a30") + (255,))
        return im

    def vest():
        im, d = canvas()
        d.polygon([(3, 2), (6, 2), (8, 5), (10, 2), (13, 2), (13, 14), (3, 14)],
                  fill=rgb("#8a5a2e") + (255,), outline=rgb("#3a2410") + (255,))
        for y in (6, 9, 12):
            d.point((8, y), fill=rgb("#e0b84c") + (255,))
        return im

    def silver():
        im, d = canvas()
        for x, y in ((3, 8), (8, 5), (9, 10)):
            d.ellipse([x, y, x + 5, y + 5], fill=rgb("#d8dce4") + (255,),
                      outline=rgb("#6a6e76") + (255,))
        return im

    def pelt():
        im, d = canvas()
        d.polygon([(2, 4), (13, 3), (14, 12), (8, 14), (1, 12)], fill=(130, 130, 140, 255),
                  outline=(60, 60, 70, 255))
        return im

    def fang():
        im, d = canvas()
        d.polygon([(5, 3), (11, 3), (8, 14)], fill=(240, 240, 220, 255), outline=(120, 120, 100, 255))
        return im

    def club():
        im, d = canvas()
        d.line([(3, 13), (10, 5)], fill=rgb("#6b4522") + (255,), width=3)
        d.ellipse([8, 1, 14, 8], fill=rgb("#8a5a2e") + (255,))
        return im

    def chain():
        im, d = canvas()
        d.polygon([(3, 2), (13, 2), (13, 14), (3, 14)], fill=rgb("#8a8d93") + (255,),
                  outline=rgb("#4a4d52") + (255,))
        for y in range(4, 14, 3):
            for x in range(5, 12, 3):
                d.ellipse([x, y, x + 2, y + 2], outline=rgb("#c0c4cc") + (255,))
        return im

    def bell():
        im, d = canvas()
        d.polygon([(5, 3), (10, 3), (13, 12), (2, 12)], fill=rgb("#c8a040") + (255,),
                  outline=rgb("#6a4a10") + (255,))
        d.ellipse([6, 11, 9, 14], fill=rgb("#6a4a10") + (255,))
        d.line([(7, 1), (8, 1)], fill=rgb("#6a4a10") + (255,))
        return im

    def sparkbook():
        im, d = canvas()
        d.rectangle([3, 2, 12, 14], fill=rgb("#7a2a2a") + (255,), outline=rgb("#3a1010") + (255,))
        d.polygon([(8, 4), (10, 8), (7, 8), (9, 12)], outline=rgb("#f4d040") + (255,))
        return im

    def letter():
        im, d = canvas()
        d.rectangle([2, 4, 13, 12], fill=(240, 236, 220, 255), outline=(120, 110, 90, 255))
        d.line([(2, 4), (8, 9), (13, 4)], fill=(120, 110, 90, 255))
        return im

    for draw in (herb, mend, sparkbook, fists, sword, bow, cloth, vest, silver, pelt, fang, club,
                 rock, chain, bell, letter):
        sheet.add(draw())
    sheet.save(out, "items")


# ------------------------------------------------------------------- maps ---

def tid(name):
    return TILE_NAMES.index(name) + 1


def did(name):
    return len(TILE_NAMES) + [n for n, _, _ in DOODADS].index(name) + 1


def map_properties(name, events=True):
    return {"tilemap": "tiles.til", "doodadmap": "doodads.dod", "mapfile": name + ".map",
            "eventmapfile": name + ".evm" if events else ""}


def road_boxes(g, events, W, H, roads):
    """Box the road cells, so wanderers never stand in the way there."""
    for y in range(H):
        x = 0
        while x < W:
            if g[y][x] not in roads:
                x += 1
                continue
            start = x
            while x < W and g[y][x] in roads:
                x += 1
            events.append(event(len(events) + 1, "road", start, y, x - start, 1, box=True))


def make_vale(out):
    """The village: Maud's cottage in the north-west, Jory's house and
    stall in the north-east, the well on the green, the pond and the sheep
    pen in the south, and the east road out to the wood."""
    W, H = 32, 24
    g = [[tid("grass_flowers") if rng.random() < 0.07 else
          tid("grass_dark") if rng.random() < 0.1 else tid("grass") for _ in range(W)]
         for _ in range(H)]
    dd = [[0] * W for _ in range(H)]

    def house(x0, y0, w, door):
        for x in range(x0, x0 + w):
            g[y0][x] = g[y0 + 1][x] = tid("roof")
            g[y0 + 2][x] = tid("house_window") if (x - x0) % 2 else tid("house_wall")
        g[y0 + 2][x0 + door] = tid("door")

    house(2, 2, 5, 3)    # Maud's cottage, door at (5, 4)
    house(19, 2, 6, 3)   # Jory's house, door at (22, 4)
    for x in range(5, 23):
        g[6][x] = tid("path")
    for y in (5,):
        g[y][5] = g[y][22] = tid("path")
    for y in range(6, 21):  # the lane from the south field to the green
        g[y][14] = tid("path")
    for x in range(14, W):  # the east road
        g[11][x] = tid("path")
    for y in range(15, 20):  # the pond
        for x in range(3, 9):
            g[y][x] = tid("water1") if (x + y) % 2 else tid("water2")
    for x in range(W):
        dd[0][x] = dd[H - 1][x] = did("tree")
    for y in range(H):
        dd[y][0] = dd[y][W - 1] = did("tree")
    dd[11][W - 1] = 0  # the way out to the wood
    for x in range(27, W - 1):
        dd[10][x] = dd[12][x] = did("tree")
    for x, y in ((9, 3), (3, 9), (8, 12), (11, 19), (25, 8), (17, 21), (28, 3), (29, 7)):
        dd[y][x] = did("tree")
    for x, y in ((10, 8), (2, 12), (24, 13), (16, 3)):
        dd[y][x] = did("bush")
    for x, y in ((7, 7), (12, 13), (20, 9), (10, 21), (26, 5)):
        dd[y][x] = did("flowers")
    for x in range(19, 28):  # the sheep pen, where Lark plays
        dd[15][x] = dd[20][x] = did("fence")
    for y in range(15, 21):
        dd[y][19] = dd[y][27] = did("fence")
    dd[15][23] = 0  # the pen's gate, boxed so that Lark stays inside
    dd[9][12] = did("well")
    dd[5][6] = did("chest")
    dd[8][17] = did("table")
    dd[7][19] = did("barrel")
    dd[10][25] = did("sign")
    events = [
        event(1, "Maud's door", 5, 4, use="mauddoor.skr", obstacle=True),
        event(2, "Jory's door", 22, 4, use="jorydoor.skr", obstacle=True),
        event(3, "Maud's chest", 6, 5, use="chest.skr"),
        event(4, "well", 12, 9, use="well.skr"),
        event(5, "sign", 25, 10, use="sign.skr"),
        event(6, "stall", 17, 8, use="stall.skr"),
        event(7, "wolf track", 28, 11, enter="wolves.skr"),
        event(8, "road to the wood", W - 1, 11, enter="towoods.skr"),
        event(9, "pond", 3, 15, 6, 5, box=True),
        event(10, "pen gate", 23, 15, box=True),
    ]
    road_boxes(g, events, W, H, {tid("path")})
    write_map(out / "vale.tmj", g, dd, events, map_properties("vale"), len(TILE_NAMES))


def make_woods(out):
    """The blighted wood: the path in from the west, Bryn's glade, a wall
    of dead trees with one gap where the brigands wait, the thorn thicket
    and the troll's den in the north-east clearing."""
    W, H = 32, 24
    g = [[tid("blight") if rng.random() < 0.92 else tid("grass_dark") for _ in range(W)]
         for _ in range(H)]
    dd = [[0] * W for _ in range(H)]
    for x in range(0, 13):  # the path in from the village
        g[12][x] = tid("blight_path")
    for y in range(6, 13):
        g[y][12] = tid("blight_path")
    for x in range(12, 28):
        g[6][x] = tid("blight_path")
    for y in range(3, 7):
        g[y][27] = tid("blight_path")
    for x in range(W):
        dd[0][x] = dd[H - 1][x] = did("dead_tree")
    for y in range(H):
        dd[y][0] = dd[y][W - 1] = did("dead_tree")
    dd[12][0] = 0  # the way back to the village
    for x in range(1, W - 1):  # the wall of trees with its one gap
        if x != 12:
            dd[8][x] = did("dead_tree")
    for y in range(1, 8):  # the troll's clearing, behind the thorns
        if y != 6:
            dd[y][22] = did("dead_tree")
    dd[6][22] = did("thorns")
    for y in range(1, 4):
        for x in range(24, 31):
            g[y][x] = tid("rock_wall")
    dd[3][27] = did("den")
    g[3][27] = tid("blight_path")
    dd[5][29] = did("altar")
    for x, y in ((4, 15), (8, 18), (15, 14), (20, 17), (26, 12), (18, 20), (28, 19), (3, 20),
                 (6, 3), (16, 2), (10, 4), (24, 15)):
        dd[y][x] = did("dead_tree")
    for x, y in ((7, 14), (22, 11), (13, 19), (17, 4)):
        dd[y][x] = did("bush")
    events = [
        event(1, "back to the village", 0, 12, enter="tovale.skr"),
        event(2, "ambush", 12, 8, enter="brigands.skr"),
        event(3, "thorns", 22, 6, use="thorns.skr", obstacle=True),
        event(4, "altar", 29, 5, use="altar.skr"),
    ]
    road_boxes(g, events, W, H, {tid("blight_path")})
    write_map(out / "woods.tmj", g, dd, events, map_properties("woods"), len(TILE_NAMES))


def make_glade(out):
    """The fight scene: a clearing two cells wider than the screen (the
    player waits in its hidden corner), trees along the top."""
    W, H = 22, 15
    g = [[tid("grass_dark") if rng.random() < 0.3 else tid("grass") for _ in range(W)]
         for _ in range(H)]
    dd = [[0] * W for _ in range(H)]
    for x in range(W):
        g[0][x] = g[1][x] = tid("grass_dark")
        dd[1][x] = did("tree") if x % 2 else did("bush")
    for x, y in ((2, 13), (9, 14), (15, 12), (19, 14)):
        dd[y][x] = did("flowers")
    write_map(out / "glade.tmj", g, dd, [], map_properties("glade", events=False), len(TILE_NAMES))


def make_bloom(out):
    """The sheets once the blight has lifted: the same pictures, with the
    blighted tiles and the dead trees drawn as living ones."""
    tiles = __import__("json").loads((out / "tiles.til.json").read_text())
    for name, instead in BLOOM_TILES.items():
        i, j = TILE_NAMES.index(name), TILE_NAMES.index(instead)
        tiles["tiles"][i].update(x=tiles["tiles"][j]["x"], y=tiles["tiles"][j]["y"])
    tiles["file"] = "bloom.til"
    write_json(out / "bloom.til.json", tiles)
    doodads = __import__("json").loads((out / "doodads.dod.json").read_text())
    names = [n for n, _, _ in DOODADS]
    for name, instead in BLOOM_DOODADS.items():
        s, t = doodads["sprites"][names.index(name)], doodads["sprites"][names.index(instead)]
        s.update({k: t[k] for k in ("picX", "picY", "maskX", "maskY")})
    doodads["file"] = "bloom.dod"
    write_json(out / "bloom.dod.json", doodads)


def main():
    out = output_folder("thornwick")
    make_tile_sheet(out, TILE_NAMES, OBSTACLE_TILES, draw_tile, TILE_NEXT)
    make_doodad_sheet(out, DOODADS, DOODAD_NEXT)
    fields = make_unit_sheet(out, UNITS)
    make_items(out)
    make_bloom(out)
    make_vale(out)
    make_woods(out)
    make_glade(out)
    print({"unit_fields": fields})


if __name__ == "__main__":
    main()
