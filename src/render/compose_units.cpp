// Masked sprites and the pictures of units: which frame a unit shows,
// how high a jumping actor is raised and when a unit blinks.
#include <algorithm>
#include <cmath>
#include <optional>

#include "core/engine.h"
#include "core/window_state.h"
#include "render/compose_internal.h"
#include "render/surfaces.h"
#include "world/rounding.h"

namespace yw::compose {
namespace {

int16_t StandingField(const Character& c, int32_t dir) {
  switch (dir) {
    case 1: return c.DOOUP;
    case 3: return c.DOOLEFT;
    case 4: return c.DOORIGHT;
    default: return c.DOODOWN;  // down, and a facing that was never set
  }
}

int16_t WalkingField(const Character& c, int32_t dir) {
  switch (dir) {
    case 1: return c.DOOUPANI;
    case 3: return c.DOOLEFTANI;
    case 4: return c.DOORIGHTANI;
    default: return c.DOODOWNANI;
  }
}

const SpriteDef* UnitEntry(const World& w, const Table<SpriteDef>& table, int16_t index) {
  if (index < 1 || index > w.UnitDefCount) return nullptr;
  return table.Find(index);
}

bool Moving(const Unit& u) { return u.offX != 0 || u.offY != 0; }

bool OrderActive(const Unit& u) { return u.actor != nullptr && u.actor->active; }

bool Horizontal(int32_t dir) { return dir == 3 || dir == 4; }

// How much of an actor's commanded way is still ahead: 1 when it sets off,
// 0 when it arrives. None when the order gives no way to measure.
std::optional<float> WayAhead(const Unit& u, int tileW, int tileH) {
  const ActorOrder& a = *u.actor;
  const bool across = Horizontal(a.direction);
  const float s = static_cast<float>(across ? tileW : tileH);
  const float off = std::fabs(across ? u.offX : u.offY);
  const float whole = static_cast<float>(a.stepsGiven) * s;
  if (whole <= 0) return std::nullopt;
  const float p = (off + static_cast<float>(a.steps - 1) * s) / whole;
  return std::clamp(p, 0.0f, 1.0f);
}

bool ActiveIn(const Unit& u, bool cutScene, ActorAction action) {
  return cutScene && OrderActive(u) && u.actor->action == action;
}

}  // namespace

void DrawSprite(Surface& dst, const Surface& sheet, const SpriteDef& s, int x, int y,
                SpriteLook look) {
  if (look == SpriteLook::Silhouette) {
    BitBlt(dst, x, y, s.width, s.height, sheet, s.maskX, s.maskY, Rop::MergePaint);
    return;
  }
  MaskedBlt(dst, x, y, s.width, s.height, sheet, s.maskX, s.maskY, s.picX, s.picY);
}

const SpriteDef* UnitSprite(const World& w, const Unit& u, bool cutScene) {
  if (u.character == nullptr) return nullptr;
  const Character& c = *u.character;
  const int32_t dir = u.direction;
  if (!cutScene)
    return UnitEntry(w, w.UnitFrames, Moving(u) ? WalkingField(c, dir) : StandingField(c, dir));
  if (!OrderActive(u)) return UnitEntry(w, w.UnitFrames, StandingField(c, dir));
  switch (u.actor->action) {
    case ActorAction::Walk: return UnitEntry(w, w.UnitFrames, WalkingField(c, dir));
    case ActorAction::Turn: return UnitEntry(w, w.UnitFrames, StandingField(c, w.UnitPhase));
    case ActorAction::Step:
    case ActorAction::Jump: return UnitEntry(w, w.UnitDefs, WalkingField(c, dir));
    case ActorAction::Invisible: return nullptr;
    default: return UnitEntry(w, w.UnitFrames, StandingField(c, dir));
  }
}

float JumpRaise(const Unit& u, int tileW, int tileH, bool cutScene) {
  if (!ActiveIn(u, cutScene, ActorAction::Jump)) return 0;
  const std::optional<float> p = WayAhead(u, tileW, tileH);
  if (!p) return 0;
  const float s = static_cast<float>(Horizontal(u.actor->direction) ? tileW : tileH);
  const float arc = 1 - (2 * *p - 1) * (2 * *p - 1);
  return arc * static_cast<float>(u.actor->stepsGiven) * s / 2;
}

float BlinkValue(const Unit& u, int tileW, int tileH, bool cutScene) {
  if (u.actor != nullptr && u.actor->blink != 0) return u.actor->blink;
  if (!ActiveIn(u, cutScene, ActorAction::Leave)) return 0;
  // A leaving unit blinks evenly along its way: the value grows from 0 as
  // it sets off, and every twentieth of the way flips the silhouette.
  const std::optional<float> p = WayAhead(u, tileW, tileH);
  return p ? 1 - *p : 0;
}

bool BlinkShowsSilhouette(float blink) {
  if (blink == 0) return false;
  const double n = std::nearbyint((static_cast<double>(blink) + 0.15) / 0.05);
  return std::fmod(n, 2.0) == 0;
}

void DrawUnit(Engine& e, FrameCanvas& canvas, const Unit& u, float cellX, float cellY) {
  const bool cutScene = e.win.GameMode == Mode::CutScene;
  const SpriteDef* s = UnitSprite(e.world, u, cutScene);
  if (s == nullptr) return;
  const int tw = e.world.TileWidth, th = e.world.TileHeight;
  const float raise = JumpRaise(u, tw, th, cutScene);
  const SpriteLook look = BlinkShowsSilhouette(BlinkValue(u, tw, th, cutScene))
                              ? SpriteLook::Silhouette
                              : SpriteLook::Normal;
  const PreparedSprite& prepared = e.pics.PreparedUnits.Get(e.pics.UnitDoo, *s);
  DrawInCell(canvas, e.pics.UnitDoo, *s, &prepared, cellX - u.offX, cellY - u.offY - raise, th,
             look);
}

}  // namespace yw::compose
