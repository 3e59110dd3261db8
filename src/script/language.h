// The script language as both the interpreter and the authoring tool's
// linter read it: how a line splits into a command word and parameters, and
// every command word with the parameters it takes. Nothing here runs a
// command (script/interpreter.h binds each word to its handler).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace yw {

// Result codes of the interpreter; each non-zero code has its message.
enum class ScriptCode : uint8_t {
  Ok = 0,
  NoBegin = 1,
  NoEnd = 2,
  MapNotFound = 3,
  MapLoadFailed = 4,
  EventMapLoadFailed = 5,
  EventMapNotFound = 6,
  TilemapNotFound = 7,
  TilemapLoadFailed = 8,
  DoodadMapNotFound = 9,
  DoodadMapLoadFailed = 10,
  UnknownCommand = 11,
  CharacterNotFound = 12,
  UnknownParameters = 13,
  OutsideMap = 14,
  NotEnoughParameters = 15,
  NpcNotFound = 16,
  TempFileNotWritten = 17,
  FightNotInitialized = 18,
  TempFileNotRead = 19,
  NoItemUser = 20,
  NothingToSelect = 21,
  CannotCompare = 22,
  EnemyNotFound = 23,
  ItemNotFound = 24,
  OnlyPartyEarns = 25,
  WrongDirection = 26,
};

// The message shown for a result code ("" for 0).
std::string ScriptErrorMessage(uint8_t code);
inline std::string ScriptErrorMessage(ScriptCode code) {
  return ScriptErrorMessage(static_cast<uint8_t>(code));
}

// A script line taken apart: the command word in capitals and the
// parameters, each trimmed of blanks (quotes kept).
struct ParsedLine {
  std::string word;
  std::vector<std::string> params;
};

// Splits a line: the command word runs from the first character that is
// neither a blank nor a tab up to the next blank; the rest, trimmed, is
// split at backslashes outside double quotes.
ParsedLine SplitLine(std::string_view line);

// How many parameters a command takes: fewer than `min` (or, when `exact`,
// any other number) fails with "Not enough parameters"; those beyond `max`
// are not read (kAnyCount: no limit).
inline constexpr uint8_t kAnyCount = UINT8_MAX;
struct ParamCount {
  uint8_t min = 0;
  uint8_t max = kAnyCount;
  bool exact = false;
};

// A keyword parameter (0-based position): when the line has it, it must be
// one of `words` (trimmed, any letter case), else the command fails with
// "Unknown parameters".
struct KeywordParam {
  uint8_t index;
  std::span<const std::string_view> words;
};

// What a parameter holds. The authoring tool's linter checks each
// parameter by its kind.
enum class ParamKind : uint8_t {
  Number,      // an expression giving a number
  Text,        // a text: parts in double quotes, terms
  Expression,  // a number or a text
  NewValue,    // the new value of the variable the command word names
  Keyword,     // one of the words of the command's keyword parameter
  MapFile,     // the name of a file of that kind (a text)
  EventmapFile,
  TilemapFile,
  DoodadmapFile,
  Script,        // a script's name (a text)
  Sound,         // a sound effect's file (a text)
  Music,         // an ambient music's file (a text); the extension may be left out
  ActorAction,   // one of SETACTOR's action words (kActorActions)
  RecordKind,    // CHANGE's record kind: the address, field and value follow from it
  DamageTarget,  // DAMAGE's selector: a number, the amounts and POPUP follow from it
  AwardTarget,   // AWARD's selector: a number, the amounts and MSG follow from it
};

// A parameter by its position on the line. `missing` is the code the
// command fails with when the line leaves the parameter out (Ok: none).
struct ParamInfo {
  std::string_view name;
  ParamKind kind;
  ScriptCode missing = ScriptCode::Ok;
};

// The commands that shape the flow of a script: END ends it; IF, ELSE and
// ENDIF make its blocks, the only words a skipped block is read for.
enum class Flow : uint8_t { Plain, End, If, Else, EndIf };

struct CommandEntry {
  std::string_view word;
  ParamCount count;
  std::span<const KeywordParam> keywords;
  std::span<const ParamInfo> params;  // those whose position is fixed, in order
  std::string_view about;             // what the command does, in a line
  Flow flow = Flow::Plain;
};

// The command words in the order they are tested, with the parameters
// they take; the authoring tool's linter checks scripts against it.
std::span<const CommandEntry> CommandTable();

// The entry of an upper-case command word, or nullptr.
const CommandEntry* FindCommandEntry(std::string_view word);

// SETACTOR's action words, compared in lower case, with the action each
// sets (ActorAction's value).
struct ActorActionWord {
  std::string_view word;
  int32_t action;
};
inline constexpr std::array<ActorActionWord, 6> kActorActions{{
    {"nothing", 1},
    {"walk", 2},
    {"step", 4},
    {"invisible", 5},
    {"turn", 3},
    {"jump", 6},
}};

}  // namespace yw
