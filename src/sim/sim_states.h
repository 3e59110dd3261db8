// The handlers of the main loop's game states: walking on the map,
// cut-scenes, fight rounds, target choice, screen effects and the script
// error screen.
#pragma once

#include <string>

namespace yw {

class Engine;

void MapFrame(Engine& e);           // walking on the map
void CutSceneFrame(Engine& e);      // a cut-scene
void FightRoundFrame(Engine& e);    // a fight round
void TargetChoiceFrame(Engine& e);  // choosing a target in a fight
void EffectFrame(Engine& e);        // a screen effect
// Shows a script error message and returns to the title lists.
void ShowScriptError(Engine& e, const std::string& message);

}  // namespace yw
