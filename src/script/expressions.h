// Expressions of the script language and their bracketed terms.
#pragma once

#include <cstdint>
#include <string_view>

#include "world/script_value.h"

namespace yw {

class Engine;

// (Evaluate is declared in script/script_engine.h.)

// One bracketed term [keyword arguments].
ScriptValue ResolveTerm(Engine& e, std::string_view keyword, std::string_view arguments,
                        ValueKind& kind);

// The contest rule: true with probability a' / (a' + b), a' = min(a, 100).
bool Probe(Engine& e, int a, int b);

}  // namespace yw
