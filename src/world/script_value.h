// Values of the script language: a number, a text, or nothing.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace yw {

// Evaluation kind: what an expression is evaluated as.
enum class ValueKind : int8_t { Number = 0, Text = 1, Undecided = 2 };

struct ScriptValue {
  // Nothing, a number (held as the double it was computed in; arithmetic
  // rounds to single precision where the language says so), or a text.
  std::variant<std::monostate, double, std::string> v;

  bool IsNothing() const { return std::holds_alternative<std::monostate>(v); }
  bool IsNumber() const { return std::holds_alternative<double>(v); }
  bool IsText() const { return std::holds_alternative<std::string>(v); }
  double Number() const { return IsNumber() ? std::get<double>(v) : 0.0; }
  std::string Text() const { return IsText() ? std::get<std::string>(v) : std::string(); }
  bool operator==(const ScriptValue&) const = default;
};

// One of the script variables A to J.
struct ScriptVariable {
  ScriptValue value;
  ValueKind kind = ValueKind::Number;
};

}  // namespace yw
