#!/usr/bin/python3
"""Runs make_demo_sounds.py into a scratch folder and compares what it
writes with the checked-in sounds: the demo's sources, the built demo and
the program folder's title music. Exits 1 naming every file that differs."""

import subprocess
import sys
import tempfile
from pathlib import Path

HERE = Path(__file__).resolve().parent
SOUNDS = {"hollowmere": ["town.mid", "wind.wav", "door.wav", "chime.wav", "whoosh.wav"],
          "thornwick": ["vale.mid", "woods.mid", "fight.mid", "hit.wav", "growl.wav", "spell.wav",
                        "bell.wav", "death.wav", "chime.wav", "whoosh.wav"]}


def main():
    repo = Path(sys.argv[1]) if len(sys.argv) > 1 else HERE.parents[1]
    with tempfile.TemporaryDirectory() as tmp:
        scratch = Path(tmp)
        for game in SOUNDS:
            (scratch / "games-src" / game).mkdir(parents=True)
        (scratch / "data").mkdir()
        subprocess.run([sys.executable, str(HERE / "make_demo_sounds.py"), str(scratch)], check=True)
        pairs = [(scratch / "data" / "title.mid", repo / "data" / "title.mid")]
        for game, names in SOUNDS.items():
            for name in names:
                made = scratch / "games-src" / game / name
                pairs += [(made, repo / "games-src" / game / name),
                          (made, repo / "data" / "games" / game / name)]
        differ = [str(kept) for made, kept in pairs
                  if not kept.is_file() or made.read_bytes() != kept.read_bytes()]
    for name in differ:
        print(f"{name}: not what tools/demo-sound/make_demo_sounds.py writes")
    return 1 if differ else 0


if __name__ == "__main__":
    sys.exit(main())
