#include "render/view.h"

#include "core/engine.h"
#include "core/window_state.h"

namespace yw {
namespace {

// One axis: centre on `pos`, then keep the screen inside the map when the
// map is larger than the screen.
float AxisOrigin(float pos, int screenCells, int mapCells) {
  float v = pos - static_cast<float>(screenCells / 2);
  if (screenCells < mapCells) {
    if (v < 1) v = 1;
    if (v + static_cast<float>(screenCells) - 1 > static_cast<float>(mapCells))
      v = static_cast<float>(mapCells - (screenCells - 1));
  }
  return v;
}

}  // namespace

ViewOrigin ViewFor(Engine& e, float x, float y) {
  return {AxisOrigin(x, e.win.ScreenTileWidth, e.world.MapWidth),
          AxisOrigin(y, e.win.ScreenTileHeight, e.world.MapHeight)};
}

}  // namespace yw
