#include "shell/user_settings.h"

#include <charconv>
#include <cstdlib>
#include <sstream>

#include "world/binary_io.h"

namespace yw {

namespace fs = std::filesystem;

namespace {

// Far beyond any hand-written settings file.
constexpr size_t kMaxSettingsFileSize = 1 << 20;

constexpr std::string_view kGameKeyNames[] = {"Esc",  "Enter", "Space", "Up",
                                              "Down", "Left",  "Right"};
constexpr std::string_view kComfortKeyNames[] = {"Fullscreen", "Screenshot", "FastForward",
                                                 "Reload", "Overlay"};

std::string_view Trim(std::string_view s) {
  const auto first = s.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(" \t\r");
  return s.substr(first, last - first + 1);
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

bool SameName(std::string_view a, std::string_view b) { return Lower(a) == Lower(b); }

// The line without its comment: "#" or ";" at its start or after a blank
// begins one, as INI readers take it ("scale = 0   # the largest"). The
// key names "Keypad #" and "Keypad ;" keep theirs.
std::string_view StripComment(std::string_view line) {
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] != '#' && line[i] != ';') continue;
    if (i > 0 && line[i - 1] != ' ' && line[i - 1] != '\t') continue;
    if (i >= 7 && SameName(line.substr(i - 7, 7), "keypad ")) continue;
    return line.substr(0, i);
  }
  return line;
}

// before + middle + after, built by appending (GCC 12 warns wrongly about
// operator+ on a literal and a string).
std::string Join(std::string_view before, std::string_view middle, std::string_view after) {
  std::string out(before);
  out.append(middle).append(after);
  return out;
}

// Cuts a leading "Alt+", "Ctrl+" or "Shift+" off `s` and notes it.
bool TakeModifier(std::string_view& s, KeyChord& chord) {
  struct Prefix {
    std::string_view text;
    bool KeyChord::*flag;
  };
  static constexpr Prefix kPrefixes[] = {
      {"alt+", &KeyChord::alt}, {"ctrl+", &KeyChord::ctrl}, {"shift+", &KeyChord::shift}};
  for (const Prefix& p : kPrefixes) {
    if (s.size() > p.text.size() && SameName(s.substr(0, p.text.size()), p.text)) {
      chord.*p.flag = true;
      s.remove_prefix(p.text.size());
      return true;
    }
  }
  return false;
}

// "Return, Keypad Enter, Alt+X": the keys of one line; false on an empty
// name. A name `known` does not take is left out and described in `unknown`.
bool ParseChords(std::string_view value, int line, const KeyNameCheck& known,
                 std::vector<KeyChord>& out, std::vector<std::string>& unknown) {
  out.clear();
  while (true) {
    const auto comma = value.find(',');
    std::string_view part = Trim(value.substr(0, comma));
    KeyChord chord;
    chord.line = line;
    while (TakeModifier(part, chord)) part = Trim(part);
    if (part.empty()) return false;
    chord.name = std::string(part);
    if (known && !known(chord.name))
      unknown.push_back(Join("unknown key '", chord.name, "'; left out"));
    else
      out.push_back(std::move(chord));
    if (comma == std::string_view::npos) return true;
    value.remove_prefix(comma + 1);
  }
}

bool ParseYesNo(std::string_view value, bool& out) {
  const std::string v = Lower(value);
  if (v == "yes" || v == "true" || v == "on" || v == "1") return out = true, true;
  if (v == "no" || v == "false" || v == "off" || v == "0") return out = false, true;
  return false;
}

// One "name = value" line of a section; an empty result means it was used.
std::string ApplyWindowSetting(std::string_view name, std::string_view value, UserSettings& s) {
  if (SameName(name, "scale")) {
    int n = -1;
    const auto [p, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
    if (ec != std::errc() || p != value.data() + value.size() || n < 0 || n > 16)
      return "scale must be a number from 0 (the largest that fits) to 16";
    s.scale = n;
    return {};
  }
  if (SameName(name, "fullscreen")) {
    if (!ParseYesNo(value, s.fullscreen)) return "fullscreen must be yes or no";
    return {};
  }
  if (SameName(name, "debug-overlay")) {
    if (!ParseYesNo(value, s.debugOverlay)) return "debug-overlay must be yes or no";
    return {};
  }
  if (SameName(name, "picture")) {
    if (SameName(value, "automatic")) {
      s.fit = PictureFit::Automatic;
    } else if (SameName(value, "pixel-perfect")) {
      s.fit = PictureFit::PixelPerfect;
    } else if (SameName(value, "sharp")) {
      s.fit = PictureFit::Sharp;
    } else if (SameName(value, "fill")) {
      s.fit = PictureFit::Fill;
    } else if (SameName(value, "stretch")) {
      s.fit = PictureFit::Stretch;
    } else {
      return "picture must be automatic, pixel-perfect, sharp, fill or stretch";
    }
    return {};
  }
  return Join("unknown setting '", name, "' in [window]");
}

// One "Key = names" line; the problems of its names go to `problems`. A
// line that names no usable key keeps the key's defaults.
void ApplyKeySetting(std::string_view name, std::string_view value, int line,
                     const KeyNameCheck& known, UserSettings& s,
                     std::vector<std::string>& problems) {
  std::vector<KeyChord>* target = nullptr;
  for (size_t i = 0; i < std::size(kGameKeyNames); ++i)
    if (SameName(name, kGameKeyNames[i])) target = &s.gameKeys[i];
  for (size_t i = 0; i < std::size(kComfortKeyNames); ++i)
    if (SameName(name, kComfortKeyNames[i])) target = &s.comfortKeys[i];
  if (!target) return problems.push_back(Join("unknown key '", name, "' in [keys]; line ignored"));
  std::vector<KeyChord> chords;
  if (!ParseChords(value, line, known, chords, problems))
    return problems.push_back(Join("'", name, "' needs key names; line ignored"));
  if (chords.empty())
    return problems.push_back(Join("'", name, "' names no usable key; its keys stay as they were"));
  *target = std::move(chords);
}

std::string ApplySoundSetting(std::string_view name, std::string_view value, UserSettings& s) {
  if (!SameName(name, "soundfont")) return Join("unknown setting '", name, "' in [sound]");
  if (value.empty()) return "soundfont needs the path of a .sf2 file";
  s.soundFont = fs::path(value);
  return {};
}

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

// XDG_PICTURES_DIR from user-dirs.dirs: "$HOME/Pictures" or an absolute
// path. A folder set to the home folder itself means none is named.
fs::path PicturesFromUserDirs(const fs::path& configHome, const fs::path& home) {
  std::istringstream in(
      ReadFileBytes(configHome / "user-dirs.dirs", kMaxSettingsFileSize).value_or(""));
  std::string line;
  while (std::getline(in, line)) {
    std::string_view l = Trim(line);
    constexpr std::string_view kKey = "XDG_PICTURES_DIR=";
    if (!l.starts_with(kKey)) continue;
    l.remove_prefix(kKey.size());
    if (l.size() >= 2 && l.front() == '"' && l.back() == '"') l = l.substr(1, l.size() - 2);
    fs::path dir;
    if (l.starts_with("$HOME")) {
      std::string_view rest = l.substr(5);
      while (rest.starts_with('/')) rest.remove_prefix(1);
      if (rest.empty() || home.empty()) return {};
      dir = home / rest;
    } else if (l.starts_with('/')) {
      dir = l;
    }
    return dir;
  }
  return {};
}

}  // namespace

UserSettings DefaultUserSettings() {
  UserSettings s;
  auto keys = [](std::initializer_list<const char*> names) {
    std::vector<KeyChord> out;
    for (const char* n : names) {
      KeyChord c;
      std::string_view v = n;
      while (TakeModifier(v, c)) {
      }
      c.name = std::string(v);
      out.push_back(std::move(c));
    }
    return out;
  };
  s.gameKeys = {keys({"Escape"}), keys({"Return", "Keypad Enter"}),
                keys({"Space"}),  keys({"Up"}),
                keys({"Down"}),   keys({"Left"}),
                keys({"Right"})};
  s.comfortKeys = {keys({"F11", "Alt+Return"}), keys({"F12"}), keys({"Tab"}), keys({"F5"}),
                   keys({"F3"})};
  return s;
}

UserSettings ParseUserSettings(std::string_view text, std::vector<std::string>& problems,
                               const KeyNameCheck& known) {
  UserSettings s = DefaultUserSettings();
  enum class Section { None, Window, Keys, Sound } section = Section::None;
  int lineNo = 0;
  while (!text.empty()) {
    ++lineNo;
    const auto end = text.find('\n');
    const std::string_view line = Trim(StripComment(text.substr(0, end)));
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    if (line.empty()) continue;
    std::vector<std::string> lineProblems;
    std::string problem;
    if (line.front() == '[') {
      if (SameName(line, "[window]")) {
        section = Section::Window;
      } else if (SameName(line, "[keys]")) {
        section = Section::Keys;
      } else if (SameName(line, "[sound]")) {
        section = Section::Sound;
      } else {
        section = Section::None;
        problem = Join("unknown section ", line, " (use [window], [keys] or [sound])");
      }
    } else if (const auto eq = line.find('='); eq == std::string_view::npos) {
      problem = "expected name = value";
    } else {
      const std::string_view name = Trim(line.substr(0, eq));
      const std::string_view value = Trim(line.substr(eq + 1));
      if (section == Section::Window) {
        problem = ApplyWindowSetting(name, value, s);
      } else if (section == Section::Keys) {
        ApplyKeySetting(name, value, lineNo, known, s, lineProblems);
      } else if (section == Section::Sound) {
        problem = ApplySoundSetting(name, value, s);
      } else {
        problem = "setting outside [window], [keys] or [sound]";
      }
    }
    if (!problem.empty()) lineProblems.push_back(problem + "; line ignored");
    for (const std::string& p : lineProblems)
      problems.push_back("line " + std::to_string(lineNo) + ": " + p);
  }
  return s;
}

UserFolders UserFolders::FromEnvironment() {
  UserFolders f;
  const fs::path home = Env("HOME");
  const std::string config = Env("XDG_CONFIG_HOME");
  const std::string data = Env("XDG_DATA_HOME");
  const std::string cache = Env("XDG_CACHE_HOME");
  // Relative values are to be ignored by the conventions.
  f.config = !config.empty() && config.front() == '/' ? fs::path(config) : home / ".config";
  f.data = !data.empty() && data.front() == '/' ? fs::path(data) : home / ".local" / "share";
  f.cache = !cache.empty() && cache.front() == '/' ? fs::path(cache) : home / ".cache";
  f.pictures = PicturesFromUserDirs(f.config, home);
  return f;
}

fs::path UserSettingsFile(const UserFolders& folders) {
  return folders.config / "yarrowind" / "settings.ini";
}

fs::path ScreenshotFolder(const UserFolders& folders) {
  if (!folders.pictures.empty()) return folders.pictures;
  return folders.data / "yarrowind" / "screenshots";
}

fs::path UserSaveRoot(const UserFolders& folders) { return folders.data / "yarrowind" / "saves"; }

UserSettings LoadUserSettings(const fs::path& file, std::vector<std::string>& problems,
                              const KeyNameCheck& known) {
  std::error_code ec;
  if (!fs::exists(file, ec)) return DefaultUserSettings();
  const auto text = ReadFileBytes(file, kMaxSettingsFileSize);
  if (!text) {
    problems.push_back(file.string() + ": not a file of at most " +
                       std::to_string(kMaxSettingsFileSize / 1024) + " KB; the defaults are used");
    return DefaultUserSettings();
  }
  std::vector<std::string> found;
  UserSettings s = ParseUserSettings(*text, found, known);
  s.source = file.string();
  if (!s.soundFont.empty() && s.soundFont.is_relative())
    s.soundFont = file.parent_path() / s.soundFont;
  for (std::string& p : found) problems.push_back(file.string() + ": " + std::move(p));
  return s;
}

}  // namespace yw
