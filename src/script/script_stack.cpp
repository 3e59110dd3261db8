// Starting scripts: a script is pushed on the script stack and the main
// loop's script state runs it; nothing runs here.
#include <limits>
#include <memory>
#include <string>

#include "core/engine.h"
#include "core/window_state.h"
#include "render/dialogs.h"
#include "script/script_engine.h"
#include "world/paths.h"

namespace yw {

namespace {

// Deepest script stack: the range of ScriptDepth. Games write their counting
// loops as a script that starts itself, so every level a count may reach
// is allowed; the levels share their script's text, so 32767 of them take
// a few MiB.
constexpr int16_t kMaxScriptDepth = std::numeric_limits<int16_t>::max();

// The first script whose name matches without regard to letter case (also
// of letters such as É); the name is compared as given, blanks included.
const ScriptEntry* FindScript(const World& w, std::string_view name) {
  const std::string wanted = FoldName(name);
  for (int i = 1; i <= w.ScriptCount && w.Scripts.Has(i); ++i)
    if (FoldName(w.Scripts[i].Name) == wanted) return &w.Scripts[i];
  return nullptr;
}

void Push(Engine& e, const ScriptEntry& script) {
  World& w = e.world;
  ++w.ScriptDepth;
  w.ScriptStack.Resize(w.ScriptDepth);
  ScriptLevel& level = w.ScriptStack[w.ScriptDepth];
  level.text = script.Text.Share();
  level.pos = 0;
  level.returnMode = e.win.GameMode;
  level.beginFound = false;
  e.win.GameMode = Mode::Script;
}

}  // namespace

void RunScript(Engine& e, std::string_view name) {
  if (TrimBlanks(name).empty()) return;
  World& w = e.world;
  if (w.ScriptCount < 1) {
    DrawMsg(e, "Error: The game contains no scripts", Mode::Start);
    return;
  }
  const ScriptEntry* script = FindScript(w, name);
  if (!script) {
    DrawMsg(e, "Error: Script " + std::string(name) + " not found!", e.win.GameMode);
    return;
  }
  // A script that keeps starting itself is stopped when the depth would
  // leave its range, not left to grow without end: the start is refused
  // with a message and the levels below run on to their ends.
  if (w.ScriptDepth >= kMaxScriptDepth) {
    DrawMsg(e, "Error: Too many scripts running to start " + std::string(name) + "!",
            e.win.GameMode);
    return;
  }
  Push(e, *script);
}

}  // namespace yw
