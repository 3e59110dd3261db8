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

// The parameters of the commands, by position.
using P = ParamInfo;
using K = ParamKind;
constexpr std::array kMapParams{P{"map", K::MapFile, ScriptCode::MapNotFound},
                                P{"ALLES", K::Keyword}};
constexpr std::array kEventmapParams{P{"eventmap", K::EventmapFile, ScriptCode::EventMapNotFound},
                                     P{"ALLES", K::Keyword}};
constexpr std::array kTilemapParams{P{"tilemap", K::TilemapFile, ScriptCode::TilemapNotFound}};
constexpr std::array kDoodadmapParams{P{"doodadmap", K::DoodadmapFile}, P{"sheet", K::Keyword}};
constexpr std::array kCharacterParam{P{"character", K::Number}};
constexpr std::array kNpcParam{P{"npc", K::Number}};
constexpr std::array kCellParams{P{"x", K::Number}, P{"y", K::Number}};
constexpr std::array kDirectionParam{P{"direction", K::Number}};
constexpr std::array kChangeParams{P{"kind", K::RecordKind}};
constexpr std::array kMessageParam{P{"message", K::Text}};
constexpr std::array kActorParams{P{"actor", K::Number}, P{"direction", K::Number},
                                  P{"distance", K::Number}, P{"speed", K::Number},
                                  P{"action", K::ActorAction}};
constexpr std::array kMillisecondsParam{P{"milliseconds", K::Number}};
constexpr std::array kSwitchParam{P{"switch", K::Keyword}};
constexpr std::array kFightMapParam{P{"map", K::MapFile}};
constexpr std::array kScriptParam{P{"script", K::Script}};
constexpr std::array kRoundsParam{P{"rounds", K::Number}};
constexpr std::array kSideParam{P{"side", K::Keyword}};
constexpr std::array kDamageParams{P{"who", K::DamageTarget}};
constexpr std::array kAwardParams{P{"who", K::AwardTarget}};
constexpr std::array kIfParams{P{"left", K::Expression}, P{"operator", K::Keyword},
                               P{"right", K::Expression}};
constexpr std::array kVoodooParams{P{"doodad", K::Number}, P{"x1", K::Number},
                                   P{"y1", K::Number},     P{"x2", K::Number},
                                   P{"y2", K::Number},     P{"milliseconds", K::Number}};
constexpr std::array kInputParams{P{"caption", K::Text}, P{"default text", K::Text}};
constexpr std::array kListItemParams{P{"entry name", K::Text}, P{"value", K::Number},
                                     P{"doodad", K::Number}};
constexpr std::array kNoEscParam{P{"NOESC", K::Keyword}};
constexpr std::array kMusicParam{P{"music", K::Music}};
constexpr std::array kSoundParam{P{"sound", K::Sound}};
constexpr std::array kValueParam{P{"value", K::NewValue}};
constexpr std::array kEffectParams{P{"effect", K::Keyword}, P{"milliseconds", K::Number},
                                   P{"way", K::Keyword}};

constexpr std::string_view kAssign = "gives the variable a new value, a number or a text";

// Word, parameter count {min, max, exact}, keyword parameters, parameters,
// what it does, its part in the flow. The interpreter's handlers
// (commands_table.cpp) follow this order.
constexpr std::array kCommands{
    CommandEntry{"END", {0, kAnyCount}, {}, {}, "ends the script", Flow::End},
    CommandEntry{"LOADMAP",
                 {0, 2},
                 kAlles,
                 kMapParams,
                 "loads a map; with ALLES its tilemap and doodadmap too"},
    CommandEntry{
        "LOADEVENTS", {0, 2}, kAlles, kEventmapParams, "loads an eventmap; with ALLES its map too"},
    CommandEntry{"LOADTILES", {0, 1}, {}, kTilemapParams, "loads a tilemap"},
    CommandEntry{"LOADDOODADS",
                 {1, 2},
                 kSheetKind,
                 kDoodadmapParams,
                 "loads a doodadmap for the map (MAP), the units (CHARCTER) or the items (ITEM)"},
    CommandEntry{"ADDCHARACTER", {1, 1}, {}, kCharacterParam, "a character joins the party"},
    CommandEntry{"ADDNPC", {1, 1}, {}, kCharacterParam, "adds an NPC that shows the character"},
    CommandEntry{"KILLNPC", {0, 1}, {}, kNpcParam, "removes the NPC, or every NPC"},
    CommandEntry{"SETPOS", {2, 2}, {}, kCellParams, "puts the player on a cell"},
    CommandEntry{"SETDIRECTION",
                 {1, 1, true},
                 {},
                 kDirectionParam,
                 "turns the player: 1 up, 2 down, 3 left, 4 right"},
    CommandEntry{"CHANGE",
                 {3, kAnyCount},
                 kChangeKind,
                 kChangeParams,
                 "changes a field: kind \\ address... \\ FIELD \\ value"},
    CommandEntry{"MSG", {1, 1}, {}, kMessageParam, "shows a message"},
    CommandEntry{"SETACTOR",
                 {5, 5, true},
                 {},
                 kActorParams,
                 "orders the player (actor 0) or an NPC to move"},
    CommandEntry{"SHOWMOVIE", {0, 1}, {}, kMillisecondsParam, "plays the actors' orders out"},
    CommandEntry{"SAVING", {1, 1}, kOnOff, kSwitchParam, "allows (ON) or forbids (OFF) saving"},
    CommandEntry{"FIGHTINIT", {1, 1}, {}, kFightMapParam, "sets a fight up on a map"},
    CommandEntry{"ADDENEMY", {1, 1}, {}, kCharacterParam, "adds an enemy made from a character"},
    CommandEntry{"RUNSCRIPT", {0, 1}, {}, kScriptParam, "runs a script, then goes on"},
    CommandEntry{"FIGHTSTART", {0, 1}, {}, kRoundsParam, "starts the fight"},
    CommandEntry{"FIGHTEND", {0, 0}, {}, {}, "ends the fight and puts the world back"},
    CommandEntry{"SELECTTARGET",
                 {1, 1},
                 kSide,
                 kSideParam,
                 "a target is chosen among the foes (FOE) or the friends (FRIEND)"},
    CommandEntry{"SELECTUSER", {0, 0}, {}, {}, "the player chooses who uses an item"},
    CommandEntry{"DAMAGE",
                 {3, kAnyCount},
                 kDamageSelector,
                 kDamageParams,
                 "takes hit points: who \\ [number \\] least \\ most [\\ POPUP]"},
    CommandEntry{"AWARD",
                 {3, kAnyCount},
                 kAwardSelector,
                 kAwardParams,
                 "gives experience points: who \\ [number \\] least \\ most [\\ MSG]"},
    CommandEntry{"IF",
                 {3, 3, true},
                 kCompare,
                 kIfParams,
                 "runs the lines up to ELSE or ENDIF when the comparison holds",
                 Flow::If},
    CommandEntry{
        "ELSE", {0, 0}, {}, {}, "runs the lines up to ENDIF when the IF did not", Flow::Else},
    CommandEntry{"ENDIF", {0, 0}, {}, {}, "ends an IF", Flow::EndIf},
    CommandEntry{
        "ADDVOODOO", {6, 6, true}, {}, kVoodooParams, "flies a doodad from one cell to another"},
    CommandEntry{"GAMEOVER", {0, 0}, {}, {}, "ends the game"},
    CommandEntry{
        "INPUTTEXT", {0, 2}, {}, kInputParams, "asks the player for a text, then read with [text]"},
    CommandEntry{"ADDLISTITEM", {2, 3}, {}, kListItemParams, "adds an entry to the script's list"},
    CommandEntry{"SHOWLIST",
                 {0, 1},
                 kNoEsc,
                 kNoEscParam,
                 "shows the script's list; NOESC: Escape does not close it"},
    CommandEntry{"PLAYAMBIENT", {1, 1, true}, {}, kMusicParam, "plays music; \"\" stops it"},
    CommandEntry{"PLAYSOUND", {1, 1, true}, {}, kSoundParam, "plays a sound effect"},
    CommandEntry{"A", {1, 1, true}, {}, kValueParam, kAssign},
    CommandEntry{"B", {1, 1, true}, {}, kValueParam, kAssign},
    CommandEntry{"C", {1, 1, true}, {}, kValueParam, kAssign},
    CommandEntry{"D", {1, 1, true}, {}, kValueParam, kAssign},
    CommandEntry{"E", {1, 1, true}, {}, kValueParam, kAssign},
    CommandEntry{"F", {1, 1, true}, {}, kValueParam, kAssign},
    CommandEntry{"G", {1, 1, true}, {}, kValueParam, kAssign},
    CommandEntry{"H", {1, 1, true}, {}, kValueParam, kAssign},
    CommandEntry{"I", {1, 1, true}, {}, kValueParam, kAssign},
    CommandEntry{"J", {1, 1, true}, {}, kValueParam, kAssign},
    CommandEntry{"SFX",
                 {2, 3},
                 kEffect,
                 kEffectParams,
                 "a screen effect: ZOOMIN, ZOOMOUT, HWHIPE or VWHIPE, IN or OUT"},
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
