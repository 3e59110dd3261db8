#!/usr/bin/python3
"""Runs the art generators into a scratch folder and compares every file
they write with the one checked in under games-src/<game>/.

Exit 0 when all match, 1 with the list of files that differ or are missing.
"""

import filecmp
import subprocess
import sys
import tempfile
from pathlib import Path

HERE = Path(__file__).resolve().parent
GAMES = {"hollowmere": "make_demo_art.py", "gullpoint": "make_gullpoint_art.py",
         "thornwick": "make_thornwick_art.py"}


def main():
    sources = Path(sys.argv[1]) if len(sys.argv) > 1 else HERE.parents[1] / "games-src"
    problems = []
    for game, script in GAMES.items():
        with tempfile.TemporaryDirectory() as scratch:
            subprocess.run([sys.executable, str(HERE / script), scratch], check=True,
                           stdout=subprocess.DEVNULL, cwd=HERE)
            for made in sorted(Path(scratch).iterdir()):
                kept = sources / game / made.name
                if not kept.exists():
                    problems.append(f"{game}/{made.name}: generated but not checked in")
                elif not filecmp.cmp(made, kept, shallow=False):
                    problems.append(f"{game}/{made.name}: differs from what the generator draws")
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
