// The player's window: how large it opens on a given desktop, where the
// picture lands in a window of any size, and the player's settings file.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/platform.h"
#include "platform/sdl/sdl_platform.h"
#include "platform/window_fit.h"
#include "shell/user_settings.h"

namespace yw {
namespace {

TEST(WindowScale, TheWindowFitsTheDesktopAndARequestIsCutToIt) {
  const ScreenSize frame{8, 40};
  struct Case {
    ScreenSize usable, game;
    int requested;
    int scale;
    bool cut;
  };
  const Case cases[] = {
      {{800, 600}, {640, 480}, 0, 1, false},  // the demo's Zoom 2 picture
      {{1366, 768}, {640, 480}, 0, 1, false},
      {{1366, 768}, {640, 480}, 2, 1, true},  // 960 high does not fit 768
      {{1920, 1080}, {640, 480}, 0, 2, false},
      {{1920, 1080}, {640, 480}, 3, 2, true},
      {{1920, 1080}, {320, 240}, 0, 4, false},
      {{1366, 768}, {320, 240}, 1, 1, false},  // a smaller request is kept
      {{640, 400}, {640, 480}, 0, 1, false},   // never below one
  };
  for (const Case& c : cases) {
    const WindowScale s = ChooseWindowScale(c.usable, frame, c.game, c.requested);
    EXPECT_EQ(s.scale, c.scale) << c.usable.width << "x" << c.usable.height << " asked "
                                << c.requested;
    EXPECT_EQ(s.cut, c.cut) << c.usable.width << "x" << c.usable.height;
    EXPECT_EQ(s.window, (ScreenSize{c.game.width * c.scale, c.game.height * c.scale}));
  }
}

TEST(WindowScale, ASharpPictureGetsTheLargestWindowOfItsProportions) {
  const ScreenSize frame{8, 40};
  struct Case {
    ScreenSize usable, game;
    int requested;
    PictureFit fit;
    ScreenSize window;
  };
  const Case cases[] = {
      // No whole scale of 2 fits: the window fills the room's height
      // (768 - 40 = 728 high, 728 * 4 / 3 = 970.7 wide).
      {{1366, 768}, {640, 480}, 0, PictureFit::Automatic, {971, 728}},
      {{800, 600}, {640, 480}, 0, PictureFit::Automatic, {747, 560}},
      // A whole scale of 2 or more fits: it is taken.
      {{1920, 1080}, {640, 480}, 0, PictureFit::Automatic, {1280, 960}},
      {{800, 600}, {320, 240}, 0, PictureFit::Automatic, {640, 480}},
      {{1366, 768}, {320, 240}, 0, PictureFit::Automatic, {960, 720}},
      // Sharp asked for: the whole room's height even where 2 fits.
      {{1920, 1080}, {640, 480}, 0, PictureFit::Sharp, {1387, 1040}},
      // A scale the player names is kept; so is a picture larger than the room.
      {{1366, 768}, {640, 480}, 1, PictureFit::Automatic, {640, 480}},
      {{1366, 768}, {640, 480}, 2, PictureFit::Sharp, {640, 480}},
      {{640, 400}, {640, 480}, 0, PictureFit::Automatic, {640, 480}},
      // Fill keeps the whole-number window.
      {{1366, 768}, {640, 480}, 0, PictureFit::Fill, {640, 480}},
  };
  for (const Case& c : cases) {
    const WindowScale s = ChooseWindowScale(c.usable, frame, c.game, c.requested, c.fit);
    EXPECT_EQ(s.window, c.window) << c.usable.width << "x" << c.usable.height << " game "
                                  << c.game.width << " fit " << static_cast<int>(c.fit);
  }
}

// Fullscreen on the common screens: which fit the automatic picture takes,
// where it lands and the whole number a sharp one is blown up by first.
TEST(PictureRect, AutomaticIsPixelPerfectWhereTwoFitsAndSharpElsewhere) {
  struct Case {
    ScreenSize screen, game;
    PictureFit fit;
    PictureFit resolved;
    ScreenRect rect;
    int prescale;  // for a sharp picture
  };
  // clang-format off
  const Case cases[] = {
      {{1366, 768}, {640, 480}, PictureFit::Automatic, PictureFit::Sharp, {171, 0, 1024, 768}, 2},
      {{1366, 768}, {320, 240}, PictureFit::Automatic, PictureFit::PixelPerfect, {203, 24, 960, 720}, 0},
      {{1920, 1080}, {640, 480}, PictureFit::Automatic, PictureFit::PixelPerfect, {320, 60, 1280, 960}, 0},
      {{1920, 1080}, {320, 240}, PictureFit::Automatic, PictureFit::PixelPerfect, {320, 60, 1280, 960}, 0},
      {{800, 600}, {640, 480}, PictureFit::Automatic, PictureFit::Sharp, {0, 0, 800, 600}, 2},
      {{800, 600}, {320, 240}, PictureFit::Automatic, PictureFit::PixelPerfect, {80, 60, 640, 480}, 0},
      // Sharp asked for fills the height wherever it is.
      {{1920, 1080}, {640, 480}, PictureFit::Sharp, PictureFit::Sharp, {240, 0, 1440, 1080}, 3},
      {{1366, 768}, {320, 240}, PictureFit::Sharp, PictureFit::Sharp, {171, 0, 1024, 768}, 4},
      {{800, 600}, {320, 240}, PictureFit::Sharp, PictureFit::Sharp, {0, 0, 800, 600}, 3},
      // Smaller than the picture: shrunk, nothing to blow up.
      {{320, 400}, {640, 480}, PictureFit::Automatic, PictureFit::Sharp, {0, 80, 320, 240}, 1},
      // The other fits are left as they are.
      {{1366, 768}, {640, 480}, PictureFit::PixelPerfect, PictureFit::PixelPerfect, {363, 144, 640, 480}, 0},
      {{1366, 768}, {640, 480}, PictureFit::Stretch, PictureFit::Stretch, {0, 0, 1366, 768}, 0},
  };
  // clang-format on
  for (const Case& c : cases) {
    const std::string where = std::to_string(c.screen.width) + "x" +
                              std::to_string(c.screen.height) + " game " +
                              std::to_string(c.game.width);
    EXPECT_EQ(ResolvedFit(c.screen, c.game, c.fit), c.resolved) << where;
    const ScreenRect r = PictureRect(c.screen, c.game, c.fit);
    EXPECT_EQ(r, c.rect) << where;
    if (c.resolved != PictureFit::Sharp) continue;
    const int k = SharpPrescale(c.game, {r.width, r.height});
    EXPECT_EQ(k, c.prescale) << where;
    // Blown up, the picture covers what is shown, and one less would not.
    EXPECT_GE(c.game.width * k, r.width) << where;
    EXPECT_GE(c.game.height * k, r.height) << where;
    if (k > 1) {
      EXPECT_TRUE(c.game.width * (k - 1) < r.width || c.game.height * (k - 1) < r.height) << where;
    }
  }
  EXPECT_EQ(SharpPrescale({0, 0}, {800, 600}), 1);  // no picture yet
}

TEST(PictureRect, CentredWholeScalesWithBarsAndTheOtherFits) {
  // A resized window: the largest whole scale, centred.
  EXPECT_EQ(PictureRect({1000, 700}, {320, 240}, PictureFit::PixelPerfect),
            (ScreenRect{180, 110, 640, 480}));
  // Smaller than the picture: shrunk to fit, proportions kept, never cropped.
  EXPECT_EQ(PictureRect({320, 400}, {640, 480}, PictureFit::PixelPerfect),
            (ScreenRect{0, 80, 320, 240}));
  EXPECT_EQ(PictureRect({1000, 700}, {320, 240}, PictureFit::Fill), (ScreenRect{33, 0, 933, 700}));
  EXPECT_EQ(PictureRect({1000, 700}, {320, 240}, PictureFit::Stretch),
            (ScreenRect{0, 0, 1000, 700}));
  EXPECT_EQ(PictureRect({0, 0}, {320, 240}, PictureFit::PixelPerfect), (ScreenRect{}));
}

std::vector<std::string> Names(const std::vector<KeyChord>& keys) {
  std::vector<std::string> out;
  for (const KeyChord& k : keys) out.push_back((k.alt ? "Alt+" : "") + k.name);
  return out;
}

TEST(UserSettingsFile, KeysAndWindowSettingsOverTheDefaultsAndBadLinesReported) {
  std::vector<std::string> problems;
  const UserSettings s = ParseUserSettings(
      "# mine\n"
      "[window]\n"
      "scale = 3\n"
      "fullscreen = Yes\n"
      "picture = fill\n"
      "scale = 40\n"
      "[keys]\n"
      "Enter = Return, E , alt+J\r\n"
      "Jump = Space\n"
      "Left = ,\n"
      "FastForward = Shift+Tab\n"
      "[sound]\n"
      "soundfont = fonts/gm.sf2\n"
      "volume = 3\n"
      "[music]\n",
      problems);
  EXPECT_EQ(s.scale, 3);  // the bad second value leaves the first
  EXPECT_TRUE(s.fullscreen);
  EXPECT_EQ(s.fit, PictureFit::Fill);
  EXPECT_EQ(Names(s.gameKeys[static_cast<int>(GameKey::Enter)]),
            (std::vector<std::string>{"Return", "E", "Alt+J"}));
  EXPECT_EQ(Names(s.gameKeys[static_cast<int>(GameKey::Left)]), std::vector<std::string>{"Left"});
  EXPECT_EQ(Names(s.gameKeys[static_cast<int>(GameKey::Esc)]), std::vector<std::string>{"Escape"});
  EXPECT_TRUE(s.comfortKeys[static_cast<int>(ComfortKey::FastForward)][0].shift);
  EXPECT_EQ(Names(s.comfortKeys[static_cast<int>(ComfortKey::Fullscreen)]),
            (std::vector<std::string>{"F11", "Alt+Return"}));
  ASSERT_EQ(problems.size(), 5u);
  EXPECT_TRUE(problems[0].starts_with("line 6: scale")) << problems[0];
  EXPECT_TRUE(problems[1].starts_with("line 9: unknown key 'Jump'")) << problems[1];
  EXPECT_TRUE(problems[2].starts_with("line 10:")) << problems[2];
  EXPECT_EQ(s.soundFont, "fonts/gm.sf2");
  EXPECT_TRUE(problems[3].starts_with("line 14: unknown setting 'volume'")) << problems[3];
  EXPECT_TRUE(problems[4].starts_with("line 15: unknown section")) << problems[4];
}

TEST(UserSettingsFile, EveryPictureWordAndAutomaticByDefault) {
  std::vector<std::string> problems;
  EXPECT_EQ(ParseUserSettings("", problems).fit, PictureFit::Automatic);
  EXPECT_EQ(DefaultUserSettings().fit, PictureFit::Automatic);
  const std::pair<const char*, PictureFit> words[] = {
      {"automatic", PictureFit::Automatic}, {"pixel-perfect", PictureFit::PixelPerfect},
      {"Sharp", PictureFit::Sharp},         {"fill", PictureFit::Fill},
      {"stretch", PictureFit::Stretch},
  };
  for (const auto& [word, fit] : words) {
    // Each over a setting that differs from it, so that it is seen taken.
    const PictureFit other = fit == PictureFit::Fill ? PictureFit::Stretch : PictureFit::Fill;
    const std::string before = other == PictureFit::Fill ? "fill" : "stretch";
    const UserSettings s = ParseUserSettings(
        "[window]\npicture = " + before + "\npicture = " + word + "  # mine\n", problems);
    EXPECT_EQ(s.fit, fit) << word;
  }
  EXPECT_EQ(problems, std::vector<std::string>{});
  const UserSettings s =
      ParseUserSettings("[window]\npicture = sharp\npicture = crisp\n", problems);
  EXPECT_EQ(s.fit, PictureFit::Sharp);  // the bad word leaves the one before
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(
      problems[0],
      "line 3: picture must be automatic, pixel-perfect, sharp, fill or stretch; line ignored");
}

TEST(UserSettingsFile, CommentsAfterValuesAndMisspelledKeysKeepWhatWorks) {
  std::vector<std::string> problems;
  const UserSettings s = ParseUserSettings(
      "[window]   ; mine\n"
      "scale = 2   # two\n"
      "[keys]\n"
      "Left = Lefty\n"
      "Enter = Return, Entr   ; a slip\n"
      "Space = Keypad #\n"
      "Jump = Space\n",
      problems, SdlKnownKeyName);
  EXPECT_EQ(s.scale, 2);
  EXPECT_EQ(Names(s.gameKeys[static_cast<int>(GameKey::Left)]), std::vector<std::string>{"Left"});
  EXPECT_EQ(Names(s.gameKeys[static_cast<int>(GameKey::Enter)]),
            std::vector<std::string>{"Return"});
  EXPECT_EQ(Names(s.gameKeys[static_cast<int>(GameKey::Space)]),
            std::vector<std::string>{"Keypad #"});
  ASSERT_EQ(problems.size(), 4u);  // in the file's order
  EXPECT_EQ(problems[0], "line 4: unknown key 'Lefty'; left out");
  EXPECT_TRUE(problems[1].starts_with("line 4: 'Left' names no usable key")) << problems[1];
  EXPECT_EQ(problems[2], "line 5: unknown key 'Entr'; left out");
  EXPECT_TRUE(problems[3].starts_with("line 7: unknown key 'Jump'")) << problems[3];
}

// The sample settings file the README shows is taken whole, comments and all.
TEST(UserSettingsFile, TheReadmeSampleHasNoProblems) {
  std::ifstream in(std::string(YW_SOURCE_DIR) + "/README.md");
  std::string line, sample;
  bool inside = false;
  while (std::getline(in, line)) {
    if (line == "    [window]") inside = true;
    if (inside && line.empty()) break;
    if (inside) sample += line.substr(4) + "\n";
  }
  ASSERT_NE(sample.find("[keys]"), std::string::npos) << "the README's sample was not found";
  std::vector<std::string> problems;
  const UserSettings s = ParseUserSettings(sample, problems, SdlKnownKeyName);
  EXPECT_EQ(problems, std::vector<std::string>{});
  EXPECT_EQ(Names(s.comfortKeys[static_cast<int>(ComfortKey::Fullscreen)]),
            (std::vector<std::string>{"F11", "Alt+Return"}));
  EXPECT_EQ(s.fit, PictureFit::Automatic);
}

}  // namespace
}  // namespace yw
