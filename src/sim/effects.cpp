// Screen effects played while a script waits (state 14), the lists of
// flying doodads and floating numbers, and the doodad cover links.
#include "sim/effects.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <utility>

#include "core/engine.h"
#include "core/window_state.h"
#include "render/surfaces.h"
#include "sim/sim_states.h"
#include "sim/turn.h"
#include "world/rounding.h"

namespace yw {
namespace {

// A rectangle in whole pixels.
struct Rect {
  int x, y, w, h;
};

// How far the effect has come at time t, 0 to 1 (backwards when reversed).
// The last frame is the one at or after the end time.
double EffectProgress(const WindowState& w, Millis t) {
  double p = 1;
  if (w.SFXEndTime > t) {
    const double span = static_cast<double>(w.SFXEndTime) - w.SFXStartTime;
    p = span > 0 ? std::clamp((static_cast<double>(t) - w.SFXStartTime) / span, 0.0, 1.0) : 1;
  }
  return w.SFXReverse ? 1 - p : p;
}

// The rectangle that shrinks to the screen's centre as p goes from 0 to 1.
Rect Shrunk(int W, int H, double p) {
  return {CLng(W / 2.0 * p), CLng(H / 2.0 * p), CLng(W - W * p), CLng(H - H * p)};
}

void Black(Surface& s, const Rect& r) { BitBlt(s, r.x, r.y, r.w, r.h, s, 0, 0, Rop::Blackness); }

// Draws one frame of the effect; false when the effect is not known.
bool DrawEffect(Engine& e, double p) {
  Surface& front = e.pics.Frontbuf;
  const Surface& pic = e.pics.Extrabuf;
  const int W = e.win.ScreenWidth, H = e.win.ScreenHeight;
  switch (static_cast<ScreenEffect>(e.win.SFX)) {
    case ScreenEffect::ZoomIn: {
      const Rect s = Shrunk(W, H, p);
      // Zoomed all the way in, nothing of the picture is left to stretch:
      // the screen ends black, as after the other effects, rather than
      // keeping the last few pixels blown up into flat blocks.
      if (s.w <= 0 || s.h <= 0)
        Black(front, {0, 0, W, H});
      else
        StretchBlt(front, 0, 0, W, H, pic, s.x, s.y, s.w, s.h, Rop::SrcCopy);
      return true;
    }
    case ScreenEffect::ZoomOut: {
      const Rect d = Shrunk(W, H, p);
      Black(front, {0, 0, W, H});
      StretchBlt(front, d.x, d.y, d.w, d.h, pic, 0, 0, W, H, Rop::SrcCopy);
      return true;
    }
    case ScreenEffect::HorizontalWipe: {
      const int band = CLng(H / 2.0 * p);
      BitBlt(front, 0, 0, W, H, pic, 0, 0, Rop::SrcCopy);
      Black(front, {0, 0, W, band});
      Black(front, {0, H - band, W, band});
      return true;
    }
    case ScreenEffect::VerticalWipe: {
      const int band = CLng(W / 2.0 * p);
      BitBlt(front, 0, 0, W, H, pic, 0, 0, Rop::SrcCopy);
      Black(front, {0, 0, band, H});
      Black(front, {W - band, 0, band, H});
      return true;
    }
  }
  return false;
}

// Cells a doodad's picture spans beyond its own along one axis.
int CellsSpanned(int pixels, int tile) {
  if (pixels <= 0) return 0;
  return pixels / tile + (pixels % tile != 0 ? 1 : 0);
}

// Points every cell the doodad of cell (x, y) reaches into at that cell:
// the picture stands on its cell and reaches up and to the right.
void LinkDoodad(World& w, int x, int y, const SpriteDef& pic) {
  const int cw = CellsSpanned(pic.width, w.TileWidth);
  const int ch = CellsSpanned(pic.height, w.TileHeight);
  const int lastColumn = std::min<int>(x + cw, w.MapWidth);
  const CoverLinks::Link link{static_cast<int16_t>(x), static_cast<int16_t>(y)};
  const int width = w.MapTiles.Width(), height = w.MapTiles.Height();
  for (int r = y; r >= std::max(y - ch, 1); --r)
    for (int c = x; c <= lastColumn; ++c) w.DoodadLinks.Set(c, r, link, width, height);
}

}  // namespace

void EffectFrame(Engine& e) {
  WindowState& w = e.win;
  const Millis t = e.Now();
  FrameLimiter(e, t);
  const bool last = w.SFXEndTime <= t;
  if (last) w.GameMode = Mode::Script;
  if (!DrawEffect(e, EffectProgress(w, t))) w.SFXEndTime = t;
  e.Show();
  if (w.SFXEndTime <= t) {
    e.pics.Extrabuf.Resize(1, 1);
    e.pics.Extrabuf.Clear();
  }
}

void AddVoodoo(Engine& e, int16_t doodad, float fromX, float fromY, float toX, float toY,
               int32_t ms) {
  World& w = e.world;
  const Millis now = e.Now();
  w.VoodooCount = static_cast<int16_t>(std::clamp<int>(w.VoodooCount, 0, w.Voodoos.Size()));
  if (w.VoodooCount == INT16_MAX) return;
  w.Voodoos.Resize(++w.VoodooCount);
  FlyingDoodad& f = w.Voodoos[w.VoodooCount];
  f = FlyingDoodad{};
  f.doodad = doodad;
  f.targetX = toX;
  f.targetY = toY;
  f.distX = (fromX - toX) * static_cast<float>(w.TileWidth);
  f.distY = (fromY - toY) * static_cast<float>(w.TileHeight);
  f.startTime = now;
  f.endTime = now + ms;
}

void AddPopup(Engine& e, int16_t number, float x, float y, int32_t ms, int16_t height) {
  World& w = e.world;
  const Millis now = e.Now();
  w.PopupCount = static_cast<int16_t>(std::clamp<int>(w.PopupCount, 0, w.Popups.Size()));
  if (w.PopupCount == INT16_MAX) return;
  w.Popups.Resize(++w.PopupCount);
  Popup& p = w.Popups[w.PopupCount];
  p = Popup{};
  p.number = number;
  p.x = x;
  p.y = y;
  p.style = height;
  p.startTime = now;
  p.endTime = now + ms;
}

void DooReLink(Engine& e) {
  World& w = e.world;
  if (w.MapWidth < 1 || w.MapHeight < 1) return;
  LinkDoodads(w);
}

void LinkDoodads(World& w) {
  w.DoodadLinks.Clear();
  if (w.MapWidth < 1 || w.MapHeight < 1) return;
  if (w.TileWidth <= 0 || w.TileHeight <= 0) return;
  const int height = std::min<int>(w.MapHeight, w.MapTiles.Height());
  const int width = std::min<int>(w.MapWidth, w.MapTiles.Width());
  const std::span<const MapCell> cells = std::as_const(w.MapTiles).Cells();
  const auto stride = static_cast<size_t>(w.MapTiles.Width());
  for (int y = height; y >= 1; --y) {
    const MapCell* row = cells.data() + static_cast<size_t>(y - 1) * stride;
    for (int x = 1; x <= width; ++x) {
      const int16_t d = row[x - 1].DOODAD;
      if (d < 1 || d > w.DoodadDefCount) continue;
      if (const SpriteDef* pic = w.DoodadDefs.Find(d)) LinkDoodad(w, x, y, *pic);
    }
  }
}

}  // namespace yw
