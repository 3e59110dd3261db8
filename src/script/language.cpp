// The script language: the line splitter and the command table, every
// command word with its parameter count and its keyword parameters, in the
// order the words are tested.
#include "script/language.h"

#include <array>

#include "world/paths.h"

namespace yw {

namespace {

using Words = std::span<const std::string_view>;

// The keyword parameters, by the position they take on the line.
constexpr std::array<std::string_view, 1> kAllesWord{"ALLES"};
constexpr std::array<std::string_view, 3> kSheetWords{"MAP", "CHARCTER", "ITEM"};
constexpr std::array<std::string_view, 8> kChangeWords{"CHARACTER", "ITEM", "PARTY",  "ENEMY",
                                                       "NPC",       "MAP",  "TARGET", "USER"};
constexpr std::array<std::string_view, 2> kOnOffWords{"ON", "OFF"};
constexpr std::array<std::string_view, 2> kSideWords{"FOE", "FRIEND"};
constexpr std::array<std::string_view, 6> kDamageWords{"TARGET", "USER",   "PARTY",
                                                       "ENEMY",  "ALLFOE", "ALLFRIEND"};
constexpr std::array<std::string_view, 4> kAwardWords{"TARGET", "USER", "PARTY", "ALL"};
constexpr std::array<std::string_view, 9> kCompareWords{"=",  "<",  ">",  "<>", "><",
                                                        "<=", "=<", "=>", ">="};
constexpr std::array<std::string_view, 1> kNoEscWord{"NOESC"};
constexpr std::array<std::string_view, 4> kEffectWords{"ZOOMIN", "ZOOMOUT", "HWHIPE", "VWHIPE"};
constexpr std::array<std::string_view, 2> kInOutWords{"IN", "OUT"};

constexpr std::array kAlles{KeywordParam{1, Words(kAllesWord)}};
constexpr std::array kSheetKind{KeywordParam{1, Words(kSheetWords)}};
constexpr std::array kChangeKind{KeywordParam{0, Words(kChangeWords)}};
constexpr std::array kOnOff{KeywordParam{0, Words(kOnOffWords)}};
constexpr std::array kSide{KeywordParam{0, Words(kSideWords)}};
constexpr std::array kDamageSelector{KeywordParam{0, Words(kDamageWords)}};
constexpr std::array kAwardSelector{KeywordParam{0, Words(kAwardWords)}};
constexpr std::array kCompare{KeywordParam{1, Words(kCompareWords)}};
constexpr std::array kNoEsc{KeywordParam{0, Words(kNoEscWord)}};
constexpr std::array kEffect{KeywordParam{0, Words(kEffectWords)},
                             KeywordParam{2, Words(kInOutWords)}};

// Word, parameter count {min, max, exact}, keyword parameters. The
// interpreter's handlers (commands_table.cpp) follow this order.
constexpr std::array kCommands{
    CommandEntry{"END", {0, kAnyCount}, {}},
    CommandEntry{"LOADMAP", {0, 2}, kAlles},
    CommandEntry{"LOADEVENTS", {0, 2}, kAlles},
    CommandEntry{"LOADTILES", {0, 1}, {}},
    CommandEntry{"LOADDOODADS", {1, 2}, kSheetKind},
    CommandEntry{"ADDCHARACTER", {1, 1}, {}},
    CommandEntry{"ADDNPC", {1, 1}, {}},
    CommandEntry{"KILLNPC", {0, 1}, {}},
    CommandEntry{"SETPOS", {2, 2}, {}},
    CommandEntry{"SETDIRECTION", {1, 1, true}, {}},
    CommandEntry{"CHANGE", {3, kAnyCount}, kChangeKind},
    CommandEntry{"MSG", {1, 1}, {}},
    CommandEntry{"SETACTOR", {5, 5, true}, {}},
    CommandEntry{"SHOWMOVIE", {0, 1}, {}},
    CommandEntry{"SAVING", {1, 1}, kOnOff},
    CommandEntry{"FIGHTINIT", {1, 1}, {}},
    CommandEntry{"ADDENEMY", {1, 1}, {}},
    CommandEntry{"RUNSCRIPT", {0, 1}, {}},
    CommandEntry{"FIGHTSTART", {0, 1}, {}},
    CommandEntry{"FIGHTEND", {0, 0}, {}},
    CommandEntry{"SELECTTARGET", {1, 1}, kSide},
    CommandEntry{"SELECTUSER", {0, 0}, {}},
    CommandEntry{"DAMAGE", {3, kAnyCount}, kDamageSelector},
    CommandEntry{"AWARD", {3, kAnyCount}, kAwardSelector},
    CommandEntry{"IF", {3, 3, true}, kCompare},
    CommandEntry{"ELSE", {0, 0}, {}},
    CommandEntry{"ENDIF", {0, 0}, {}},
    CommandEntry{"ADDVOODOO", {6, 6, true}, {}},
    CommandEntry{"GAMEOVER", {0, 0}, {}},
    CommandEntry{"INPUTTEXT", {0, 2}, {}},
    CommandEntry{"ADDLISTITEM", {2, 3}, {}},
    CommandEntry{"SHOWLIST", {0, 1}, kNoEsc},
    CommandEntry{"PLAYAMBIENT", {1, 1, true}, {}},
    CommandEntry{"PLAYSOUND", {1, 1, true}, {}},
    CommandEntry{"A", {1, 1, true}, {}},
    CommandEntry{"B", {1, 1, true}, {}},
    CommandEntry{"C", {1, 1, true}, {}},
    CommandEntry{"D", {1, 1, true}, {}},
    CommandEntry{"E", {1, 1, true}, {}},
    CommandEntry{"F", {1, 1, true}, {}},
    CommandEntry{"G", {1, 1, true}, {}},
    CommandEntry{"H", {1, 1, true}, {}},
    CommandEntry{"I", {1, 1, true}, {}},
    CommandEntry{"J", {1, 1, true}, {}},
    CommandEntry{"SFX", {2, 3}, kEffect},
};

// Splits the parameter text at backslashes that are not inside quotes.
std::vector<std::string> SplitParams(std::string_view text) {
  std::vector<std::string> params;
  if (text.empty()) return params;
  bool quoted = false;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '"') {
      quoted = !quoted;
    } else if (text[i] == '\\' && !quoted) {
      params.emplace_back(TrimBlanks(text.substr(start, i - start)));
      start = i + 1;
    }
  }
  params.emplace_back(TrimBlanks(text.substr(start)));
  return params;
}

// The messages of the result codes, by code.
constexpr std::array<std::string_view, 27> kMessages{
    "",
    "Script Error: No begin found!",
    "Script Error: No end found!",
    "Script Error: Map not found!",
    "Script Error: Map loading failed!",
    "Script Error: EventMap loading failed!",
    "Script Error: EventMap not found!",
    "Script Error: Tilemap not found!",
    "Script Error: Tilemap loading failed!",
    "Script Error: DoodadMap not found!",
    "Script Error: DoodadMap loading failed!",
    "Script Error: Unknown command!",
    "Script Error: Character not found!",
    "Script Error: Unknown parameters!",
    "Script Error: Target not within the Map!",
    "Script Error: Not enough parameters!",
    "Script Error: NPC not found!",
    "Script Error: Error while creating temporary File! (Possibly, the game is on a write "
    "protected disk or a CD ROM. Please do not run games from a CD ROM)",
    "Script Error: Fight was not inititalized!",
    "Script Error: Error while loading temporary File!",
    "Script Error: No item user selected!",
    "Script Error: Nothing there to be selected!",
    "Script Error: Unable to compare the variables!",
    "Script Error: Enemy not found!",
    "Script Error: Item not found!",
    "Script Error: Only party members are allowed to earn experience points.",
    "Script Error: Wrong direction value.",
};

}  // namespace

std::string ScriptErrorMessage(uint8_t code) {
  if (code < kMessages.size()) return std::string(kMessages[code]);
  return "Script Error: Unknown Error!";
}

std::span<const CommandEntry> CommandTable() { return kCommands; }

const CommandEntry* FindCommandEntry(std::string_view word) {
  for (const CommandEntry& entry : kCommands)
    if (entry.word == word) return &entry;
  return nullptr;
}

ParsedLine SplitLine(std::string_view line) {
  ParsedLine parsed;
  const size_t first = line.find_first_not_of(" \t");
  if (first == std::string_view::npos) return parsed;
  const size_t blank = line.find(' ', first);
  parsed.word =
      ToUpper(line.substr(first, blank == std::string_view::npos ? line.npos : blank - first));
  if (blank != std::string_view::npos)
    parsed.params = SplitParams(TrimBlanks(line.substr(blank + 1)));
  return parsed;
}

}  // namespace yw
