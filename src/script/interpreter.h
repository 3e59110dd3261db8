// The interpreter's internals: result codes, what a command handler
// receives and returns, and the handler of each command word.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "script/language.h"

namespace yw {

class Engine;

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

// The handler for an upper-case command word, or nullptr for an unknown one.
CommandHandler FindCommand(std::string_view word);

}  // namespace yw
