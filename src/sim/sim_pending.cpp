// Placeholders for the game states that are not built yet.
#include "shell/engine.h"
#include "sim/sim_states.h"

namespace yw {

void MapFrame(Engine&) {}
void CutSceneFrame(Engine&) {}
void FightRoundFrame(Engine&) {}
void TargetChoiceFrame(Engine&) {}
void EffectFrame(Engine& e) { e.win.GameMode = 8; }
void ShowScriptError(Engine& e, const std::string& message) {
  e.win.Message = message;
  e.win.GameMode = 2;
  e.win.Switsch = 6;
}

}  // namespace yw
