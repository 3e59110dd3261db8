// Choosing an enemy on the map (list 18): no window, only the pointer
// beside the chosen enemy. Up and Down go round the enemies; Enter names
// the target and the script that asked carries on. The main loop's
// target-choice state keeps the map moving under the pointer.
#include <algorithm>
#include <cmath>

#include "core/engine.h"
#include "core/window_state.h"
#include "menus/list_kinds.h"
#include "menus/list_menu.h"
#include "menus/list_state.h"
#include "render/compose.h"
#include "render/compose_internal.h"
#include "render/frames.h"
#include "render/surfaces.h"
#include "sim/sim_states.h"
#include "sim/turn.h"

namespace yw {

namespace {

// A screen coordinate cut to 16 bits; a position that is not a number (a
// damaged saved game) puts the pointer at 0.
int16_t ToInt16(float v) {
  if (std::isnan(v)) return 0;
  return static_cast<int16_t>(std::clamp<float>(v, INT16_MIN, INT16_MAX));
}

}  // namespace

// One line per enemy that stands on the map as an NPC; the pointer stands
// left of the enemy's figure, pointing at it.
void DrawEnemyChooser(Engine& e, bool reset) {
  ListState& l = e.lists;
  const World& w = e.world;
  if (reset) l.CurrentList = list::kEnemyChooser;
  l.ListRows.Reset();
  l.ListRowCount = 0;
  const compose::Viewport v = compose::CurrentViewport(e);
  const int handW = e.pics.HandPic.Width() / 2, handH = e.pics.HandPic.Height();
  for (int i = 1; i <= w.EnemyCount && w.Enemies.Has(i); ++i) {
    const int16_t npc = w.Enemies[i].NPC;
    if (npc < 1 || npc > w.NpcCount || !w.Npcs.Has(npc)) continue;
    const Npc& n = w.Npcs[npc];
    const float x = v.CellX(n.POS_X) + n.stepOffsetX - static_cast<float>(handW);
    const float y = v.CellY(n.POS_Y) + n.stepOffsetY + static_cast<float>(v.tileH - handH) / 2;
    ++l.ListRowCount;
    l.ListRows.Resize(l.ListRowCount);
    l.ListRows[l.ListRowCount] = ListRow{static_cast<int16_t>(i), ToInt16(x), ToInt16(y)};
  }
  if (l.ListCursor > l.ListRowCount) l.ListCursor = l.ListRowCount;
  if (l.ListCursor >= 1) {
    const ListRow& row = l.ListRows[l.ListCursor];
    DrawHand(e.pics.HandPic, e.pics.Frontbuf, row.handX, row.handY);
  }
  e.Show();
}

void EnterChosenEnemy(Engine& e, int16_t enemy) {
  e.world.TargetIndex = enemy;
  e.world.TargetIsParty = false;
  e.win.GameMode = Mode::Script;
}

// The map goes on animating under the pointer. Once a target is chosen
// the pointer is not drawn again: the script takes over the screen.
void TargetChoiceFrame(Engine& e) {
  const Millis t = e.Now();
  FrameLimiter(e, t);
  AnimationTicks(e, t);
  if (e.win.Key != 0) MenuKey(e, e.lists.CurrentList, e.win.Key);
  BufFlip(e);
  if (e.win.GameMode == Mode::TargetChoice)
    Drawlist(e, e.lists.CurrentList, false);
}

}  // namespace yw
