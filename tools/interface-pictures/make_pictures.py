#!/usr/bin/python3
"""Draws the interface pictures of the program folder.

Writes font.bmp, digit.bmp, frame.bmp, hand.bmp and screen.bmp into the
folder given as the first argument (default: data/ of the repository).
With --preview DIR it also writes every picture, enlarged four times, as
PNG into DIR for looking at.

The pictures are checked in; the build never runs this script. It needs
Debian's python3-pil, xfonts-base and fonts-dejavu-core:

- The text glyphs come from the "fixed" 6x10 bitmap font of xfonts-base
  (misc-fixed, public domain: "Public domain font. Share and enjoy.").
- The title lettering is DejaVu Serif Bold from fonts-dejavu-core
  (Bitstream Vera / DejaVu licence, free to use and redistribute).
- Everything else (digits, frame, pointer, scroll markers, landscape) is
  drawn here from the data below.

Layouts, all in unzoomed pixels:
- font.bmp: 32 x 14 cells of 8 x 10; rows 0-6 are the glyphs of codes
  33-255 (Windows-1252), rows 7-13 their masks. Glyphs are coloured on
  black, masks black where the glyph (or its drop shadow) is opaque and
  white elsewhere, for drawing mask with AND and glyph with XOR.
- digit.bmp: 12 x 5 cells of 7 x 10; row 0 the mask (black digits on
  white), rows 1-4 red, green, gold and blue digits on black; columns
  0-9 the digits, 10 minus, 11 plus.
- frame.bmp: nine 8 x 8 pieces (corners, edges, inside) on the left,
  their masks on the right.
- hand.bmp: a 16 x 10 pointer on the left, its mask on the right.
- screen.bmp: the 320 x 240 title picture.
"""

import gzip
import math
import random
import sys
from pathlib import Path

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont, PcfFontFile

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)

FIXED_FONT = "/usr/share/fonts/X11/misc/6x10.pcf.gz"
TITLE_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf"

# ---------------------------------------------------------------- font ---

CELL_W, CELL_H = 8, 10
GLYPH_LEFT = 1  # the 6-pixel glyphs stand one pixel in from the cell's left

# Scroll markers drawn in place of codes 127 (up) and 128 (down).
UP_MARKER = [
    "........",
    "........",
    "...X....",
    "..XXX...",
    ".XXXXX..",
    "XXXXXXX.",
    "........",
    "........",
    "........",
    "........",
]
DOWN_MARKER = [
    "........",
    "........",
    "XXXXXXX.",
    ".XXXXX..",
    "..XXX...",
    "...X....",
    "........",
    "........",
    "........",
    "........",
]


# The fixed font's round dots are small crosses, which read as "+" with a
# shadow when zoomed; these codes get square dots instead.
SQUARE_DOT_LOW = {(2, 6), (3, 6), (2, 7), (3, 7)}
SQUARE_DOT_HIGH = {(2, 3), (3, 3), (2, 4), (3, 4)}
COMMA = {(3, 6), (4, 6), (3, 7), (2, 8)}
DOT_OVERRIDES = {
    ord("."): SQUARE_DOT_LOW,
    ord(":"): SQUARE_DOT_HIGH | SQUARE_DOT_LOW,
    ord(";"): SQUARE_DOT_HIGH | COMMA,
    0xB7: {(2, 4), (3, 4), (2, 5), (3, 5)},  # middle dot
}


def text_colour(y):
    """Cream at the top of a glyph, warming to pale gold at its foot."""
    t = min(max((y - 1) / 8.0, 0.0), 1.0)
    top, foot = (255, 252, 236), (232, 208, 150)
    return tuple(round(a + (b - a) * t) for a, b in zip(top, foot))


def glyph_shapes():
    """Ink of every code 33..255 as a set of (x, y) inside an 8 x 10 cell."""
    font = PcfFontFile.PcfFontFile(gzip.open(FIXED_FONT), "cp1252")
    shapes = {}
    for code in range(33, 256):
        ink = set()
        if code in DOT_OVERRIDES:
            ink = set(DOT_OVERRIDES[code])
        elif code in (127, 128):
            rows = UP_MARKER if code == 127 else DOWN_MARKER
            ink = {(x, y) for y, r in enumerate(rows) for x, ch in enumerate(r) if ch == "X"}
        elif code != 160 and font.glyph[code] is not None:
            (_, _), (left, top, _, _), (_, _, w, h), bitmap = font.glyph[code]
            for y in range(h):
                for x in range(w):
                    if bitmap.getpixel((x, y)):
                        cx, cy = GLYPH_LEFT + left + x, 8 + top + y
                        if 0 <= cx < CELL_W and 0 <= cy < CELL_H:
                            ink.add((cx, cy))
        shapes[code] = ink
    return shapes


def make_font():
    img = Image.new("RGB", (32 * CELL_W, 14 * CELL_H), BLACK)
    px = img.load()
    for y in range(7 * CELL_H, 14 * CELL_H):
        for x in range(32 * CELL_W):
            px[x, y] = WHITE
    for code, ink in glyph_shapes().items():
        i = code - 33
        row, col = divmod(i, 32)
        gx, gy = col * CELL_W, row * CELL_H
        my = (row + 7) * CELL_H
        # A drop shadow one pixel right and down keeps text readable on
        # light pictures; it is opaque black in the mask and the glyph.
        shadow = {(x + 1, y + 1) for x, y in ink} - ink
        for x, y in shadow:
            if x < CELL_W and y < CELL_H:
                px[gx + x, my + y] = BLACK
        for x, y in ink:
            px[gx + x, gy + y] = text_colour(y)
            px[gx + x, my + y] = BLACK
    return img


# -------------------------------------------------------------- digits ---

DIGIT_W, DIGIT_H = 7, 10
DIGITS = {
    "0": [".XXXX.", "XX..XX", "XX..XX", "XX.XXX", "XXX.XX", "XX..XX", "XX..XX", ".XXXX."],
    "1": ["..XX..", ".XXX..", "XXXX..", "..XX..", "..XX..", "..XX..", "..XX..", "XXXXXX"],
    "2": [".XXXX.", "XX..XX", "....XX", "...XX.", "..XX..", ".XX...", "XX....", "XXXXXX"],
    "3": [".XXXX.", "XX..XX", "....XX", "..XXX.", "....XX", "....XX", "XX..XX", ".XXXX."],
    "4": ["...XX.", "..XXX.", ".XXXX.", "XX.XX.", "XXXXXX", "...XX.", "...XX.", "...XX."],
    "5": ["XXXXXX", "XX....", "XXXXX.", "....XX", "....XX", "....XX", "XX..XX", ".XXXX."],
    "6": ["..XXX.", ".XX...", "XX....", "XXXXX.", "XX..XX", "XX..XX", "XX..XX", ".XXXX."],
    "7": ["XXXXXX", "....XX", "...XX.", "...XX.", "..XX..", "..XX..", ".XX...", ".XX..."],
    "8": [".XXXX.", "XX..XX", "XX..XX", ".XXXX.", "XX..XX", "XX..XX", "XX..XX", ".XXXX."],
    "9": [".XXXX.", "XX..XX", "XX..XX", "XX..XX", ".XXXXX", "....XX", "...XX.", ".XXX.."],
    "-": ["......", "......", "......", "XXXXXX", "XXXXXX", "......", "......", "......"],
    "+": ["......", "..XX..", "..XX..", "XXXXXX", "XXXXXX", "..XX..", "..XX..", "......"],
}
DIGIT_ORDER = "0123456789-+"
# Colour sets 1-4, light at the top of a digit and deep at its foot.
DIGIT_COLOURS = [
    ((255, 200, 180), (220, 40, 30)),   # red: damage
    ((210, 255, 200), (40, 190, 60)),   # green: healing
    ((255, 250, 200), (230, 170, 30)),  # gold
    ((210, 240, 255), (50, 130, 240)),  # blue
]


def make_digits():
    img = Image.new("RGB", (12 * DIGIT_W, 5 * DIGIT_H), BLACK)
    px = img.load()
    for x in range(12 * DIGIT_W):
        for y in range(DIGIT_H):
            px[x, y] = WHITE
    for col, ch in enumerate(DIGIT_ORDER):
        for y, line in enumerate(DIGITS[ch]):
            for x, c in enumerate(line):
                if c != "X":
                    continue
                dx, dy = col * DIGIT_W + x, 1 + y
                px[dx, dy] = BLACK
                for s, (top, foot) in enumerate(DIGIT_COLOURS, start=1):
                    t = y / 7.0
                    px[dx, s * DIGIT_H + dy] = tuple(
                        round(a + (b - a) * t) for a, b in zip(top, foot))
    return img


# --------------------------------------------------------------- frame ---

PIECE = 8
RADIUS = 7.0
# From the outside in: a dark rim, a bright gold line, a deeper gold line,
# a dark line, then the blue inside.
BORDER = [(16, 12, 24), (250, 232, 168), (196, 156, 76), (44, 30, 40)]
INSIDE_TOP, INSIDE_FOOT = (44, 62, 150), (14, 22, 78)


def inside_colour(t):
    return tuple(round(a + (b - a) * t) for a, b in zip(INSIDE_TOP, INSIDE_FOOT))


def frame_pixel(x, y, size):
    """Colour of (x, y) of a size x size rounded window, or None outside."""
    cx, cy = x + 0.5, y + 0.5
    ex = min(max(cx, RADIUS), size - RADIUS)
    ey = min(max(cy, RADIUS), size - RADIUS)
    if (ex, ey) != (cx, cy):
        depth = RADIUS - math.hypot(cx - ex, cy - ey)
    else:
        depth = min(cx, cy, size - cx, size - cy)
    if depth < 0.0:
        return None
    band = int(depth)
    return BORDER[band] if band < len(BORDER) else "inside"


def make_frame():
    size = 3 * PIECE
    img = Image.new("RGB", (2 * size, size), BLACK)
    px = img.load()
    for y in range(size):
        # The inside's gradient runs over the middle row of pieces, which
        # are stretched over the window's height; the top row keeps the
        # gradient's first colour and the bottom row its last.
        block, ly = divmod(y, PIECE)
        t = 0.0 if block == 0 else 1.0 if block == 2 else (ly + 0.5) / PIECE
        for x in range(size):
            c = frame_pixel(x, y, size)
            if c is None:
                px[size + x, y] = WHITE
                continue
            px[x, y] = inside_colour(t) if c == "inside" else c
            px[size + x, y] = BLACK
    return img


# ------------------------------------------------------------- pointer ---

HAND = [
    "..KKKK..........",
    ".KWWWWKKKKKKK...",
    "KCKWWWWWWWWWWK..",
    "KCKWWWWSSSSSSK..",
    "KCKWWWKKKKKKK...",
    "KCKWWWWWWK......",
    "KCKWWWSSSK......",
    "KCKWWWWWWK......",
    ".KKSWWSSK.......",
    "..KKKKKK........",
]
HAND_COLOURS = {"K": (20, 14, 10), "W": (255, 250, 235), "S": (196, 180, 150),
                "C": (200, 150, 50)}


def make_hand():
    w, h = len(HAND[0]), len(HAND)
    img = Image.new("RGB", (2 * w, h), BLACK)
    px = img.load()
    for y, line in enumerate(HAND):
        for x, c in enumerate(line):
            if c == ".":
                px[w + x, y] = WHITE
            else:
                px[x, y] = HAND_COLOURS[c]
                px[w + x, y] = BLACK
    return img


# --------------------------------------------------------------- title ---

TITLE_W, TITLE_H = 320, 240


def lerp(a, b, t):
    return tuple(round(p + (q - p) * t) for p, q in zip(a, b))


def sky_colour(y):
    stops = [(0, (8, 8, 32)), (70, (30, 22, 74)), (130, (112, 60, 110)),
             (165, (214, 118, 92)), (185, (250, 186, 110))]
    for (y0, c0), (y1, c1) in zip(stops, stops[1:]):
        if y <= y1:
            return lerp(c0, c1, (y - y0) / (y1 - y0))
    return stops[-1][1]


def ridge(rng, y_base, roughness, span):
    """A mountain line: one height per column by midpoint displacement."""
    n = 512
    h = [0.0] * (n + 1)
    h[0], h[n] = rng.uniform(-span, span), rng.uniform(-span, span)
    step, scale = n, span
    while step > 1:
        half = step // 2
        for i in range(half, n, step):
            h[i] = (h[i - half] + h[i + half]) / 2 + rng.uniform(-scale, scale)
        step, scale = half, scale * roughness
    return [y_base + h[x * n // TITLE_W] for x in range(TITLE_W)]


def fill_below(px, line, colour_at):
    for x in range(TITLE_W):
        for y in range(max(0, int(line[x])), TITLE_H):
            px[x, y] = colour_at(x, y)


def draw_castle(draw, x0, base):
    dark = (12, 9, 22)
    # Keep, walls and towers with pointed roofs.
    draw.rectangle([x0 + 10, base - 34, x0 + 40, base], fill=dark)
    draw.rectangle([x0, base - 20, x0 + 56, base], fill=dark)
    for tx, tw, th in ((x0 - 2, 9, 30), (x0 + 50, 9, 28), (x0 + 21, 9, 48)):
        draw.rectangle([tx, base - th, tx + tw, base], fill=dark)
        draw.polygon([(tx - 2, base - th), (tx + tw + 2, base - th),
                      (tx + tw / 2, base - th - 12)], fill=dark)
    for bx in range(x0 + 10, x0 + 41, 5):
        draw.rectangle([bx, base - 37, bx + 2, base - 34], fill=dark)
    draw.line([(x0 + 25.5, base - 60), (x0 + 25.5, base - 68)], fill=dark)
    draw.polygon([(x0 + 26, base - 68), (x0 + 33, base - 66), (x0 + 26, base - 64)],
                 fill=(150, 40, 40))
    for wx, wy in ((x0 + 24, base - 40), (x0 + 15, base - 26), (x0 + 34, base - 24),
                   (x0 + 2, base - 18), (x0 + 53, base - 15), (x0 + 27, base - 20)):
        draw.rectangle([wx, wy, wx + 1, wy + 2], fill=(255, 204, 96))


def draw_title_text(img):
    text = "Yarrowind"
    font = ImageFont.truetype(TITLE_FONT, 40)
    box = font.getbbox(text)
    tw, th = box[2] - box[0], box[3] - box[1]
    x = (TITLE_W - tw) // 2 - box[0]
    y = 34 - box[1]
    # Soft dark glow behind the letters, then a hard outline, then a gold
    # gradient fill.
    glow = Image.new("L", img.size, 0)
    ImageDraw.Draw(glow).text((x, y), text, font=font, fill=255, stroke_width=4)
    glow = glow.filter(ImageFilter.GaussianBlur(3))
    img.paste((10, 6, 24), (0, 0), glow.point(lambda v: v * 3 // 4))
    outline = Image.new("L", img.size, 0)
    ImageDraw.Draw(outline).text((x, y), text, font=font, fill=255, stroke_width=2)
    img.paste((40, 22, 10), (0, 0), outline)
    fill = Image.new("L", img.size, 0)
    ImageDraw.Draw(fill).text((x, y), text, font=font, fill=255)
    gold = Image.new("RGB", img.size)
    gpx = gold.load()
    top, bottom = 34, 34 + th
    for yy in range(img.size[1]):
        t = min(max((yy - top) / max(th, 1), 0.0), 1.0)
        c = lerp((255, 248, 200), (255, 206, 90), t * 2) if t < 0.5 else \
            lerp((255, 206, 90), (190, 110, 30), (t - 0.5) * 2)
        for xx in range(img.size[0]):
            gpx[xx, yy] = c
    img.paste(gold, (0, 0), fill)
    # A thin ornament line under the name.
    draw = ImageDraw.Draw(img)
    ly = bottom + 10
    cx = TITLE_W // 2
    draw.line([(cx - 70, ly), (cx - 8, ly)], fill=(214, 170, 90))
    draw.line([(cx + 8, ly), (cx + 70, ly)], fill=(214, 170, 90))
    draw.polygon([(cx, ly - 4), (cx + 4, ly), (cx, ly + 4), (cx - 4, ly)], fill=(255, 226, 140))


def make_screen():
    rng = random.Random(1207)
    img = Image.new("RGB", (TITLE_W, TITLE_H))
    px = img.load()
    for y in range(TITLE_H):
        c = sky_colour(y)
        for x in range(TITLE_W):
            px[x, y] = c
    # Stars, fading towards the glow of the horizon.
    for _ in range(170):
        x, y = rng.randrange(TITLE_W), int(rng.random() ** 1.6 * 130)
        b = rng.uniform(0.35, 1.0) * (1 - y / 150)
        px[x, y] = lerp(px[x, y], (255, 250, 230), b)
    for x, y in ((40, 22), (226, 118), (118, 14), (300, 40)):
        for dx, dy in ((0, 0), (1, 0), (-1, 0), (0, 1), (0, -1)):
            px[x + dx, y + dy] = (255, 255, 240) if (dx, dy) == (0, 0) else lerp(
                px[x + dx, y + dy], (220, 220, 255), 0.6)
    # A crescent moon with a faint halo, clear of the name above it.
    draw = ImageDraw.Draw(img)
    mx, my, r = 280, 100, 10
    halo = Image.new("L", img.size, 0)
    ImageDraw.Draw(halo).ellipse([mx - 20, my - 20, mx + 20, my + 20], fill=60)
    halo = halo.filter(ImageFilter.GaussianBlur(7))
    img.paste((200, 190, 255), (0, 0), halo)
    moon = Image.new("L", img.size, 0)
    mdraw = ImageDraw.Draw(moon)
    mdraw.ellipse([mx - r, my - r, mx + r, my + r], fill=255)
    mdraw.ellipse([mx - r + 6, my - r - 4, mx + r + 6, my + r - 4], fill=0)
    img.paste((255, 246, 210), (0, 0), moon)
    # Three ranges of mountains, far to near, and the hill of the castle.
    far = ridge(rng, 160, 0.55, 26)
    fill_below(px, far, lambda x, y: lerp((96, 62, 120), (150, 86, 116), (y - 130) / 60))
    mid = ridge(rng, 178, 0.5, 18)
    fill_below(px, mid, lambda x, y: lerp((52, 34, 82), (70, 40, 84), (y - 150) / 60))
    hill = [200 - 16 * math.exp(-((x - 70) / 55.0) ** 2) + 3 * math.sin(x / 23.0)
            for x in range(TITLE_W)]
    draw_castle(draw, 42, int(hill[70]) + 2)
    fill_below(px, hill, lambda x, y: lerp((24, 18, 44), (12, 10, 24), (y - 180) / 60))
    # Yarrow in the foreground meadow: pale flower heads on dark stems,
    # bent a little by the wind.
    for _ in range(46):
        x = rng.randrange(4, TITLE_W - 4)
        base = rng.randrange(212, 241)
        if x > 196 and base > 214:
            continue  # keep the corner of the version line clear
        height = rng.randrange(8, 18)
        lean = rng.uniform(0.5, 2.5)
        top = (x + lean * height / 6, base - height)
        draw.line([(x, base), top], fill=(30, 42, 34))
        for _ in range(5):
            fx = top[0] + rng.uniform(-2.5, 2.5)
            fy = top[1] + rng.uniform(-1.5, 1.0)
            shade = rng.uniform(0.6, 1.0)
            px[int(fx) % TITLE_W, max(0, int(fy))] = lerp((40, 36, 60), (250, 244, 226), shade)
    for _ in range(260):
        x, y = rng.randrange(TITLE_W), rng.randrange(204, TITLE_H)
        if px[x, y][0] < 40:
            draw.line([(x, y), (x + rng.choice((1, 2)), y - rng.randrange(2, 5))],
                      fill=(28, 34, 40))
    draw_title_text(img)
    return img


# ------------------------------------------------------------- preview ---

def masked(dst, src, mask_box, piece_box, at, size=None):
    """Mask with AND, then piece with XOR, as the program draws them."""
    mask, piece = src.crop(mask_box), src.crop(piece_box)
    if size:
        mask, piece = mask.resize(size, Image.NEAREST), piece.resize(size, Image.NEAREST)
    box = (at[0], at[1], at[0] + mask.width, at[1] + mask.height)
    region = ImageChops.multiply(dst.crop(box), mask)
    dst.paste(ImageChops.add(region, piece), box)


def preview_text(dst, font, text, x, y, fw, fh):
    for k, ch in enumerate(text.encode("cp1252")):
        code = 160 if ch == 32 else ch
        row, col = divmod(code - 33, 32)
        sx = col * fw
        masked(dst, font, (sx, (row + 7) * fh, sx + fw, (row + 8) * fh),
               (sx, row * fh, sx + fw, (row + 1) * fh), (x + k * fw, y))


def preview_frame(dst, frame, x, y, w, h, cw):
    """Corners through their masks, edges and inside stretched opaquely."""
    size = 3 * cw
    for px, py in ((0, 0), (2, 0), (0, 2), (2, 2)):
        sx, sy = px * cw, py * cw
        masked(dst, frame, (size + sx, sy, size + sx + cw, sy + cw), (sx, sy, sx + cw, sy + cw),
               (x + (w - cw) * px // 2, y + (h - cw) * py // 2))
    iw, ih = w - 2 * cw, h - 2 * cw
    pieces = [((cw, 0), (x + cw, y), (iw, cw)), ((cw, 2 * cw), (x + cw, y + h - cw), (iw, cw)),
              ((0, cw), (x, y + cw), (cw, ih)), ((2 * cw, cw), (x + w - cw, y + cw), (cw, ih)),
              ((cw, cw), (x + cw, y + cw), (iw, ih))]
    for (sx, sy), at, sz in pieces:
        dst.paste(frame.crop((sx, sy, sx + cw, sy + cw)).resize(sz, Image.NEAREST), at)


def make_preview(pictures, zoom):
    """The title picture with the title menu, a message and numbers on it,
    at the given zoom, for judging the pictures together."""
    big = {n: im.resize((im.width * zoom, im.height * zoom), Image.NEAREST)
           for n, im in pictures.items()}
    dst = big["screen.bmp"].copy()
    fw, fh, cw = CELL_W * zoom, CELL_H * zoom, PIECE * zoom
    hand = big["hand.bmp"]
    hw = hand.width // 2
    # The title menu, centred near the bottom.
    w, h = 6 * fw + 2 * cw + hw, 2 * cw + 7 * fh
    x, y = (dst.width - w) // 2, dst.height - (h + 10 * zoom)
    preview_frame(dst, big["frame.bmp"], x, y, w, h, cw)
    for k, entry in enumerate(("New", "Load", "Quit")):
        px, py = x + cw + fw, y + cw + fh + k * 2 * fh
        preview_text(dst, big["font.bmp"], entry, px + hw, py, fw, fh)
        if k == 0:
            masked(dst, hand, (hw, 0, 2 * hw, hand.height), (0, 0, hw, hand.height), (px, py))
    preview_text(dst, big["font.bmp"], "Version 0.1.0", dst.width - 14 * fw,
                 dst.height - 2 * fh, fw, fh)
    # A message box with accented text and the page marker.
    mw, mh = dst.width - 20 * zoom, 4 * fh + 2 * cw
    preview_frame(dst, big["frame.bmp"], 10 * zoom, 80 * zoom, mw, mh, cw)
    preview_text(dst, big["font.bmp"], "Welcome, traveller! \u00c0 la caf\u00e9 \u00fcber M\u00f6we \u00e6\u00f8\u00e5 \u00a3 \u20ac",
                 10 * zoom + cw + fw, 80 * zoom + cw + fh // 2, fw, fh)
    preview_text(dst, big["font.bmp"], "The quick brown fox jumps over the lazy dog.",
                 10 * zoom + cw + fw, 80 * zoom + cw + fh // 2 + fh, fw, fh)
    preview_text(dst, big["font.bmp"], "{}~@#%&*()[]{{}}<>?/_ " .format("0123456789"),
                 10 * zoom + cw + fw, 80 * zoom + cw + fh // 2 + 2 * fh, fw, fh)
    mark_x = 10 * zoom + mw - cw - 2 * fw
    for k, code in enumerate((127, 128)):
        row, col = divmod(code - 33, 32)
        sx = col * fw
        masked(dst, big["font.bmp"], (sx, (row + 7) * fh, sx + fw, (row + 8) * fh),
               (sx, row * fh, sx + fw, (row + 1) * fh), (mark_x, 80 * zoom + cw + k * 2 * fh))
    # Numbers in every style: black, white (through the mask) and the four colours.
    digits = big["digit.bmp"]
    dw, dh = digits.width // 12, digits.height // 5
    for style, value in enumerate(("-25", "+7", "-103", "+42", "+8", "-61")):
        for k, ch in enumerate(value):
            col = DIGIT_ORDER.index(ch)
            at = (20 * zoom + style * 30 * zoom + k * dw, 150 * zoom)
            region = (at[0], at[1], at[0] + dw, at[1] + dh)
            cell = digits.crop((col * dw, 0, (col + 1) * dw, dh))
            if style == 1:
                dst.paste(ImageChops.lighter(dst.crop(region), ImageChops.invert(cell)), region)
                continue
            dst.paste(ImageChops.multiply(dst.crop(region), cell), region)
            if style >= 2:
                row = style - 1
                colour = digits.crop((col * dw, row * dh, (col + 1) * dw, (row + 1) * dh))
                dst.paste(ImageChops.add(dst.crop(region), colour), region)
    return dst


# ---------------------------------------------------------------- main ---

def main(argv):
    repo = Path(__file__).resolve().parents[2]
    out = repo / "data"
    preview = None
    args = list(argv)
    if "--preview" in args:
        i = args.index("--preview")
        preview = Path(args[i + 1])
        del args[i:i + 2]
    if args:
        out = Path(args[0])
    pictures = {
        "font.bmp": make_font(),
        "digit.bmp": make_digits(),
        "frame.bmp": make_frame(),
        "hand.bmp": make_hand(),
        "screen.bmp": make_screen(),
    }
    out.mkdir(parents=True, exist_ok=True)
    for name, img in pictures.items():
        img.save(out / name)
        if preview:
            preview.mkdir(parents=True, exist_ok=True)
            img.resize((img.width * 4, img.height * 4), Image.NEAREST).save(
                preview / (name[:-4] + ".png"))
    if preview:
        for zoom in (1, 2):
            make_preview(pictures, zoom).save(preview / "together-zoom{}.png".format(zoom))


if __name__ == "__main__":
    main(sys.argv[1:])
