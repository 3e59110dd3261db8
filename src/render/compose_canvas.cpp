// The canvas a frame is composed on: the view copied from Backbuf ahead of
// the sprites, and the record of what was drawn where, which lets a clean
// sprite drawn again at its place skip the parts nothing has touched.
#include <algorithm>

#include "render/compose.h"
#include "render/compose_internal.h"

namespace yw::compose {
namespace {

// Cells of the draw record are at least this many pixels wide and high, so
// that maps with tiny tiles do not make the record larger than the frame.
constexpr int kLeastCell = 16;

// The largest position at most 0 that lies on the grid through `align`.
int GridStart(int align, int cell) {
  const int r = ((align % cell) + cell) % cell;
  return r == 0 ? 0 : r - cell;
}

int CellCount(int size, int start, int cell) {
  return size <= 0 ? 0 : (size - start + cell - 1) / cell;
}

}  // namespace

DrawLog::DrawLog(int width, int height, int alignX, int alignY, int cellW, int cellH)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      cellW_(std::max(cellW, kLeastCell)),
      cellH_(std::max(cellH, kLeastCell)) {
  originX_ = GridStart(alignX, cellW_);
  originY_ = GridStart(alignY, cellH_);
  cols_ = CellCount(width_, originX_, cellW_);
  rows_ = CellCount(height_, originY_, cellH_);
  cells_.assign(static_cast<size_t>(cols_) * rows_, 0);
}

DrawLog::Cells DrawLog::CellsOf(int x, int y, int w, int h) const {
  const int64_t left = std::max<int64_t>(x, 0);
  const int64_t right = std::min<int64_t>(int64_t{x} + w, width_);
  const int64_t top = std::max<int64_t>(y, 0);
  const int64_t bottom = std::min<int64_t>(int64_t{y} + h, height_);
  if (left >= right || top >= bottom) return {};
  return {static_cast<int>((left - originX_) / cellW_),
          static_cast<int>((right - 1 - originX_) / cellW_),
          static_cast<int>((top - originY_) / cellH_),
          static_cast<int>((bottom - 1 - originY_) / cellH_)};
}

uint32_t DrawLog::Record(int x, int y, int w, int h) {
  const uint32_t number = ++last_;
  const Cells c = CellsOf(x, y, w, h);
  for (int row = c.row0; row <= c.row1; ++row) {
    uint32_t* line = cells_.data() + static_cast<size_t>(row) * cols_;
    std::fill(line + c.col0, line + c.col1 + 1, number);
  }
  return number;
}

// The cell borders of the map lie TileWidth apart and bufX to the left of
// the frame's edge.
FrameCanvas::FrameCanvas(Surface& front, const Surface& back, int bufX, int bufY, int tileW,
                         int tileH)
    : front_(front),
      back_(back),
      bufX_(bufX),
      bufY_(bufY),
      log_(front.Width(), front.Height(), tileW > 0 ? -(bufX % tileW) : 0,
           tileH > 0 ? -(bufY % tileH) : 0, tileW, tileH) {}

Surface& FrameCanvas::Through(int64_t bottom) {
  const int last = static_cast<int>(std::clamp<int64_t>(bottom, 0, front_.Height()));
  if (last > copied_) {
    CopyView(front_, copied_, last, back_, bufX_, bufY_);
    copied_ = last;
  }
  return front_;
}

uint32_t FrameCanvas::Draw(const Surface& sheet, const SpriteDef& s, const PreparedSprite* prepared,
                           int x, int y, SpriteLook look) {
  if (look == SpriteLook::Normal && prepared != nullptr && prepared->runs) {
    const MaskedRuns& runs = *prepared->runs;
    const PixelRect& d = runs.Drawn();
    runs.Draw(Through(int64_t{y} + d.y + d.h), x, y, {0, 0, front_.Width(), front_.Height()});
    return log_.Record(x + d.x, y + d.y, d.w, d.h);
  }
  DrawSprite(Through(int64_t{y} + s.height), sheet, s, x, y, look);
  return log_.Record(x, y, s.width, s.height);
}

uint32_t FrameCanvas::DrawAgain(const PreparedSprite& clean, int x, int y, uint32_t last) {
  const MaskedRuns& runs = *clean.runs;
  const PixelRect& d = runs.Drawn();
  return log_.Redo(x + d.x, y + d.y, d.w, d.h, last, [&](int px, int py, int w, int h) {
    runs.Draw(Through(int64_t{py} + h), x, y, {px, py, w, h});
  });
}

Placed PlaceInCell(const SpriteDef& s, float cellX, float cellY, int tileH) {
  return {SaneCoordinate(cellX), SaneCoordinate(cellY - static_cast<float>(s.height - tileH))};
}

uint32_t DrawInCell(FrameCanvas& dst, const Surface& sheet, const SpriteDef& s,
                    const PreparedSprite* prepared, float cellX, float cellY, int tileH,
                    SpriteLook look) {
  const Placed p = PlaceInCell(s, cellX, cellY, tileH);
  return dst.Draw(sheet, s, prepared, p.x, p.y, look);
}

}  // namespace yw::compose
