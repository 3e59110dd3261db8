// Walking on the map, cell events, wandering NPCs and cut-scene actors.
#include <set>

#include "sim/actors.h"
#include "sim/main_loop.h"
#include "sim/movement.h"
#include "test_support.h"

namespace yw {
namespace {

// A 6 x 5 map of 16-pixel tiles, every cell passable, the player at (3, 3)
// facing down, walking on the map.
class MapTest : public ::testing::Test {
 protected:
  test::TestEngine t;
  Engine& e = t.engine;
  World& w = e.world;

  void SetUp() override {
    w.MapWidth = 6;
    w.MapHeight = 5;
    w.TileWidth = w.TileHeight = 16;
    w.MapTiles.Reset(6, 5);
    w.MapEvents.Reset(6, 5);
    for (int y = 1; y <= 5; ++y)
      for (int x = 1; x <= 6; ++x) {
        w.MapTiles(x, y).TILE = 1;
        w.MapEvents(x, y).passable = true;
      }
    w.PlayerPosX = 3;
    w.PlayerPosY = 3;
    w.PlayerDirection = 2;
    e.win.ScreenWidth = e.win.ScreenHeight = 48;
    e.win.ScreenTileWidth = e.win.ScreenTileHeight = 3;
    e.win.TimeWalkTime = 100;
    e.win.GameMode = 6;
    e.win.KeyEnabled = true;
    e.win.Wait4Relase = false;
    e.view.BufX = e.view.DestX = 16;
    e.view.BufY = e.view.DestY = 16;
  }

  // Runs main-loop turns until the virtual clock has advanced by ms.
  void RunFor(uint32_t ms) {
    const uint32_t end = t.platform.Now() + ms;
    while (t.platform.Now() < end && !e.QuitRequested) LoopTurn(e);
  }

  void Tap(GameKey key) {
    t.platform.SetKey(key, true);
    LoopTurn(e);
    t.platform.SetKey(key, false);
  }

  Npc& AddNpc(float x, float y, int16_t speed = 0) {
    w.Npcs.Resize(++w.NpcCount);
    Npc& n = w.Npcs[w.NpcCount];
    n.POS_X = x;
    n.POS_Y = y;
    n.SPEED = speed;
    n.DIRECTION = 2;
    return n;
  }
};

// The replays cover the map edge, obstacles and an NPC standing still.
TEST_F(MapTest, AnNpcInTheMiddleOfItsOwnStepBlocksItsNewCell) {
  Npc& n = AddNpc(3, 2);
  n.stepOffsetY = 8;
  Tap(GameKey::Up);
  EXPECT_EQ(w.PlayerPosY, 3);
  EXPECT_EQ(w.PlayerDirection, 1);
  EXPECT_EQ(e.view.StepOffsetY, 0);
  EXPECT_TRUE(e.win.KeyEnabled);
}

TEST_F(MapTest, WithoutAnEventLayerEveryCellIsPassable) {
  w.MapEvents.Reset(1, 1);
  w.PlayerPosX = 2;
  w.PlayerPosY = 1;
  Tap(GameKey::Left);
  EXPECT_EQ(w.PlayerPosX, 1);
}

TEST_F(MapTest, AStepWhoseTimeRunsOutSnapsToTheCell) {
  Tap(GameKey::Down);
  ASSERT_GT(e.view.StepOffsetY, 15);
  EXPECT_FALSE(e.win.KeyEnabled);
  e.win.WalkDeadline = static_cast<int32_t>(t.platform.Now()) - 1;
  MovePlayer(e, -1, false);
  EXPECT_EQ(e.view.StepOffsetY, 0);
  EXPECT_EQ(e.view.BufY, 16);
  EXPECT_EQ(e.win.WalkDeadline, 0);
  EXPECT_TRUE(e.win.KeyEnabled);
}

TEST(StepAmount, SpreadsTheDistanceOverTheFramesLeft) {
  // 10 ms frames so far (50 ms over 5 frames), 50 ms left: 5 frames to go.
  EXPECT_FLOAT_EQ(StepAmount(50, 10, 50, 5, 0), 2.0f);
  // No frames yet: the previous step's frame time.
  EXPECT_FLOAT_EQ(StepAmount(0, 16, 100, 0, 10), 1.6f);
  // Deadline reached: the whole distance.
  EXPECT_FLOAT_EQ(StepAmount(100, 7, 0, 9, 9), 7.0f);
  // Never more than the distance, never negative.
  EXPECT_FLOAT_EQ(StepAmount(1000, 3, 2, 1, 0), 3.0f);
  EXPECT_FLOAT_EQ(StepAmount(-50, 3, 100, 1, 0), 0.03f);
}

// Whether a wandering NPC may never stand on (x, y) of the 12 x 10 map the
// wandering test builds: every kind of event script, OBSTACLE and BOX.
bool Forbidden(int x, int y) { return (x * 5 + y * 3) % 7 == 0 || (x == 6 && y == 5); }

TEST_F(MapTest, ManyWanderersNeverEnterAForbiddenCell) {
  w.MapWidth = 12;
  w.MapHeight = 10;
  w.MapTiles.Reset(12, 10);
  w.MapEvents.Reset(12, 10);
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
      if (!Forbidden(x, y)) AddNpc(static_cast<float>(x), static_cast<float>(y), static_cast<int16_t>(3 + (x + y) % 3));
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

TEST_F(MapTest, SlowWanderersOnlyTurn) {
  AddNpc(2, 2, 1);
  AddNpc(4, 4, 2);
  Npc& a = w.Npcs[1];
  Npc& b = w.Npcs[2];
  std::set<int32_t> directions;
  for (int i = 0; i < 300; ++i) {
    a.nextTime = b.nextTime = 0;
    MoveActors(e, 1000 + i, false);
    directions.insert(a.DIRECTION);
  }
  EXPECT_EQ(a.POS_X, 2);
  EXPECT_EQ(a.POS_Y, 2);
  EXPECT_EQ(b.POS_X, 4);
  EXPECT_EQ(b.POS_Y, 4);
  EXPECT_EQ(directions.size(), 4u);
}

TEST_F(MapTest, ACutSceneWithoutActorsReturnsAtOnce) {
  ShowMovie(e, 0);
  EXPECT_EQ(e.win.GameMode, 8);
  e.win.FightAfterMovie = true;
  ShowMovie(e, 0);
  EXPECT_EQ(e.win.GameMode, 12);
  EXPECT_FALSE(e.win.FightAfterMovie);
}

TEST_F(MapTest, ActorsWalkTheirStepsStopAtTheMapEdgeOrLeaveTheMap) {
  AddNpc(2, 2);
  AddNpc(2, 4);
  Npc& n = w.Npcs[1];
  Npc& leaver = w.Npcs[2];
  n.actor = {true, 4, 2.0f, 9, 9, ActorAction::Walk, 0};  // 9 cells right: only 4 fit
  leaver.actor = {true, 2, 4.0f, 1, 1, ActorAction::Leave, 0};
  w.PlayerActor = {true, 1, 4.0f, 1, 1, ActorAction::Walk, 0};
  ShowMovie(e, 0);
  ASSERT_EQ(e.win.GameMode, 9);
  EXPECT_EQ(n.POS_X, 3);
  EXPECT_EQ(w.PlayerPosY, 2);
  RunFor(2000);
  EXPECT_EQ(n.POS_X, 6);
  EXPECT_EQ(w.PlayerPosY, 2);
  EXPECT_NE(e.win.GameMode, 9);  // every actor finished: the cut-scene is over
  EXPECT_FALSE(n.actor.active);
  EXPECT_EQ(n.actor.action, ActorAction::Nothing);
  EXPECT_EQ(leaver.POS_X, 0);
  EXPECT_EQ(leaver.POS_Y, 0);
}

TEST_F(MapTest, ATimeLimitEndsTheCutSceneWhileActorsStillWalk) {
  Npc& n = AddNpc(1, 1);
  n.actor = {true, 2, 0.5f, 4, 4, ActorAction::Walk, 0};  // slow: 800 ms a cell
  ShowMovie(e, 300);
  RunFor(400);
  EXPECT_NE(e.win.GameMode, 9);
  EXPECT_EQ(n.POS_Y, 2);
  EXPECT_EQ(n.actor.steps, 0);
  EXPECT_EQ(n.stepOffsetY, 0);
}

}  // namespace
}  // namespace yw
