// The keyboard poll and the start-up key handling.
#include "shell/startup.h"
#include "sim/main_loop.h"
#include "test_support.h"

namespace yw {
namespace {

class PollKeysTest : public ::testing::Test {
 protected:
  test::TestEngine t;
  Engine& e = t.engine;
  HeadlessPlatform& p = t.platform;
  void SetUp() override { e.win.KeyEnabled = true; }
};

TEST_F(PollKeysTest, EdgeModeReportsAHeldKeyOnceUntilReleased) {
  p.SetKey(GameKey::Enter, true);
  std::vector<int32_t> seen;
  for (int i = 0; i < 4; ++i) {
    PollKeys(e, true);
    seen.push_back(e.win.Key);
  }
  EXPECT_EQ(seen, (std::vector<int32_t>{13, 0, 0, 0}));
  p.SetKey(GameKey::Enter, false);
  PollKeys(e, true);  // notices the release
  EXPECT_EQ(e.win.Key, 0);
  EXPECT_EQ(e.win.LastKey, 0);
  p.SetKey(GameKey::Enter, true);
  PollKeys(e, true);
  EXPECT_EQ(e.win.Key, 13);
}

TEST_F(PollKeysTest, ScanOrderDecidesBetweenKeysHeldTogether) {
  struct Case {
    std::vector<GameKey> held;
    int32_t key;
  };
  const Case cases[] = {{{GameKey::Enter, GameKey::Esc}, 27},
                        {{GameKey::Left, GameKey::Up}, 38},
                        {{GameKey::Right, GameKey::Space, GameKey::Down}, 32},
                        {{GameKey::Right, GameKey::Left}, 37}};
  for (const Case& c : cases) {
    test::TestEngine fresh;  // no press left over from the case before
    fresh.engine.win.KeyEnabled = true;
    for (GameKey k : c.held) fresh.platform.SetKey(k, true);
    PollKeys(fresh.engine, false);
    EXPECT_EQ(fresh.engine.win.Key, c.key);
  }
}

TEST_F(PollKeysTest, HeldModeRepeatsAndWaitsForAllKeysUp) {
  p.SetKey(GameKey::Right, true);
  PollKeys(e, false);
  PollKeys(e, false);
  EXPECT_EQ(e.win.Key, 39);  // a held arrow walks on

  e.win.Wait4Relase = true;
  for (int i = 0; i < 3; ++i) {
    PollKeys(e, false);
    EXPECT_EQ(e.win.Key, 0);
    EXPECT_EQ(e.win.LastKey, 0);
    EXPECT_TRUE(e.win.Wait4Relase);
  }
  p.SetKey(GameKey::Right, false);
  PollKeys(e, false);
  EXPECT_FALSE(e.win.Wait4Relase);
  p.SetKey(GameKey::Right, true);
  PollKeys(e, false);
  EXPECT_EQ(e.win.Key, 39);
}

TEST_F(PollKeysTest, DisabledKeysForgetTheLastKey) {
  e.win.LastKey = 13;
  e.win.KeyEnabled = false;
  p.SetKey(GameKey::Enter, true);
  PollKeys(e, true);
  // With the last key forgotten the held Enter counts as a fresh press.
  EXPECT_EQ(e.win.Key, 13);
}

TEST(Startup, AKeyHeldAtLaunchIsNotAFreshPress) {
  test::TestEngine t;
  Engine& e = t.engine;
  t.platform.SetKey(GameKey::Enter, true);
  t.platform.SetKey(GameKey::Down, true);
  FormLoad(e, 7);
  EXPECT_EQ(e.win.LastKey, 13);
  EXPECT_EQ(e.win.Key, 0);
  EXPECT_FALSE(e.win.KeyEnabled);
  EXPECT_TRUE(e.win.Wait4Relase);
  EXPECT_EQ(e.CurrentDir, e.ProgramDir);
  EXPECT_EQ(t.platform.Caption(), "Yarrowind");
  e.win.KeyEnabled = true;
  PollKeys(e, true);
  EXPECT_EQ(e.win.Key, 0);

  test::TestEngine idle;  // nothing held: the last key stays as it was
  idle.engine.win.LastKey = 40;
  FormLoad(idle.engine, 1);
  EXPECT_EQ(idle.engine.win.LastKey, 40);
}

TEST(Startup, TypedCharactersReachOnlyTheTextInput) {
  test::TestEngine t;
  Engine& e = t.engine;
  e.win.GameMode = 6;
  t.platform.Type('x');
  e.DoEvents();
  EXPECT_EQ(e.win.Key2, 0);
  e.win.GameMode = 11;
  t.platform.Type(0xE9);  // é
  e.DoEvents();
  EXPECT_EQ(e.win.Key2, 0xE9);
}

TEST(Startup, FrontbufIsCentredEvenInASmallerWindow) {
  test::TestEngine t;
  Engine& e = t.engine;
  e.win.ScreenWidth = 320;
  e.win.ScreenHeight = 240;
  t.platform.SetWindowState(false, 300, 201);
  FormResize(e);
  EXPECT_EQ(e.pics.Frontbuf.Width(), 320);
  EXPECT_EQ(e.pics.Frontbuf.Height(), 240);
  EXPECT_DOUBLE_EQ(e.win.FrontLeft, -10.0);
  EXPECT_DOUBLE_EQ(e.win.FrontTop, -19.5);
  t.platform.SetWindowState(true, 0, 0);  // maximised on a 1920 x 1080 display
  FormResize(e);
  EXPECT_DOUBLE_EQ(e.win.FrontLeft, 800.0);
  EXPECT_DOUBLE_EQ(e.win.FrontTop, 420.0);
}

TEST(Startup, ClosingTheWindowRestoresTheDisplayAndEnds) {
  test::TestEngine t;
  Engine& e = t.engine;
  e.win.SavedResolution = "800,600";
  t.platform.SetDisplayModes({{640, 480}, {800, 600}}, {640, 480});
  t.platform.RequestClose();
  e.DoEvents();
  EXPECT_TRUE(e.QuitRequested);
  ASSERT_EQ(t.platform.ModeChanges().size(), 1u);
  EXPECT_EQ(t.platform.ModeChanges()[0], (DisplayMode{800, 600}));
}

}  // namespace
}  // namespace yw
