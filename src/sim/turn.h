// The pieces of a main-loop turn that the states' own waiting loops run
// too: the key poll, the frame limiter and the animation clocks.
#pragma once

#include "platform/clock.h"

namespace yw {

class Engine;

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
