// Block structure and variables: END, IF, ELSE, ENDIF and A to J.
#include <optional>

#include "core/engine.h"
#include "script/commands.h"
#include "script/script_engine.h"
#include "world/paths.h"

namespace yw {

namespace {

enum class Comparison : uint8_t { Equal, Less, Greater, NotEqual, LessOrEqual, GreaterOrEqual };

std::optional<Comparison> ParseComparison(std::string_view op) {
  op = TrimBlanks(op);
  if (op == "=") return Comparison::Equal;
  if (op == "<") return Comparison::Less;
  if (op == ">") return Comparison::Greater;
  if (op == "<>" || op == "><") return Comparison::NotEqual;
  if (op == "<=" || op == "=<") return Comparison::LessOrEqual;
  if (op == "=>" || op == ">=") return Comparison::GreaterOrEqual;
  return std::nullopt;
}

template <class T>
bool Compare(const T& a, const T& b, Comparison op) {
  switch (op) {
    case Comparison::Equal: return a == b;
    case Comparison::Less: return a < b;
    case Comparison::Greater: return a > b;
    case Comparison::NotEqual: return a != b;
    case Comparison::LessOrEqual: return a <= b;
    case Comparison::GreaterOrEqual: return a >= b;
  }
  return false;
}

// Texts are equal or unequal by content, and ordered by their length.
bool CompareTexts(const std::string& a, const std::string& b, Comparison op) {
  if (op == Comparison::Equal) return a == b;
  if (op == Comparison::NotEqual) return a != b;
  return Compare(a.size(), b.size(), op);
}

void StartSkipping(SkipState& skip) {
  skip.skipping = true;
  skip.depth = 0;
}

}  // namespace

CommandResult EndCommand(CommandContext& c) {
  World& w = c.e.world;
  if (ScriptLevel* level = w.ScriptDepth >= 1 ? w.ScriptStack.Find(w.ScriptDepth) : nullptr) {
    level->beginFound = false;
    level->Clear();
  }
  return CommandResult::HandBack();
}

CommandResult IfCommand(CommandContext& c) {
  if (c.params.size() != 3) return ScriptCode::NotEnoughParameters;
  ValueKind leftKind = ValueKind::Undecided, rightKind = ValueKind::Undecided;
  const ScriptValue left = Evaluate(c.e, c.params[0], leftKind);
  const ScriptValue right = Evaluate(c.e, c.params[2], rightKind);
  if (leftKind == ValueKind::Undecided) leftKind = rightKind;
  if (rightKind == ValueKind::Undecided) rightKind = leftKind;
  if (leftKind != rightKind) return ScriptCode::CannotCompare;
  const std::optional<Comparison> op = ParseComparison(c.params[1]);
  if (!op) return ScriptCode::UnknownParameters;
  // Two undecided values are both nothing: they compare as equal numbers.
  const bool holds = leftKind == ValueKind::Text
                         ? CompareTexts(left.Text(), right.Text(), *op)
                         : Compare(left.Number(), right.Number(), *op);
  if (!holds) StartSkipping(c.skip);
  return kNextLine;
}

CommandResult ElseCommand(CommandContext& c) {
  // Reached while running: the IF branch has just run, so skip this one.
  StartSkipping(c.skip);
  return kNextLine;
}

CommandResult EndIfCommand(CommandContext&) { return kNextLine; }

CommandResult AssignCommand(CommandContext& c) {
  if (c.params.size() != 1) return ScriptCode::NotEnoughParameters;
  const int slot = c.word.size() == 1 ? c.word[0] - 'A' : -1;
  if (slot < 0 || slot > 9) return ScriptCode::UnknownCommand;
  ScriptVariable& var = c.e.world.Variables[static_cast<size_t>(slot)];
  var.kind = ValueKind::Undecided;
  var.value = Evaluate(c.e, c.params[0], var.kind);
  return kNextLine;
}

}  // namespace yw
