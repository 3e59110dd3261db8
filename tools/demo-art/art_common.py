"""Drawing and layout helpers shared by the bundled games' art generators.

Sprite sheets with their masks, the people's walking frames, the sheet
sources and Tiled tilesets yarrowind-pack reads, and Tiled maps with their
event objects. Everything is deterministic: the helpers that scatter dots
take the generator's own random source.
"""

import json
import sys
from pathlib import Path

from PIL import Image, ImageDraw

T = 16
BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
FACINGS = ("down", "left", "right", "up")


def rgb(h):
    return tuple(int(h[i:i + 2], 16) for i in (1, 3, 5))


def write_json(path, value):
    path.write_text(json.dumps(value, indent=1) + "\n")


def output_folder(game):
    """The folder named on the command line, else games-src/<game>."""
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else \
        Path(__file__).resolve().parents[2] / "games-src" / game
    out.mkdir(parents=True, exist_ok=True)
    return out


def prop(name, value):
    kind = "bool" if isinstance(value, bool) else "string"
    return {"name": name, "type": kind, "value": value}


# ------------------------------------------------------------------ tiles ---

def fill(d, ox, oy, colour):
    d.rectangle([ox, oy, ox + T - 1, oy + T - 1], fill=colour)


def speckle(d, rng, ox, oy, base, dots, n):
    """A tile of one colour strewn with n dots of the others."""
    fill(d, ox, oy, base)
    for _ in range(n):
        x, y = rng.randrange(T), rng.randrange(T)
        d.point((ox + x, oy + y), fill=rng.choice(dots))


def make_tile_sheet(out, names, obstacles, draw, tile_next):
    """Draws the tiles eight to a row into tiles.bmp and writes its sheet
    source and its Tiled tileset; tile_next names the tile each animated
    tile turns into."""
    cols = 8
    img = Image.new("RGB", (cols * T, (len(names) + cols - 1) // cols * T), BLACK)
    d = ImageDraw.Draw(img)
    tiles = []
    for i, name in enumerate(names):
        x, y = (i % cols) * T, (i // cols) * T
        draw(d, name, x, y)
        tiles.append({"x": x, "y": y, "NEXT": names.index(tile_next.get(name, name)) + 1})
    img.save(out / "tiles.bmp")
    write_json(out / "tiles.til.json", {"kind": "tilemap", "file": "tiles.til",
                                        "picture": "tiles.bmp", "tileWidth": T,
                                        "tileHeight": T, "tiles": tiles})
    write_json(out / "tiles.tsj", {
        "type": "tileset", "name": "tiles", "image": "tiles.bmp",
        "imagewidth": img.width, "imageheight": img.height, "tilewidth": T, "tileheight": T,
        "columns": cols, "tilecount": len(names), "margin": 0, "spacing": 0,
        "version": "1.10", "tiledversion": "1.10.2",
        "tiles": [{"id": i, "properties": [prop("obstacle", True)]}
                  for i, n in enumerate(names) if n in obstacles]})


# --------------------------------------------------------------- sprites ---

class Sheet:
    """Sprites on black with their masks one sprite-height below."""

    def __init__(self, cols, rows, w, h):
        self.w, self.h, self.cols = w, h, cols
        self.img = Image.new("RGB", (cols * w, rows * h * 2), BLACK)
        self.sprites = []

    def add(self, pixels, nxt=None):
        """pixels: a w x h RGBA image; returns the sprite's number."""
        i = len(self.sprites)
        x, y = (i % self.cols) * self.w, (i // self.cols) * self.h * 2
        self.img.paste(pixels.convert("RGB"), (x, y), pixels)
        mask = Image.new("RGB", (self.w, self.h), WHITE)
        mask.paste(Image.new("RGB", (self.w, self.h), BLACK), (0, 0), pixels)
        self.img.paste(mask, (x, y + self.h))
        self.sprites.append({"picX": x, "picY": y, "maskX": x, "maskY": y + self.h,
                             "width": self.w, "height": self.h, "NEXT": nxt or i + 1})
        return i + 1

    def save(self, out, stem):
        """Writes <stem>.bmp and its doodadmap source <stem>.dod.json."""
        self.img.save(out / (stem + ".bmp"))
        write_json(out / (stem + ".dod.json"), {"kind": "doodadmap", "file": stem + ".dod",
                                                "picture": stem + ".bmp",
                                                "sprites": self.sprites})


def canvas(w=T, h=T):
    im = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    return im, ImageDraw.Draw(im)


def make_doodad_sheet(out, doodads, doodad_next):
    """doodads: (name, drawing, obstacle) in sheet order; doodad_next names
    the frame each animated doodad turns into. Writes doodads.bmp, its
    source and its Tiled tileset."""
    cols = 8
    sheet = Sheet(cols, (len(doodads) + cols - 1) // cols, T, 2 * T)
    names = [n for n, _, _ in doodads]
    for name, fn, _ in doodads:
        pic = fn()
        if pic.height < 2 * T:  # stand small doodads on the bottom of their cell
            tall, _ = canvas(T, 2 * T)
            tall.paste(pic, (0, T))
            pic = tall
        nxt = doodad_next.get(name)
        sheet.add(pic, nxt=names.index(nxt) + 1 if nxt else None)
    sheet.save(out, "doodads")
    write_json(out / "doodads.tsj", {
        "type": "tileset", "name": "doodads", "tilewidth": T, "tileheight": 2 * T,
        "columns": 0, "tilecount": len(doodads), "margin": 0, "spacing": 0,
        "grid": {"orientation": "orthogonal", "width": 1, "height": 1},
        "version": "1.10", "tiledversion": "1.10.2",
        "tiles": [dict({"id": i, "image": "doodads.bmp",
                        "imagewidth": sheet.img.width, "imageheight": sheet.img.height,
                        "x": s["picX"], "y": s["picY"], "width": s["width"], "height": s["height"]},
                       **({"properties": [prop("obstacle", True)]} if doodads[i][2] else {}))
                  for i, s in enumerate(sheet.sprites)]})


# ------------------------------------------------------------------ units ---

def person(hair, tunic, trousers, skin, facing, step):
    im, d = canvas()
    hair, tunic, trousers, skin = (rgb(c) + (255,) for c in (hair, tunic, trousers, skin))
    outline = (20, 20, 28, 255)
    # legs
    if step == 0:
        legs = [(5, 12, 6, 15), (9, 12, 10, 15)]
    elif facing in ("left", "right"):
        legs = [(4, 12, 5, 15), (10, 12, 11, 14)] if step == 1 else [(6, 12, 7, 14), (8, 12, 9, 15)]
    else:
        legs = [(5, 12, 6, 14), (9, 12, 10, 15)] if step == 1 else [(5, 12, 6, 15), (9, 12, 10, 14)]
    for l in legs:
        d.rectangle(l, fill=trousers)
    # body and arms
    d.rectangle([4, 7, 11, 12], fill=tunic, outline=outline)
    arm = 1 if step == 1 else -1 if step == 2 else 0
    if facing in ("down", "up"):
        d.line([(3, 8), (3, 11 + arm)], fill=skin)
        d.line([(12, 8), (12, 11 - arm)], fill=skin)
    else:
        x = 7 if facing == "left" else 8
        d.line([(x, 8), (x + arm, 11)], fill=skin)
    # head
    d.rectangle([4, 1, 11, 7], fill=skin, outline=outline)
    d.rectangle([4, 0, 11, 2], fill=hair)
    if facing == "down":
        d.point((6, 4), fill=outline)
        d.point((9, 4), fill=outline)
    elif facing == "up":
        d.rectangle([4, 0, 11, 6], fill=hair)
    elif facing == "left":
        d.rectangle([8, 0, 11, 5], fill=hair)
        d.point((5, 4), fill=outline)
    else:
        d.rectangle([4, 0, 7, 5], fill=hair)
        d.point((10, 4), fill=outline)
    return im


def person_drawing(hair, tunic, trousers, skin):
    return lambda facing, step: person(hair, tunic, trousers, skin, facing, step)


def make_unit_sheet(out, units):
    """units: (name, drawing(facing, step)). Each unit gets a row: four
    standing sprites, then two walking frames per facing that animate into
    each other. Writes units.bmp and its source; returns each unit's sprite
    fields for the character table."""
    sheet = Sheet(12, len(units), T, T)
    fields = {}
    for name, draw in units:
        f = {}
        for facing in FACINGS:
            f["DOO" + facing.upper()] = sheet.add(draw(facing, 0))
        for facing in FACINGS:
            first = len(sheet.sprites) + 1
            sheet.add(draw(facing, 1), nxt=first + 1)
            sheet.add(draw(facing, 2), nxt=first)
            f["DOO" + facing.upper() + "ANI"] = first
        fields[name] = f
    sheet.save(out, "units")
    return fields


# ------------------------------------------------------------------- maps ---

def tiled_map(width, height, tiles, doodads, events, props, tile_count):
    """A Tiled map of a tile layer, a doodad layer and the event objects;
    the doodad tileset's numbers follow the tile_count tiles."""
    def layer(lid, name, data):
        return {"type": "tilelayer", "id": lid, "name": name, "width": width, "height": height,
                "x": 0, "y": 0, "opacity": 1, "visible": True, "data": data}
    return {"type": "map", "version": "1.10", "tiledversion": "1.10.2",
            "orientation": "orthogonal", "renderorder": "right-down", "infinite": False,
            "width": width, "height": height, "tilewidth": T, "tileheight": T,
            "nextlayerid": 4, "nextobjectid": len(events) + 1,
            "properties": [prop(k, v) for k, v in props.items()],
            "tilesets": [{"firstgid": 1, "source": "tiles.tsj"},
                         {"firstgid": tile_count + 1, "source": "doodads.tsj"}],
            "layers": [
                layer(1, "tiles", tiles),
                layer(2, "doodads", doodads),
                {"type": "objectgroup", "id": 3, "name": "events", "draworder": "index",
                 "x": 0, "y": 0, "opacity": 1, "visible": True, "objects": events}]}


def write_map(path, grid, doodads, events, props, tile_count):
    """Writes a map given as rows of tile and doodad numbers."""
    write_json(path, tiled_map(len(grid[0]), len(grid), [c for r in grid for c in r],
                               [c for r in doodads for c in r], events, props, tile_count))


def event(oid, name, x, y, w=1, h=1, **props):
    return {"id": oid, "name": name, "type": "", "rotation": 0, "visible": True,
            "x": x * T, "y": y * T, "width": w * T, "height": h * T,
            "properties": [prop(k, v) for k, v in props.items()]}
