// The explanations of the authors' reference: what each command does with
// its parameters, what each expression term yields and what causes each
// script error. The facts the language itself holds (command words,
// parameter counts, keywords, error texts, fields) come from its tables;
// these texts only explain them.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace yw::pack {

struct CommandHelp {
  // The command word, or several words explained together ("A B C ...").
  std::string_view words;
  // The parameters in order, each with the kind it is read as.
  std::string_view parameters;
  std::string_view effect;
  // A line as a script would hold it; the linter accepts every example.
  std::string_view example;
};

struct TermHelp {
  std::string_view keyword;
  std::string_view arguments;
  std::string_view kind;  // "number", "text" or "the variable's"
  std::string_view yields;
  // An expression using the term and what it gives in the example world
  // the reference describes (see kExampleWorld).
  std::string_view example;
  std::string_view result;
};

// The world the term examples are evaluated in, as the reference states it.
inline constexpr std::string_view kExampleWorld =
    "a game with two characters, \"Hero\" (HP 30 of 40, EP 31) and \"Wolf\", the item "
    "\"Potion\" and the party of one member, \"Hero\", made from character 1";

std::span<const CommandHelp> CommandHelps();
std::span<const TermHelp> TermHelps();

// What makes a script fail with the result code `code` (1 to 26).
std::string_view ErrorCause(uint8_t code);

}  // namespace yw::pack
