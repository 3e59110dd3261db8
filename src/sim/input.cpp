// Keyboard polling of the main loop.
#include "core/engine.h"
#include "core/window_state.h"
#include "platform/platform.h"
#include "sim/turn.h"

namespace yw {

namespace {

// The first of the seven keys that is down, in scan order; 0 for none.
int32_t ScanKeys(Platform& p) {
  for (GameKey k : kPollOrder)
    if (p.KeyDown(k)) return VirtualKeyCode(k);
  return 0;
}

bool IsPolledKey(int32_t code) {
  for (GameKey k : kPollOrder)
    if (VirtualKeyCode(k) == code) return true;
  return false;
}

bool CodeDown(Platform& p, int32_t code) {
  for (GameKey k : kPollOrder)
    if (VirtualKeyCode(k) == code) return p.KeyDown(k);
  return false;
}

}  // namespace

void PollKeys(Engine& e, bool edge) {
  WindowState& w = e.win;
  if (!w.KeyEnabled) w.Key = w.LastKey = 0;
  if (edge) {
    if (IsPolledKey(w.LastKey)) {
      w.Key = 0;
      if (!CodeDown(e.platform, w.LastKey)) w.LastKey = 0;
      return;
    }
    w.Key = ScanKeys(e.platform);
    w.LastKey = w.Key;
    return;
  }
  w.Key = ScanKeys(e.platform);
  w.LastKey = w.Key;
  if (w.Wait4Relase) {
    if (w.Key == 0) w.Wait4Relase = false;
    else w.Key = w.LastKey = 0;
  }
}

}  // namespace yw
