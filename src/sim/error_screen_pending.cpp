// Placeholder until the script error screen is drawn: the message is kept
// and the title lists return.
#include "shell/engine.h"
#include "sim/sim_states.h"

namespace yw {

void ShowScriptError(Engine& e, const std::string& message) {
  e.win.Message = message;
  e.win.GameMode = 2;
  e.win.Switsch = 6;
}

}  // namespace yw
