#!/usr/bin/python3
"""Draws the program's icon: a wanderer on a meadow path beside a tree,
16 x 16 art pixels, each drawn as 4 x 4 screen pixels.

Writes packaging/yarrowind.png (64 x 64, RGBA) or the file given as the
first argument. The icon is checked in; the build never runs this script.
It needs nothing beyond Python's standard library.
"""
import struct
import sys
import zlib
from pathlib import Path

ART = [
    "..kkkkkkkkkkkk..",
    ".kssssssssssssk.",
    "kssssssssGGGsssk",
    "kssssssssGgGGssk",
    "ksssssssGGGgGGsk",
    "ksssshhsGgGGGgsk",
    "kssshhhhsGGgGssk",
    "kgggsffsgggTgggk",
    "kgggrrrrgggTgggk",
    "kggbrrrrbggTgggk",
    "kgggrrrrggppgggk",
    "kgggbbbbgppggggk",
    "kgggb..bppgggggk",
    "kgggppppppggggg.",
    ".kppppppgggggkk.",
    "..kkkkkkkkkkkk..",
]
COLOURS = {
    ".": (0, 0, 0, 0),
    "k": (32, 24, 40, 255),      # outline
    "s": (112, 168, 224, 255),   # sky
    "G": (40, 120, 56, 255),     # leaves
    "g": (88, 168, 72, 255),     # meadow, light leaves
    "T": (112, 72, 40, 255),     # trunk
    "h": (232, 184, 64, 255),    # hat
    "f": (240, 200, 160, 255),   # face
    "r": (184, 48, 48, 255),     # cloak
    "b": (56, 48, 96, 255),      # boots, belt
    "p": (208, 184, 120, 255),   # path
}
SCALE = 4


def png(width, height, rows):
    """A PNG file of 8-bit RGBA rows (bytes of 4 * width each)."""
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    raw = b"".join(b"\0" + row for row in rows)
    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else \
        Path(__file__).resolve().parents[2] / "packaging" / "yarrowind.png"
    size = len(ART)
    rows = []
    for line in ART:
        assert len(line) == size, line
        row = b"".join(bytes(COLOURS[c]) * SCALE for c in line)
        rows += [row] * SCALE
    out.write_bytes(png(size * SCALE, size * SCALE, rows))


if __name__ == "__main__":
    main()
