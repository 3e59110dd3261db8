// Walking on the map, cell events, wandering NPCs and cut-scene actors.
#include <set>

#include "sim/actors.h"
#include "sim/turn.h"
#include "sim/movement.h"
#include "test_support.h"

namespace yw {
namespace {

// Whether a wandering NPC may never stand on (x, y) of the 12 x 10 map the
// wandering test builds: every kind of event script, OBSTACLE and BOX.
bool Forbidden(int x, int y) { return (x * 5 + y * 3) % 7 == 0 || (x == 6 && y == 5); }

TEST(Wanderers, ManyWanderersNeverEnterAForbiddenCell) {
  test::TestEngine t;
  Engine& e = t.engine;
  World& w = e.world;
  w.MapWidth = 12;
  w.MapHeight = 10;
  w.MapTiles.Reset(12, 10);
  w.MapEvents.Reset(12, 10);
  w.TileWidth = w.TileHeight = 16;
  e.win.TimeWalkTime = 100;
  int kind = 0;
  for (int y = 1; y <= 10; ++y)
    for (int x = 1; x <= 12; ++x) {
      EventCell& c = w.MapEvents(x, y);
      c.passable = true;
      if (!Forbidden(x, y) || (x == 6 && y == 5)) continue;
      switch (kind++ % 6) {
        case 0: c.ENTERSCRIPT = "a.skr"; break;
        case 1: c.LEAVESCRIPT = "b.skr"; break;
        case 2: c.PUSHSCRIPT = "c.skr"; break;
        case 3: c.USESCRIPT = "d.skr"; break;
        case 4: c.passable = false; break;
        default: c.BOX = true; break;
      }
    }
  w.PlayerPosX = 6;  // the player's cell is (6, 5)
  w.PlayerPosY = 5;
  for (int y = 1; y <= 10; y += 2)
    for (int x = 1; x <= 12; x += 3)
      if (!Forbidden(x, y)) {
        w.Npcs.Resize(++w.NpcCount);
        Npc& n = w.Npcs[w.NpcCount];
        n.POS_X = static_cast<float>(x), n.POS_Y = static_cast<float>(y), n.DIRECTION = 2;
        n.SPEED = static_cast<int16_t>(3 + (x + y) % 3);
      }
  ASSERT_GE(w.NpcCount, 12);
  e.rng.Seed(20261206);
  int steps = 0;
  for (int32_t now = 1000; now < 200000; now += 10) {
    MoveActors(e, now, false);
    std::set<std::pair<int, int>> taken;
    for (int i = 1; i <= w.NpcCount; ++i) {
      const Npc& n = w.Npcs[i];
      const int x = static_cast<int>(n.POS_X), y = static_cast<int>(n.POS_Y);
      ASSERT_TRUE(x >= 1 && x <= 12 && y >= 1 && y <= 10) << i << " at " << x << "," << y;
      ASSERT_FALSE(Forbidden(x, y)) << i << " at " << x << "," << y;
      ASSERT_TRUE(taken.insert({x, y}).second) << "two NPCs at " << x << "," << y;
      if (n.stepOffsetX != 0 || n.stepOffsetY != 0) ++steps;
    }
  }
  EXPECT_GT(steps, 1000);  // they do wander where they may
}

}  // namespace
}  // namespace yw
