// Reading command parameters: expressions evaluated as numbers or texts,
// and keywords compared in capitals.
#include "core/engine.h"
#include "script/commands.h"
#include "script/script_engine.h"
#include "world/paths.h"
#include "world/rounding.h"

namespace yw {

std::string_view Param(std::span<const std::string> params, size_t i) {
  return i >= 1 && i <= params.size() ? std::string_view(params[i - 1]) : std::string_view();
}

double ParamNumber(Engine& e, std::string_view text) {
  ValueKind kind = ValueKind::Number;
  return Evaluate(e, text, kind).Number();
}

int16_t ParamInteger(Engine& e, std::string_view text) { return CInt(ParamNumber(e, text)); }

int32_t ParamLong(Engine& e, std::string_view text) { return CLng(ParamNumber(e, text)); }

std::string ParamText(Engine& e, std::string_view text) {
  ValueKind kind = ValueKind::Text;
  return Evaluate(e, text, kind).Text();
}

std::string ParamKeyword(std::string_view text) { return ToUpper(TrimBlanks(text)); }

}  // namespace yw
