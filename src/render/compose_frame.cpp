// BufFlip: one frame on Frontbuf. The visible part of the tile layer is
// copied from Backbuf, then the map is walked row by row from the top so
// that what stands lower on the screen covers what stands higher: flying
// doodads, NPCs, the player and the doodads of each cell, with the
// doodads of neighbouring cells drawn again where their pictures reach.
// Numbers and the statistics lines go on top, and the frame is shown once.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/engine.h"
#include "core/window_state.h"
#include "render/compose.h"
#include "render/compose_internal.h"
#include "render/compose_popups.h"
#include "render/surfaces.h"
#include "render/text.h"
#include "render/view_state.h"
#include "world/rounding.h"

namespace yw {
namespace {

using compose::Unit;
using compose::Viewport;

// The composed-frame counter runs 0 .. 32000 and starts again.
constexpr int32_t kFrameCounterLast = 32000;

// Keeps a count within what its table holds.
int16_t ValidCount(int16_t count, int size) {
  return static_cast<int16_t>(std::clamp<int>(count, 0, size));
}

// The fraction of a flight still ahead: 1 at the start, 0 at the end.
float FlightAhead(const FlyingDoodad& f, Millis now) {
  const double span = static_cast<double>(f.endTime) - f.startTime;
  if (span <= 0) return 0;
  const double done = (static_cast<double>(now) - f.startTime) / span;
  return static_cast<float>(std::clamp(1.0 - done, 0.0, 1.0));
}

// Drops the flights that have ended and places the others for this frame.
void UpdateVoodoos(World& w, const Viewport& v, Millis now) {
  w.VoodooCount = ValidCount(w.VoodooCount, w.Voodoos.Size());
  for (int i = 1; i <= w.VoodooCount;) {
    if (now > w.Voodoos[i].endTime) {
      w.Voodoos.Remove(i);
      --w.VoodooCount;
    } else {
      ++i;
    }
  }
  for (int i = 1; i <= w.VoodooCount; ++i) {
    FlyingDoodad& f = w.Voodoos[i];
    const float ahead = FlightAhead(f, now);
    f.x = v.CellX(f.targetX) + ahead * f.distX;
    f.y = v.CellY(f.targetY) + ahead * f.distY;
    f.drawn = false;
  }
}

const SpriteDef* DoodadFrame(const World& w, int16_t doodad) {
  if (doodad < 1 || doodad > w.DoodadDefCount) return nullptr;
  return w.DoodadFrames.Find(doodad);
}

// Everything one frame's walk over the map needs.
class MapWalk {
 public:
  MapWalk(Engine& e, const Viewport& v, compose::FrameCanvas& canvas)
      : e_(e), w_(e.world), v_(v), canvas_(canvas) {
    BuildOccupancy();
    PlaceVoodoos();
    lastW_ = std::max(v_.cols + 3 + kLinkReach, 0);
    lastH_ = std::max(v_.rows + 3 + kLinkReach, 0);
    lastDrawn_.assign(static_cast<size_t>(lastW_) * lastH_, 0);
    const int doodads = std::max<int>(w_.DoodadDefCount, 0);
    preparedDoodads_.assign(static_cast<size_t>(doodads) + 1, nullptr);
  }

  void Run() {
    for (int r = v_.originY - 1; r <= v_.originY + v_.rows + 1; ++r)
      for (int c = v_.originX - 1; c <= v_.originX + v_.cols + 1; ++c) DrawCell(c, r);
    // Flights whose place lies outside the walked cells go on top.
    for (int i = 1; i <= w_.VoodooCount; ++i)
      if (!w_.Voodoos[i].drawn) DrawVoodoo(w_.Voodoos[i]);
  }

 private:
  // NPC numbers by cell over the view and its one-cell margin.
  void BuildOccupancy() {
    gridW_ = v_.cols + 2;
    gridH_ = v_.rows + 2;
    occupancy_.assign(static_cast<size_t>(std::max(gridW_, 0)) * std::max(gridH_, 0), 0);
    const int16_t count = ValidCount(w_.NpcCount, w_.Npcs.Size());
    for (int i = 1; i <= count; ++i) {
      const Npc& n = w_.Npcs[i];
      const int c = CInt(n.POS_X), r = CInt(n.POS_Y);
      if (c < 1 || r < 1 || c > w_.MapWidth || r > w_.MapHeight) continue;
      if (int16_t* slot = GridSlot(c, r)) *slot = static_cast<int16_t>(i);
    }
  }

  int16_t* GridSlot(int c, int r) {
    const int gx = c - (v_.originX - 1), gy = r - (v_.originY - 1);
    if (gx < 0 || gy < 0 || gx >= gridW_ || gy >= gridH_) return nullptr;
    return &occupancy_[static_cast<size_t>(gy) * gridW_ + gx];
  }

  // The cell each flight's place falls in, so the walk can find it.
  void PlaceVoodoos() {
    w_.VoodooCount = ValidCount(w_.VoodooCount, w_.Voodoos.Size());
    for (int i = 1; i <= w_.VoodooCount; ++i) {
      const FlyingDoodad& f = w_.Voodoos[i];
      const float left = v_.CellX(static_cast<float>(v_.originX));
      const float top = v_.CellY(static_cast<float>(v_.originY));
      voodooCells_.push_back(
          {v_.originX + compose::SaneCoordinate(std::floor((f.x - left) / v_.tileW)),
           v_.originY + compose::SaneCoordinate(std::floor((f.y - top) / v_.tileH)), i});
    }
  }

  void DrawCell(int c, int r) {
    const float x = v_.CellX(static_cast<float>(c)), y = v_.CellY(static_cast<float>(r));
    for (const VoodooCell& vc : voodooCells_) {
      FlyingDoodad& f = w_.Voodoos[vc.index];
      if (vc.c == c && vc.r == r && !f.drawn) DrawVoodoo(f);
    }
    if (const int16_t* slot = GridSlot(c, r); slot && *slot != 0) DrawNpc(w_.Npcs[*slot], x, y);
    if (playerX_ == c && playerY_ == r) DrawPlayer(x, y);
    if (c < 1 || r < 1 || c > w_.MapWidth || r > w_.MapHeight) return;
    const MapCell* cell = w_.MapTiles.Find(c, r);
    if (cell == nullptr) return;
    DrawCellDoodad(*cell, c, r);
    DrawCoveringDoodad(c, r);
  }

  // A doodad whose picture reaches into this cell is drawn again at its
  // own place, over the units just drawn here. A link to the cell itself
  // draws its doodad a second time too: that changes nothing for a clean
  // doodad (and DrawCellDoodad skips it), but a doodad with colour outside
  // its figure shows the second pass.
  void DrawCoveringDoodad(int c, int r) {
    const CoverLinks::Link link = w_.DoodadLinks.At(c, r);
    const int lx = link.x, ly = link.y;
    if (lx < 1 || ly < 1 || lx > w_.MapWidth || ly > w_.MapHeight) return;
    if (const MapCell* linked = w_.MapTiles.Find(lx, ly)) DrawCellDoodad(*linked, lx, ly);
  }

  // The doodad of map cell (c, r) at its place. A clean doodad (see
  // prepared_sprites.h) drawn before in this frame is drawn again only where
  // something was drawn over it since; any other is drawn in full.
  void DrawCellDoodad(const MapCell& cell, int c, int r) {
    const SpriteDef* s = DoodadFrame(w_, cell.DOODAD);
    if (s == nullptr) return;
    const compose::Placed p = compose::PlaceInCell(*s, v_.CellX(static_cast<float>(c)),
                                                   v_.CellY(static_cast<float>(r)), v_.tileH);
    const PreparedSprite* prepared = Prepared(cell.DOODAD, *s);
    uint32_t* last = LastDrawn(c, r);
    if (last != nullptr && *last != 0 && prepared->clean && prepared->runs) {
      *last = canvas_.DrawAgain(*prepared, p.x, p.y, *last);
      return;
    }
    const uint32_t number = canvas_.Draw(e_.pics.DoodadMap, *s, prepared, p.x, p.y);
    if (last != nullptr) *last = number;
  }

  // Cell doodads that cover a walked cell stand at most this many cells
  // left of it or below it; the draws of doodads further away are not
  // remembered, and those are drawn in full every time.
  static constexpr int kLinkReach = 8;

  // The number of the last draw of the doodad of map cell (c, r) in this
  // frame (0 before the first), or nullptr when it lies too far away.
  uint32_t* LastDrawn(int c, int r) {
    const int gx = c - (v_.originX - 1 - kLinkReach), gy = r - (v_.originY - 1);
    if (gx < 0 || gy < 0 || gx >= lastW_ || gy >= lastH_) return nullptr;
    return &lastDrawn_[static_cast<size_t>(gy) * lastW_ + gx];
  }

  // The prepared frame of a doodad, looked up once per frame.
  const PreparedSprite* Prepared(int16_t doodad, const SpriteDef& s) {
    const PreparedSprite*& known = preparedDoodads_[static_cast<size_t>(doodad)];
    if (known == nullptr) known = &e_.pics.PreparedDoodads.Get(e_.pics.DoodadMap, s);
    return known;
  }

  void DrawDoodad(int16_t doodad, float x, float y) {
    if (const SpriteDef* s = DoodadFrame(w_, doodad))
      compose::DrawInCell(canvas_, e_.pics.DoodadMap, *s, Prepared(doodad, *s), x, y, v_.tileH);
  }

  void DrawVoodoo(FlyingDoodad& f) {
    f.drawn = true;
    DrawDoodad(f.doodad, f.x, f.y);
  }

  void DrawNpc(const Npc& n, float x, float y) {
    if (n.CHAR < 1 || n.CHAR > w_.CharacterCount) return;
    const Unit u{w_.Characters.Find(n.CHAR), n.DIRECTION, n.stepOffsetX, n.stepOffsetY, &n.actor};
    compose::DrawUnit(e_, canvas_, u, x, y);
  }

  // The party is drawn as its leader.
  void DrawPlayer(float x, float y) {
    if (w_.PartyCount < 1) return;
    const Unit u{&w_.Party[1].character, w_.PlayerDirection, e_.view.StepOffsetX,
                 e_.view.StepOffsetY, &w_.PlayerActor};
    compose::DrawUnit(e_, canvas_, u, x, y);
  }

  struct VoodooCell {
    int c, r, index;
  };

  Engine& e_;
  World& w_;
  const Viewport& v_;
  compose::FrameCanvas& canvas_;
  int gridW_ = 0, gridH_ = 0;
  std::vector<int16_t> occupancy_;
  std::vector<VoodooCell> voodooCells_;
  const int playerX_ = CInt(w_.PlayerPosX), playerY_ = CInt(w_.PlayerPosY);
  int lastW_ = 0, lastH_ = 0;
  std::vector<uint32_t> lastDrawn_;                     // by map cell, see LastDrawn
  std::vector<const PreparedSprite*> preparedDoodads_;  // by doodad, once looked up
};

void DrawOverlays(Engine& e) {
  const WindowState& w = e.win;
  if (w.ShowFPS)
    DrawTextLine("FPS:" + std::to_string(w.FPS), e.pics.FontPic, e.pics.Frontbuf, 0, 0, w.FontWidth,
                 w.FontHeight, kTextTransparent);
  if (w.ShowReserve)
    DrawTextLine("Reserve:" + std::to_string(w.DelayLoops), e.pics.FontPic, e.pics.Frontbuf, 0,
                 w.FontHeight, w.FontWidth, w.FontHeight, kTextTransparent);
}

}  // namespace

void BufFlip(Engine& e) {
  const Millis now = e.Now();
  const Viewport v = compose::CurrentViewport(e);
  UpdateVoodoos(e.world, v, now);
  // The view is copied into Frontbuf as the walk over the map reaches
  // each band of rows (see FrameCanvas), then in full before the numbers.
  compose::FrameCanvas canvas(e.pics.Frontbuf, e.pics.Backbuf, v.bufX, v.bufY, v.tileW, v.tileH);
  if (++e.view.FrameCounter > kFrameCounterLast) e.view.FrameCounter = 0;
  e.view.MapChangeUnseen = false;
  e.view.ScreenCovered = false;
  if (v.tileW > 0 && v.tileH > 0) MapWalk(e, v, canvas).Run();
  canvas.Whole();
  compose::DrawPopups(e, v, now);
  DrawOverlays(e);
  e.Show();
}

}  // namespace yw
