// The main loop: one turn yields to the window system, polls the keyboard,
// runs the handler of the current GameMode and does the sound housekeeping.
#pragma once

#include <cstdint>

#include "platform/clock.h"

namespace yw {

class Engine;

// Runs turns until the program is to end.
void EventLoop(Engine& e);
// One turn of the loop.
void LoopTurn(Engine& e);

// Fills Key and LastKey: edge mode reports a held key once, held mode on
// every turn (after Wait4Relase has seen all keys up).
void PollKeys(Engine& e, bool edge);

// The frame limiter for the turn's time t; with a limit it yields to the
// window system DelayLoops times.
void FrameLimiter(Engine& e, Millis t);
// Moves the limiter's reference so that time spent in scripts does not
// count as one long frame.
void ResetFrameReference(Engine& e, Millis t);
// Tile, doodad and unit animation steps when their time has come.
void AnimationTicks(Engine& e, Millis t);

}  // namespace yw
