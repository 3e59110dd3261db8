// Placeholder until frames are composed: the view offsets are kept and the
// screen is shown as it is.
#include "render/compose.h"
#include "shell/engine.h"

namespace yw {

void ResetBufDelta(Engine& e, std::optional<float> bufX, std::optional<float> bufY,
                   std::optional<float> destX, std::optional<float> destY) {
  e.view.BufX = bufX.value_or(e.world.TileWidth);
  e.view.BufY = bufY.value_or(e.world.TileHeight);
  e.view.DestX = destX.value_or(e.view.BufX);
  e.view.DestY = destY.value_or(e.view.BufY);
}
void BackbufUpdate(Engine&, bool, bool) {}
void BufFlip(Engine& e) { e.Show(); }

}  // namespace yw
