// The view origin: which map cell stands at the top-left of the screen.
#pragma once

namespace yw {

class Engine;

struct ViewOrigin {
  float x = 0, y = 0;
  bool operator==(const ViewOrigin&) const = default;
};

// The view for the player standing on cell (x, y): the player centred,
// pushed back inside the map at its edges. A map narrower or lower than
// the screen is not pushed: the player stays centred and the view may
// start left of or above cell 1.
ViewOrigin ViewFor(Engine& e, float x, float y);

}  // namespace yw
