#include "sim/movement.h"

#include <cmath>

#include "core/engine.h"
#include "core/window_state.h"
#include "menus/list_menu.h"
#include "render/compose.h"
#include "render/view.h"
#include "render/view_state.h"
#include "script/script_engine.h"
#include "sim/sim_states.h"
#include "sim/turn.h"
#include "world/rounding.h"

namespace yw {

namespace {

constexpr int32_t kUp = 38, kDown = 40, kLeft = 37, kRight = 39, kEsc = 27, kEnter = 13;

bool AtRest(const Engine& e) { return e.view.StepOffsetX == 0 && e.view.StepOffsetY == 0; }

void Run(Engine& e, const std::string& script) {
  if (!script.empty()) RunScript(e, script);
}

// The scroll margin at rest: one tile, or at the right (bottom) edge of a
// map whose last visible column (row) is cut by the screen, the margin that
// puts the map's edge flush with the screen's.
float RestMargin(const Engine& e, bool horizontal, float view) {
  const int tile = horizontal ? e.world.TileWidth : e.world.TileHeight;
  const int screen = horizontal ? e.win.ScreenWidth : e.win.ScreenHeight;
  const int cells = horizontal ? e.win.ScreenTileWidth : e.win.ScreenTileHeight;
  const int mapSize = horizontal ? e.world.MapWidth : e.world.MapHeight;
  if (tile > 0 && view == mapSize - (cells - 1) && screen % tile != 0)
    return static_cast<float>(2 * tile - screen % tile);
  return static_cast<float>(tile);
}

void SetScrollMargins(Engine& e, int direction, int tx, int ty) {
  const ViewOrigin v = ViewFor(e, static_cast<float>(tx), static_cast<float>(ty));
  const bool horizontal = direction == 3 || direction == 4;
  const bool forward = direction == 2 || direction == 4;
  const int tile = horizontal ? e.world.TileWidth : e.world.TileHeight;
  float& dest = horizontal ? e.view.DestX : e.view.DestY;
  const float oldView = horizontal ? e.view.ViewX : e.view.ViewY;
  const float newView = horizontal ? v.x : v.y;
  if (newView != oldView) {
    // The view scrolls one tile with the player, toward the margin of
    // Backbuf that holds the cells coming into view: the right or bottom
    // margin (offset 2 tiles) on a step right or down, the left or top one
    // (offset 0) on a step left or up. Two tiles on a left or up step
    // would slide the map the wrong way under the player and jump it back
    // two cells when the step ends and Backbuf is shifted.
    dest = static_cast<float>(forward ? 2 * tile : 0);
  } else {
    dest = RestMargin(e, horizontal, oldView);
  }
}

void TryStep(Engine& e, int direction, Millis t) {
  World& w = e.world;
  WindowState& win = e.win;
  if (AtEdge(e, w.PlayerPosX, w.PlayerPosY, direction)) {
    w.PlayerDirection = direction;
    return;
  }
  int tx = CellOf(w.PlayerPosX), ty = CellOf(w.PlayerPosY);
  StepTarget(direction, tx, ty);
  if (IsObstacle(e, tx, ty)) {
    Run(e, EventAt(e, tx, ty).PUSHSCRIPT);
    w.PlayerDirection = direction;
    return;
  }
  for (int i = 1; i <= w.NpcCount && w.Npcs.Has(i); ++i) {
    if (w.Npcs[i].POS_X == tx && w.Npcs[i].POS_Y == ty) {
      w.PlayerDirection = direction;
      return;
    }
  }
  win.KeyEnabled = false;
  if (const std::string& leave =
          EventAt(e, CellOf(w.PlayerPosX), CellOf(w.PlayerPosY)).LEAVESCRIPT;
      !leave.empty()) {
    win.KeyEnabled = true;
    RunScript(e, leave);
  }
  SetStepLag(w, direction, e.view.StepOffsetX, e.view.StepOffsetY);
  w.PlayerPosX = static_cast<float>(tx);
  w.PlayerPosY = static_cast<float>(ty);
  SetScrollMargins(e, direction, tx, ty);
  win.WalkDeadline = t + win.TimeWalkTime;
  w.PlayerDirection = direction;
}

// Enter: use the cell in front, else the NPC standing there.
void UseInFront(Engine& e) {
  World& w = e.world;
  int tx = CellOf(w.PlayerPosX), ty = CellOf(w.PlayerPosY);
  StepTarget(w.PlayerDirection, tx, ty);
  if (tx < 1 || ty < 1 || tx > w.MapWidth || ty > w.MapHeight) return;
  if (const std::string& use = EventAt(e, tx, ty).USESCRIPT; !use.empty()) {
    RunScript(e, use);
    return;
  }
  for (int i = 1; i <= w.NpcCount && w.Npcs.Has(i); ++i) {
    Npc& npc = w.Npcs[i];
    if (npc.POS_X != tx || npc.POS_Y != ty || npc.stepOffsetX != 0 || npc.stepOffsetY != 0)
      continue;
    if (!npc.SCRIPT.empty()) {
      RunScript(e, npc.SCRIPT);
      constexpr int32_t kFacing[] = {0, 2, 1, 4, 3};
      if (w.PlayerDirection >= 1 && w.PlayerDirection <= 4)
        npc.DIRECTION = kFacing[w.PlayerDirection];
    }
    return;
  }
}

// Moves `value` toward `target` by at most `amount`, never past it.
void Approach(float& value, float target, float amount) {
  if (value < target)
    value = std::min(target, value + amount);
  else if (value > target)
    value = std::max(target, value - amount);
}

void ArriveAtRest(Engine& e) {
  ViewState& v = e.view;
  v.BufX = v.DestX = e.world.TileWidth;
  v.BufY = v.DestY = e.world.TileHeight;
  v.StepOffsetX = v.StepOffsetY = 0;
  BackbufUpdate(e, false, false);
  const ViewOrigin origin = ViewFor(e, e.world.PlayerPosX, e.world.PlayerPosY);
  v.ViewX = origin.x;
  v.ViewY = origin.y;
  v.BufX = v.DestX = RestMargin(e, true, v.ViewX);
  v.BufY = v.DestY = RestMargin(e, false, v.ViewY);
}

}  // namespace

float StepAmount(double elapsed, double distance, double remaining, int frames, int prevFrames) {
  double a = 1;
  if (frames > 0)
    a = elapsed / frames;
  else if (prevFrames >= 2)
    a = (remaining + elapsed) / prevFrames;
  if (a <= 0) a = 1;
  double amount = remaining >= 1 ? distance / (remaining / a) : distance;
  if (amount > distance) amount = distance;
  if (amount < 0) amount = 0;
  return static_cast<float>(amount);
}

void SetStepLag(const World& w, int direction, float& offsetX, float& offsetY) {
  if (direction == 1 || direction == 2)
    offsetY = (direction == 1 ? -1.0f : 1.0f) * static_cast<float>(w.TileHeight);
  else if (direction == 3 || direction == 4)
    offsetX = (direction == 3 ? -1.0f : 1.0f) * static_cast<float>(w.TileWidth);
}

void StepTarget(int direction, int& x, int& y) {
  switch (direction) {
    case 1:
      --y;
      break;
    case 2:
      ++y;
      break;
    case 3:
      --x;
      break;
    case 4:
      ++x;
      break;
    default:
      break;
  }
}

bool AtEdge(const Engine& e, float x, float y, int direction) {
  switch (direction) {
    case 1:
      return y <= 1;
    case 2:
      return y >= e.world.MapHeight;
    case 3:
      return x <= 1;
    case 4:
      return x >= e.world.MapWidth;
    default:
      return true;
  }
}

const EventCell& EventAt(const Engine& e, int x, int y) { return e.world.MapEvents.At(x, y); }

bool IsObstacle(const Engine& e, int x, int y) { return !EventAt(e, x, y).passable; }

void MovePlayer(Engine& e, Millis remaining, bool cutscene) {
  WindowState& win = e.win;
  ViewState& v = e.view;
  World& w = e.world;
  ActorOrder& actor = w.PlayerActor;
  if (cutscene && !(actor.active && actor.steps > 0)) return;
  const double duration = cutscene ? (actor.speed > 0 ? 4.0 / actor.speed * win.TimeWalkTime : 0.0)
                                   : static_cast<double>(win.TimeWalkTime);
  const double elapsed = duration - static_cast<double>(remaining);
  if (remaining > 0) {
    auto amount = [&](float distance) {
      return StepAmount(elapsed, std::fabs(distance), static_cast<double>(remaining),
                        win.StepFrameCount, win.PrevStepFrameCount);
    };
    Approach(v.BufX, v.DestX, amount(v.DestX - v.BufX));
    Approach(v.BufY, v.DestY, amount(v.DestY - v.BufY));
    if (v.StepOffsetX != 0) Approach(v.StepOffsetX, 0, amount(v.StepOffsetX));
    if (v.StepOffsetY != 0) Approach(v.StepOffsetY, 0, amount(v.StepOffsetY));
    ++win.StepFrameCount;
  }
  if (!AtRest(e) && remaining > 0) return;

  win.WalkDeadline = 0;
  win.PrevStepFrameCount = win.StepFrameCount;
  win.StepFrameCount = 0;
  ArriveAtRest(e);
  if (!cutscene) {
    win.KeyEnabled = true;
    Run(e, EventAt(e, CellOf(w.PlayerPosX), CellOf(w.PlayerPosY)).ENTERSCRIPT);
    return;
  }
  ContinuePlayerActor(e);
}

void MapFrame(Engine& e) {
  const Millis t = e.Now();
  FrameLimiter(e, t);
  AnimationTicks(e, t);
  const int32_t key = e.win.Key;
  if (AtRest(e) && key != 0) {
    const ViewOrigin origin = ViewFor(e, e.world.PlayerPosX, e.world.PlayerPosY);
    e.view.ViewX = origin.x;
    e.view.ViewY = origin.y;
    switch (key) {
      case kUp:
        TryStep(e, 1, t);
        break;
      case kDown:
        TryStep(e, 2, t);
        break;
      case kLeft:
        TryStep(e, 3, t);
        break;
      case kRight:
        TryStep(e, 4, t);
        break;
      case kEsc:
        Drawlist(e, list::kMainMenu, true);
        e.win.GameMode = Mode::Menu;
        return;
      case kEnter:
        UseInFront(e);
        break;
      default:
        break;
    }
  }
  if (!AtRest(e) || e.win.WalkDeadline > t) MovePlayer(e, e.win.WalkDeadline - t, false);
  MoveActors(e, t, false);
  BufFlip(e);
}

}  // namespace yw
