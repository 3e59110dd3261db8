// Cut-scenes: the player and the NPCs carry out the actor orders that
// scripts gave them (SETACTOR) until all have finished or a time limit
// has passed.
#pragma once

#include <cstdint>

namespace yw {

class Engine;

// Starts a cut-scene (main loop state 9); `tajm` is the time limit in
// milliseconds, 0 for none. With no order to carry out and no limit the
// cut-scene ends at once.
void ShowMovie(Engine& e, int32_t tajm);
// Ends the cut-scene: back to the script, or to the fight when one waits
// for it, with every actor order cleared.
void StopMovie(Engine& e);

}  // namespace yw
