// A media control interpreter for MIDI music: it carries out the command
// strings the music player sends ("open FILE type sequencer alias MUSIC",
// "play MUSIC from 0 notify", "status MUSIC position", ...) on the audio
// device's MIDI sequencer and answers as the operating system's media
// control interface does: an error code (0 = success) and a text reply.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace yw {

class AudioDevice;

enum class MciError : uint32_t {
  None = 0,
  UnrecognizedCommand,
  MissingParameter,
  BadKeyword,
  BadInteger,
  DeviceNotOpen,
  DuplicateAlias,
  DeviceInUse,
  UnsupportedDeviceType,
  CannotOpenFile,
  CannotPlay,
  CannotReport,
  BadTimeFormat,
  OutOfRange,
};

// The text shown for an error code.
std::string_view MciErrorText(MciError code);

// The units of the numbers in commands and replies. Frames are counted at
// 30 per second (the sequencer's SMPTE 30 frame rate).
enum class MciTimeFormat : uint8_t { Milliseconds, Frames };

class Mci {
 public:
  explicit Mci(AudioDevice& device) : device_(device) {}
  Mci(const Mci&) = delete;
  Mci& operator=(const Mci&) = delete;

  // Carries out one command. The reply (a number or a word) is cut to
  // replySize - 1 characters, as a caller's fixed buffer would hold it;
  // reply may be null when the caller wants none. `notify` is accepted and
  // ignored: nobody listens for completion notices.
  MciError SendString(std::string_view command, std::string* reply = nullptr,
                      size_t replySize = 128);

  bool IsOpen() const { return open_.has_value(); }

 private:
  enum class SeqMode : uint8_t { Stopped, Playing, Paused };
  struct OpenSequencer {
    std::string alias;  // lower-case
    MciTimeFormat format = MciTimeFormat::Milliseconds;
    SeqMode mode = SeqMode::Stopped;
    bool played = false;  // started at least once since opening
    bool atEnd = false;   // the piece has played to its end
  };

  MciError Open(std::string_view args);
  MciError Close(std::string_view args);
  MciError Play(std::string_view args);
  MciError Stop(std::string_view args);
  MciError Set(std::string_view args);
  MciError Status(std::string_view args, std::string& reply);
  // The open sequencer named by the command's first word, or null.
  OpenSequencer* Target(std::string_view& args);
  // Notices a piece that has ended since the last look.
  void Refresh();
  double ToUnits(double ms) const;
  double FromUnits(double units) const;

  AudioDevice& device_;
  std::optional<OpenSequencer> open_;
};

}  // namespace yw
