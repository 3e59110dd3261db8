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

TEST_F(ConfigTest, KeysAndSectionsIgnoreCaseAndValuesAreCut) {
  Ini("[MAIN]\nscreenwidth = 400\n; a comment\n[Main]\nFPSLIMIT=\"30\"\n[font]\nTransparent=" +
      std::string(300, 'x') + "\n");
  LoadIni(e);
  EXPECT_EQ(e.win.ScreenWidth, 400);
  EXPECT_EQ(e.win.FPSLimit, 30);
  EXPECT_EQ(ReadIniValue(e, t.dir.path() / "yarrowind.ini", "font", "Transparent").size(), 255u);
}

TEST_F(ConfigTest, OutOfRangeNumbersAreClamped) {
  Ini("[main]\nScreenWidth=99999\nScreenHeight=-99999\nWalktime=1e12\nZoom=1000\n");
  LoadIni(e);
  EXPECT_EQ(e.win.ScreenWidth, 32767);
  EXPECT_EQ(e.win.ScreenHeight, -32768);
  EXPECT_EQ(e.win.TimeWalkTime, 2147483647);
  EXPECT_EQ(e.world.Zoom, 16.0f);
}

TEST_F(ConfigTest, MissingFileShowsOneBoxPerSettingAndYieldsEmptyValues) {
  LoadIni(e);
  const auto& boxes = t.platform.MessageBoxes();
  ASSERT_EQ(boxes.size(), 24u);
  EXPECT_EQ(boxes[0].title, "ERROR");
  EXPECT_EQ(boxes[0].text, "Can't find \"" + (t.dir.path() / "yarrowind.ini").string() + "\"");
  EXPECT_EQ(e.win.ScreenWidth, 0);
  EXPECT_EQ(e.world.Zoom, 0.0f);
  EXPECT_TRUE(e.win.ScreenBoarder);  // empty text is not "no"
  EXPECT_TRUE(e.win.SoundOn == false);  // no sound device here
  EXPECT_TRUE(e.win.Frame.TransparentInside);
}

TEST_F(ConfigTest, AGameFolderMayCarryItsOwnFile) {
  Ini("[main]\nScreenWidth=400\n");
  const auto game = t.dir.path() / "games" / "quest";
  test::WriteFile(game / "YARROWIND.INI", "[main]\nScreenWidth=512\n");
  e.CurrentDir = game;
  LoadIni(e);
  EXPECT_EQ(e.win.ScreenWidth, 512);
  e.CurrentDir = t.dir.path() / "games";
  LoadIni(e);
  EXPECT_EQ(e.win.ScreenWidth, 400);
}

TEST_F(ConfigTest, ResolutionSwitchesOnceAndRestoresTheSavedMode) {
  t.platform.SetDisplayModes({{640, 480}, {800, 600}, {1024, 768}}, {800, 600});
  Ini("[main]\nResolutionWidth=640\nResolutionHeight=480\n");
  LoadIni(e);
  EXPECT_EQ(e.win.SavedResolution, "800,600");
  ASSERT_EQ(t.platform.ModeChanges().size(), 1u);
  EXPECT_EQ(t.platform.CurrentDisplayMode(), (DisplayMode{640, 480}));

  LoadIni(e);  // unchanged values touch nothing
  EXPECT_EQ(t.platform.ModeChanges().size(), 1u);

  Ini("[main]\nResolutionWidth=0\nResolutionHeight=480\n");
  LoadIni(e);  // one of them 0: only back to the saved mode
  EXPECT_EQ(t.platform.CurrentDisplayMode(), (DisplayMode{800, 600}));
  EXPECT_EQ(t.platform.ModeChanges().size(), 2u);
}

TEST(DisplayMode, SavedTextIsSplitByItsLength) {
  const std::tuple<const char*, int32_t, int32_t> good[] = {
      {"800,600", 800, 600}, {"1024,768", 1024, 768}, {"1920,1080", 1920, 1080}};
  for (const auto& [text, width, height] : good) {
    int32_t w = 0, h = 0;
    ASSERT_TRUE(ParseSavedResolution(text, w, h)) << text;
    EXPECT_EQ(std::pair(w, h), std::pair(width, height)) << text;
  }
  int32_t w = 0, h = 0;
  for (const char* bad : {"12800,1024", "", "640x48"}) EXPECT_FALSE(ParseSavedResolution(bad, w, h));
}

TEST(DisplayMode, OnlyAShowableModeOtherThanTheSavedOneIsSet) {
  test::TestEngine t;
  t.platform.SetDisplayModes({{640, 480}, {800, 600}}, {800, 600});
  SetResolution(t.engine, 800, 600);  // the saved mode itself
  SetResolution(t.engine, 333, 222);  // one the display cannot show
  t.engine.win.SavedResolution = "1234567890";  // unreadable: nothing to restore
  RestoreResolution(t.engine);
  EXPECT_TRUE(t.platform.ModeChanges().empty());

  t.engine.win.SavedResolution = "800,600";
  SetResolution(t.engine, 640, 480);
  RestoreResolution(t.engine);
  ASSERT_EQ(t.platform.ModeChanges().size(), 2u);
  EXPECT_EQ(t.platform.ModeChanges()[1], (DisplayMode{800, 600}));
}

}  // namespace
}  // namespace yw
