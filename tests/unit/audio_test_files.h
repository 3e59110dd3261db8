// Small sound files made by the tests themselves: a wave file of one level
// and a standard MIDI file of four notes.
#pragma once

#include <cstdint>
#include <string>

namespace yw::test {

inline void PutLE(std::string& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// A mono 16-bit wave file that holds one level throughout: two playbacks of
// it add up to twice the level whatever their offset.
inline std::string LevelWav(double seconds, int16_t level, int rate = 22050) {
  const uint32_t frames = static_cast<uint32_t>(seconds * rate);
  std::string w = "RIFF";
  PutLE(w, 36 + frames * 2, 4);
  w += "WAVEfmt ";
  PutLE(w, 16, 4);
  PutLE(w, 1, 2);  // PCM
  PutLE(w, 1, 2);  // mono
  PutLE(w, static_cast<uint32_t>(rate), 4);
  PutLE(w, static_cast<uint32_t>(rate) * 2, 4);
  PutLE(w, 2, 2);
  PutLE(w, 16, 2);
  w += "data";
  PutLE(w, frames * 2, 4);
  for (uint32_t i = 0; i < frames; ++i) PutLE(w, static_cast<uint16_t>(level), 2);
  return w;
}

// A standard MIDI file of four quarter notes at 120 beats a minute: 2 s.
inline std::string FourNotesMidi() {
  std::string track;
  track += std::string("\x00\xFF\x51\x03\x07\xA1\x20", 7);  // tempo 500000 us
  track += std::string("\x00\xC0\x00", 3);                  // piano
  for (unsigned char note : {60, 64, 67, 72}) {
    track += std::string("\x00\x90", 2) + static_cast<char>(note) + '\x64';
    track += std::string("\x60\x80", 2) + static_cast<char>(note) + '\x00';
  }
  track += std::string("\x00\xFF\x2F\x00", 4);
  std::string m("MThd\x00\x00\x00\x06\x00\x00\x00\x01\x00\x60", 14);
  m += "MTrk";
  for (int shift : {24, 16, 8, 0}) m.push_back(static_cast<char>((track.size() >> shift) & 0xFF));
  return m + track;
}

}  // namespace yw::test

namespace yw::test {

// A standard MIDI file that plays each of the 128 General MIDI programs in
// turn on channel 1 and then the drum channel (channel 10), one slot of
// `slotTicks` each at 100 ticks a second: notes C4 and C5 sound for
// `noteTicks`, then silence until the next slot.
inline std::string AllProgramsMidi(uint32_t slotTicks = 40, uint32_t noteTicks = 25) {
  std::string track = std::string("\x00\xFF\x51\x03\x0F\x42\x40", 7);  // 1 s a quarter
  auto delta = [&](uint32_t ticks) {  // a variable-length quantity below 2^14
    if (ticks >= 128) track.push_back(static_cast<char>(0x80 | (ticks >> 7)));
    track.push_back(static_cast<char>(ticks & 0x7F));
  };
  auto notes = [&](char channel, std::initializer_list<int> keys) {
    for (int key : keys) {
      delta(0);
      track += std::string{static_cast<char>(0x90 | channel), static_cast<char>(key), '\x64'};
    }
    bool first = true;
    for (int key : keys) {
      delta(first ? noteTicks : 0);
      first = false;
      track += std::string{static_cast<char>(0x80 | channel), static_cast<char>(key), '\x00'};
    }
  };
  for (int program = 0; program < 128; ++program) {
    delta(program == 0 ? 0 : slotTicks - noteTicks);
    track += std::string{'\xC0', static_cast<char>(program)};
    notes(0, {60, 72});
  }
  delta(slotTicks - noteTicks);
  track += std::string("\xC9\x00", 2);
  notes(9, {36, 38, 42, 49});  // bass drum, snare, closed hi-hat, crash
  delta(slotTicks - noteTicks);
  track += std::string("\xFF\x2F\x00", 3);
  std::string m("MThd\x00\x00\x00\x06\x00\x00\x00\x01\x00\x64", 14);  // 100 ticks a quarter
  m += "MTrk";
  for (int shift : {24, 16, 8, 0}) m.push_back(static_cast<char>((track.size() >> shift) & 0xFF));
  return m + track;
}

}  // namespace yw::test
