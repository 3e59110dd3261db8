// The tile layer in Backbuf: the view's offsets, the origin cell and the
// incremental redraw that shifts the buffer and draws only what changed.
#include "render/compose.h"

#include <algorithm>
#include <cstdlib>

#include "core/engine.h"
#include "core/window_state.h"
#include "render/compose_internal.h"
#include "render/pictures.h"
#include "render/surfaces.h"
#include "render/view.h"
#include "render/view_state.h"
#include "world/rounding.h"

namespace yw {
namespace compose {

int SaneCoordinate(float v) { return std::clamp(CLng(v), -kFarCoordinate, kFarCoordinate); }

void ViewOriginCells(Engine& e, int& x, int& y) {
  if (e.win.FightMode) {
    x = y = 1;
    return;
  }
  x = SaneCoordinate(e.view.ViewX);
  y = SaneCoordinate(e.view.ViewY);
}

Viewport CurrentViewport(Engine& e) {
  Viewport v;
  ViewOriginCells(e, v.originX, v.originY);
  v.bufX = SaneCoordinate(e.view.BufX);
  v.bufY = SaneCoordinate(e.view.BufY);
  v.tileW = e.world.TileWidth;
  v.tileH = e.world.TileHeight;
  v.cols = e.win.ScreenTileWidth;
  v.rows = e.win.ScreenTileHeight;
  return v;
}

}  // namespace compose

namespace {

// A shift this far exposes any buffer: larger ones are cut to it.
constexpr int64_t kFarShift = 1 << 16;

// Backbuf cells that hold nothing valid after a shift: a band of columns
// and a band of rows (or everything).
struct ExposedBand {
  bool all = false;
  int col0 = 0, col1 = -1;
  int row0 = 0, row1 = -1;

  bool Contains(int bc, int br) const {
    return all || (bc >= col0 && bc <= col1) || (br >= row0 && br <= row1);
  }
};

// The band a shift of `shift` cells exposes along an axis of `cells`
// buffer cells (view plus both margins): the far end for a positive shift.
bool ExposeAxis(int shift, int cells, int& first, int& last) {
  if (shift == 0) return false;
  if (std::abs(shift) >= cells) return true;
  if (shift > 0) {
    first = cells - shift;
    last = cells - 1;
  } else {
    first = 0;
    last = -shift - 1;
  }
  return false;
}

// Moves the tile layer to the view of the player's cell: the kept content
// slides inside Backbuf so that only the newly exposed cells need drawing.
ExposedBand FollowPlayer(Engine& e) {
  ExposedBand band;
  // The origin the buffer was drawn for, and the one it is to show.
  const int64_t ox = CLng(e.view.ViewX), oy = CLng(e.view.ViewY);
  int32_t nx = 1, ny = 1;
  if (!e.win.FightMode) {
    const ViewOrigin v = ViewFor(e, CInt(e.world.PlayerPosX), CInt(e.world.PlayerPosY));
    nx = CLng(v.x);
    ny = CLng(v.y);
  }
  const int dx = static_cast<int>(std::clamp<int64_t>(nx - ox, -kFarShift, kFarShift));
  const int dy = static_cast<int>(std::clamp<int64_t>(ny - oy, -kFarShift, kFarShift));
  const int tw = e.world.TileWidth, th = e.world.TileHeight;
  band.all = ExposeAxis(dx, e.win.ScreenTileWidth + 2, band.col0, band.col1) ||
             ExposeAxis(dy, e.win.ScreenTileHeight + 2, band.row0, band.row1);
  if ((dx != 0 || dy != 0) && !band.all) {
    Surface& back = e.pics.Backbuf;
    BitBlt(back, -dx * tw, -dy * th, back.Width(), back.Height(), back, 0, 0, Rop::SrcCopy);
    e.view.DrawnTiles.Shift(dx, dy);
  }
  e.view.ViewX = static_cast<float>(nx);
  e.view.ViewY = static_cast<float>(ny);
  return band;
}

// What a cell's picture was drawn from: its place on the tile sheet.
int32_t PictureKey(const TileDef& frame) {
  return static_cast<int32_t>((static_cast<uint32_t>(static_cast<uint16_t>(frame.x)) << 16) |
                              static_cast<uint16_t>(frame.y));
}

const TileDef* CellFrame(const World& w, const MapCell& cell) {
  if (cell.TILE < 1 || cell.TILE > w.TileDefCount) return nullptr;
  return w.TileFrames.Find(cell.TILE);
}

void BlackCell(Surface& back, int x, int y, int tw, int th) {
  BitBlt(back, x, y, tw, th, back, 0, 0, Rop::Blackness);
}

// Redraws the cells of Backbuf whose picture changed or that lie in the
// exposed band; exposed cells with nothing to show are made black.
void DrawTiles(Engine& e, const ExposedBand& band) {
  const World& w = e.world;
  Surface& back = e.pics.Backbuf;
  BackbufTiles& shown = e.view.DrawnTiles;
  const int tw = w.TileWidth, th = w.TileHeight;
  int ox = 0, oy = 0;
  compose::ViewOriginCells(e, ox, oy);
  const int cols = e.win.ScreenTileWidth + 2, rows = e.win.ScreenTileHeight + 2;
  for (int br = 0; br < rows; ++br) {
    for (int bc = 0; bc < cols; ++bc) {
      const int c = ox + bc - 1, r = oy + br - 1;
      const bool exposed = band.Contains(bc, br);
      const MapCell* cell = (c <= w.MapWidth && r <= w.MapHeight) ? w.MapTiles.Find(c, r) : nullptr;
      const TileDef* frame = cell ? CellFrame(w, *cell) : nullptr;
      int32_t& known = shown.At(bc, br);
      if (frame == nullptr) {
        if (exposed) {
          BlackCell(back, bc * tw, br * th, tw, th);
          known = BackbufTiles::kUnknown;
        }
        continue;
      }
      const int32_t key = PictureKey(*frame);
      if (!exposed && key == known) continue;
      BitBlt(back, bc * tw, br * th, tw, th, e.pics.Tilemap, frame->x, frame->y, Rop::SrcCopy);
      known = key;
    }
  }
}

// The state the record of Backbuf's cells describes when it still holds.
BackbufTiles::Stamp CurrentStamp(const Engine& e) {
  return {.tilemap = e.pics.Tilemap.Version(),
          .links = e.world.DoodadLinks.Generation(),
          .cols = std::max(e.win.ScreenTileWidth + 2, 0),
          .rows = std::max(e.win.ScreenTileHeight + 2, 0)};
}

}  // namespace

void CopyView(Surface& front, int top, int bottom, const Surface& back, int bufX, int bufY) {
  const int w = front.Width();
  top = std::clamp(top, 0, front.Height());
  bottom = std::clamp(bottom, top, front.Height());
  if (bottom == top) return;
  BitBlt(front, 0, top, w, bottom - top, back, bufX, bufY + top, Rop::SrcCopy);
  const auto black = [&front](int x, int y, int bw, int bh) {
    if (bw > 0 && bh > 0) BitBlt(front, x, y, bw, bh, front, 0, 0, Rop::Blackness);
  };
  // The rows and columns of `front` that have a pixel of `back` to show.
  const int64_t rowsFrom = std::clamp<int64_t>(-int64_t{bufY}, top, bottom);
  const int64_t rowsTo = std::clamp<int64_t>(int64_t{back.Height()} - bufY, rowsFrom, bottom);
  const int64_t left = std::clamp<int64_t>(-int64_t{bufX}, 0, w);
  const int64_t right = std::clamp<int64_t>(int64_t{back.Width()} - bufX, left, w);
  const int y0 = static_cast<int>(rowsFrom), y1 = static_cast<int>(rowsTo);
  black(0, top, w, y0 - top);
  black(0, y1, w, bottom - y1);
  black(0, y0, static_cast<int>(left), y1 - y0);
  black(static_cast<int>(right), y0, w - static_cast<int>(right), y1 - y0);
}

void ResetBufDelta(Engine& e, std::optional<float> bufX, std::optional<float> bufY,
                   std::optional<float> destX, std::optional<float> destY) {
  e.view.BufX = bufX.value_or(e.world.TileWidth);
  e.view.BufY = bufY.value_or(e.world.TileHeight);
  e.view.DestX = destX.value_or(e.view.BufX);
  e.view.DestY = destY.value_or(e.view.BufY);
}

void BackbufUpdate(Engine& e, bool aniOnly, bool fullDraw) {
  if (e.world.TileWidth <= 0 || e.world.TileHeight <= 0) return;
  e.view.DrawnTiles.Check(CurrentStamp(e));
  ExposedBand band;
  if (!aniOnly) {
    if (fullDraw) e.pics.Backbuf.Clear();
    band = FollowPlayer(e);
    band.all = band.all || fullDraw;
  }
  DrawTiles(e, band);
}

void ApplyMapChange(Engine& e) {
  e.world.MapChanged = false;
  LoadPix(e, 1);
  ResetBufDelta(e);
  BackbufUpdate(e, false, true);
  e.view.MapChangeUnseen = true;
}

void ShowMapChange(Engine& e) {
  if (e.world.MapChanged) ApplyMapChange(e);
  if (e.view.MapChangeUnseen && !e.view.ScreenCovered) BufFlip(e);
}

}  // namespace yw
