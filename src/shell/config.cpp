#include "shell/config.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>

#include "audio/sound.h"
#include "shell/display_mode.h"
#include "shell/engine.h"
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

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return ToLower(a) == ToLower(b);
}

// The profile-string reader: finds `key` in `[section]`; names compare
// without regard to case, a value in matching quotes loses them.
std::optional<std::string> ReadProfileString(const fs::path& file, std::string_view section,
                                             std::string_view key) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::string line;
  bool inSection = false;
  while (std::getline(in, line)) {
    std::string_view l = TrimSpace(line);
    if (l.empty() || l.front() == ';') continue;
    if (l.front() == '[') {
      const auto close = l.find(']');
      inSection = close != std::string_view::npos &&
                  SameIgnoringCase(TrimSpace(l.substr(1, close - 1)), section);
      continue;
    }
    if (!inSection) continue;
    const auto eq = l.find('=');
    if (eq == std::string_view::npos) continue;
    if (!SameIgnoringCase(TrimSpace(l.substr(0, eq)), key)) continue;
    std::string_view value = TrimSpace(l.substr(eq + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
      value = value.substr(1, value.size() - 2);
    return std::string(value.substr(0, kMaxValueLength));
  }
  return std::nullopt;
}

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

std::string ReadIniValue(Engine& e, const fs::path& file, std::string_view section,
                         std::string_view key, std::string_view fallback) {
  std::error_code ec;
  if (!fs::is_regular_file(file, ec)) {
    e.platform.MessageBox("ERROR", "Can't find \"" + std::string(TrimBlanks(DisplayPath(file))) + "\"");
    return {};
  }
  auto value = ReadProfileString(file, section, key);
  return value ? *value : std::string(fallback.substr(0, kMaxValueLength));
}

void LoadIni(Engine& e) {
  WindowState& w = e.win;
  const fs::path file = ResolvePath(e.CurrentDir, "yarrowind.ini")
                            .value_or(ResolvePath(e.ProgramDir, "yarrowind.ini")
                                          .value_or(e.ProgramDir / "yarrowind.ini"));
  auto text = [&](const char* section, const char* key, const char* fallback) {
    return ReadIniValue(e, file, section, key, fallback);
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
  e.world.Zoom = static_cast<float>(std::clamp(LeadingNumber(text("main", "Zoom", "1")), 0.0, kMaxZoom));

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
