// The script language as both the interpreter and the authoring tool's
// linter read it: how a line splits into a command word and parameters, and
// every command word with the parameters it takes. Nothing here runs a
// command (script/interpreter.h binds each word to its handler).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace yw {

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

struct CommandEntry {
  std::string_view word;
  ParamCount count;
  std::span<const KeywordParam> keywords;
};

// The command words in the order they are tested, with the parameters
// they take; the authoring tool's linter checks scripts against it.
std::span<const CommandEntry> CommandTable();

// The entry of an upper-case command word, or nullptr.
const CommandEntry* FindCommandEntry(std::string_view word);

}  // namespace yw
