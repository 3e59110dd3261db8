// Pieces shared by the parts of frame composition: where the view stands,
// how a masked sprite is drawn and which picture a unit shows.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "render/prepared_sprites.h"
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

enum class SpriteLook { Normal, Silhouette };

// Which parts of a frame were drawn on, and by which draw. Every draw gets
// the next number. The frame is cut into cells (lined up with the map's
// cells) and each cell keeps the number of the last draw that touched it;
// a draw counts for every cell its rectangle reaches, so the record errs
// only on the side of "drawn on".
class DrawLog {
 public:
  // A `width` x `height` frame whose cell borders lie at alignX + k *
  // cellW across and alignY + k * cellH down.
  DrawLog(int width, int height, int alignX, int alignY, int cellW, int cellH);

  // Records a draw over the rectangle and returns its number.
  uint32_t Record(int x, int y, int w, int h);

  // Calls draw(x, y, w, h) for the parts of the rectangle that draws after
  // number `since` reached, cut to the rectangle, records them as one new
  // draw and returns its number; returns `since` when nothing reached it.
  template <class Draw>
  uint32_t Redo(int x, int y, int w, int h, uint32_t since, Draw&& draw);

 private:
  struct Cells {
    int col0 = 0, col1 = -1, row0 = 0, row1 = -1;
  };
  // The cells the on-screen part of the rectangle touches.
  Cells CellsOf(int x, int y, int w, int h) const;

  int width_, height_;
  int originX_, originY_;  // top-left corner of cell (0, 0), at most 0
  int cellW_, cellH_;
  int cols_ = 0, rows_ = 0;
  uint32_t last_ = 0;
  std::vector<uint32_t> cells_;
};

// Frontbuf while BufFlip composes a frame. The view is copied from
// Backbuf in bands of rows just ahead of the sprites drawn over it, so the
// rows a sprite changes are still in the cache from their copy. Every row
// is copied before anything is drawn on it, which gives the same frame as
// copying the whole view first. The canvas keeps a DrawLog of the sprites
// drawn on it, so that a clean sprite drawn again at its place needs
// drawing only where something else was drawn over it meanwhile.
class FrameCanvas {
 public:
  FrameCanvas(Surface& front, const Surface& back, int bufX, int bufY, int tileW, int tileH);
  // Frontbuf with the view copied into every row above `bottom`.
  Surface& Through(int64_t bottom);
  // Frontbuf with the whole view copied.
  Surface& Whole() { return Through(front_.Height()); }

  // Draws a sprite of `sheet` with its top-left corner at (x, y) and
  // returns the number of the draw; `prepared`, when given, is the
  // sprite's entry in the sheet's PreparedSprites.
  uint32_t Draw(const Surface& sheet, const SpriteDef& s, const PreparedSprite* prepared, int x,
                int y, SpriteLook look = SpriteLook::Normal);
  // Draws a clean sprite again at (x, y), where its last draw had number
  // `last`: only over the parts drawn on since, which gives the same
  // pixels as drawing it in full. Returns the number of this draw (`last`
  // when nothing needed drawing).
  uint32_t DrawAgain(const PreparedSprite& clean, int x, int y, uint32_t last);

 private:
  Surface& front_;
  const Surface& back_;
  int bufX_, bufY_;
  int copied_ = 0;  // rows [0, copied_) hold the view
  DrawLog log_;
};

// Draws a sprite of `sheet` with its mask at (x, y): the mask cuts a black
// hole (AND), the picture fills it (XOR) and leaves the background around
// the figure. A silhouette is the mask alone, turned white (MERGEPAINT).
void DrawSprite(Surface& dst, const Surface& sheet, const SpriteDef& s, int x, int y,
                SpriteLook look = SpriteLook::Normal);

// Where a sprite standing in the cell whose top-left screen corner is
// (cellX, cellY) has its top-left corner: a sprite taller than a tile
// reaches up out of its cell.
struct Placed {
  int x, y;
};
Placed PlaceInCell(const SpriteDef& s, float cellX, float cellY, int tileH);

// Draws a sprite standing in a cell (see PlaceInCell); returns the number
// of the draw.
uint32_t DrawInCell(FrameCanvas& dst, const Surface& sheet, const SpriteDef& s,
                    const PreparedSprite* prepared, float cellX, float cellY, int tileH,
                    SpriteLook look = SpriteLook::Normal);

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

template <class Draw>
uint32_t DrawLog::Redo(int x, int y, int w, int h, uint32_t since, Draw&& draw) {
  const Cells c = CellsOf(x, y, w, h);
  uint32_t number = since;
  for (int row = c.row0; row <= c.row1; ++row) {
    uint32_t* line = cells_.data() + static_cast<size_t>(row) * cols_;
    const int top = std::max(y, originY_ + row * cellH_);
    const int bottom = std::min(y + h, originY_ + (row + 1) * cellH_);
    for (int col = c.col0; col <= c.col1; ++col) {
      if (line[col] <= since) continue;
      // A run of cells drawn on since: one rectangle.
      int end = col;
      while (end < c.col1 && line[end + 1] > since) ++end;
      if (number == since) number = ++last_;
      const int left = std::max(x, originX_ + col * cellW_);
      const int right = std::min(x + w, originX_ + (end + 1) * cellW_);
      draw(left, top, right - left, bottom - top);
      std::fill(line + col, line + end + 1, number);
      col = end;
    }
  }
  return number;
}

}  // namespace compose
}  // namespace yw
