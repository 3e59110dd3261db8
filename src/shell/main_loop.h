// The main loop: one turn yields to the window system, polls the keyboard,
// runs the handler of the current GameMode and does the sound housekeeping.
#pragma once

namespace yw {

class Engine;

// Runs turns until the program is to end.
void EventLoop(Engine& e);
// One turn of the loop.
void LoopTurn(Engine& e);

}  // namespace yw
