// Pieces shared by the parts of frame composition: where the view stands,
// how a masked sprite is drawn and which picture a unit shows.
#pragma once

#include <cstdint>

#include "render/surface.h"
#include "world/world.h"

namespace yw {

class Engine;

namespace compose {

// The view of one frame: the map cell at the top-left of the inner view
// and where the view's corner lies inside Backbuf.
struct Viewport {
  int originX = 1, originY = 1;
  int bufX = 0, bufY = 0;  // whole pixels, as copied to the screen
  int tileW = 0, tileH = 0;
  int cols = 0, rows = 0;  // visible cells across and down

  // Screen position of the top-left corner of map cell (c, r).
  float CellX(float c) const {
    return (c - static_cast<float>(originX)) * static_cast<float>(tileW) -
           static_cast<float>(bufX - tileW);
  }
  float CellY(float r) const {
    return (r - static_cast<float>(originY)) * static_cast<float>(tileH) -
           static_cast<float>(bufY - tileH);
  }
};

// Coordinates are kept within this distance of the screen, in cells or
// pixels, so that damaged positions cannot overflow the drawing arithmetic.
inline constexpr int kFarCoordinate = 1 << 20;
// A value rounded to whole units and cut to that range.
int SaneCoordinate(float v);

// The view origin in whole cells; held at (1, 1) while a fight runs.
void ViewOriginCells(Engine& e, int& x, int& y);
Viewport CurrentViewport(Engine& e);

// Frontbuf while BufFlip composes a frame. The view is copied from
// Backbuf in bands of rows just ahead of the sprites drawn over it, so the
// rows a sprite changes are still in the cache from their copy. Every row
// is copied before anything is drawn on it, which gives the same frame as
// copying the whole view first.
class FrameCanvas {
 public:
  FrameCanvas(Surface& front, const Surface& back, int bufX, int bufY)
      : front_(front), back_(back), bufX_(bufX), bufY_(bufY) {}
  // Frontbuf with the view copied into every row above `bottom`.
  Surface& Through(int64_t bottom);
  // Frontbuf with the whole view copied.
  Surface& Whole() { return Through(front_.Height()); }

 private:
  Surface& front_;
  const Surface& back_;
  int bufX_, bufY_;
  int copied_ = 0;  // rows [0, copied_) hold the view
};

enum class SpriteLook { Normal, Silhouette };

// Draws a sprite of `sheet` with its mask at (x, y): the mask cuts a black
// hole (AND), the picture fills it (XOR) and leaves the background around
// the figure. A silhouette is the mask alone, turned white (MERGEPAINT).
void DrawSprite(Surface& dst, const Surface& sheet, const SpriteDef& s, int x, int y,
                SpriteLook look = SpriteLook::Normal);

// Draws a sprite standing in the cell whose top-left screen corner is
// (cellX, cellY): a sprite taller than a tile reaches up out of its cell.
void DrawInCell(FrameCanvas& dst, const Surface& sheet, const SpriteDef& s, float cellX,
                float cellY, int tileH, SpriteLook look = SpriteLook::Normal);

// What a unit on the map is: its character's sprites, where it faces, how
// far it lags behind its cell and its cut-scene order.
struct Unit {
  const Character* character = nullptr;
  int32_t direction = 0;
  float offX = 0, offY = 0;
  const ActorOrder* actor = nullptr;
};

// The sprite a unit shows this frame, or nullptr for nothing.
const SpriteDef* UnitSprite(const World& w, const Unit& u, bool cutScene);
// Pixels a jumping actor is raised above its place (0 when not jumping).
float JumpRaise(const Unit& u, int tileW, int tileH, bool cutScene);
// The blink value of a unit: its own, or for a leaving actor one that
// grows with the progress of its leave step. 0 = drawn normally.
float BlinkValue(const Unit& u, int tileW, int tileH, bool cutScene);
// Whether a blink value shows the white silhouette this frame.
bool BlinkShowsSilhouette(float blink);

// Draws a unit standing in the cell whose top-left screen corner is
// (cellX, cellY), lagging behind it by its step offsets.
void DrawUnit(Engine& e, FrameCanvas& canvas, const Unit& u, float cellX, float cellY);

}  // namespace compose
}  // namespace yw
