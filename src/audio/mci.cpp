#include "audio/mci.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <vector>

#include "platform/audio_device.h"
#include "world/paths.h"

namespace yw {

namespace {

constexpr double kFramesPerSecond = 30.0;

// One word of a command: its text (quotes removed) and where it stands.
struct Word {
  std::string text;
  size_t begin = 0;
  size_t end = 0;
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Splits at blanks; a word in double quotes may hold blanks.
std::vector<Word> SplitWords(std::string_view s) {
  std::vector<Word> words;
  size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && IsBlank(s[i])) ++i;
    if (i >= s.size()) break;
    Word w;
    w.begin = i;
    if (s[i] == '"') {
      const size_t close = s.find('"', i + 1);
      const size_t stop = close == std::string_view::npos ? s.size() : close;
      w.text = std::string(s.substr(i + 1, stop - i - 1));
      i = close == std::string_view::npos ? s.size() : close + 1;
    } else {
      while (i < s.size() && !IsBlank(s[i])) ++i;
      w.text = std::string(s.substr(w.begin, i - w.begin));
    }
    w.end = i;
    words.push_back(std::move(w));
  }
  return words;
}

bool Is(const Word& w, std::string_view keyword) { return ToLower(w.text) == keyword; }

// A whole non-negative decimal number, or nothing.
std::optional<double> ParseCount(std::string_view s) {
  uint64_t v = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return static_cast<double>(v);
}

std::string WholeNumber(double v) {
  return std::to_string(static_cast<long long>(std::floor(std::max(v, 0.0))));
}

// The words after the first `n`, as the text they stand in.
std::string_view Rest(std::string_view s, const std::vector<Word>& words, size_t n) {
  if (n >= words.size()) return {};
  return s.substr(words[n].begin);
}

}  // namespace

std::string_view MciErrorText(MciError code) {
  switch (code) {
    case MciError::None: return "The command completed.";
    case MciError::UnrecognizedCommand: return "The command is not recognized.";
    case MciError::MissingParameter: return "The command needs a parameter that was not given.";
    case MciError::BadKeyword: return "The command holds a keyword this device does not accept.";
    case MciError::BadInteger: return "A number in the command is not a whole number.";
    case MciError::DeviceNotOpen: return "The named device is not open.";
    case MciError::DuplicateAlias: return "The alias is already in use.";
    case MciError::DeviceInUse: return "The sequencer is already in use.";
    case MciError::UnsupportedDeviceType: return "The device type is not supported.";
    case MciError::CannotOpenFile: return "The MIDI file cannot be opened.";
    case MciError::CannotPlay: return "The MIDI sequencer cannot play the file.";
    case MciError::CannotReport: return "The device cannot report that value.";
    case MciError::BadTimeFormat: return "The time format is not supported.";
    case MciError::OutOfRange: return "The position lies beyond the end of the piece.";
  }
  return "Unknown media control error.";
}

MciError Mci::SendString(std::string_view command, std::string* reply, size_t replySize) {
  std::string text;
  const std::vector<Word> words = SplitWords(command);
  MciError result = MciError::UnrecognizedCommand;
  if (!words.empty()) {
    const std::string verb = ToLower(words[0].text);
    const std::string_view args = Rest(command, words, 1);
    if (verb == "open") result = Open(args);
    else if (verb == "close") result = Close(args);
    else if (verb == "play") result = Play(args);
    else if (verb == "stop" || verb == "pause") result = Stop(args);
    else if (verb == "set") result = Set(args);
    else if (verb == "status") result = Status(args, text);
  }
  if (reply) {
    if (result != MciError::None) text.clear();
    reply->assign(text.substr(0, replySize == 0 ? 0 : replySize - 1));
  }
  return result;
}

MciError Mci::Open(std::string_view args) {
  std::vector<Word> words = SplitWords(args);
  std::string type, alias;
  // The flags stand at the end; what comes before them is the file name,
  // blanks included.
  while (!words.empty()) {
    const size_t n = words.size();
    if (Is(words[n - 1], "shareable") || Is(words[n - 1], "notify") ||
        Is(words[n - 1], "wait")) {
      words.pop_back();
    } else if (n >= 2 && (Is(words[n - 2], "type") || Is(words[n - 2], "alias"))) {
      (Is(words[n - 2], "type") ? type : alias) = words[n - 1].text;
      words.resize(n - 2);
    } else {
      break;
    }
  }
  if (words.empty()) return MciError::MissingParameter;
  std::string element = words.size() == 1 && args[words[0].begin] == '"'
                            ? words[0].text
                            : std::string(args.substr(words[0].begin,
                                                      words.back().end - words[0].begin));
  if (type.empty()) {
    const std::string ext = ToLower(std::filesystem::path(element).extension().string());
    if (ext == ".mid" || ext == ".midi" || ext == ".rmi") type = "sequencer";
  }
  if (ToLower(type) != "sequencer") return MciError::UnsupportedDeviceType;
  if (alias.empty()) alias = element;
  alias = ToLower(alias);
  if (open_) return open_->alias == alias ? MciError::DuplicateAlias : MciError::DeviceInUse;
  if (!device_.MidiOpen(std::filesystem::path(element))) return MciError::CannotOpenFile;
  open_ = OpenSequencer{};
  open_->alias = alias;
  return MciError::None;
}

MciError Mci::Close(std::string_view args) {
  const std::vector<Word> words = SplitWords(args);
  if (words.empty()) return MciError::MissingParameter;
  if (!Is(words[0], "all") && (!open_ || ToLower(words[0].text) != open_->alias))
    return MciError::DeviceNotOpen;
  if (open_) device_.MidiClose();
  open_.reset();
  return MciError::None;
}

Mci::OpenSequencer* Mci::Target(std::string_view& args) {
  const std::vector<Word> words = SplitWords(args);
  if (words.empty() || !open_ || ToLower(words[0].text) != open_->alias) return nullptr;
  args = Rest(args, words, 1);
  return &*open_;
}

void Mci::Refresh() {
  if (open_ && open_->mode == SeqMode::Playing && !device_.MidiPlaying()) {
    open_->mode = SeqMode::Stopped;
    open_->atEnd = true;
  }
}

double Mci::ToUnits(double ms) const {
  if (open_ && open_->format == MciTimeFormat::Frames) return ms * kFramesPerSecond / 1000.0;
  return ms;
}

double Mci::FromUnits(double units) const {
  if (open_ && open_->format == MciTimeFormat::Frames) return units * 1000.0 / kFramesPerSecond;
  return units;
}

MciError Mci::Play(std::string_view args) {
  if (SplitWords(args).empty()) return MciError::MissingParameter;
  OpenSequencer* seq = Target(args);
  if (!seq) return MciError::DeviceNotOpen;
  std::optional<double> fromMs;
  const std::vector<Word> words = SplitWords(args);
  for (size_t i = 0; i < words.size(); ++i) {
    if (Is(words[i], "notify")) continue;
    if (!Is(words[i], "from")) return MciError::BadKeyword;
    if (i + 1 >= words.size()) return MciError::MissingParameter;
    const std::optional<double> units = ParseCount(words[++i].text);
    if (!units) return MciError::BadInteger;
    fromMs = FromUnits(*units);
  }
  Refresh();
  if (fromMs) {
    const double length = device_.MidiLengthMs();
    if (length >= 0 && *fromMs > length) return MciError::OutOfRange;
    if (!device_.MidiPlay(*fromMs)) return MciError::CannotPlay;
  } else if (seq->mode == SeqMode::Paused) {
    if (!device_.MidiResume()) return MciError::CannotPlay;
  } else if (seq->mode == SeqMode::Playing || seq->atEnd) {
    return MciError::None;  // already playing, or nothing left to play
  } else if (!device_.MidiPlay(0)) {
    return MciError::CannotPlay;
  }
  seq->mode = SeqMode::Playing;
  seq->played = true;
  seq->atEnd = false;
  return MciError::None;
}

MciError Mci::Stop(std::string_view args) {
  if (SplitWords(args).empty()) return MciError::MissingParameter;
  OpenSequencer* seq = Target(args);
  if (!seq) return MciError::DeviceNotOpen;
  for (const Word& w : SplitWords(args)) {
    if (!Is(w, "notify") && !Is(w, "wait")) return MciError::BadKeyword;
  }
  Refresh();
  if (seq->mode == SeqMode::Playing) {
    device_.MidiPause();
    seq->mode = SeqMode::Paused;
  }
  return MciError::None;
}

MciError Mci::Set(std::string_view args) {
  if (SplitWords(args).empty()) return MciError::MissingParameter;
  OpenSequencer* seq = Target(args);
  if (!seq) return MciError::DeviceNotOpen;
  const std::vector<Word> words = SplitWords(args);
  if (words.size() < 2 || !Is(words[0], "time") || !Is(words[1], "format"))
    return MciError::BadKeyword;
  if (words.size() != 3) return MciError::MissingParameter;
  const std::string format = ToLower(words[2].text);
  if (format == "milliseconds" || format == "ms") {
    seq->format = MciTimeFormat::Milliseconds;
  } else if (format == "frames") {
    seq->format = MciTimeFormat::Frames;
  } else {
    return MciError::BadTimeFormat;
  }
  return MciError::None;
}

MciError Mci::Status(std::string_view args, std::string& reply) {
  if (SplitWords(args).empty()) return MciError::MissingParameter;
  OpenSequencer* seq = Target(args);
  if (!seq) return MciError::DeviceNotOpen;
  const std::string item = ToLower(std::string(TrimBlanks(args)));
  Refresh();
  const double length = device_.MidiLengthMs();
  if (item == "length") {
    if (length < 0) return MciError::CannotReport;
    reply = WholeNumber(ToUnits(length));
  } else if (item == "position") {
    double position = 0;
    if (seq->atEnd) {
      position = length;
    } else if (seq->played) {
      position = device_.MidiPositionMs();
      if (length >= 0) position = std::min(position, length);
    }
    if (position < 0) return MciError::CannotReport;
    reply = WholeNumber(ToUnits(position));
  } else if (item == "mode") {
    reply = seq->mode == SeqMode::Playing  ? "playing"
            : seq->mode == SeqMode::Paused ? "paused"
                                           : "stopped";
  } else if (item == "time format") {
    reply = seq->format == MciTimeFormat::Frames ? "frames" : "milliseconds";
  } else if (item == "ready") {
    reply = "true";
  } else {
    return MciError::BadKeyword;
  }
  return MciError::None;
}

}  // namespace yw
