#!/usr/bin/python3
"""Writes the bundled demo game's music and sound effects.

Usage: make_demo_sounds.py [REPOSITORY]   (default: the checkout holding
this script). Writes:
- games-src/hollowmere/town.mid: the village tune (flute, nylon guitar,
  acoustic bass), 16 bars that end where they began, so it loops;
- data/title.mid: the title tune of the program folder (horn, harp,
  strings), played while the player picks a game;
- games-src/hollowmere/wind.wav: a soft wind loop for inside the house;
  its end runs into its start without a seam;
- games-src/hollowmere/door.wav, chime.wav, whoosh.wav: short effects for
  a door, picking something up and a screen effect;
- games-src/thornwick/: vale.mid, woods.mid, fight.mid (the village, the
  wood and the fights) and the effects hit.wav, growl.wav, spell.wav,
  bell.wav, death.wav (a fighter falls), chime.wav and whoosh.wav.

Wave files are 22050 Hz, 16-bit mono. Everything is computed from the note
lists and envelopes below with a fixed random seed, so a run reproduces
the checked-in files byte for byte. The outputs are checked in; the build
never runs this script. Standard library only.
"""

import math
import random
import struct
import sys
import wave
from pathlib import Path

RATE = 22050

# ------------------------------------------------------------------ MIDI ---

TICKS = 192  # per quarter note
NOTE_NAMES = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}
CHORDS = {  # root note (octave 2) and the intervals of the chord
    "C": ("C2", (0, 4, 7)), "D": ("D2", (0, 4, 7)), "E": ("E2", (0, 4, 7)),
    "G": ("G2", (0, 4, 7)), "A": ("A2", (0, 4, 7)),
    "Em": ("E2", (0, 3, 7)), "Am": ("A2", (0, 3, 7)), "Bm": ("B1", (0, 3, 7)),
}


def note_number(name):
    """'C4' is middle C (60); '#' raises and 'b' lowers by a semitone."""
    n = NOTE_NAMES[name[0]]
    rest = name[1:]
    while rest and rest[0] in "#b":
        n += 1 if rest[0] == "#" else -1
        rest = rest[1:]
    return 12 * (int(rest) + 1) + n


def parse_line(text):
    """'D5:1 B4:.5 r:2 | ...' -> [(note or None, beats)]; bars are only for the eye."""
    out = []
    for token in text.replace("|", " ").split():
        name, beats = token.split(":")
        out.append((None if name == "r" else note_number(name), float(beats)))
    return out


def voice(notes, channel, velocity, start_beat=0.0, legato=0.95):
    """Note on/off events (absolute tick, bytes) of a melody line."""
    events, beat = [], start_beat
    for note, beats in notes:
        if note is not None:
            on, off = round(beat * TICKS), round((beat + beats * legato) * TICKS)
            events.append((on, bytes([0x90 | channel, note, velocity])))
            events.append((off, bytes([0x80 | channel, note, 0])))
        beat += beats
    return events


def arpeggio(chords, pattern, channel, velocity, octave=1, step=0.5):
    """Broken chords: per bar, the pattern's chord tones (0 = root, 1 = third,
    2 = fifth, 3 = octave, ...) one `step` of a beat each."""
    line = []
    for chord in chords.split():
        root, intervals = CHORDS[chord]
        base = note_number(root) + 12 * octave
        for k in pattern:
            line.append((base + 12 * (k // 3) + intervals[k % 3], step))
    return voice(line, channel, velocity, legato=1.6)


def bass(chords, channel, velocity):
    """Root on beat one, fifth on beat three of every 4/4 bar."""
    line = []
    for chord in chords.split():
        root, intervals = CHORDS[chord]
        line += [(note_number(root), 2), (note_number(root) + intervals[2], 2)]
    return voice(line, channel, velocity)


def pad(chords, channel, velocity):
    """The chord held for the whole bar, an octave above the bass."""
    events = []
    for bar, chord in enumerate(chords.split()):
        root, intervals = CHORDS[chord]
        for i in intervals:
            events += voice([(note_number(root) + 12 + i, 4)], channel, velocity, 4.0 * bar)
    return events


def midi_file(bpm, programs, events, bars):
    """A format-0 standard MIDI file; the track ends at the end of the last
    bar, so a restart from the beginning keeps the beat."""
    head = [(0, b"\xff\x51\x03" + (60_000_000 // bpm).to_bytes(3, "big")),
            (0, b"\xff\x58\x04\x04\x02\x18\x08")]
    for channel, (program, volume, pan) in programs.items():
        head += [(0, bytes([0xC0 | channel, program])),
                 (0, bytes([0xB0 | channel, 7, volume])),
                 (0, bytes([0xB0 | channel, 10, pan])),
                 (0, bytes([0xB0 | channel, 91, 40]))]  # a little reverb
    end = bars * 4 * TICKS
    # A note still sounding at the end is released there. Note-offs sort
    # before note-ons at the same tick: a repeated note is released before
    # it sounds again.
    body = sorted(((min(t, end), d) for t, d in events), key=lambda e: (e[0], e[1][0] & 0xF0 != 0x80))
    track, now = bytearray(), 0
    for tick, data in head + body + [(end, b"\xff\x2f\x00")]:
        track += var_len(tick - now) + data
        now = tick
    return (b"MThd" + struct.pack(">IHHH", 6, 0, 1, TICKS) +
            b"MTrk" + struct.pack(">I", len(track)) + bytes(track))


def var_len(n):
    out = [n & 0x7F]
    n >>= 7
    while n:
        out.append(0x80 | (n & 0x7F))
        n >>= 7
    return bytes(reversed(out))


# The village tune, in G. Sixteen bars of 4/4; the last bar rests on G so
# that the first bar's D above it follows naturally when the piece loops.
TOWN_CHORDS = "G C D G  Em C D G  Am D G Em  C D G G"
TOWN_MELODY = """
    D5:1 B4:1 G4:1 B4:1 | C5:1 E5:1 D5:1 C5:1 | D5:1 C5:.5 B4:.5 A4:2 | B4:1 G4:1 G4:2
    E5:1 G5:1 F#5:1 E5:1 | E5:1 D5:1 C5:1 E5:1 | D5:1.5 C5:.5 B4:1 A4:1 | G4:3 r:1
    A4:1 C5:1 E5:1 C5:1 | D5:1 F#5:1 A5:2 | G5:1 F#5:1 E5:1 D5:1 | E5:2 B4:2
    C5:1 D5:1 E5:1 G5:1 | F#5:1 E5:1 D5:1 A4:1 | B4:1 D5:1 G5:1 D5:1 | G4:3 r:1
"""


def town_tune():
    events = (voice(parse_line(TOWN_MELODY), 0, 100) +
              arpeggio(TOWN_CHORDS, (0, 2, 3, 4, 5, 4, 3, 2), 1, 62) +
              bass(TOWN_CHORDS, 2, 84))
    programs = {0: (73, 90, 64), 1: (24, 80, 44), 2: (32, 88, 80)}  # flute, guitar, bass
    return midi_file(104, programs, events, 16)


# The title tune, in D: eight slow bars, played twice; the second time a
# flute doubles the horn an octave higher.
TITLE_CHORDS = "D A Bm G D G A D"
TITLE_MELODY = """
    A4:2 D5:2 | E5:3 C#5:1 | D5:2 B4:2 | B4:1 A4:1 G4:2
    F#4:2 A4:2 | B4:2 D5:1 E5:1 | F#5:2 E5:2 | D5:4
"""


def title_tune():
    melody = parse_line(TITLE_MELODY)
    high = [(None if n is None else n + 12, b) for n, b in melody]
    chords = TITLE_CHORDS + " " + TITLE_CHORDS
    events = (voice(melody + melody, 0, 96) + voice(high, 3, 70, start_beat=32) +
              arpeggio(chords, (0, 1, 2, 3, 4, 3, 2, 1), 1, 58) +
              pad(chords, 2, 44) + bass(chords, 4, 76))
    programs = {0: (60, 90, 64), 1: (46, 84, 40), 2: (48, 70, 88), 3: (73, 72, 64),
                4: (32, 84, 64)}  # horn, harp, strings, flute, bass
    return midi_file(72, programs, events, 16)


# ------------------------------------------------------------ wave files ---

def write_wav(path, samples, peak):
    """Scales the samples to the given peak (a fraction of full scale) and
    writes them as 16-bit mono."""
    top = max(abs(s) for s in samples) or 1.0
    gain = peak * 32767 / top
    frames = b"".join(struct.pack("<h", round(s * gain)) for s in samples)
    with wave.open(str(path), "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(frames)


def db(v):
    return 10 ** (v / 20)


class BandPass:
    """A two-pole band-pass filter (constant peak gain) whose centre may
    change from sample to sample."""

    def __init__(self, q):
        self.q = q
        self.x1 = self.x2 = self.y1 = self.y2 = 0.0

    def __call__(self, x, centre):
        w = 2 * math.pi * centre / RATE
        alpha = math.sin(w) / (2 * self.q)
        a0 = 1 + alpha
        y = (alpha * x - alpha * self.x2 + 2 * math.cos(w) * self.y1 - (1 - alpha) * self.y2) / a0
        self.x2, self.x1, self.y2, self.y1 = self.x1, x, self.y1, y
        return y


def envelope(t, attack, length, curve=4.0):
    """Rises linearly over `attack` seconds, then falls exponentially to
    silence at `length`."""
    if t < attack:
        return t / attack
    if t >= length:
        return 0.0
    x = (t - attack) / (length - attack)
    return math.exp(-curve * x) * (1 - x)


def wind(rng, seconds=6.0, fade=0.5):
    """Soft wind: noise through a band-pass whose centre drifts, in slow
    gusts. The drift and the gusts repeat exactly once per loop, and the
    first half second is cross-faded with the noise that follows the loop's
    end, so the loop has no seam."""
    n, f = int(seconds * RATE), int(fade * RATE)
    band, out = BandPass(q=1.8), []
    for i in range(n + f):
        phase = 2 * math.pi * (i % n) / n
        centre = 420 + 180 * math.sin(phase) + 90 * math.sin(3 * phase + 1.0)
        gust = 0.6 + 0.25 * math.sin(2 * phase + 0.5) + 0.15 * math.sin(5 * phase)
        out.append(band(rng.uniform(-1, 1), centre) * gust)
    for i in range(f):
        a = math.sin(0.5 * math.pi * i / f)
        out[i] = out[i] * a + out[n + i] * math.cos(0.5 * math.pi * i / f)
    return out[:n]


def door(rng):
    """A wooden door: a short creak (a buzzing tone wavering in pitch,
    through a band-pass) and then the thud of it closing."""
    n = int(0.6 * RATE)
    band, out, phase = BandPass(q=6), [], 0.0
    for i in range(n):
        t = i / RATE
        creak = 0.0
        if t < 0.32:
            pitch = 140 + 60 * math.sin(2 * math.pi * 7 * t) + 120 * t
            phase += pitch / RATE
            creak = band(((phase % 1.0) * 2 - 1), 900) * envelope(t, 0.04, 0.32, 1.5)
        thud = 0.0
        if t >= 0.3:
            u = t - 0.3
            thud = (math.sin(2 * math.pi * 85 * u) + 0.4 * rng.uniform(-1, 1) * math.exp(-60 * u)) \
                * envelope(u, 0.004, 0.3, 6)
        out.append(0.55 * creak + thud)
    return out


def chime(rng):
    """Picking something up: two bell strokes a fifth apart. Bell partials
    stand at 1, 2.76 and 5.4 times the pitch and fade at different rates."""
    n = int(0.9 * RATE)
    strokes = ((0.0, note_hz("E6")), (0.12, note_hz("B6")))
    out = []
    for i in range(n):
        t = i / RATE
        s = 0.0
        for start, hz in strokes:
            u = t - start
            if u < 0:
                continue
            a = min(1.0, u / 0.003)
            s += a * (math.sin(2 * math.pi * hz * u) * math.exp(-5 * u) +
                      0.5 * math.sin(2 * math.pi * hz * 2.76 * u) * math.exp(-9 * u) +
                      0.25 * math.sin(2 * math.pi * hz * 5.4 * u) * math.exp(-16 * u))
        out.append(s * min(1.0, (0.9 - t) / 0.05))
    return out


def whoosh(rng):
    """A whoosh: noise through a band-pass that sweeps up and back down
    while it swells and fades."""
    n = int(0.7 * RATE)
    band, out = BandPass(q=2.5), []
    for i in range(n):
        x = i / n
        centre = 250 + 2200 * math.sin(math.pi * x) ** 2
        out.append(band(rng.uniform(-1, 1), centre) * math.sin(math.pi * x) ** 1.5)
    return out


def note_hz(name):
    return 440.0 * 2 ** ((note_number(name) - 69) / 12)


# ------------------------------------------------------------- Thornwick ---

# The village tune, in F: eight bars of 4/4
# on recorder, harp and cello that end on F, so the loop closes.
VALE_CHORDS = "F Bb C F  Dm Bb C F"
VALE_MELODY = """
    C5:1 A4:1 F4:1 A4:1 | Bb4:1 D5:1 C5:2 | A4:1 G4:.5 A4:.5 Bb4:1 G4:1 | A4:3 r:1
    D5:1 C5:1 A4:1 F4:1 | G4:1 Bb4:1 D5:2 | C5:1 Bb4:1 A4:1 G4:1 | F4:3 r:1
"""
# The blighted wood, in D minor: a slow oboe over low strings and a drone.
WOODS_CHORDS = "Dm Dm Bb A  Dm Gm A Dm"
WOODS_MELODY = """
    D5:2 F5:1 E5:1 | D5:3 A4:1 | Bb4:2 D5:1 C5:1 | A4:4
    F5:2 E5:1 D5:1 | G5:2 F5:1 E5:1 | C#5:2 E5:2 | D5:4
"""
# The fight: fast, in A minor, brass stabs over a driving bass.
FIGHT_CHORDS = "Am Am F G  Am Am E E"
FIGHT_MELODY = """
    A4:.5 A4:.5 C5:.5 A4:.5 E5:1 D5:1 | C5:.5 B4:.5 A4:1 E4:2 | F4:.5 A4:.5 C5:1 F5:1 E5:1 | D5:1 B4:1 G4:2
    A4:.5 A4:.5 C5:.5 A4:.5 E5:1 G5:1 | F5:.5 E5:.5 D5:1 C5:2 | B4:1 G#4:1 B4:1 D5:1 | E5:2 E4:2
"""
CHORDS.update({"F": ("F2", (0, 4, 7)), "Bb": ("Bb1", (0, 4, 7)), "Dm": ("D2", (0, 3, 7)),
               "Gm": ("G2", (0, 3, 7))})


def vale_tune():
    events = (voice(parse_line(VALE_MELODY), 0, 96) +
              arpeggio(VALE_CHORDS, (0, 1, 2, 3, 2, 1, 0, 2), 1, 60) +
              bass(VALE_CHORDS, 2, 80))
    programs = {0: (74, 90, 64), 1: (46, 80, 44), 2: (42, 84, 80)}  # recorder, harp, cello
    return midi_file(96, programs, events, 8)


def woods_tune():
    events = (voice(parse_line(WOODS_MELODY), 0, 86) + pad(WOODS_CHORDS, 1, 46) +
              bass(WOODS_CHORDS, 2, 70))
    programs = {0: (68, 88, 64), 1: (49, 72, 40), 2: (43, 80, 88)}  # oboe, strings, contrabass
    return midi_file(66, programs, events, 8)


def fight_tune():
    events = (voice(parse_line(FIGHT_MELODY), 0, 104) +
              arpeggio(FIGHT_CHORDS, (0, 2, 0, 2, 0, 2, 0, 2), 1, 70, octave=0) +
              pad(FIGHT_CHORDS, 2, 52))
    programs = {0: (61, 96, 64), 1: (33, 92, 64), 2: (48, 70, 40)}  # brass, bass, strings
    return midi_file(138, programs, events, 8)


def hit(rng):
    """A blow: a short burst of low noise with a knock."""
    n = int(0.25 * RATE)
    band, out = BandPass(q=1.2), []
    for i in range(n):
        t = i / RATE
        knock = math.sin(2 * math.pi * 110 * t) * math.exp(-30 * t)
        out.append(band(rng.uniform(-1, 1), 900) * math.exp(-25 * t) + 0.8 * knock)
    return out


def growl(rng):
    """A growl: a rough low buzz that swells and fades."""
    n = int(0.7 * RATE)
    band, out, phase = BandPass(q=3), [], 0.0
    for i in range(n):
        t = i / RATE
        pitch = 70 + 15 * math.sin(2 * math.pi * 9 * t) + rng.uniform(-8, 8)
        phase += pitch / RATE
        out.append(band((phase % 1.0) * 2 - 1, 420) * math.sin(math.pi * t / 0.7))
    return out


def spell(rng):
    """A spell: a rising shimmer of bell partials."""
    n = int(0.8 * RATE)
    out = []
    for i in range(n):
        t = i / RATE
        s = 0.0
        for k, start in enumerate((0.0, 0.08, 0.16, 0.24)):
            u = t - start
            if u >= 0:
                hz = note_hz(("C6", "E6", "G6", "C7")[k])
                s += math.sin(2 * math.pi * hz * u) * math.exp(-6 * u) * min(1.0, u / 0.004)
        out.append(s + 0.05 * rng.uniform(-1, 1) * math.exp(-4 * t))
    return out


def bell(rng):
    """The chapel bell: one deep stroke with its hum and long decay."""
    n = int(2.0 * RATE)
    hz = note_hz("G3")
    out = []
    for i in range(n):
        t = i / RATE
        a = min(1.0, t / 0.004)
        out.append(a * (0.6 * math.sin(2 * math.pi * hz * 0.5 * t) * math.exp(-1.2 * t) +
                        math.sin(2 * math.pi * hz * t) * math.exp(-2 * t) +
                        0.5 * math.sin(2 * math.pi * hz * 2.4 * t) * math.exp(-3 * t) +
                        0.3 * math.sin(2 * math.pi * hz * 3.0 * t) * math.exp(-5 * t)))
    return out


def death(rng):
    """A fighter falls: a falling tone and a soft thump."""
    n = int(0.6 * RATE)
    out, phase = [], 0.0
    for i in range(n):
        t = i / RATE
        phase += (400 * math.exp(-4 * t) + 80) / RATE
        thump = 0.0 if t < 0.4 else math.sin(2 * math.pi * 70 * (t - 0.4)) * math.exp(-25 * (t - 0.4))
        out.append(math.sin(2 * math.pi * phase) * math.exp(-5 * t) * 0.7 + thump)
    return out


def thornwick(game):
    rng = random.Random(4321)
    (game / "vale.mid").write_bytes(vale_tune())
    (game / "woods.mid").write_bytes(woods_tune())
    (game / "fight.mid").write_bytes(fight_tune())
    for name, make in (("hit", hit), ("growl", growl), ("spell", spell), ("bell", bell),
                       ("death", death), ("chime", chime), ("whoosh", whoosh)):
        write_wav(game / (name + ".wav"), make(rng), db(-6))


# ------------------------------------------------------------------ main ---

def main():
    repo = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parents[2]
    game = repo / "games-src" / "hollowmere"
    rng = random.Random(1234)
    (game / "town.mid").write_bytes(town_tune())
    (repo / "data" / "title.mid").write_bytes(title_tune())
    # Levels: the ambient stays well below the music and the effects.
    write_wav(game / "wind.wav", wind(rng), db(-10))
    write_wav(game / "door.wav", door(rng), db(-6))
    write_wav(game / "chime.wav", chime(rng), db(-6))
    write_wav(game / "whoosh.wav", whoosh(rng), db(-6))
    thornwick(repo / "games-src" / "thornwick")


if __name__ == "__main__":
    main()
