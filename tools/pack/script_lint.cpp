#include "script_lint.h"

#include <algorithm>
#include <array>
#include <optional>

#include "audio/sound_file.h"
#include "expression_lint.h"
#include "nearest_word.h"
#include "render/picture_header.h"
#include "script/language.h"
#include "script/line_reader.h"
#include "script_text.h"
#include "world/binary_io.h"
#include "world/data_files.h"
#include "world/paths.h"
#include "world/record_fields.h"

namespace yw::pack {

namespace fs = std::filesystem;

namespace {

bool Writable(const FieldInfo& f) { return f.access == Access::Write; }

// One significant line of a script as the game reads it.
struct ScriptLine {
  int number = 0;  // 1-based line of the file, counting every LF
  std::string text;
};

// The lines the interpreter's line reader yields, with the line of the file
// each starts on.
std::vector<ScriptLine> SignificantLines(std::string_view text) {
  std::vector<ScriptLine> out;
  size_t pos = 0;
  size_t counted = 0;
  int lineNo = 1;
  while (pos < text.size()) {
    size_t consumed = 0;
    const std::string_view rest = text.substr(pos);
    const std::string_view line = NextLine(rest, consumed);
    if (line.empty() || consumed == 0) break;
    const size_t at = pos + static_cast<size_t>(line.data() - rest.data());
    lineNo += static_cast<int>(std::count(text.begin() + static_cast<std::ptrdiff_t>(counted),
                                          text.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
    counted = at;
    out.push_back({lineNo, std::string(line)});
    pos += consumed;
  }
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

// What the game does when a script name leads nowhere: it tells the player
// and goes on.
std::string MissingScript(std::string_view name) {
  return "script '" + std::string(name) + "' not found; the game shows \"Error: Script " +
         std::string(name) + " not found!\" there and goes on";
}

bool HasLetters(std::string_view param) {
  return std::any_of(param.begin(), param.end(),
                     [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); });
}

// The variable an assignment refers to inside its own expression: a term
// [a] .. [j] naming the variable being assigned.
bool ReadsItself(char variable, std::string_view expression) {
  bool quoted = false;
  for (size_t i = 0; i < expression.size(); ++i) {
    const char c = expression[i];
    if (c == '"') quoted = !quoted;
    if (quoted || c != '[') continue;
    size_t k = i + 1;
    while (k < expression.size() && expression[k] == ' ') ++k;
    const size_t start = k;
    while (k < expression.size() && expression[k] != ' ' && expression[k] != '(' &&
           expression[k] != ']')
      ++k;
    if (k - start == 1 && ToUpper(expression.substr(start, 1))[0] == variable) return true;
  }
  return false;
}

class ScriptChecker {
 public:
  ScriptChecker(const std::string& name, const GameIndex& index, Report& report,
                ScriptReferences* refs)
      : name_(name), index_(index), report_(report), refs_(refs) {}

  void Run(std::string_view text);

 private:
  void Error(int line, const std::string& message) { report_.Error(name_, line, "", message); }
  void Warning(int line, const std::string& message) { report_.Warning(name_, line, "", message); }
  void CheckLine(const ScriptLine& line);
  void CheckCount(int line, const ParsedLine& s, const ParamCount& count);
  // Operators and decimal points that the evaluator reads otherwise than
  // they look, in the parameters that are expressions.
  void CheckBlankRule(int line, const ParsedLine& s, const CommandEntry& entry);
  // False (with the error reported) when a keyword parameter is not one the
  // command accepts.
  bool CheckKeyword(int line, const ParsedLine& s, const KeywordParam& keyword);
  // A text parameter; returns its literal value when it has one.
  std::optional<std::string> TextParam(int line, const ParsedLine& s, size_t index,
                                       std::string_view what);
  void FileParam(int line, const ParsedLine& s, size_t index, std::string_view what,
                 std::string_view failure, std::vector<std::string>* refList);
  void ScriptParam(int line, const ParsedLine& s, size_t index);
  void CheckSound(int line, const std::string& word, const std::string& name, bool ambient);
  void CheckChange(int line, const ParsedLine& s);
  void CheckDamageOrAward(int line, const ParsedLine& s, bool award);
  void CheckAssignment(int line, const ParsedLine& s);
  void CheckBlocks(int line, Flow flow);
  void CheckParam(int line, const ParsedLine& s, const CommandEntry& entry, size_t index,
                  bool shapeKnown);
  void CheckActorAction(int line, const ParsedLine& s, size_t index);

  const std::string& name_;
  const GameIndex& index_;
  Report& report_;
  ScriptReferences* refs_;
  std::vector<int> openIfs_;
  bool sawEnd_ = false;
  bool strayBlockWord_ = false;  // an ELSE or ENDIF without IF
  bool ended_ = false;           // an END outside any IF has been passed
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
  bool warnedUnreachable = false;
  for (size_t i = lines.front().text == "BEGIN" ? 1 : 0; i < lines.size(); ++i) {
    if (ended_ && !warnedUnreachable) {
      Warning(lines[i].number,
              "this line and every line after it come after the script's END and never run");
      warnedUnreachable = true;
    }
    CheckLine(lines[i]);
  }
  for (int line : openIfs_) Error(line, "IF without ENDIF");
  if (!sawEnd_) Error(0, "the script has no END");
}

void ScriptChecker::CheckCount(int line, const ParsedLine& s, const ParamCount& count) {
  const int n = static_cast<int>(s.params.size());
  if (n < count.min || (count.exact && n != count.min)) {
    const std::string meant = SeparatedLine(s, count);
    Error(line,
          s.word + " needs " + (count.exact ? "exactly " : "at least ") +
              std::to_string(count.min) + " parameter" + (count.min == 1 ? "" : "s") + ", has " +
              std::to_string(n) +
              (meant.empty() ? std::string()
                             : "; its parts are separated by \\: did you mean '" + meant + "'?"));
  } else if (count.max != kAnyCount && n > count.max) {
    Warning(line, s.word + " takes at most " + std::to_string(count.max) +
                      " parameters; the rest are ignored");
  }
}

void ScriptChecker::CheckBlankRule(int line, const ParsedLine& s, const CommandEntry& entry) {
  for (size_t i = 0; i < s.params.size(); ++i) {
    bool keyword = false;
    for (const KeywordParam& k : entry.keywords) keyword = keyword || k.index == i;
    if (keyword) continue;
    for (const std::string& slip : BlankRuleSlips(s.params[i])) Warning(line, s.word + ": " + slip);
  }
}

bool ScriptChecker::CheckKeyword(int line, const ParsedLine& s, const KeywordParam& keyword) {
  if (keyword.index >= s.params.size()) return true;
  const std::string& given = s.params[keyword.index];
  const std::string word = ToUpper(TrimBlanks(given));
  for (std::string_view a : keyword.words)
    if (word == a) return true;
  std::string list;
  for (std::string_view a : keyword.words) list += (list.empty() ? "" : ", ") + std::string(a);
  // The unit sheet's keyword is spelled CHARCTER; CHARACTER is the likely slip.
  const std::string hint = s.word == "LOADDOODADS" && word == "CHARACTER"
                               ? "; the unit sheet is CHARCTER (spelled so)"
                               : "";
  Error(line, s.word + ": unknown parameter '" + given + "' (allowed: " + list + hint + ")");
  return false;
}

std::optional<std::string> ScriptChecker::TextParam(int line, const ParsedLine& s, size_t index,
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

void ScriptChecker::FileParam(int line, const ParsedLine& s, size_t index, std::string_view what,
                              std::string_view failure, std::vector<std::string>* refList) {
  if (index >= s.params.size()) {
    if (failure.empty()) return;  // the parameter count is reported already
    Error(line, s.word + ": no " + std::string(what) + " named; the game stops with \"" +
                    std::string(failure) + "\"");
    return;
  }
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

void ScriptChecker::ScriptParam(int line, const ParsedLine& s, size_t index) {
  auto name = TextParam(line, s, index, "script name");
  if (!name || name->empty()) return;
  if (!index_.scripts.contains(FoldName(*name)))
    Warning(line, s.word + ": " + MissingScript(*name));
}

// The sound must be a file the game finds: the name trimmed, and for
// PLAYAMBIENT with the extension the game adds when it has none.
void ScriptChecker::CheckSound(int line, const std::string& word, const std::string& name,
                               bool ambient) {
  const std::string file = ambient ? AmbientFileName(index_, name) : name;
  if (index_.fileExists(TrimBlanks(file))) {
    const std::string problem =
        index_.soundProblem ? index_.soundProblem(TrimBlanks(file), !ambient) : std::string();
    if (!problem.empty()) Warning(line, word + ": sound '" + file + "' will not play: " + problem);
    return;
  }
  Error(line,
        word + ": sound '" + name + "' not found" +
            (ambient && AmbientNameTakesExtension(name) ? " (nor with .wav, .mp3 or .mid)" : ""));
}

void ScriptChecker::CheckChange(int line, const ParsedLine& s) {
  const std::string kind = ToUpper(TrimBlanks(s.params[0]));
  const std::string lowerKind = ToLower(kind);
  const std::optional<ScriptRecord> named = ScriptRecordNamed(lowerKind);
  // TARGET and USER need no address: they stand for a party member or an
  // enemy, and a field either of them takes is good.
  const bool implicit = kind == "TARGET" || kind == "USER";
  const size_t need = 3 + (named ? AddressCount(*named) : 0);  // kind, address, field, value
  if (s.params.size() < need) {
    Error(line, "CHANGE " + kind + " needs at least " + std::to_string(need) + " parameters, has " +
                    std::to_string(s.params.size()));
    return;
  }
  const size_t fieldAt = need - 2;
  const std::string field = ToUpper(s.params[fieldAt]);
  const std::vector<std::string_view> records =
      implicit ? std::vector<std::string_view>{"party", "enemy"}
               : std::vector<std::string_view>{lowerKind};
  std::optional<FieldInfo> info;
  for (std::string_view word : records) {
    const auto record = ScriptRecordNamed(word);
    const auto f = record ? ScriptField(*record, field) : std::nullopt;
    if (f && Writable(*f)) {
      info = f;
      break;
    }
  }
  if (!info) {
    Error(line, "CHANGE " + kind + ": field '" + s.params[fieldAt] + "' cannot be written");
    return;
  }
  if (info->namesScript) ScriptParam(line, s, fieldAt + 1);
}

// The selector itself is checked from the command table; here the count it
// needs and the marker after the amounts.
void ScriptChecker::CheckDamageOrAward(int line, const ParsedLine& s, bool award) {
  const std::string sel = ToUpper(TrimBlanks(s.params[0]));
  const size_t k = (sel == "PARTY" || sel == "ENEMY") ? 2 : 1;  // first amount, 0-based
  if (s.params.size() < k + 2) {
    Error(line, s.word + " " + sel + " needs at least " + std::to_string(k + 2) +
                    " parameters, has " + std::to_string(s.params.size()));
    return;
  }
  static constexpr std::array<std::string_view, 1> kMsg{"MSG"}, kPopup{"POPUP"};
  if (s.params.size() == k + 3)
    CheckKeyword(line, s, {static_cast<uint8_t>(k + 2), award ? kMsg : kPopup});
}

// A variable read in its own assignment has no kind yet: its old number
// joins the text (lost once a number decides the kind) or reads as nothing,
// so "A [A] + 1" gives 1 however often it runs.
void ScriptChecker::CheckAssignment(int line, const ParsedLine& s) {
  const char v = s.word[0];
  if (s.params.size() != 1 || s.params[0].find('"') != std::string::npos ||
      !ReadsItself(v, s.params[0]))
    return;
  const std::string x(1, v), y(1, v == 'J' ? 'I' : static_cast<char>(v + 1));
  Warning(line, x + " [" + x + "] ...: while " + x + " is being given a new value, [" + x +
                    "] reads as nothing, so " + x + " [" + x +
                    "] + 1 always gives 1; count with a "
                    "second variable: " +
                    y + " [" + x + "] + 1, then " + x + " [" + y + "]");
}

void ScriptChecker::CheckBlocks(int line, Flow flow) {
  switch (flow) {
    case Flow::Plain:
      return;
    case Flow::End:
      sawEnd_ = true;
      if (openIfs_.empty() && !strayBlockWord_) ended_ = true;
      return;
    case Flow::If:
      openIfs_.push_back(line);
      return;
    case Flow::Else:
      if (openIfs_.empty()) Warning(line, "ELSE without IF"), strayBlockWord_ = true;
      return;
    case Flow::EndIf:
      if (openIfs_.empty())
        Warning(line, "ENDIF without IF"), strayBlockWord_ = true;
      else
        openIfs_.pop_back();
      return;
  }
}

const std::vector<std::string_view>& CommandWords() {
  static const std::vector<std::string_view> words = [] {
    std::vector<std::string_view> out;
    for (const CommandEntry& c : CommandTable()) out.push_back(c.word);
    return out;
  }();
  return words;
}

void ScriptChecker::CheckLine(const ScriptLine& line) {
  const ParsedLine s = SplitLine(line.text);
  const CommandEntry* entry = FindCommandEntry(s.word);
  if (!entry) {
    std::string hint;
    if (line.text.find_first_not_of(" \t") != std::string::npos &&
        line.text[line.text.find_first_not_of(" \t")] == '\'')
      hint = " (a comment must not be indented with a tab)";
    else if (s.word.empty())
      hint = " (a line of tabs)";
    else
      hint = DidYouMean(s.word, CommandWords());
    Error(line.number, "unknown command '" + s.word + "'" + hint);
    return;
  }
  const int n = line.number;
  CheckBlocks(n, entry->flow);
  CheckCount(n, s, entry->count);
  CheckBlankRule(n, s, *entry);
  bool keywordsOk = true;
  for (const KeywordParam& k : entry->keywords) keywordsOk = CheckKeyword(n, s, k) && keywordsOk;
  // The parameters whose shape follows from the first one are checked once
  // that one is known to be right.
  const bool shapeKnown = keywordsOk && s.params.size() >= entry->count.min;
  for (size_t i = 0; i < entry->params.size(); ++i) CheckParam(n, s, *entry, i, shapeKnown);
}

// One parameter, by the kind the command table gives it.
void ScriptChecker::CheckParam(int n, const ParsedLine& s, const CommandEntry& entry, size_t i,
                               bool shapeKnown) {
  const ParamInfo& p = entry.params[i];
  const auto file = [&](std::vector<std::string>* refList) {
    const std::string failure =
        p.missing == ScriptCode::Ok ? std::string() : ScriptErrorMessage(p.missing);
    FileParam(n, s, i, p.name, failure, refList);
  };
  switch (p.kind) {
    case ParamKind::Number:
    case ParamKind::Expression:
    case ParamKind::Keyword:
      return;  // keywords: checked from the command's keyword list
    case ParamKind::Text:
      TextParam(n, s, i, p.name);
      return;
    case ParamKind::MapFile:
      return file(refs_ ? &refs_->maps : nullptr);
    case ParamKind::EventmapFile:
      return file(refs_ ? &refs_->eventmaps : nullptr);
    case ParamKind::TilemapFile:
      return file(refs_ ? &refs_->tilemaps : nullptr);
    case ParamKind::DoodadmapFile:
      return file(refs_ ? &refs_->doodadmaps : nullptr);
    case ParamKind::Script:
      if (i >= s.params.size() && i >= entry.count.min)
        Warning(n, s.word + " without a script name does nothing");
      ScriptParam(n, s, i);
      return;
    case ParamKind::Sound:
    case ParamKind::Music: {
      auto name = TextParam(n, s, i, "sound file name");
      // An empty name plays nothing; PLAYAMBIENT "" is how the music stops.
      if (name && !TrimBlanks(*name).empty())
        CheckSound(n, s.word, *name, p.kind == ParamKind::Music);
      return;
    }
    case ParamKind::ActorAction:
      // Looked at only on a line the command takes: otherwise nothing is set.
      if (s.params.size() == entry.count.min && entry.count.exact) CheckActorAction(n, s, i);
      return;
    case ParamKind::RecordKind:
      if (shapeKnown) CheckChange(n, s);
      return;
    case ParamKind::DamageTarget:
    case ParamKind::AwardTarget:
      if (shapeKnown) CheckDamageOrAward(n, s, p.kind == ParamKind::AwardTarget);
      return;
    case ParamKind::NewValue:
      CheckAssignment(n, s);
      return;
  }
}

void ScriptChecker::CheckActorAction(int n, const ParsedLine& s, size_t i) {
  const std::string action = ToLower(s.params[i]);
  const auto known = [&](const ActorActionWord& a) { return a.word == action; };
  if (std::any_of(kActorActions.begin(), kActorActions.end(), known)) return;
  std::string words;
  for (const ActorActionWord& a : kActorActions) (words += words.empty() ? "" : ", ") += a.word;
  Warning(n, s.word + ": unknown action '" + s.params[i] + "' (" + words +
                 ") leaves the action unchanged");
}

}  // namespace

void CheckScript(const std::string& name, std::string_view text, const GameIndex& index,
                 Report& report, ScriptReferences* refs) {
  ScriptChecker checker(name, index, report, refs);
  checker.Run(text);
}

// --- The whole game -------------------------------------------------------------

namespace {

DataSpot PointerSpot(std::string pointer) {
  DataSpot spot;
  spot.pointer = std::move(pointer);
  return spot;
}

DataSpot PropertySpot(std::string property) {
  DataSpot spot;
  spot.property = std::move(property);
  return spot;
}

DataSpot CellSpot(int x, int y, std::string event, std::string script) {
  DataSpot spot;
  spot.cellX = x;
  spot.cellY = y;
  spot.event = std::move(event);
  spot.script = std::move(script);
  return spot;
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
  GameChecker(const fs::path& gameDir, const fs::path& programDir, Report& report,
              const SourceLocator& locate)
      : dir_(gameDir), programDir_(programDir), report_(report), locate_(locate) {}
  void Run();

 private:
  std::optional<std::string> Bytes(std::string_view name) {
    auto path = ResolvePath(dir_, name, programDir_);
    if (!path) return std::nullopt;
    return ReadFileBytes(*path);
  }
  // The picture file a name means, as the game looks it up.
  std::optional<fs::path> FindPicture(std::string_view picture) const;
  bool PictureExists(std::string_view picture) const { return FindPicture(picture).has_value(); }
  std::string SoundProblem(std::string_view name, bool effect) const;
  // A problem in a data file, at its source when the build knows it.
  void Problem(Severity severity, const std::string& file, const std::string& field,
               const std::string& message, const DataSpot& spot = {});
  void NeedFile(const std::string& from, const std::string& field, const std::string& name,
                std::string_view what, const DataSpot& spot);
  void NeedScript(const std::string& from, const std::string& field, const std::string& name,
                  const DataSpot& spot);
  void NeedPicture(const std::string& from, const std::string& name, Severity missing);
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
  const SourceLocator& locate_;
  GameIndex index_;
  std::set<std::string> mapsSeen_, eventmapsSeen_, tilemapsSeen_, doodadmapsSeen_;
};

std::optional<fs::path> GameChecker::FindPicture(std::string_view picture) const {
  const std::vector<std::string> names = PictureFileNames(ToLower(picture));
  for (const fs::path& base : {dir_, programDir_})
    for (const std::string& n : names)
      if (FileExists(base, n, programDir_)) return ResolvePath(base, n, programDir_);
  return std::nullopt;
}

std::string GameChecker::SoundProblem(std::string_view name, bool effect) const {
  const auto path = ResolvePath(dir_, name, programDir_);
  if (!path) return {};
  return InspectSoundFile(*path, effect ? SoundUse::Effect : SoundUse::Music).problem;
}

void GameChecker::Problem(Severity severity, const std::string& file, const std::string& field,
                          const std::string& message, const DataSpot& spot) {
  std::optional<SourceSpot> at = locate_ ? locate_(file, spot) : std::nullopt;
  if (!at) at = SourceSpot{file, 0};
  // A problem with a whole file built from a source names the built file.
  const std::string where = at->file != file && field.empty() ? file : field;
  if (severity == Severity::Error)
    report_.Error(at->file, at->line, where, message);
  else
    report_.Warning(at->file, at->line, where, message);
}

void GameChecker::NeedFile(const std::string& from, const std::string& field,
                           const std::string& name, std::string_view what, const DataSpot& spot) {
  if (TrimBlanks(name).empty()) return;
  if (!index_.fileExists(name))
    Problem(Severity::Error, from, field, std::string(what) + " '" + name + "' not found", spot);
}

void GameChecker::NeedScript(const std::string& from, const std::string& field,
                             const std::string& name, const DataSpot& spot) {
  if (TrimBlanks(name).empty()) return;
  if (!index_.scripts.contains(FoldName(name)))
    Problem(Severity::Warning, from, field, MissingScript(name), spot);
}

// A sheet without its picture loads, but nothing of it is drawn: for a
// tilemap the whole ground of its maps is black, an error; a doodadmap's
// missing picture is a warning.
void GameChecker::NeedPicture(const std::string& from, const std::string& name, Severity missing) {
  const DataSpot spot = PointerSpot("/picture");
  if (TrimBlanks(name).empty()) {
    Problem(Severity::Warning, from, "picture", "is empty; nothing will be drawn", spot);
    return;
  }
  const auto file = FindPicture(name);
  if (!file) {
    Problem(missing, from, "picture",
            "'" + name +
                "' not found in the game folder or the program folder; nothing of "
                "this sheet will be drawn",
            spot);
  } else if (!ReadPictureFile(*file)) {
    Problem(missing, from, "picture",
            "'" + name + "' cannot be used (" + PictureFileProblem(*file) +
                "); nothing of this sheet will be drawn",
            spot);
  }
}

void GameChecker::CheckTilemap(const std::string& name) {
  if (Seen(tilemapsSeen_, name)) return;
  auto bytes = Bytes(name);
  if (!bytes) return;
  TileSheetFile sheet;
  if (ReadTileSheetFile(*bytes, 1.0f, sheet) != LoadStatus::Ok) {
    Problem(Severity::Error, name, "", "is not a tilemap file the game can read");
    return;
  }
  NeedPicture(name, sheet.picture, Severity::Error);
  if (sheet.tileWidth <= 0 || sheet.tileHeight <= 0)
    Problem(Severity::Error, name, "tile size", "must be at least 1 x 1",
            PointerSpot("/tileWidth"));
}

void GameChecker::CheckDoodadmap(const std::string& name) {
  if (Seen(doodadmapsSeen_, name)) return;
  auto bytes = Bytes(name);
  if (!bytes) return;
  SpriteSheetFile sheet;
  if (ReadSpriteSheetFile(*bytes, 1.0f, sheet) != LoadStatus::Ok) {
    Problem(Severity::Error, name, "", "is not a doodadmap file the game can read");
    return;
  }
  NeedPicture(name, sheet.picture, Severity::Warning);
}

void GameChecker::CheckMap(const std::string& name) {
  if (Seen(mapsSeen_, name)) return;
  auto bytes = Bytes(name);
  if (!bytes) return;
  MapFileData map;
  if (LoadStatus s = ReadMapFile(*bytes, map); s != LoadStatus::Ok) {
    Problem(Severity::Error, name, "",
            s == LoadStatus::ZeroTile ? "a cell has tile 0, so the map fails to load"
                                      : "is not a map file the game can read");
    return;
  }
  NeedFile(name, "tilemap", map.tilemapFile, "tilemap", PropertySpot("tilemap"));
  NeedFile(name, "doodadmap", map.doodadmapFile, "doodadmap", PropertySpot("doodadmap"));
  if (!TrimBlanks(map.tilemapFile).empty() && index_.fileExists(map.tilemapFile)) {
    CheckTilemap(map.tilemapFile);
    TileSheetFile sheet;
    auto tb = Bytes(map.tilemapFile);
    if (tb && ReadTileSheetFile(*tb, 1.0f, sheet) == LoadStatus::Ok) {
      for (size_t i = 0; i < map.tiles.size(); ++i)
        if (map.tiles[i] > static_cast<int>(sheet.tiles.size())) {
          Problem(Severity::Warning, name,
                  "row " + std::to_string(i / static_cast<size_t>(map.width) + 1) + ", column " +
                      std::to_string(i % static_cast<size_t>(map.width) + 1),
                  "tile " + std::to_string(map.tiles[i]) + " is not in '" + map.tilemapFile +
                      "' and is not drawn");
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
    Problem(Severity::Error, name, "", "is not an eventmap file the game can read");
    return;
  }
  NeedFile(name, "map", ev.mapFile, "map", PropertySpot("eventmap_mapfile"));
  if (!TrimBlanks(ev.mapFile).empty() && index_.fileExists(ev.mapFile)) {
    CheckMap(ev.mapFile);
    MapFileData map;
    auto mb = Bytes(ev.mapFile);
    if (mb && ReadMapFile(*mb, map) == LoadStatus::Ok &&
        (map.width != ev.width || map.height != ev.height))
      Problem(Severity::Error, name, "size",
              std::to_string(ev.width) + " x " + std::to_string(ev.height) +
                  " differs from its map '" + ev.mapFile + "' (" + std::to_string(map.width) +
                  " x " + std::to_string(map.height) + ")");
  }
  // Read through a const layer: a mutable reference would give every cell
  // an entry of its own, hundreds of bytes a cell on a large map.
  const EventCells& cells = ev.cells;
  size_t i = 0;
  for (auto it = cells.begin(); it != cells.end(); ++it, ++i) {
    const EventCell& c = *it;
    if (c.ENTERSCRIPT.empty() && c.LEAVESCRIPT.empty() && c.USESCRIPT.empty() &&
        c.PUSHSCRIPT.empty())
      continue;
    const int x = static_cast<int>(i % static_cast<size_t>(ev.width)) + 1;
    const int y = static_cast<int>(i / static_cast<size_t>(ev.width)) + 1;
    const std::string at = "cell " + std::to_string(x) + ", " + std::to_string(y);
    const auto spot = [&](const char* event, const std::string& script) {
      return CellSpot(x, y, event, script);
    };
    NeedScript(name, at + ": enter", c.ENTERSCRIPT, spot("enter", c.ENTERSCRIPT));
    NeedScript(name, at + ": leave", c.LEAVESCRIPT, spot("leave", c.LEAVESCRIPT));
    NeedScript(name, at + ": use", c.USESCRIPT, spot("use", c.USESCRIPT));
    NeedScript(name, at + ": push", c.PUSHSCRIPT, spot("push", c.PUSHSCRIPT));
    if (!TrimBlanks(c.ENTERSCRIPT).empty() && ToLower(c.ENTERSCRIPT) == ToLower(c.LEAVESCRIPT))
      Problem(Severity::Warning, name, at,
              "'" + c.ENTERSCRIPT +
                  "' is both the enter and the leave script, so it runs as "
                  "the player steps onto the cell and again as the player steps off it",
              spot("leave", c.LEAVESCRIPT));
  }
}

void GameChecker::CheckCharacters() {
  auto bytes = Bytes("chars.dat");
  if (!bytes) return;
  CharacterFileData data;
  if (ReadCharacterFile(*bytes, data) != LoadStatus::Ok) {
    Problem(Severity::Error, "chars.dat", "", "is not a character file the game can read");
    return;
  }
  NeedFile("chars.dat", "doodadmap", data.doodadmapFile, "doodadmap", PointerSpot("/doodadmap"));
  if (!data.doodadmapFile.empty() && index_.fileExists(data.doodadmapFile))
    CheckDoodadmap(data.doodadmapFile);
}

void GameChecker::CheckItems() {
  auto bytes = Bytes("items.dat");
  if (!bytes) return;
  ItemFileData data;
  if (ReadItemFile(*bytes, data) != LoadStatus::Ok) {
    Problem(Severity::Error, "items.dat", "", "is not an item file the game can read");
    return;
  }
  NeedFile("items.dat", "doodadmap", data.doodadmapFile, "doodadmap", PointerSpot("/doodadmap"));
  if (!data.doodadmapFile.empty() && index_.fileExists(data.doodadmapFile))
    CheckDoodadmap(data.doodadmapFile);
  for (size_t i = 0; i < data.items.size(); ++i) {
    const std::string at = "item " + std::to_string(i + 1) + " '" + data.items[i].NAME + "'";
    const std::string item = "/items/" + std::to_string(i);
    NeedScript("items.dat", at + ": SCRIPT", data.items[i].SCRIPT, PointerSpot(item + "/SCRIPT"));
    NeedScript("items.dat", at + ": FIGHTSCRIPT", data.items[i].FIGHTSCRIPT,
               PointerSpot(item + "/FIGHTSCRIPT"));
  }
}

void GameChecker::Run() {
  std::vector<std::pair<std::string, fs::path>> scripts;
  CollectScripts(dir_, "", scripts);
  for (const auto& s : scripts)
    if (!index_.scripts.insert(FoldName(s.first)).second)
      report_.Warning(s.first, 0, "",
                      "differs from another script's name only in letter case; the game "
                      "finds only one of them");
  index_.fileExists = [this](std::string_view name) { return FileExists(dir_, name, programDir_); };
  index_.pictureExists = [this](std::string_view name) { return PictureExists(name); };
  index_.soundProblem = [this](std::string_view name, bool effect) {
    return SoundProblem(name, effect);
  };
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
    WarnUtf8Lines(name, *text, report_);
  }
  CheckCharacters();
  CheckItems();
  for (const auto& m : refs.maps) CheckMap(m);
  for (const auto& e : refs.eventmaps) CheckEventmap(e);
  for (const auto& t : refs.tilemaps) CheckTilemap(t);
  for (const auto& d : refs.doodadmaps) CheckDoodadmap(d);
}

}  // namespace

void CheckGame(const fs::path& gameDir, const fs::path& programDir, Report& report,
               const SourceLocator& locate) {
  GameChecker checker(gameDir, programDir, report, locate);
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
