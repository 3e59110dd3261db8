// The configuration file: lookup, conversions, defaults, side effects.
#include "shell/config.h"

#include <vector>

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
      {"320", 320}, {"  12.5px", 12.5}, {"-7", -7},    {"abc", 0},
      {"", 0},      {".", 0},           {"1e3", 1000}, {"1e999", 0} /* not a finite number */};
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
  EXPECT_FALSE(e.win.ShowFPS || e.win.ShowReserve);
  // Edges and inside stretched, only the corners drawn through their masks;
  // the display left alone.
  const FrameSettings& f = e.win.Frame;
  EXPECT_EQ(std::vector({f.StretchSides, f.StretchInside, f.TransparentCorners, f.TransparentSides,
                         f.TransparentInside}),
            std::vector({true, true, true, false, false}));
  EXPECT_EQ(f.CornerWidth + f.CornerHeight + f.HorizontalWidth + f.VerticalHeight, 0);
  EXPECT_EQ(e.win.ResWidth + e.win.ResHeight, 0);
  EXPECT_TRUE(t.platform.ModeChanges().empty());
  EXPECT_TRUE(t.platform.MessageBoxes().empty());
}

TEST_F(ConfigTest, NumbersRoundHalvesToEvenAndFrameSizesFollowZoom) {
  Ini("[main]\nScreenWidth=320.5\nScreenHeight=321.5\nZoom=1.5\nBorder= No \n"
      "[frame]\nCornerWidth=8\nCornerHeight=3\nHorizontalWidth=5\nVerticalHeight=2.5\n");
  LoadIni(e);
  EXPECT_EQ(e.win.ScreenWidth, 320);
  EXPECT_EQ(e.win.ScreenHeight, 322);
  EXPECT_FALSE(e.win.ScreenBoarder);
  // 12, 4.5, 7.5 and 3.75: the halves go to the even neighbour.
  const FrameSettings& f = e.win.Frame;
  EXPECT_EQ(std::vector({f.CornerWidth, f.CornerHeight, f.HorizontalWidth, f.VerticalHeight}),
            std::vector<int16_t>({12, 4, 8, 4}));
}

}  // namespace
}  // namespace yw
