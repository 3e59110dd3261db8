// Placeholders until script storage and expressions are written.
#include "script/script_engine.h"
#include "shell/engine.h"

namespace yw {

void RunScript(Engine&, std::string_view) {}
ScriptValue Evaluate(Engine&, std::string_view, ValueKind&) { return {}; }

}  // namespace yw
