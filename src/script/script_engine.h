// The script language: starting scripts, the line reader, expressions and
// the interpreter.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "world/script_value.h"

namespace yw {

class Engine;

// Pushes the named script on the script stack and switches to script mode.
void RunScript(Engine& e, std::string_view name);

// Runs the top level of the script stack until it ends, fails or hands
// control back. Returns the result code (0 = normal).
uint8_t Interpret(Engine& e);


// True when the running script goes straight on to a choice list: its next
// lines are ADDLISTITEM lines and a SHOWLIST that will have entries to show.
// The message it has just shown is then the question the list answers.
bool ChoiceFollows(const Engine& e);

// Evaluates an expression in the given kind (see ValueKind).
ScriptValue Evaluate(Engine& e, std::string_view text, ValueKind& kind);

}  // namespace yw
