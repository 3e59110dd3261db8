// The pieces of a main-loop turn that the states' own waiting loops run
// too: the frame limiter and the animation clocks (the key poll is in
// input.cpp).
#include "sim/turn.h"

#include <algorithm>

#include "core/engine.h"
#include "core/window_state.h"
#include "render/compose.h"
#include "world/rounding.h"

namespace yw {

void FrameLimiter(Engine& e, Millis t) {
  WindowState& w = e.win;
  if (w.FPSLimit < 1) {
    if (t > w.LastFrameTime + 1000) {
      w.FPS = static_cast<int16_t>(std::min<int32_t>(w.DelayLoops, INT16_MAX));
      w.DelayLoops = 0;
      w.LastFrameTime = t;
    }
    ++w.DelayLoops;
    return;
  }
  if (w.LastFrameTime != 0 && w.LastFrameTime != t) {
    const Millis elapsed = t - w.LastFrameTime;
    const auto r = static_cast<int32_t>(1000.0 / static_cast<double>(elapsed));
    w.FPS = CInt((r + 4.0 * w.SmoothFPS) / 5.0);
    w.SmoothFPS = w.FPS;
    const double loops = static_cast<double>(r) / w.FPSLimit * w.DelayLoops;
    // Saturate: a burst of fast frames must not make the count explode.
    w.DelayLoops = static_cast<int32_t>(std::min(loops, 100000.0)) + 1;
    if (w.DelayLoops < 1) w.DelayLoops = 1;
  } else {
    w.DelayLoops = 10;
  }
  w.LastFrameTime = t;
  for (int32_t i = 0; i < w.DelayLoops && !e.QuitRequested; ++i) e.DoEvents();
}

void ResetFrameReference(Engine& e, Millis t) {
  if (e.win.FPSLimit > 0 && e.win.FPS > 0)
    e.win.LastFrameTime = static_cast<Millis>(static_cast<double>(t) - 1000.0 / e.win.FPS);
}

void AnimationTicks(Engine& e, Millis t) {
  WindowState& w = e.win;
  if (t - w.LastAniTick > w.TimeAniTime) {
    StepFrames(e.world, FrameFamily::Map);
    BackbufUpdate(e, true, false);
    w.LastAniTick = t;
  }
  if (t > w.NextCharTick) {
    StepFrames(e.world, FrameFamily::Units);
    w.NextCharTick = t + w.TimeCharTime;
  }
}

}  // namespace yw
