// Placeholders until screen effects and flying doodads are drawn: an
// effect ends at once, the lists stay empty.
#include "shell/engine.h"
#include "sim/effects.h"
#include "sim/sim_states.h"

namespace yw {

void EffectFrame(Engine& e) { e.win.GameMode = 8; }
void AddVoodoo(Engine&, int16_t, float, float, float, float, int32_t) {}
void AddPopup(Engine&, int16_t, float, float, int32_t, int16_t) {}
void DooReLink(Engine&) {}

}  // namespace yw
