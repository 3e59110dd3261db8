// Placeholder until screen effects are drawn: an effect ends at once.
#include "shell/engine.h"
#include "sim/sim_states.h"

namespace yw {

void EffectFrame(Engine& e) { e.win.GameMode = 8; }

}  // namespace yw
