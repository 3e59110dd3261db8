// Internals shared by the expression scanner, its terms and field access:
// nesting-aware entry points and small conversions.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "world/script_value.h"

namespace yw {

class Engine;

// Terms and parentheses nest; beyond this depth an inner expression yields
// nothing, so a pathological line can neither exhaust the stack nor take
// quadratic time per level.
inline constexpr int kMaxExpressionDepth = 64;

ScriptValue EvaluateAt(Engine& e, std::string_view text, ValueKind& kind, int depth);
ScriptValue ResolveTermAt(Engine& e, std::string_view keyword, std::string_view arguments,
                          ValueKind& kind, int depth);

// The term [data kind, address..., FIELD] over its split arguments.
ScriptValue DataTerm(Engine& e, const std::vector<std::string_view>& args, ValueKind& kind,
                     int depth);

// Evaluates `text` as a number (nothing counts as 0).
double EvaluateNumber(Engine& e, std::string_view text, int depth);
// Evaluates `text` as a text (nothing counts as empty).
std::string EvaluateText(Engine& e, std::string_view text, int depth);

// A number as decimal text, as [str ...] writes it and as a number joins a
// text.
std::string NumberText(double v);

// A double narrowed to a 32-bit float; values beyond its range become
// infinities instead of undefined conversions.
float ToSingle(double v);

// Names compared trimmed of blanks and without regard to letter case.
bool SameName(std::string_view a, std::string_view b);

// The first character whose NAME matches `name` (0 when none).
int16_t CharacterByName(const Engine& e, std::string_view name);

}  // namespace yw
