// The keyboard poll and the start-up key handling.
#include "shell/startup.h"
#include "sim/turn.h"
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

}  // namespace
}  // namespace yw
