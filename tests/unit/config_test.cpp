// The configuration file: lookup, conversions, defaults, side effects.
#include "shell/config.h"
#include "shell/display_mode.h"
#include "test_support.h"

namespace yw {
namespace {

class ConfigTest : public ::testing::Test {
 protected:
  test::TestEngine t;
  Engine& e = t.engine;
  void Ini(std::string_view text) { test::WriteFile(t.dir.path() / "yarrowind.ini", text); }
};

TEST(ConfigConversions, LeadingNumberAndYesNo) {
  const std::pair<const char*, double> numbers[] = {
      {"320", 320}, {"  12.5px", 12.5}, {"-7", -7}, {"abc", 0}, {"", 0}, {".", 0},
      {"1e3", 1000}, {"1e999", 0} /* not a finite number */};
  for (const auto& [text, value] : numbers) EXPECT_EQ(LeadingNumber(text), value) << text;
  // Only "no" in any case and with blanks around it is false.
  for (const char* no : {"no", "  No ", "NO"}) EXPECT_FALSE(YesNo(no)) << no;
  for (const char* yes : {"off", "yes", "1", "", "nope"}) EXPECT_TRUE(YesNo(yes)) << yes;
}

TEST_F(ConfigTest, OnlySoundGivenLeavesEveryOtherDefault) {
  Ini("[main]\r\nSound=yes\r\n");
  LoadIni(e);
  EXPECT_EQ(e.win.ScreenWidth, 320);
  EXPECT_EQ(e.win.ScreenHeight, 240);
  EXPECT_EQ(e.world.Zoom, 1.0f);
  EXPECT_FALSE(e.win.ScreenBoarder);
  EXPECT_EQ(e.win.TimeAniTime, 1000);
  EXPECT_EQ(e.win.TimeWalkTime, 250);
  EXPECT_EQ(e.win.TimeCharTime, 50);
  EXPECT_EQ(e.win.TimeSoundTime, 20000);
  EXPECT_EQ(e.win.FPSLimit, 0);
  EXPECT_FALSE(e.win.ShowFPS);
  EXPECT_TRUE(e.win.Frame.StretchInside);
  EXPECT_TRUE(e.win.Frame.TransparentCorners);
  EXPECT_FALSE(e.win.Frame.TransparentSides);
  EXPECT_EQ(e.win.Frame.CornerWidth, 0);
  EXPECT_TRUE(t.platform.MessageBoxes().empty());
}

TEST_F(ConfigTest, NumbersRoundHalvesToEvenAndFrameSizesFollowZoom) {
  Ini("[main]\nScreenWidth=320.5\nScreenHeight=321.5\nZoom=2\nBorder= No \n"
      "[frame]\nCornerWidth=8\nCornerHeight=2.25\n");
  LoadIni(e);
  EXPECT_EQ(e.win.ScreenWidth, 320);
  EXPECT_EQ(e.win.ScreenHeight, 322);
  EXPECT_FALSE(e.win.ScreenBoarder);
  EXPECT_EQ(e.win.Frame.CornerWidth, 16);
  EXPECT_EQ(e.win.Frame.CornerHeight, 4);  // 4.5 rounds to the even 4
}

}  // namespace
}  // namespace yw
