// NPCs wandering on the map and the actors of cut-scenes.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

#include "core/engine.h"
#include "core/window_state.h"
#include "render/compose.h"
#include "render/view.h"
#include "render/view_state.h"
#include "sim/actors.h"
#include "sim/movement.h"
#include "sim/sim_states.h"
#include "sim/turn.h"
#include "world/rounding.h"

namespace yw {

namespace {

// Duration of one actor step: 4 / speed walking steps.
double ActorStepTime(const Engine& e, float speed) {
  return speed > 0 ? 4.0 / speed * e.win.TimeWalkTime : static_cast<double>(e.win.TimeWalkTime);
}

// Any speed a script sets and any walk time a loaded game brings: the
// deadline is held within the clock's range.
Millis ActorDeadline(const Engine& e, float speed, Millis t) {
  return ClockAfter(t, ActorStepTime(e, speed));
}

// An actor with cells still to go; an order of no or fewer cells (a
// negative distance) is done before it starts.
bool Busy(const ActorOrder& a) { return a.speed > 0 && a.active && a.steps > 0; }

// Starts a one-cell step of the NPC: it occupies the new cell at once and
// its drawing lags one tile behind.
void StartNpcStep(Engine& e, Npc& npc, int direction) {
  int x = CellOf(npc.POS_X), y = CellOf(npc.POS_Y);
  StepTarget(direction, x, y);
  SetStepLag(e.world, direction, npc.stepOffsetX, npc.stepOffsetY);
  npc.POS_X = static_cast<float>(x);
  npc.POS_Y = static_cast<float>(y);
}

// A wandering NPC may enter cell (x, y): inside the map, not the player's
// cell, no event script, no OBSTACLE, no BOX, no other NPC.
bool FreeForWandering(const Engine& e, int x, int y) {
  const World& w = e.world;
  if (x < 1 || y < 1 || x > w.MapWidth || y > w.MapHeight) return false;
  if (w.PlayerPosX == x && w.PlayerPosY == y) return false;
  const EventCell& c = EventAt(e, x, y);
  if (!c.ENTERSCRIPT.empty() || !c.LEAVESCRIPT.empty() || !c.PUSHSCRIPT.empty() ||
      !c.USESCRIPT.empty() || !c.passable || c.BOX)
    return false;
  for (int i = 1; i <= w.NpcCount && w.Npcs.Has(i); ++i)
    if (w.Npcs[i].POS_X == x && w.Npcs[i].POS_Y == y) return false;
  return true;
}

struct Wandering {
  int interval;  // walking steps until the next decision
  int turnOneIn;
  int stepOneIn;  // 0: never steps
};

bool WanderingFor(int16_t speed, Wandering& w) {
  switch (speed) {
    case 1:
      w = {3, 5, 0};
      return true;
    case 2:
      w = {1, 5, 0};
      return true;
    case 3:
      w = {3, 5, 5};
      return true;
    case 4:
      w = {2, 3, 3};
      return true;
    case 5:
      w = {1, 2, 2};
      return true;
    default:
      return false;
  }
}

void Wander(Engine& e, Npc& npc, Millis t) {
  Wandering rule;
  if (!WanderingFor(npc.SPEED, rule)) return;
  npc.nextTime = t + Millis{rule.interval} * e.win.TimeWalkTime;
  if (e.rng.OneIn(rule.turnOneIn)) npc.DIRECTION = static_cast<int32_t>(e.rng.Next() * 4) + 1;
  if (rule.stepOneIn == 0 || !e.rng.OneIn(rule.stepOneIn)) return;
  if (AtEdge(e, npc.POS_X, npc.POS_Y, npc.DIRECTION)) return;
  int x = CellOf(npc.POS_X), y = CellOf(npc.POS_Y);
  StepTarget(npc.DIRECTION, x, y);
  if (!FreeForWandering(e, x, y)) return;
  StartNpcStep(e, npc, npc.DIRECTION);
  npc.prevFrameCount = npc.frameCount;
  npc.frameCount = 0;
}

void MoveOffsets(Engine& e, Npc& npc, Millis t, bool cutscene) {
  // A loaded game may set the next step up to a Long's reach ahead; the
  // time left is never negative.
  const int32_t remaining =
      static_cast<int32_t>(std::clamp<Millis>(npc.nextTime - t, 0, INT32_MAX));
  double duration = e.win.TimeWalkTime;
  if (cutscene)
    duration = ActorStepTime(e, npc.actor.speed);
  else if (npc.SPEED == 3)
    duration = 3.0 * e.win.TimeWalkTime;
  else if (npc.SPEED == 4)
    duration = 2.0 * e.win.TimeWalkTime;
  // Kept as a real number: a loaded game's walk time may be any Long, and
  // three of them do not fit one.
  const double elapsed = duration - remaining;
  const bool late = npc.nextTime < t;
  for (float* offset : {&npc.stepOffsetX, &npc.stepOffsetY}) {
    if (*offset == 0) continue;
    const float amount =
        StepAmount(elapsed, std::fabs(*offset), remaining, npc.frameCount, npc.prevFrameCount);
    *offset = *offset > 0 ? std::max(0.0f, *offset - amount) : std::min(0.0f, *offset + amount);
    if (std::fabs(*offset) < 1 || late) *offset = 0;
  }
  ++npc.frameCount;
}

// Ends the cut-scene when no actor is busy any more.
void EndTest(Engine& e) {
  if (e.win.MovieEndTime != 0) return;
  if (Busy(e.world.PlayerActor)) return;
  for (int i = 1; i <= e.world.NpcCount && e.world.Npcs.Has(i); ++i)
    if (Busy(e.world.Npcs[i].actor)) return;
  StopMovie(e);
}

// The actor's order is done, its cells walked or the map's edge met: a
// figure leaving the scene goes off the map.
void FinishOrder(Npc& npc) {
  npc.actor.steps = 0;
  if (npc.actor.action == ActorAction::Leave) npc.POS_X = npc.POS_Y = 0;
}

void Act(Engine& e, Npc& npc, Millis t) {
  ActorOrder& a = npc.actor;
  if (!Busy(a)) return;
  --a.steps;
  if (a.steps == 0 || AtEdge(e, npc.POS_X, npc.POS_Y, a.direction)) {
    FinishOrder(npc);
    EndTest(e);
    return;
  }
  StartNpcStep(e, npc, a.direction);
  npc.nextTime = ActorDeadline(e, a.speed, t);
  npc.prevFrameCount = npc.frameCount;
  npc.frameCount = 0;
}

// The first step of an actor when the cut-scene starts. An actor on the
// map's edge in its direction stops there: its order is done.
void FirstNpcStep(Engine& e, Npc& npc, Millis t) {
  ActorOrder& a = npc.actor;
  if (!Busy(a)) return;
  if (AtEdge(e, npc.POS_X, npc.POS_Y, a.direction))
    FinishOrder(npc);
  else
    StartNpcStep(e, npc, a.direction);
  npc.nextTime = ActorDeadline(e, a.speed, t);
  npc.prevFrameCount = npc.frameCount;
  npc.frameCount = 0;
}

// Starts a step of the player as an actor: the view follows as it does
// when the player walks.
void StartPlayerActorStep(Engine& e, Millis t) {
  World& w = e.world;
  ActorOrder& a = w.PlayerActor;
  if (AtEdge(e, w.PlayerPosX, w.PlayerPosY, a.direction)) {
    a.steps = 0;
    return;
  }
  int x = CellOf(w.PlayerPosX), y = CellOf(w.PlayerPosY);
  StepTarget(a.direction, x, y);
  SetStepLag(w, a.direction, e.view.StepOffsetX, e.view.StepOffsetY);
  const ViewOrigin v = ViewFor(e, static_cast<float>(x), static_cast<float>(y));
  if (a.direction == 3 || a.direction == 4) {
    if (v.x != e.view.ViewX) e.view.DestX = a.direction == 4 ? 2.0f * w.TileWidth : 0.0f;
  } else if (v.y != e.view.ViewY) {
    e.view.DestY = a.direction == 2 ? 2.0f * w.TileHeight : 0.0f;
  }
  w.PlayerPosX = static_cast<float>(x);
  w.PlayerPosY = static_cast<float>(y);
  e.win.WalkDeadline = ActorDeadline(e, a.speed, t);
}

}  // namespace

void ContinuePlayerActor(Engine& e) {
  ActorOrder& a = e.world.PlayerActor;
  if (a.steps > 0) --a.steps;
  if (a.steps > 0) StartPlayerActorStep(e, e.Now());
  if (a.steps == 0) EndTest(e);
}

void MoveActors(Engine& e, Millis t, bool cutscene) {
  World& w = e.world;
  for (int i = 1; i <= w.NpcCount && w.Npcs.Has(i); ++i) {
    Npc& npc = w.Npcs[i];
    if (npc.stepOffsetX != 0 || npc.stepOffsetY != 0) {
      MoveOffsets(e, npc, t, cutscene);
      continue;
    }
    if (!(npc.nextTime < t)) continue;
    if (cutscene)
      Act(e, npc, t);
    else
      Wander(e, npc, t);
  }
}

void ShowMovie(Engine& e, int32_t tajm) {
  World& w = e.world;
  const Millis now = e.Now();
  e.win.GameMode = Mode::CutScene;
  e.win.MovieEndTime = tajm == 0 ? 0 : now + tajm;
  e.view.StepOffsetX = e.view.StepOffsetY = 0;
  for (int i = 1; i <= w.NpcCount && w.Npcs.Has(i); ++i)
    w.Npcs[i].stepOffsetX = w.Npcs[i].stepOffsetY = 0;
  e.win.WalkDeadline = 0;
  e.win.StepFrameCount = 0;
  e.view.BufX = e.view.DestX = w.TileWidth;
  e.view.BufY = e.view.DestY = w.TileHeight;
  BackbufUpdate(e, false, false);
  // A fight's scene stays at the map's corner wherever the player stands.
  const ViewOrigin v = e.win.FightMode ? ViewOrigin{1, 1} : ViewFor(e, w.PlayerPosX, w.PlayerPosY);
  e.view.ViewX = v.x;
  e.view.ViewY = v.y;

  if (Busy(w.PlayerActor)) StartPlayerActorStep(e, now);
  for (int i = 1; i <= w.NpcCount && w.Npcs.Has(i); ++i) FirstNpcStep(e, w.Npcs[i], now);
  // Without a time limit the cut-scene ends once no actor is busy; an
  // actor stopped by the edge on its first step is no longer busy.
  EndTest(e);
}

void StopMovie(Engine& e) {
  if (e.win.FightAfterMovie) {
    e.win.FightAfterMovie = false;
    e.win.GameMode = Mode::FightRound;
  } else {
    e.win.GameMode = Mode::Script;
  }
  e.win.MovieEndTime = 0;
  e.view.StepOffsetX = e.view.StepOffsetY = 0;
  const ActorOrder cleared{false, 1, 0, 0, 0, ActorAction::Nothing, 0};
  e.world.PlayerActor = cleared;
  for (int i = 1; i <= e.world.NpcCount && e.world.Npcs.Has(i); ++i) {
    Npc& npc = e.world.Npcs[i];
    npc.stepOffsetX = npc.stepOffsetY = 0;
    npc.actor = cleared;
  }
  e.win.KeyEnabled = true;
}

void CutSceneFrame(Engine& e) {
  const Millis t = e.Now();
  if (e.win.MovieEndTime != 0 && t > e.win.MovieEndTime) StopMovie(e);
  FrameLimiter(e, t);
  AnimationTicks(e, t);
  if (e.view.StepOffsetX != 0 || e.view.StepOffsetY != 0 || e.win.WalkDeadline > t)
    MovePlayer(e, e.win.WalkDeadline - t, true);
  MoveActors(e, t, true);
  BufFlip(e);
}

}  // namespace yw
