#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render/compose.h"
#include "sim/effects.h"
#include "sim/sim_states.h"
#include "test_support.h"

namespace yw {
namespace {

constexpr int W = 20, H = 10;

// The picture under the effect: every pixel has its own colour.
uint32_t Picture(int x, int y) { return Rgb(static_cast<uint8_t>(x * 10 + 5), static_cast<uint8_t>(y * 10 + 5), 0x80); }

struct EffectWorld : test::TestEngine {
  EffectWorld(int32_t sfx, bool reverse, int32_t start = 1000, int32_t end = 2000) {
    WindowState& w = engine.win;
    w.ScreenWidth = W, w.ScreenHeight = H, w.GameMode = Mode::Effect;
    w.SFX = sfx, w.SFXReverse = reverse, w.SFXStartTime = start, w.SFXEndTime = end;
    engine.pics.Frontbuf.Resize(W, H);
    engine.pics.Frontbuf.Fill(kMarker);
    engine.pics.Extrabuf.Resize(W, H);
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) engine.pics.Extrabuf.Set(x, y, Picture(x, y));
  }
  // One turn of state 14 at time t.
  void Turn(uint32_t t) {
    platform.SetClock(t);
    EffectFrame(engine);
  }
  uint32_t At(int x, int y) { return engine.pics.Frontbuf.At(x, y); }
  bool Is(uint32_t colour) {
    for (uint32_t p : engine.pics.Frontbuf.Pixels())
      if (p != colour) return false;
    return true;
  }
  bool ShowsPicture() {
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x)
        if (At(x, y) != Picture(x, y)) return false;
    return true;
  }
  bool Released() { return engine.pics.Extrabuf.Width() == 1 && engine.pics.Extrabuf.Height() == 1; }
  int32_t Mode() { return static_cast<int32_t>(engine.win.GameMode); }

  static constexpr uint32_t kMarker = 0x123456;
};

// What a frame shows at one spot: a pixel of the picture, or black.
struct Spot {
  int x, y;
  int px = -1, py = -1;  // the picture's pixel; -1 for black
};

TEST(ScreenEffects, FramesAtTheStartHalfwayAndTheEnd) {
  // 20 x 10 screen, effect from 1000 to 2000 ms: p = 0, 0.5 and 1.
  enum class Whole { Spots, Picture, Black };
  const struct Case {
    int32_t sfx;
    bool reverse;
    uint32_t t;
    Whole whole;
    std::vector<Spot> spots;
  } cases[] = {
      // Zoom in: the source (5, 2, 10, 5) over the whole screen halfway; at
      // the end nothing of the picture is left and the screen is black.
      {1, false, 1000, Whole::Picture, {}},
      {1, false, 1500, Whole::Spots, {{0, 0, 5, 2}, {19, 9, 14, 6}}},
      {1, false, 2000, Whole::Black, {}},
      // Zoom out: the whole picture in (5, 2, 10, 5), black around; a
      // point at the end. Backwards it grows from the point.
      {2, false, 1500, Whole::Spots, {{5, 2, 0, 0}, {14, 6, 18, 8}, {4, 2}, {15, 7}}},
      {2, false, 2000, Whole::Black, {}},
      {2, true, 1000, Whole::Black, {}},
      {2, true, 2000, Whole::Picture, {}},
      // Horizontal wipe: bands of round(2.5) = 2 rows from top and bottom.
      {3, false, 1000, Whole::Picture, {}},
      {3, false, 1500, Whole::Spots, {{3, 1}, {3, 2, 3, 2}, {3, 7, 3, 7}, {3, 8}}},
      {3, false, 2000, Whole::Black, {}},
      // Vertical wipe played with OUT: black at first, opening from the
      // middle to the picture.
      {4, true, 1000, Whole::Black, {}},
      {4, true, 1500, Whole::Spots, {{4, 6}, {5, 6, 5, 6}, {14, 6, 14, 6}, {15, 6}}},
      {4, true, 2000, Whole::Picture, {}},
  };
  for (const Case& c : cases) {
    EffectWorld w(c.sfx, c.reverse);
    w.Turn(1000);
    if (c.t != 1000) w.Turn(c.t);
    const std::string name = "effect " + std::to_string(c.sfx) + (c.reverse ? " OUT" : "") +
                             " at " + std::to_string(c.t);
    if (c.whole == Whole::Picture) {
      EXPECT_TRUE(w.ShowsPicture()) << name;
    } else if (c.whole == Whole::Black) {
      EXPECT_TRUE(w.Is(0)) << name;
    }
    for (const Spot& s : c.spots)
      EXPECT_EQ(w.At(s.x, s.y), s.px < 0 ? 0 : Picture(s.px, s.py))
          << name << ", spot " << s.x << "," << s.y;
    // The last frame hands back to the script and releases the picture.
    EXPECT_EQ(w.Mode(), c.t >= 2000 ? 8 : 14) << name;
    EXPECT_EQ(w.Released(), c.t >= 2000) << name;
  }
}

TEST(ScreenEffects, LateOrUnknownEffectsEndWithoutHanging) {
  EffectWorld late(3, false, 100, 500);  // already over: one frame at the end
  late.Turn(1000);
  EXPECT_TRUE(late.Is(0));
  EXPECT_EQ(late.Mode(), 8);
  EXPECT_EQ(late.platform.PresentCount(), 1);

  EffectWorld unknown(9, false);  // nothing drawn; over on the next turn
  unknown.Turn(1200);
  EXPECT_TRUE(unknown.Is(EffectWorld::kMarker));
  EXPECT_EQ(unknown.Mode(), 14);
  EXPECT_TRUE(unknown.Released());
  unknown.Turn(1201);
  EXPECT_EQ(unknown.Mode(), 8);

  EffectWorld empty(1, false, 3000, 3000);  // no span to divide by
  empty.Turn(2000);
  EXPECT_EQ(empty.Mode(), 14);
  empty.Turn(3000);
  EXPECT_EQ(empty.Mode(), 8);
}


}  // namespace
}  // namespace yw
