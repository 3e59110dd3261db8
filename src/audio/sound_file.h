// Reading a sound file's kind and size from its header, before any
// decoding: a small file may claim a rate or a length that would take
// hundreds of megabytes to decode, and a file of a kind no decoder takes
// should be named rather than played as silence.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

namespace yw {

enum class SoundKind : uint8_t { Wave, Mpeg, Midi, Other };

// How the game uses the file: an effect is decoded whole into memory; music
// is streamed, or for a wave file the stream cannot take, decoded whole.
enum class SoundUse : uint8_t { Effect, Music };

// A wave file's encoding, as far as the decoders care.
enum class WaveCoding : uint8_t { Pcm, Float, ALaw, MuLaw, MsAdpcm, ImaAdpcm };

struct SoundInfo {
  SoundKind kind = SoundKind::Other;
  // Why the file may not be used; empty when it may be decoded.
  std::string problem;
  // Wave files: the encoding and whether a chunk of odd size (with its pad
  // byte) comes before the samples; either may keep a stream from taking
  // the file.
  WaveCoding coding = WaveCoding::Pcm;
  bool oddChunkBeforeData = false;
  // What decoding the file whole would take at the mixer's output format
  // (44100 Hz, stereo, 16-bit); 0 when the header does not tell.
  uint64_t decodedBytes = 0;
  // MIDI files: the piece's length in milliseconds.
  double lengthMs = -1;
};

// Most memory one sound may take decoded: about 12 minutes of CD-quality
// stereo.
inline constexpr uint64_t kMaxDecodedSoundBytes = uint64_t{128} << 20;
// Sample rates a sound may have.
inline constexpr uint32_t kMinSoundRate = 1000;
inline constexpr uint32_t kMaxSoundRate = 384000;
// Largest MIDI file read; a MIDI file's events are held in memory whole.
inline constexpr uint64_t kMaxMidiFileBytes = uint64_t{8} << 20;

// The header of `head` (the file's first bytes; the whole file for MIDI)
// of a file of `fileSize` bytes. Reads only within `head`.
SoundInfo InspectSound(std::span<const uint8_t> head, uint64_t fileSize, SoundUse use);

// Reads the file's header and inspects it. A file that cannot be read gets
// a problem too.
SoundInfo InspectSoundFile(const std::filesystem::path& file, SoundUse use);

// A standard MIDI file's length in milliseconds, following its tempo
// changes; nullopt when the file is malformed or cut short.
std::optional<double> MidiLengthMs(std::span<const uint8_t> bytes);

// Whether the wave stream decoder can play the file; otherwise music falls
// back to the whole file decoded as a sample.
inline bool StreamTakes(const SoundInfo& info) {
  if (info.kind != SoundKind::Wave) return true;
  return !info.oddChunkBeforeData && info.coding != WaveCoding::MsAdpcm &&
         info.coding != WaveCoding::ImaAdpcm;
}

}  // namespace yw

namespace yw {

// Why the file cannot serve as a SoundFont for the MIDI synthesizer (not a
// regular file, not a RIFF "sfbk" file, cut short); empty when it can.
std::string SoundFontProblem(const std::filesystem::path& file);

}  // namespace yw
