// Placeholders for the game states that are not built yet.
#include "shell/engine.h"
#include "sim/sim_states.h"

namespace yw {

void FightRoundFrame(Engine&) {}

}  // namespace yw
