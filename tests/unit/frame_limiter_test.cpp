// The frame limiter's arithmetic and the animation ticks.
#include "sim/main_loop.h"
#include "test_support.h"

namespace yw {
namespace {

TEST(FrameLimiter, WithoutALimitCountsFramesPerWholeSecond) {
  test::TestEngine t;
  WindowState& w = t.engine.win;
  w.FPSLimit = 0;
  w.LastFrameTime = 1000;
  for (int32_t ms = 1001; ms <= 2000; ms += 10) FrameLimiter(t.engine, ms);
  EXPECT_EQ(w.DelayLoops, 100);
  EXPECT_EQ(w.FPS, 0);  // the second is not over yet
  FrameLimiter(t.engine, 2001);
  EXPECT_EQ(w.FPS, 100);
  EXPECT_EQ(w.LastFrameTime, 2001);
  EXPECT_EQ(w.DelayLoops, 1);
}

TEST(FrameLimiter, WithALimitAdaptsTheYieldCount) {
  test::TestEngine t;
  WindowState& w = t.engine.win;
  w.FPSLimit = 50;
  w.LastFrameTime = 0;
  FrameLimiter(t.engine, 500);  // first frame: 10 yields
  EXPECT_EQ(w.DelayLoops, 10);
  EXPECT_EQ(w.LastFrameTime, 500);

  // A frame after 10 ms: r = 100, FPS = (100 + 4 * 0) / 5 = 20,
  // DelayLoops = Int(100 / 50 * 10) + 1 = 21.
  const uint32_t before = t.platform.Now();
  FrameLimiter(t.engine, 510);
  EXPECT_EQ(w.FPS, 20);
  EXPECT_EQ(w.SmoothFPS, 20);
  EXPECT_EQ(w.DelayLoops, 21);
  EXPECT_EQ(t.platform.Now() - before, 21u);  // one tick per yield

  // A slow frame of 40 ms: r = 25, FPS = (25 + 80) / 5 = 21,
  // DelayLoops = Int(25 / 50 * 21) + 1 = 11.
  FrameLimiter(t.engine, 550);
  EXPECT_EQ(w.FPS, 21);
  EXPECT_EQ(w.DelayLoops, 11);
}

TEST(FrameLimiter, ConvergesNearTheLimitOnAVirtualClock) {
  test::TestEngine t;
  Engine& e = t.engine;
  e.win.FPSLimit = 40;
  for (int frame = 0; frame < 400; ++frame) FrameLimiter(e, e.Now());
  // One yield is one millisecond here, so 40 frames a second is about 25
  // yields a frame.
  EXPECT_NEAR(e.win.FPS, 40, 4);
  EXPECT_NEAR(e.win.DelayLoops, 25, 3);
}

TEST(FrameLimiter, EnteringScriptsMovesTheReference) {
  test::TestEngine t;
  WindowState& w = t.engine.win;
  w.FPSLimit = 30;
  w.FPS = 25;
  ResetFrameReference(t.engine, 10000);
  EXPECT_EQ(w.LastFrameTime, 9960);
  w.FPS = 0;
  ResetFrameReference(t.engine, 20000);
  EXPECT_EQ(w.LastFrameTime, 9960);  // unchanged without a measured rate
}

TEST(AnimationTicks, StepTilesAfterAnitimeAndUnitsAfterCharAniTime) {
  test::TestEngine t;
  Engine& e = t.engine;
  World& w = e.world;
  w.TileDefCount = 2;
  w.TileDefs.Resize(2);
  w.TileDefs[1] = {0, 0, 2};
  w.TileDefs[2] = {8, 0, 1};
  ResetFrames(w);
  e.win.TimeAniTime = 100;
  e.win.TimeCharTime = 50;
  e.win.LastAniTick = 1000;
  e.win.NextCharTick = 1050;
  AnimationTicks(e, 1100);  // not more than 100 ms later
  EXPECT_EQ(w.TileFrames[1].x, 0);
  EXPECT_EQ(w.UnitPhase, 3);  // 1100 > 1050
  EXPECT_EQ(e.win.NextCharTick, 1150);
  AnimationTicks(e, 1101);
  EXPECT_EQ(w.TileFrames[1].x, 8);
  EXPECT_EQ(e.win.LastAniTick, 1101);
  EXPECT_EQ(w.UnitPhase, 3);
}

}  // namespace
}  // namespace yw
