#include "shell/config.h"

#include <algorithm>
#include <cassert>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <span>
#include <sstream>
#include <vector>

#include "audio/sound.h"
#include "core/engine.h"
#include "core/window_state.h"
#include "platform/regular_file.h"
#include "shell/display_mode.h"
#include "world/paths.h"
#include "world/rounding.h"

namespace yw {

namespace fs = std::filesystem;

namespace {

constexpr size_t kMaxValueLength = 255;  // the 256-character buffer less its terminator
// Zoom beyond this would ask for pictures larger than any surface may be.
constexpr double kMaxZoom = 16.0;

std::string_view TrimSpace(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

// A line is read up to this many characters after its leading blanks (a
// key and a whole value fit many times over); the rest of a longer line is
// skipped, so that one huge line costs one pass over it and no memory.
constexpr size_t kMaxLineKept = 4096;

// One line of the file as the reader keeps it: its first characters, and
// the last one that is not blank (a value's closing quote).
struct KeptLine {
  std::string head;
  char last = 0;
  bool cut = false;
};

bool NextLine(std::FILE* in, KeptLine& line) {
  line.head.clear();
  line.last = 0;
  line.cut = false;
  int c = getc_unlocked(in);
  if (c == EOF) return false;
  for (; c != EOF && c != '\n'; c = getc_unlocked(in)) {
    const char ch = static_cast<char>(c);
    const bool blank = ch == ' ' || ch == '\t' || ch == '\r';
    if (!blank) line.last = ch;
    if (line.head.empty() && blank) continue;
    if (line.head.size() < kMaxLineKept)
      line.head.push_back(ch);
    else
      line.cut = true;
  }
  return true;
}

// A setting: its section and key.
struct IniName {
  std::string_view section, key;
};

// Every setting the start state reads, so that one pass over the file finds
// them all, keeping nothing else.
constexpr IniName kSettings[] = {
    {"main", "ScreenWidth"},
    {"main", "ScreenHeight"},
    {"main", "Border"},
    {"main", "Zoom"},
    {"main", "ResolutionWidth"},
    {"main", "ResolutionHeight"},
    {"main", "Anitime"},
    {"main", "Walktime"},
    {"main", "CharAniTime"},
    {"main", "ShowFPS"},
    {"main", "ShowReserve"},
    {"main", "Sound"},
    {"main", "SoundFreeTime"},
    {"main", "FPSLimit"},
    {"font", "Transparent"},
    {"frame", "CornerHeight"},
    {"frame", "CornerWidth"},
    {"frame", "HorizontalWidth"},
    {"frame", "VerticalHeight"},
    {"frame", "StretchInside"},
    {"frame", "StretchSides"},
    {"frame", "TransparentCorners"},
    {"frame", "TransparentInside"},
    {"frame", "TransparentSides"},
};

bool SameName(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

// The values of the wanted settings in a configuration file, read in one
// pass: for each, the first line with its key in a section of its name
// (names compare without regard to case); a value in matching quotes loses
// them. Memory stays that of the wanted values however large the file.
class IniProfile {
 public:
  static std::optional<IniProfile> Read(const fs::path& file, std::span<const IniName> wanted) {
    const FilePtr in = OpenRegularFile(file);
    if (!in) return std::nullopt;
    IniProfile profile;
    profile.wanted_ = wanted;
    profile.values_.resize(wanted.size());
    std::string section;
    bool inSection = false;  // false before the first header and after a bad one
    for (KeptLine line; NextLine(in.get(), line);) {
      const std::string_view l = TrimSpace(line.head);
      if (l.empty() || l.front() == ';') continue;
      if (l.front() == '[') {
        const auto close = l.find(']');
        inSection = close != std::string_view::npos;
        if (inSection) section = TrimSpace(l.substr(1, close - 1));
        continue;
      }
      const auto eq = l.find('=');
      if (inSection && eq != std::string_view::npos) profile.Take(section, l, eq, line);
    }
    return profile;
  }

  std::optional<std::string> Find(std::string_view section, std::string_view key) const {
    for (size_t i = 0; i < wanted_.size(); ++i)
      if (SameName(wanted_[i].section, section) && SameName(wanted_[i].key, key)) return values_[i];
    assert(!"a setting read that IniProfile was not asked for");
    return std::nullopt;
  }

 private:
  void Take(std::string_view section, std::string_view l, size_t eq, const KeptLine& line) {
    const std::string_view key = TrimSpace(l.substr(0, eq));
    for (size_t i = 0; i < wanted_.size(); ++i) {
      if (values_[i] || !SameName(wanted_[i].key, key) || !SameName(wanted_[i].section, section))
        continue;
      std::string_view value = TrimSpace(l.substr(eq + 1));
      // A cut line's value ends where the line does.
      const char closing = line.cut ? line.last : (value.empty() ? 0 : value.back());
      if (!value.empty() && (value.size() >= 2 || line.cut) &&
          (value.front() == '"' || value.front() == '\'') && closing == value.front())
        value = value.substr(1, line.cut ? value.npos : value.size() - 2);
      values_[i] = std::string(value.substr(0, kMaxValueLength));
    }
  }

  std::span<const IniName> wanted_;
  std::vector<std::optional<std::string>> values_;
};

std::string DisplayPath(const fs::path& p) { return p.string(); }

}  // namespace

double LeadingNumber(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  size_t j = i;
  if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
  const size_t digitsStart = j;
  while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j]))) ++j;
  bool any = j > digitsStart;
  if (j < text.size() && text[j] == '.') {
    ++j;
    const size_t fracStart = j;
    while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j]))) ++j;
    any = any || j > fracStart;
  }
  if (!any) return 0.0;
  if (j < text.size() && (text[j] == 'e' || text[j] == 'E')) {
    size_t k = j + 1;
    if (k < text.size() && (text[k] == '+' || text[k] == '-')) ++k;
    const size_t expStart = k;
    while (k < text.size() && std::isdigit(static_cast<unsigned char>(text[k]))) ++k;
    if (k > expStart) j = k;
  }
  const std::string number(text.substr(i, j - i));
  const double v = std::strtod(number.c_str(), nullptr);
  return std::isfinite(v) ? v : 0.0;
}

bool YesNo(std::string_view text) { return ToLower(TrimBlanks(text)) != "no"; }

// The value of a setting from the file read into `profile`; a file that
// could not be read shows the box "Can't find" at every setting read.
std::string IniValue(Engine& e, const fs::path& file, const std::optional<IniProfile>& profile,
                     std::string_view section, std::string_view key, std::string_view fallback) {
  if (!profile) {
    e.platform.MessageBox("ERROR",
                          "Can't find \"" + std::string(TrimBlanks(DisplayPath(file))) + "\"");
    return {};
  }
  auto value = profile->Find(section, key);
  return value ? *value : std::string(fallback.substr(0, kMaxValueLength));
}

std::string ReadIniValue(Engine& e, const fs::path& file, std::string_view section,
                         std::string_view key, std::string_view fallback) {
  const IniName wanted[] = {{section, key}};
  return IniValue(e, file, IniProfile::Read(file, wanted), section, key, fallback);
}

void LoadIni(Engine& e) {
  WindowState& w = e.win;
  const fs::path file =
      ResolvePath(e.CurrentDir, "yarrowind.ini")
          .value_or(
              ResolvePath(e.ProgramDir, "yarrowind.ini").value_or(e.ProgramDir / "yarrowind.ini"));
  // Read once at each entry to the start state, every setting then taken from it.
  const std::optional<IniProfile> profile = IniProfile::Read(file, kSettings);
  auto text = [&](const char* section, const char* key, const char* fallback) {
    return IniValue(e, file, profile, section, key, fallback);
  };
  auto integer = [&](const char* section, const char* key, const char* fallback) {
    return CInt(LeadingNumber(text(section, key, fallback)));
  };
  auto longValue = [&](const char* section, const char* key, const char* fallback) {
    return CLng(LeadingNumber(text(section, key, fallback)));
  };
  auto yesNo = [&](const char* section, const char* key, const char* fallback) {
    return YesNo(text(section, key, fallback));
  };
  auto scaled = [&](const char* key, const char* fallback) {
    return CInt(LeadingNumber(text("frame", key, fallback)) * static_cast<double>(e.world.Zoom));
  };

  w.ScreenWidth = integer("main", "ScreenWidth", "320");
  w.ScreenHeight = integer("main", "ScreenHeight", "240");
  w.ScreenBoarder = yesNo("main", "Border", "no");
  e.world.Zoom =
      static_cast<float>(std::clamp(LeadingNumber(text("main", "Zoom", "1")), 0.0, kMaxZoom));

  const int16_t oldWidth = w.ResWidth, oldHeight = w.ResHeight;
  w.ResWidth = integer("main", "ResolutionWidth", "0");
  w.ResHeight = integer("main", "ResolutionHeight", "0");
  if (w.ResWidth != oldWidth || w.ResHeight != oldHeight) {
    RestoreResolution(e);
    if (w.ResWidth != 0 && w.ResHeight != 0) SetResolution(e, w.ResWidth, w.ResHeight);
  }

  w.TimeAniTime = longValue("main", "Anitime", "1000");
  w.TimeWalkTime = longValue("main", "Walktime", "250");
  w.TimeCharTime = longValue("main", "CharAniTime", "50");
  w.ShowFPS = yesNo("main", "ShowFPS", "no");
  w.ShowReserve = yesNo("main", "ShowReserve", "no");
  w.SoundOn = yesNo("main", "Sound", "no");

  Mute(e);
  SoundInit(e);

  w.TimeSoundTime = longValue("main", "SoundFreeTime", "20000");
  w.FPSLimit = integer("main", "FPSLimit", "0");
  w.DefaultFont = yesNo("font", "Transparent", "no");
  FrameSettings& f = w.Frame;
  f.CornerHeight = scaled("CornerHeight", "0");
  f.CornerWidth = scaled("CornerWidth", "0");
  f.HorizontalWidth = scaled("HorizontalWidth", "0");
  f.VerticalHeight = scaled("VerticalHeight", "0");
  f.StretchInside = yesNo("frame", "StretchInside", "yes");
  f.StretchSides = yesNo("frame", "StretchSides", "yes");
  f.TransparentCorners = yesNo("frame", "TransparentCorners", "yes");
  f.TransparentInside = yesNo("frame", "TransparentInside", "no");
  f.TransparentSides = yesNo("frame", "TransparentSides", "no");
}

}  // namespace yw
