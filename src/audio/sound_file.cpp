#include "audio/sound_file.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <utility>
#include <vector>

namespace yw {

namespace {

using Bytes = std::span<const uint8_t>;

// The mixer's output: 44100 stereo 16-bit frames a second.
constexpr uint64_t kOutputRate = 44100;
constexpr uint64_t kOutputFrameBytes = 4;
constexpr uint32_t kMaxChannels = 8;
// Wave and MPEG headers are looked for in the file's first megabyte.
constexpr size_t kHeadBytes = size_t{1} << 20;

uint32_t Le16(Bytes b, size_t at) { return b[at] | (uint32_t{b[at + 1]} << 8); }
uint32_t Le32(Bytes b, size_t at) { return Le16(b, at) | (Le16(b, at + 2) << 16); }
uint32_t Be16(Bytes b, size_t at) { return (uint32_t{b[at]} << 8) | b[at + 1]; }
uint32_t Be32(Bytes b, size_t at) { return (Be16(b, at) << 16) | Be16(b, at + 2); }

bool StartsWith(Bytes b, size_t at, std::string_view tag) {
  if (at > b.size() || b.size() - at < tag.size()) return false;
  return std::equal(tag.begin(), tag.end(), b.begin() + static_cast<std::ptrdiff_t>(at),
                    [](char c, uint8_t u) { return static_cast<uint8_t>(c) == u; });
}

std::string Megabytes(uint64_t bytes) { return std::to_string((bytes + (1 << 20) - 1) >> 20); }

// Bytes of output that `frames` frames at `rate` become.
uint64_t DecodedBytes(uint64_t frames, uint32_t rate) {
  if (rate == 0) return 0;
  return (frames * kOutputRate + rate - 1) / rate * kOutputFrameBytes;
}

std::string CheckRateAndChannels(uint32_t rate, uint32_t channels) {
  if (rate < kMinSoundRate || rate > kMaxSoundRate)
    return "sample rate " + std::to_string(rate) + " Hz is outside " +
           std::to_string(kMinSoundRate) + " to " + std::to_string(kMaxSoundRate) + " Hz";
  if (channels < 1 || channels > kMaxChannels)
    return std::to_string(channels) + " channels (a sound may have 1 to 8)";
  return {};
}

// --- Wave files ------------------------------------------------------------

struct WaveFormat {
  uint32_t tag = 0, channels = 0, rate = 0, blockAlign = 0, bits = 0, framesPerBlock = 0;
};

std::string WaveTagName(uint32_t tag) {
  switch (tag) {
    case 0x0031:
      return "GSM 6.10";
    case 0x0050:
      return "MPEG";
    case 0x0055:
      return "MP3";
    case 0x0022:
      return "TrueSpeech";
    case 0x0040:
      return "G.721 ADPCM";
    case 0x0161:
      return "Windows Media Audio";
    default:
      break;
  }
  char hex[8];
  std::snprintf(hex, sizeof hex, "0x%04X", tag);
  return hex;
}

WaveFormat ReadWaveFormat(Bytes fmt) {
  WaveFormat f;
  f.tag = Le16(fmt, 0);
  f.channels = Le16(fmt, 2);
  f.rate = Le32(fmt, 4);
  f.blockAlign = Le16(fmt, 12);
  f.bits = Le16(fmt, 14);
  // WAVE_FORMAT_EXTENSIBLE names the encoding in the first two bytes of its
  // sub-format.
  if (f.tag == 0xFFFE && fmt.size() >= 26) f.tag = Le16(fmt, 24);
  if ((f.tag == 0x0002 || f.tag == 0x0011) && fmt.size() >= 20) f.framesPerBlock = Le16(fmt, 18);
  return f;
}

// The encoding and the frames a block of it holds; a problem when the
// decoders do not take it.
std::string ClassifyWave(WaveFormat& f, WaveCoding& coding) {
  const uint32_t b = f.bits, ch = f.channels;
  switch (f.tag) {
    case 0x0001:
      coding = WaveCoding::Pcm;
      if (b != 8 && b != 16 && b != 24 && b != 32) break;
      f.framesPerBlock = 1;
      return {};
    case 0x0003:
      coding = WaveCoding::Float;
      if (b != 32 && b != 64) break;
      f.framesPerBlock = 1;
      return {};
    case 0x0006:
    case 0x0007:
      coding = f.tag == 6 ? WaveCoding::ALaw : WaveCoding::MuLaw;
      if (b != 8) break;
      f.framesPerBlock = 1;
      return {};
    case 0x0002:
      coding = WaveCoding::MsAdpcm;
      if (ch == 0 || f.blockAlign < 7 * ch) return "MS-ADPCM blocks too small";
      if (f.framesPerBlock == 0) f.framesPerBlock = (f.blockAlign - 7 * ch) * 2 / ch + 2;
      return {};
    case 0x0011:
      coding = WaveCoding::ImaAdpcm;
      if (ch == 0 || f.blockAlign < 4 * ch) return "IMA-ADPCM blocks too small";
      if (f.framesPerBlock == 0) f.framesPerBlock = (f.blockAlign - 4 * ch) * 2 / ch + 1;
      return {};
    default:
      return "unsupported WAV encoding " + WaveTagName(f.tag);
  }
  return "unsupported WAV sample size of " + std::to_string(b) + " bits";
}

SoundInfo InspectWave(Bytes b, uint64_t fileSize, SoundUse use) {
  SoundInfo info;
  info.kind = SoundKind::Wave;
  if (!StartsWith(b, 8, "WAVE")) return info.problem = "not a WAV file (RIFF without WAVE)", info;
  std::optional<WaveFormat> format;
  std::optional<uint64_t> dataBytes;
  bool oddSeen = false;
  size_t at = 12;
  while (!dataBytes) {
    if (at + 8 > b.size()) {
      info.problem = at + 8 > fileSize ? "WAV file without sound data"
                                       : "WAV sound data not within the file's first megabyte";
      return info;
    }
    const uint32_t size = Le32(b, at + 4);
    if (StartsWith(b, at, "fmt ")) {
      if (size < 16 || at + 8 + size > b.size()) return info.problem = "WAV format cut short", info;
      format = ReadWaveFormat(b.subspan(at + 8, size));
    } else if (StartsWith(b, at, "data")) {
      dataBytes = std::min<uint64_t>(size, fileSize - (at + 8));
      break;
    }
    oddSeen = oddSeen || (size & 1) != 0;
    at += 8 + uint64_t{size} + (size & 1);
  }
  if (!format) return info.problem = "WAV file without a format before its sound data", info;
  info.oddChunkBeforeData = oddSeen;
  if (std::string p = ClassifyWave(*format, info.coding); !p.empty())
    return info.problem = std::move(p), info;
  if (std::string p = CheckRateAndChannels(format->rate, format->channels); !p.empty())
    return info.problem = std::move(p), info;
  if (format->blockAlign == 0) return info.problem = "WAV block size of 0", info;
  const uint64_t blocks = (*dataBytes + format->blockAlign - 1) / format->blockAlign;
  info.decodedBytes = DecodedBytes(blocks * format->framesPerBlock, format->rate);
  const bool whole = use == SoundUse::Effect || !StreamTakes(info);
  if (whole && info.decodedBytes > kMaxDecodedSoundBytes)
    info.problem = "would take " + Megabytes(info.decodedBytes) + " MB decoded (at most " +
                   Megabytes(kMaxDecodedSoundBytes) + " MB)";
  return info;
}

// --- MPEG audio ------------------------------------------------------------

struct MpegFrame {
  uint32_t bitrate = 0;  // bits a second; 0 for free format
  uint32_t rate = 0;
  uint32_t channels = 0;
  uint32_t bytes = 0;  // the frame's length; 0 for free format
};

std::optional<MpegFrame> ReadMpegFrame(Bytes b, size_t at) {
  if (at + 4 > b.size() || b[at] != 0xFF || (b[at + 1] & 0xE0) != 0xE0) return std::nullopt;
  const uint32_t version = (b[at + 1] >> 3) & 3;  // 0: 2.5, 2: 2, 3: 1
  const uint32_t layer = (b[at + 1] >> 1) & 3;    // 1: III, 2: II, 3: I
  const uint32_t bitrateIndex = b[at + 2] >> 4, rateIndex = (b[at + 2] >> 2) & 3;
  if (version == 1 || layer == 0 || bitrateIndex == 15 || rateIndex == 3) return std::nullopt;
  static constexpr std::array<std::array<uint16_t, 15>, 5> kKbps = {{
      {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},  // 1, I
      {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},     // 1, II
      {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},      // 1, III
      {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},     // 2, I
      {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},          // 2, II and III
  }};
  static constexpr std::array<uint32_t, 3> kRates = {44100, 48000, 32000};
  const bool mpeg1 = version == 3;
  const size_t table = mpeg1 ? 3 - layer : (layer == 3 ? 3 : 4);
  MpegFrame f;
  f.bitrate = kKbps[table][bitrateIndex] * 1000u;
  f.rate = kRates[rateIndex] >> (version == 3 ? 0 : version == 2 ? 1 : 2);
  f.channels = (b[at + 3] >> 6) == 3 ? 1 : 2;
  const uint32_t padding = (b[at + 2] >> 1) & 1;
  if (f.bitrate != 0) {
    if (layer == 3)
      f.bytes = (12 * f.bitrate / f.rate + padding) * 4;
    else
      f.bytes = (layer == 1 && !mpeg1 ? 72 : 144) * f.bitrate / f.rate + padding;
  }
  return f;
}

SoundInfo InspectMpeg(Bytes b, uint64_t fileSize, SoundUse use) {
  SoundInfo info;
  info.kind = SoundKind::Mpeg;
  size_t at = 0;
  if (StartsWith(b, 0, "ID3") && b.size() >= 10) {
    // An ID3v2 tag: its size in four 7-bit bytes, a footer of 10 more.
    const uint32_t size =
        (uint32_t{b[6]} << 21) | (uint32_t{b[7]} << 14) | (uint32_t{b[8]} << 7) | b[9];
    at = 10 + size + ((b[5] & 0x10) ? 10 : 0);
  }
  // The first frame whose successor, when within reach, starts where its
  // length says: a lone sync pattern in a tag or junk does not count.
  const size_t end = std::min(b.size(), at + (size_t{64} << 10));
  for (; at < end; ++at) {
    const auto frame = ReadMpegFrame(b, at);
    if (!frame) continue;
    if (frame->bytes != 0 && at + frame->bytes + 4 <= b.size() &&
        !ReadMpegFrame(b, at + frame->bytes))
      continue;
    if (std::string p = CheckRateAndChannels(frame->rate, frame->channels); !p.empty())
      return info.problem = std::move(p), info;
    if (frame->bitrate != 0) {
      const uint64_t seconds8 = (fileSize - at) * 8;  // seconds * bitrate
      info.decodedBytes = seconds8 * kOutputRate / frame->bitrate * kOutputFrameBytes;
    }
    if (use == SoundUse::Effect && info.decodedBytes > kMaxDecodedSoundBytes)
      info.problem = "would take " + Megabytes(info.decodedBytes) + " MB decoded (at most " +
                     Megabytes(kMaxDecodedSoundBytes) + " MB)";
    return info;
  }
  info.problem = "no MPEG audio frame found";
  return info;
}

// --- MIDI ------------------------------------------------------------------

class MidiTrackReader {
 public:
  explicit MidiTrackReader(Bytes track) : t_(track) {}
  bool Done() const { return at_ >= t_.size(); }
  std::optional<uint32_t> Vlq() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) {
      if (at_ >= t_.size()) return std::nullopt;
      const uint8_t byte = t_[at_++];
      v = (v << 7) | (byte & 0x7F);
      if ((byte & 0x80) == 0) return v;
    }
    return std::nullopt;
  }
  std::optional<uint8_t> Byte() {
    if (at_ >= t_.size()) return std::nullopt;
    return t_[at_++];
  }
  std::optional<uint8_t> Peek() const {
    if (at_ >= t_.size()) return std::nullopt;
    return t_[at_];
  }
  bool Skip(uint64_t n) {
    if (n > t_.size() - at_) return false;
    at_ += n;
    return true;
  }
  std::optional<uint32_t> Tempo() {
    if (at_ + 3 > t_.size()) return std::nullopt;
    return (uint32_t{t_[at_]} << 16) | (uint32_t{t_[at_ + 1]} << 8) | t_[at_ + 2];
  }

 private:
  Bytes t_;
  size_t at_ = 0;
};

struct TempoChange {
  uint64_t tick;
  uint32_t usPerQuarter;
};

// The track's last tick, its tempo changes added to `tempos`.
std::optional<uint64_t> ReadMidiTrack(Bytes track, std::vector<TempoChange>& tempos) {
  MidiTrackReader r(track);
  uint64_t tick = 0;
  uint8_t running = 0;
  while (!r.Done()) {
    const auto delta = r.Vlq();
    const auto next = r.Peek();
    if (!delta || !next) return std::nullopt;
    tick += *delta;
    uint8_t status = *next;
    if (status >= 0x80)
      r.Byte();
    else if (running == 0)
      return std::nullopt;
    else
      status = running;
    if (status == 0xFF) {
      const auto type = r.Byte();
      const auto length = r.Vlq();
      if (!type || !length) return std::nullopt;
      if (*type == 0x2F) return tick;  // end of track
      if (*type == 0x51 && *length == 3) {
        const auto tempo = r.Tempo();
        if (!tempo) return std::nullopt;
        tempos.push_back({tick, *tempo});
      }
      if (!r.Skip(*length)) return std::nullopt;
    } else if (status == 0xF0 || status == 0xF7) {
      const auto length = r.Vlq();
      if (!length || !r.Skip(*length)) return std::nullopt;
    } else if (status >= 0xF0) {
      return std::nullopt;  // system messages do not belong in a file
    } else {
      running = status;
      const int data = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2;
      if (!r.Skip(static_cast<uint64_t>(data))) return std::nullopt;
    }
  }
  return tick;  // a track without its end marker ends with its last event
}

double TicksToMs(uint64_t endTick, uint32_t division, std::vector<TempoChange>& tempos) {
  if (division & 0x8000) {
    // SMPTE time: frames a second times ticks a frame.
    const int fps = -static_cast<int8_t>(division >> 8);
    const uint32_t ticksPerSecond = static_cast<uint32_t>(fps) * (division & 0xFF);
    return ticksPerSecond == 0 ? -1 : static_cast<double>(endTick) * 1000.0 / ticksPerSecond;
  }
  std::stable_sort(tempos.begin(), tempos.end(),
                   [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });
  double ms = 0;
  uint64_t tick = 0;
  uint32_t tempo = 500000;  // 120 beats a minute until told otherwise
  for (const TempoChange& c : tempos) {
    if (c.tick >= endTick) break;
    ms += static_cast<double>(c.tick - tick) * tempo / 1000.0 / division;
    tick = c.tick;
    tempo = c.usPerQuarter;
  }
  return ms + static_cast<double>(endTick - tick) * tempo / 1000.0 / division;
}

SoundInfo InspectMidi(Bytes b, uint64_t fileSize, SoundUse use) {
  SoundInfo info;
  info.kind = SoundKind::Midi;
  if (use == SoundUse::Effect) {
    info.problem = "a MIDI file is not a sample; only PLAYAMBIENT plays MIDI music";
    return info;
  }
  if (fileSize > kMaxMidiFileBytes)
    return info.problem = "MIDI file larger than " + Megabytes(kMaxMidiFileBytes) + " MB", info;
  const auto length = MidiLengthMs(b);
  if (!length) return info.problem = "MIDI file malformed or cut short", info;
  info.lengthMs = *length;
  return info;
}

std::vector<uint8_t> ReadHead(std::ifstream& in, uint64_t bytes) {
  std::vector<uint8_t> head(static_cast<size_t>(bytes));
  in.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<size_t>(std::max<std::streamsize>(in.gcount(), 0)));
  return head;
}

}  // namespace

std::optional<double> MidiLengthMs(std::span<const uint8_t> b) {
  if (!StartsWith(b, 0, "MThd") || b.size() < 14) return std::nullopt;
  const uint32_t headerSize = Be32(b, 4);
  const uint32_t format = Be16(b, 8), division = Be16(b, 12);
  if (headerSize < 6 || format > 2 || division == 0) return std::nullopt;
  std::vector<TempoChange> tempos;
  uint64_t endTick = 0;
  int tracks = 0;
  for (uint64_t at = 8 + uint64_t{headerSize}; at < b.size();) {
    if (at + 8 > b.size()) return std::nullopt;
    const uint32_t size = Be32(b, at + 4);
    if (at + 8 + size > b.size()) return std::nullopt;
    if (StartsWith(b, at, "MTrk")) {
      const auto end = ReadMidiTrack(b.subspan(at + 8, size), tempos);
      if (!end) return std::nullopt;
      endTick = std::max(endTick, *end);
      ++tracks;
    }
    at += 8 + uint64_t{size};
  }
  if (tracks == 0) return std::nullopt;
  const double ms = TicksToMs(endTick, division, tempos);
  if (ms < 0) return std::nullopt;
  return ms;
}

SoundInfo InspectSound(std::span<const uint8_t> head, uint64_t fileSize, SoundUse use) {
  if (StartsWith(head, 0, "RIFF")) return InspectWave(head, fileSize, use);
  if (StartsWith(head, 0, "MThd")) return InspectMidi(head, fileSize, use);
  if (StartsWith(head, 0, "ID3") || ReadMpegFrame(head, 0)) return InspectMpeg(head, fileSize, use);
  return {};  // another kind: the decoders decide
}

SoundInfo InspectSoundFile(const std::filesystem::path& file, SoundUse use) {
  std::error_code ec;
  SoundInfo unreadable;
  unreadable.problem = "cannot be read";
  // Asked before opening: opening a FIFO would wait for a writer.
  if (!std::filesystem::is_regular_file(file, ec)) return unreadable;
  const uintmax_t size = std::filesystem::file_size(file, ec);
  std::ifstream in(file, std::ios::binary);
  if (ec || !in) return unreadable;
  std::vector<uint8_t> head = ReadHead(in, std::min<uint64_t>(size, kHeadBytes));
  if (StartsWith(head, 0, "MThd") && size > head.size() && size <= kMaxMidiFileBytes) {
    in.seekg(0);
    head = ReadHead(in, size);
  }
  return InspectSound(head, size, use);
}

}  // namespace yw

namespace yw {

std::string SoundFontProblem(const std::filesystem::path& file) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return "no such file";
  const uintmax_t size = std::filesystem::file_size(file, ec);
  std::ifstream in(file, std::ios::binary);
  if (ec || !in) return "cannot be read";
  const std::vector<uint8_t> head = ReadHead(in, 12);
  if (head.size() < 12 || !StartsWith(head, 0, "RIFF") || !StartsWith(head, 8, "sfbk"))
    return "not a SoundFont (.sf2) file";
  if (uint64_t{Le32(head, 4)} + 8 > size) return "SoundFont file cut short";
  return {};
}

}  // namespace yw
