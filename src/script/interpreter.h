// The interpreter's internals: result codes, the line splitter, the command
// table and what a command handler receives and returns.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace yw {

class Engine;

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

// What a command asks of the interpreter: run the next line, hand control
// back to the main loop (the script resumes at the next line later), or stop
// with an error code.
class CommandResult {
 public:
  enum class Flow : uint8_t { NextLine, HandBack, Fail };

  // Ok continues with the next line; any other code is a failure.
  constexpr CommandResult(ScriptCode code)  // NOLINT: implicit on purpose
      : flow_(code == ScriptCode::Ok ? Flow::NextLine : Flow::Fail), code_(code) {}
  static constexpr CommandResult HandBack() { return CommandResult(Flow::HandBack); }

  Flow flow() const { return flow_; }
  ScriptCode code() const { return code_; }

 private:
  explicit constexpr CommandResult(Flow flow) : flow_(flow), code_(ScriptCode::Ok) {}
  Flow flow_;
  ScriptCode code_;
};

inline constexpr CommandResult kNextLine = ScriptCode::Ok;

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

// The interpreter's skip state within one call: whether lines are being
// passed over, and how many IFs deep inside the skipped block it is.
struct SkipState {
  bool skipping = false;
  int16_t depth = 0;
};

// What a command handler gets: the engine, the command word and its
// parameters, and the skip state that IF and ELSE change.
struct CommandContext {
  Engine& e;
  std::string_view word;
  std::span<const std::string> params;
  SkipState& skip;
};

using CommandHandler = CommandResult (*)(CommandContext&);

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

struct CommandEntry {
  std::string_view word;
  CommandHandler handler;
  ParamCount count;
  std::span<const KeywordParam> keywords;
};

// The handler for an upper-case command word, or nullptr for an unknown one.
// Words are compared exactly, in the order the language tests them.
CommandHandler FindCommand(std::string_view word);

// The command words in the order they are tested, with the parameters
// they take; the authoring tool's linter checks scripts against it.
std::span<const CommandEntry> CommandTable();

// The entry of an upper-case command word, or nullptr.
const CommandEntry* FindCommandEntry(std::string_view word);

}  // namespace yw
