#include "script_lint.h"

#include <algorithm>
#include <array>
#include <optional>

#include "world/binary_io.h"
#include "world/data_files.h"
#include "world/paths.h"

namespace yw::pack {

namespace fs = std::filesystem;

namespace {

constexpr int kAny = -1;

// Parameter counts of the commands: at least `min`; more than `max` are
// ignored by the game (kAny: no upper limit); `exact` ones fail otherwise.
struct CommandRule {
  std::string_view word;
  int min;
  int max;
  bool exact;
};

constexpr std::array<CommandRule, 45> kCommands{{
    {"END", 0, kAny, false},        {"LOADMAP", 1, 2, false},     {"LOADEVENTS", 1, 2, false},
    {"LOADTILES", 1, 1, false},     {"LOADDOODADS", 1, 2, false}, {"ADDCHARACTER", 1, 1, false},
    {"ADDNPC", 1, 1, false},        {"KILLNPC", 0, 1, false},     {"SETPOS", 2, 2, false},
    {"SETDIRECTION", 1, 1, true},   {"CHANGE", 3, kAny, false},   {"MSG", 1, 1, false},
    {"SETACTOR", 5, 5, true},       {"SHOWMOVIE", 0, 1, false},   {"SAVING", 1, 1, false},
    {"FIGHTINIT", 1, 1, false},     {"ADDENEMY", 1, 1, false},    {"RUNSCRIPT", 1, 1, false},
    {"FIGHTSTART", 0, 1, false},    {"FIGHTEND", 0, 0, false},    {"SELECTTARGET", 1, 1, false},
    {"SELECTUSER", 0, 0, false},    {"DAMAGE", 3, kAny, false},   {"AWARD", 3, kAny, false},
    {"IF", 3, 3, true},             {"ELSE", 0, 0, false},        {"ENDIF", 0, 0, false},
    {"ADDVOODOO", 6, 6, true},      {"GAMEOVER", 0, 0, false},    {"INPUTTEXT", 0, 2, false},
    {"ADDLISTITEM", 2, 3, false},   {"SHOWLIST", 0, 1, false},    {"PLAYAMBIENT", 1, 1, true},
    {"PLAYSOUND", 1, 1, true},      {"A", 1, 1, true},            {"B", 1, 1, true},
    {"C", 1, 1, true},              {"D", 1, 1, true},            {"E", 1, 1, true},
    {"F", 1, 1, true},              {"G", 1, 1, true},            {"H", 1, 1, true},
    {"I", 1, 1, true},              {"J", 1, 1, true},            {"SFX", 2, 3, false},
}};

const CommandRule* FindCommand(std::string_view word) {
  for (const CommandRule& r : kCommands)
    if (r.word == word) return &r;
  return nullptr;
}

// Fields that CHANGE can write, per record kind.
constexpr std::array<std::string_view, 23> kCharacterFields{
    "NAME",   "MAXHP",  "HP",      "MAXMP",   "MP",         "STR",       "CON",        "INI",
    "WIS",    "DEX",    "EP",      "STDWEP",  "STDARM",     "DOOLEFT",   "DOOUP",      "DOORIGHT",
    "DOODOWN", "DOOLEFTANI", "DOOUPANI", "DOORIGHTANI", "DOODOWNANI", "WEP", "ARM"};
constexpr std::array<std::string_view, 8> kMapFields{"TILE",       "DOODAD",      "OBSTACLE",
                                                     "BOX",        "USESCRIPT",   "ENTERSCRIPT",
                                                     "LEAVESCRIPT", "PUSHSCRIPT"};
constexpr std::array<std::string_view, 8> kItemFields{"NAME",   "TYPE",   "SCRIPT", "FIGHTSCRIPT",
                                                      "DOODAD", "NUMBER", "VALUE",  "VISIBLE"};
constexpr std::array<std::string_view, 6> kNpcFields{"POS_X", "POS_Y",  "DIRECTION",
                                                     "CHAR",  "SCRIPT", "SPEED"};

template <size_t N>
bool Contains(const std::array<std::string_view, N>& list, std::string_view word) {
  return std::find(list.begin(), list.end(), word) != list.end();
}

// One significant line of a script as the game reads it.
struct ScriptLine {
  int number = 0;  // 1-based line of the file
  std::string text;
};

// The lines the game's line reader yields: a line ends only at CR LF; blank
// lines and lines whose first non-blank is an apostrophe are skipped; only
// blanks (not tabs) are trimmed.
std::vector<ScriptLine> SignificantLines(std::string_view text) {
  std::vector<ScriptLine> out;
  int lineNo = 1;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view raw = text.substr(start, end - start);
    const std::string_view line = TrimBlanks(raw);
    if (!line.empty() && line.front() != '\'') out.push_back({lineNo, std::string(line)});
    lineNo += static_cast<int>(std::count(raw.begin(), raw.end(), '\n')) + 1;
    start = end + 2;
  }
  return out;
}

// Command word and parameters, split as the interpreter does.
struct SplitLine {
  std::string word;
  std::vector<std::string> params;
};

SplitLine Split(std::string_view line) {
  SplitLine out;
  size_t i = line.find_first_not_of(" \t");
  if (i == std::string_view::npos) return out;
  const size_t wordEnd = line.find(' ', i);
  out.word = ToUpper(line.substr(i, wordEnd == std::string_view::npos ? std::string_view::npos
                                                                       : wordEnd - i));
  if (wordEnd == std::string_view::npos) return out;
  const std::string_view rest = TrimBlanks(line.substr(wordEnd + 1));
  if (rest.empty()) return out;
  std::string part;
  bool quoted = false;
  for (char c : rest) {
    if (c == '"') quoted = !quoted;
    if (c == '\\' && !quoted) {
      out.params.emplace_back(TrimBlanks(part));
      part.clear();
    } else {
      part += c;
    }
  }
  out.params.emplace_back(TrimBlanks(part));
  return out;
}

// The value of a text parameter made only of quoted parts; nullopt when
// it holds terms or brackets (known only while the game runs).
std::optional<std::string> LiteralText(std::string_view param) {
  std::string value;
  size_t i = 0;
  bool any = false;
  while (i < param.size()) {
    const char c = param[i];
    if (c == '[' || c == '(') return std::nullopt;
    if (c == '"') {
      const size_t close = param.find('"', i + 1);
      const size_t stop = close == std::string_view::npos ? param.size() : close;
      value += param.substr(i + 1, stop - i - 1);
      any = true;
      i = stop + 2;  // the closing quote and the character after it
      continue;
    }
    ++i;
  }
  if (!any) return std::nullopt;
  return value;
}

// PLAYAMBIENT lets a name longer than one character and without a dot leave
// out its extension: the first of name.wav, name.mp3 and name.mid that
// exists is played. PLAYSOUND takes its name as written.
bool AmbientNameTakesExtension(std::string_view name) {
  return name.size() > 1 && name.find('.') == std::string_view::npos;
}

std::string AmbientFileName(const GameIndex& index, std::string_view name) {
  if (!AmbientNameTakesExtension(name)) return std::string(name);
  for (std::string_view ext : {".wav", ".mp3", ".mid"}) {
    const std::string candidate = std::string(name) + std::string(ext);
    if (index.fileExists(TrimBlanks(candidate))) return candidate;
  }
  return std::string(name);
}

bool HasLetters(std::string_view param) {
  return std::any_of(param.begin(), param.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  });
}

class ScriptChecker {
 public:
  ScriptChecker(const std::string& name, const GameIndex& index, Report& report,
                ScriptReferences* refs)
      : name_(name), index_(index), report_(report), refs_(refs) {}

  void Run(std::string_view text);

 private:
  void Error(int line, const std::string& message) { report_.Error(name_, line, "", message); }
  void Warning(int line, const std::string& message) {
    report_.Warning(name_, line, "", message);
  }
  void CheckLine(const ScriptLine& line);
  void CheckCount(const ScriptLine& line, const SplitLine& s, const CommandRule& rule);
  void CheckKeyword(int line, const SplitLine& s, size_t index,
                    std::initializer_list<std::string_view> allowed, bool required);
  // A text parameter; returns its literal value when it has one.
  std::optional<std::string> TextParam(int line, const SplitLine& s, size_t index,
                                       std::string_view what);
  void FileParam(int line, const SplitLine& s, size_t index, std::string_view what,
                 std::vector<std::string>* refList);
  void ScriptParam(int line, const SplitLine& s, size_t index);
  void CheckSound(int line, const std::string& word, const std::string& name);
  void CheckChange(int line, const SplitLine& s);
  void CheckDamageOrAward(int line, const SplitLine& s, bool award);

  const std::string& name_;
  const GameIndex& index_;
  Report& report_;
  ScriptReferences* refs_;
  std::vector<int> openIfs_;
  bool sawEnd_ = false;
};

void ScriptChecker::Run(std::string_view text) {
  const auto bare = [&] {
    for (size_t i = 0; i < text.size(); ++i)
      if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) return true;
    return false;
  }();
  if (bare)
    Warning(0, "has line ends without a carriage return; the game reads only CR LF as a line end");
  const auto lines = SignificantLines(text);
  if (lines.empty() || lines.front().text != "BEGIN") {
    Error(lines.empty() ? 0 : lines.front().number,
          "the script must start with BEGIN (in capitals, on a line of its own)");
    if (lines.empty()) return;
  }
  for (size_t i = lines.front().text == "BEGIN" ? 1 : 0; i < lines.size(); ++i)
    CheckLine(lines[i]);
  for (int line : openIfs_) Error(line, "IF without ENDIF");
  if (!sawEnd_) Error(0, "the script has no END");
}

void ScriptChecker::CheckCount(const ScriptLine& line, const SplitLine& s,
                               const CommandRule& rule) {
  const int n = static_cast<int>(s.params.size());
  if (n < rule.min || (rule.exact && n != rule.min)) {
    Error(line.number, s.word + " needs " + (rule.exact ? "exactly " : "at least ") +
                           std::to_string(rule.min) + " parameter" + (rule.min == 1 ? "" : "s") +
                           ", has " + std::to_string(n));
  } else if (rule.max != kAny && n > rule.max) {
    Warning(line.number, s.word + " takes at most " + std::to_string(rule.max) +
                             " parameters; the rest are ignored");
  }
}

void ScriptChecker::CheckKeyword(int line, const SplitLine& s, size_t index,
                                 std::initializer_list<std::string_view> allowed, bool required) {
  if (index >= s.params.size()) return;
  const std::string word = ToUpper(s.params[index]);
  if (!required && word.empty()) return;
  for (std::string_view a : allowed)
    if (word == a) return;
  std::string list;
  for (std::string_view a : allowed) list += (list.empty() ? "" : ", ") + std::string(a);
  Error(line, s.word + ": unknown parameter '" + s.params[index] + "' (allowed: " + list + ")");
}

std::optional<std::string> ScriptChecker::TextParam(int line, const SplitLine& s, size_t index,
                                                    std::string_view what) {
  if (index >= s.params.size()) return std::nullopt;
  const std::string& p = s.params[index];
  auto literal = LiteralText(p);
  if (!literal && p.find('[') == std::string::npos && p.find('(') == std::string::npos &&
      HasLetters(p))
    Error(line, s.word + ": the " + std::string(what) +
                    " must be a text in double quotes; without them it is empty");
  return literal;
}

void ScriptChecker::FileParam(int line, const SplitLine& s, size_t index, std::string_view what,
                              std::vector<std::string>* refList) {
  auto name = TextParam(line, s, index, std::string(what) + " name");
  if (!name) return;
  if (name->empty()) {
    Error(line, s.word + ": the " + std::string(what) + " name is empty");
    return;
  }
  if (!index_.fileExists(*name)) {
    Error(line, s.word + ": " + std::string(what) + " '" + *name + "' not found");
    return;
  }
  if (refList) refList->push_back(*name);
}

void ScriptChecker::ScriptParam(int line, const SplitLine& s, size_t index) {
  auto name = TextParam(line, s, index, "script name");
  if (!name || name->empty()) return;
  if (!index_.scripts.contains(ToLower(*name)))
    Error(line, s.word + ": script '" + *name + "' not found");
}

// The sound must be a file the game finds: the name trimmed, and for
// PLAYAMBIENT with the extension the game adds when it has none.
void ScriptChecker::CheckSound(int line, const std::string& word, const std::string& name) {
  const bool ambient = word == "PLAYAMBIENT";
  const std::string file = ambient ? AmbientFileName(index_, name) : name;
  if (index_.fileExists(TrimBlanks(file))) return;
  Error(line, word + ": sound '" + name + "' not found" +
                  (ambient && AmbientNameTakesExtension(name) ? " (nor with .wav, .mp3 or .mid)" : ""));
}

void ScriptChecker::CheckChange(int line, const SplitLine& s) {
  if (s.params.size() < 3) return;
  const std::string kind = ToUpper(s.params[0]);
  const bool isMap = kind == "MAP";
  const bool implicit = kind == "TARGET" || kind == "USER";
  const size_t need = isMap ? 5 : implicit ? 3 : 4;
  if (!isMap && !implicit && kind != "CHARACTER" && kind != "ITEM" && kind != "PARTY" &&
      kind != "ENEMY" && kind != "NPC") {
    Error(line, "CHANGE: unknown record kind '" + s.params[0] + "'");
    return;
  }
  if (s.params.size() < need) {
    Error(line, "CHANGE " + kind + " needs at least " + std::to_string(need) + " parameters, has " +
                    std::to_string(s.params.size()));
    return;
  }
  const size_t fieldAt = need - 2;
  const std::string field = ToUpper(s.params[fieldAt]);
  bool known = false;
  if (isMap) known = Contains(kMapFields, field);
  else if (kind == "CHARACTER") known = Contains(kCharacterFields, field);
  else if (kind == "ITEM") known = Contains(kItemFields, field);
  else if (kind == "NPC") known = Contains(kNpcFields, field);
  else if (kind == "ENEMY") known = field != "NAME" && (Contains(kCharacterFields, field) ||
                                                         field == "STATE" || field == "NPC");
  else known = Contains(kCharacterFields, field) || field == "STATE" || field == "NPC";
  if (!known) {
    Error(line, "CHANGE " + kind + ": field '" + s.params[fieldAt] + "' cannot be written");
    return;
  }
  if (field.ends_with("SCRIPT")) ScriptParam(line, s, fieldAt + 1);
}

void ScriptChecker::CheckDamageOrAward(int line, const SplitLine& s, bool award) {
  if (s.params.empty()) return;
  const std::string sel = ToUpper(s.params[0]);
  const bool ok = award ? (sel == "TARGET" || sel == "USER" || sel == "PARTY" || sel == "ALL")
                        : (sel == "TARGET" || sel == "USER" || sel == "PARTY" || sel == "ENEMY" ||
                           sel == "ALLFOE" || sel == "ALLFRIEND");
  if (!ok) {
    Error(line, s.word + ": unknown selector '" + s.params[0] + "'");
    return;
  }
  const size_t k = (sel == "PARTY" || sel == "ENEMY") ? 2 : 1;  // first amount, 0-based
  if (s.params.size() < k + 2) {
    Error(line, s.word + " " + sel + " needs at least " + std::to_string(k + 2) +
                    " parameters, has " + std::to_string(s.params.size()));
    return;
  }
  if (s.params.size() == k + 3) CheckKeyword(line, s, k + 2, {award ? "MSG" : "POPUP"}, true);
}

void ScriptChecker::CheckLine(const ScriptLine& line) {
  const SplitLine s = Split(line.text);
  const CommandRule* rule = FindCommand(s.word);
  if (!rule) {
    std::string hint;
    if (line.text.find_first_not_of(" \t") != std::string::npos &&
        line.text[line.text.find_first_not_of(" \t")] == '\'')
      hint = " (a comment must not be indented with a tab)";
    else if (s.word.empty()) hint = " (a line of tabs)";
    Error(line.number, "unknown command '" + s.word + "'" + hint);
    return;
  }
  CheckCount(line, s, *rule);
  const int n = line.number;
  const std::string& w = s.word;
  if (w == "END") sawEnd_ = true;
  else if (w == "IF") {
    openIfs_.push_back(n);
    if (s.params.size() == 3)
      CheckKeyword(n, s, 1, {"=", "<", ">", "<>", "><", "<=", "=<", "=>", ">="}, true);
  } else if (w == "ELSE") {
    if (openIfs_.empty()) Warning(n, "ELSE without IF");
  } else if (w == "ENDIF") {
    if (openIfs_.empty()) Warning(n, "ENDIF without IF");
    else openIfs_.pop_back();
  } else if (w == "LOADMAP" || w == "FIGHTINIT") {
    FileParam(n, s, 0, "map", refs_ ? &refs_->maps : nullptr);
    if (w == "LOADMAP") CheckKeyword(n, s, 1, {"ALLES"}, false);
  } else if (w == "LOADEVENTS") {
    FileParam(n, s, 0, "eventmap", refs_ ? &refs_->eventmaps : nullptr);
    CheckKeyword(n, s, 1, {"ALLES"}, false);
  } else if (w == "LOADTILES") {
    FileParam(n, s, 0, "tilemap", refs_ ? &refs_->tilemaps : nullptr);
  } else if (w == "LOADDOODADS") {
    FileParam(n, s, 0, "doodadmap", refs_ ? &refs_->doodadmaps : nullptr);
    if (s.params.size() > 1 && ToUpper(s.params[1]) == "CHARACTER")
      Error(n, "LOADDOODADS: the unit sheet is selected with CHARCTER (spelled so)");
    else CheckKeyword(n, s, 1, {"MAP", "CHARCTER", "ITEM"}, false);
  } else if (w == "RUNSCRIPT") {
    ScriptParam(n, s, 0);
  } else if (w == "PLAYSOUND" || w == "PLAYAMBIENT") {
    auto name = TextParam(n, s, 0, "sound file name");
    // An empty name plays nothing; PLAYAMBIENT "" is how the music stops.
    if (name && !TrimBlanks(*name).empty()) CheckSound(n, w, *name);
  } else if (w == "MSG") {
    TextParam(n, s, 0, "message");
  } else if (w == "INPUTTEXT") {
    TextParam(n, s, 0, "caption");
    TextParam(n, s, 1, "default text");
  } else if (w == "ADDLISTITEM") {
    TextParam(n, s, 0, "entry name");
  } else if (w == "SAVING") {
    CheckKeyword(n, s, 0, {"ON", "OFF"}, true);
  } else if (w == "SHOWLIST") {
    CheckKeyword(n, s, 0, {"NOESC"}, false);
  } else if (w == "SELECTTARGET") {
    CheckKeyword(n, s, 0, {"FOE", "FRIEND"}, true);
  } else if (w == "SFX") {
    CheckKeyword(n, s, 0, {"ZOOMIN", "ZOOMOUT", "HWHIPE", "VWHIPE"}, true);
    CheckKeyword(n, s, 2, {"IN", "OUT"}, true);
  } else if (w == "SETACTOR" && s.params.size() == 5) {
    const std::string action = ToLower(s.params[4]);
    if (action != "nothing" && action != "walk" && action != "step" && action != "invisible" &&
        action != "turn" && action != "jump")
      Warning(n, "SETACTOR: unknown action '" + s.params[4] +
                     "' (nothing, walk, step, invisible, turn, jump) leaves the action unchanged");
  } else if (w == "CHANGE") {
    CheckChange(n, s);
  } else if (w == "DAMAGE" || w == "AWARD") {
    CheckDamageOrAward(n, s, w == "AWARD");
  }
}

}  // namespace

void CheckScript(const std::string& name, std::string_view text, const GameIndex& index,
                 Report& report, ScriptReferences* refs) {
  ScriptChecker checker(name, index, report, refs);
  checker.Run(text);
}

// --- The whole game -------------------------------------------------------------

namespace {

bool IsPictureName(std::string_view lower) {
  return lower.ends_with(".bmp") || lower.ends_with(".jpg");
}

// Script files below `dir` as the game names them (prefix\name).
void CollectScripts(const fs::path& dir, const std::string& prefix,
                    std::vector<std::pair<std::string, fs::path>>& out) {
  std::error_code ec;
  std::vector<fs::directory_entry> entries;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
    entries.push_back(*it);
  std::sort(entries.begin(), entries.end(),
            [](const auto& a, const auto& b) { return a.path() < b.path(); });
  for (const auto& e : entries) {
    const std::string file = e.path().filename().string();
    if (e.is_directory(ec)) {
      CollectScripts(e.path(), prefix + file + "\\", out);
      continue;
    }
    const std::string name = prefix + file;
    const std::string trimmed = ToLower(TrimBlanks(name));
    if (trimmed.size() >= 3 && trimmed.ends_with("skr")) out.emplace_back(name, e.path());
  }
}

class GameChecker {
 public:
  GameChecker(const fs::path& gameDir, const fs::path& programDir, Report& report)
      : dir_(gameDir), programDir_(programDir), report_(report) {}
  void Run();

 private:
  std::optional<std::string> Bytes(std::string_view name) {
    auto path = ResolvePath(dir_, name);
    if (!path) return std::nullopt;
    return ReadFileBytes(*path);
  }
  bool PictureExists(std::string_view picture) const;
  void NeedFile(const std::string& from, const std::string& field, const std::string& name,
                std::string_view what);
  void NeedScript(const std::string& from, const std::string& field, const std::string& name);
  void NeedPicture(const std::string& from, const std::string& name);
  void CheckCharacters();
  void CheckItems();
  void CheckMap(const std::string& name);
  void CheckEventmap(const std::string& name);
  void CheckTilemap(const std::string& name);
  void CheckDoodadmap(const std::string& name);
  static bool Seen(std::set<std::string>& set, const std::string& name) {
    return !set.insert(ToLower(name)).second;
  }

  fs::path dir_, programDir_;
  Report& report_;
  GameIndex index_;
  std::set<std::string> mapsSeen_, eventmapsSeen_, tilemapsSeen_, doodadmapsSeen_;
};

bool GameChecker::PictureExists(std::string_view picture) const {
  const std::string lower = ToLower(picture);
  std::vector<std::string> names;
  if (IsPictureName(lower)) names = {lower};
  else names = {lower + ".bmp", lower + ".jpg"};
  for (const fs::path& base : {dir_, programDir_})
    for (const std::string& n : names)
      if (FileExists(base, n)) return true;
  return false;
}

void GameChecker::NeedFile(const std::string& from, const std::string& field,
                           const std::string& name, std::string_view what) {
  if (TrimBlanks(name).empty()) return;
  if (!index_.fileExists(name))
    report_.Error(from, 0, field, std::string(what) + " '" + name + "' not found");
}

void GameChecker::NeedScript(const std::string& from, const std::string& field,
                             const std::string& name) {
  if (TrimBlanks(name).empty()) return;
  if (!index_.scripts.contains(ToLower(name)))
    report_.Error(from, 0, field, "script '" + name + "' not found");
}

void GameChecker::NeedPicture(const std::string& from, const std::string& name) {
  if (TrimBlanks(name).empty()) {
    report_.Warning(from, 0, "picture", "is empty; nothing will be drawn");
    return;
  }
  if (!PictureExists(name)) report_.Error(from, 0, "picture", "'" + name + "' not found");
}

void GameChecker::CheckTilemap(const std::string& name) {
  if (Seen(tilemapsSeen_, name)) return;
  auto bytes = Bytes(name);
  if (!bytes) return;
  TileSheetFile sheet;
  if (ReadTileSheetFile(*bytes, 1.0f, sheet) != LoadStatus::Ok) {
    report_.Error(name, 0, "", "is not a tilemap file the game can read");
    return;
  }
  NeedPicture(name, sheet.picture);
  if (sheet.tileWidth <= 0 || sheet.tileHeight <= 0)
    report_.Error(name, 0, "tile size", "must be at least 1 x 1");
}

void GameChecker::CheckDoodadmap(const std::string& name) {
  if (Seen(doodadmapsSeen_, name)) return;
  auto bytes = Bytes(name);
  if (!bytes) return;
  SpriteSheetFile sheet;
  if (ReadSpriteSheetFile(*bytes, 1.0f, sheet) != LoadStatus::Ok) {
    report_.Error(name, 0, "", "is not a doodadmap file the game can read");
    return;
  }
  NeedPicture(name, sheet.picture);
}

void GameChecker::CheckMap(const std::string& name) {
  if (Seen(mapsSeen_, name)) return;
  auto bytes = Bytes(name);
  if (!bytes) return;
  MapFileData map;
  if (LoadStatus s = ReadMapFile(*bytes, map); s != LoadStatus::Ok) {
    report_.Error(name, 0, "",
                  s == LoadStatus::ZeroTile ? "a cell has tile 0, so the map fails to load"
                                            : "is not a map file the game can read");
    return;
  }
  NeedFile(name, "tilemap", map.tilemapFile, "tilemap");
  NeedFile(name, "doodadmap", map.doodadmapFile, "doodadmap");
  if (!TrimBlanks(map.tilemapFile).empty() && index_.fileExists(map.tilemapFile)) {
    CheckTilemap(map.tilemapFile);
    TileSheetFile sheet;
    auto tb = Bytes(map.tilemapFile);
    if (tb && ReadTileSheetFile(*tb, 1.0f, sheet) == LoadStatus::Ok) {
      for (size_t i = 0; i < map.tiles.size(); ++i)
        if (map.tiles[i] > static_cast<int>(sheet.tiles.size())) {
          report_.Warning(name, 0,
                          "row " + std::to_string(i / static_cast<size_t>(map.width) + 1) +
                              ", column " + std::to_string(i % static_cast<size_t>(map.width) + 1),
                          "tile " + std::to_string(map.tiles[i]) + " is not in '" +
                              map.tilemapFile + "' and is not drawn");
          break;
        }
    }
  }
  if (!TrimBlanks(map.doodadmapFile).empty() && index_.fileExists(map.doodadmapFile))
    CheckDoodadmap(map.doodadmapFile);
}

void GameChecker::CheckEventmap(const std::string& name) {
  if (Seen(eventmapsSeen_, name)) return;
  auto bytes = Bytes(name);
  if (!bytes) return;
  EventmapFileData ev;
  if (ReadEventmapFile(*bytes, ev) != LoadStatus::Ok) {
    report_.Error(name, 0, "", "is not an eventmap file the game can read");
    return;
  }
  NeedFile(name, "map", ev.mapFile, "map");
  if (!TrimBlanks(ev.mapFile).empty() && index_.fileExists(ev.mapFile)) {
    CheckMap(ev.mapFile);
    MapFileData map;
    auto mb = Bytes(ev.mapFile);
    if (mb && ReadMapFile(*mb, map) == LoadStatus::Ok &&
        (map.width != ev.width || map.height != ev.height))
      report_.Error(name, 0, "size",
                    std::to_string(ev.width) + " x " + std::to_string(ev.height) +
                        " differs from its map '" + ev.mapFile + "' (" +
                        std::to_string(map.width) + " x " + std::to_string(map.height) + ")");
  }
  for (size_t i = 0; i < ev.cells.size(); ++i) {
    const EventCell& c = ev.cells[i];
    const std::string at = "cell " + std::to_string(i % static_cast<size_t>(ev.width) + 1) + ", " +
                           std::to_string(i / static_cast<size_t>(ev.width) + 1);
    NeedScript(name, at + ": enter", c.ENTERSCRIPT);
    NeedScript(name, at + ": leave", c.LEAVESCRIPT);
    NeedScript(name, at + ": use", c.USESCRIPT);
    NeedScript(name, at + ": push", c.PUSHSCRIPT);
  }
}

void GameChecker::CheckCharacters() {
  auto bytes = Bytes("chars.dat");
  if (!bytes) return;
  CharacterFileData data;
  if (ReadCharacterFile(*bytes, data) != LoadStatus::Ok) {
    report_.Error("chars.dat", 0, "", "is not a character file the game can read");
    return;
  }
  NeedFile("chars.dat", "doodadmap", data.doodadmapFile, "doodadmap");
  if (!data.doodadmapFile.empty() && index_.fileExists(data.doodadmapFile))
    CheckDoodadmap(data.doodadmapFile);
}

void GameChecker::CheckItems() {
  auto bytes = Bytes("items.dat");
  if (!bytes) return;
  ItemFileData data;
  if (ReadItemFile(*bytes, data) != LoadStatus::Ok) {
    report_.Error("items.dat", 0, "", "is not an item file the game can read");
    return;
  }
  NeedFile("items.dat", "doodadmap", data.doodadmapFile, "doodadmap");
  if (!data.doodadmapFile.empty() && index_.fileExists(data.doodadmapFile))
    CheckDoodadmap(data.doodadmapFile);
  for (size_t i = 0; i < data.items.size(); ++i) {
    const std::string at = "item " + std::to_string(i + 1) + " '" + data.items[i].NAME + "'";
    NeedScript("items.dat", at + ": SCRIPT", data.items[i].SCRIPT);
    NeedScript("items.dat", at + ": FIGHTSCRIPT", data.items[i].FIGHTSCRIPT);
  }
}

void GameChecker::Run() {
  std::vector<std::pair<std::string, fs::path>> scripts;
  CollectScripts(dir_, "", scripts);
  for (const auto& s : scripts) index_.scripts.insert(ToLower(s.first));
  index_.fileExists = [this](std::string_view name) { return FileExists(dir_, name); };
  index_.pictureExists = [this](std::string_view name) { return PictureExists(name); };
  if (!index_.scripts.contains("autoexec.skr"))
    report_.Error("autoexec.skr", 0, "", "not found: a game starts with its autoexec.skr");
  ScriptReferences refs;
  for (const auto& [name, path] : scripts) {
    auto text = ReadFileBytes(path);
    if (!text) {
      report_.Error(name, 0, "", "cannot be read");
      continue;
    }
    CheckScript(name, *text, index_, report_, &refs);
  }
  CheckCharacters();
  CheckItems();
  for (const auto& m : refs.maps) CheckMap(m);
  for (const auto& e : refs.eventmaps) CheckEventmap(e);
  for (const auto& t : refs.tilemaps) CheckTilemap(t);
  for (const auto& d : refs.doodadmaps) CheckDoodadmap(d);
}

}  // namespace

void CheckGame(const fs::path& gameDir, const fs::path& programDir, Report& report) {
  GameChecker checker(gameDir, programDir, report);
  checker.Run();
}

fs::path DefaultProgramDir(const fs::path& gameDir) {
  const fs::path abs = fs::absolute(gameDir).lexically_normal();
  const fs::path dir = abs.has_filename() ? abs : abs.parent_path();
  if (ToLower(dir.parent_path().filename().string()) == "games")
    return dir.parent_path().parent_path();
  return dir;
}

}  // namespace yw::pack
