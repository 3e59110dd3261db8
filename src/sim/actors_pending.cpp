// Cut-scene start and end without actor movement: the orders are counted
// and cleared, but nobody walks yet. Actor movement replaces this file.
#include "render/compose.h"
#include "shell/engine.h"
#include "sim/actors.h"

namespace yw {

namespace {

bool Busy(const ActorOrder& order) { return order.active && order.speed > 0 && order.steps > 0; }

bool AnyActorBusy(const World& w) {
  if (Busy(w.PlayerActor)) return true;
  for (int i = 1; i <= w.NpcCount && w.Npcs.Has(i); ++i)
    if (Busy(w.Npcs[i].actor)) return true;
  return false;
}

void ClearOrder(ActorOrder& order) {
  order.steps = 0;
  order.action = ActorAction::Nothing;
  order.active = false;
  order.speed = 0;
  order.direction = 1;
}

}  // namespace

void ShowMovie(Engine& e, int32_t tajm) {
  WindowState& win = e.win;
  World& w = e.world;
  win.GameMode = static_cast<int32_t>(Mode::CutScene);
  win.MovieEndTime = tajm == 0 ? 0 : e.Now() + tajm;
  e.view.StepOffsetX = e.view.StepOffsetY = 0;
  for (int i = 1; i <= w.NpcCount && w.Npcs.Has(i); ++i)
    w.Npcs[i].stepOffsetX = w.Npcs[i].stepOffsetY = 0;
  win.StepDeadline = 0;
  ResetBufDelta(e);
  BackbufUpdate(e, false, false);
  if (!AnyActorBusy(w) && tajm == 0) StopMovie(e);
}

void StopMovie(Engine& e) {
  WindowState& win = e.win;
  World& w = e.world;
  if (win.FightAfterMovie) {
    win.FightAfterMovie = false;
    win.GameMode = static_cast<int32_t>(Mode::FightRound);
  } else {
    win.GameMode = static_cast<int32_t>(Mode::Script);
  }
  win.MovieEndTime = 0;
  e.view.StepOffsetX = e.view.StepOffsetY = 0;
  ClearOrder(w.PlayerActor);
  for (int i = 1; i <= w.NpcCount && w.Npcs.Has(i); ++i) {
    Npc& npc = w.Npcs[i];
    npc.stepOffsetX = npc.stepOffsetY = 0;
    ClearOrder(npc.actor);
  }
  win.KeyEnabled = true;
}

}  // namespace yw
