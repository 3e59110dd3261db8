// The title sequence as a player sees it: two credit lines, the title
// picture, the game list, and Esc on the title picture leaving the game.
#include "e2e_support.h"

namespace yw::e2e {
namespace {

TEST(TitleSequence, CreditLinesThenTitlePictureThenTheGameList) {
  const auto out = OutputDir("title");
  const RunResult r = RunReplay(out, DataDir(),
                                "100 shot credit1.png\n"
                                "150 dump credit1.json\n"
                                "5000 shot credit2.png\n"
                                "5100 key Space\n"
                                "5300 shot title.png\n"
                                "5300 dump title.json\n"
                                "5500 key Enter\n"
                                "5700 dump list.json\n"
                                "5800 quit\n");
  ASSERT_EQ(r.exitCode, 0) << r.stderrText;
  EXPECT_EQ(r.stderrText, "");

  const auto credit = LoadDump(out / "credit1.json");
  EXPECT_EQ(credit["GameMode"], 2);
  EXPECT_EQ(credit["Switsch"], 1);
  const int fw = credit["FontWidth"], fh = credit["FontHeight"];
  ASSERT_GT(fw, 0);
  ASSERT_GT(fh, 0);

  // The first credit line stands centred on the black screen.
  const Surface first = LoadShot(out / "credit1.png");
  EXPECT_EQ(first.Width(), credit["ScreenWidth"]);
  EXPECT_EQ(first.Height(), credit["ScreenHeight"]);
  const Box ink = InkBox(first);
  ASSERT_FALSE(ink.Empty()) << "no text on the first credit screen";
  EXPECT_NEAR(ink.CentreX(), first.Width() / 2.0, fw);
  EXPECT_NEAR(ink.CentreY(), first.Height() / 2.0, fh);
  // "Pellwick presents..." is 20 characters wide and one line high.
  EXPECT_GT(ink.right - ink.left + 1, 15 * fw);
  EXPECT_LE(ink.right - ink.left + 1, 20 * fw);
  EXPECT_LE(ink.bottom - ink.top + 1, fh);

  // The second line replaces the first and is shorter ("a Tolvane game...").
  const Box second = InkBox(LoadShot(out / "credit2.png"));
  ASSERT_FALSE(second.Empty());
  EXPECT_LT(second.right - second.left, ink.right - ink.left);
  EXPECT_NEAR(second.CentreX(), first.Width() / 2.0, fw);

  // The title picture fills the screen.
  const auto title = LoadDump(out / "title.json");
  EXPECT_EQ(title["GameMode"], 2);
  EXPECT_EQ(title["Switsch"], 5);
  const Surface picture = LoadShot(out / "title.png");
  const Box filled = InkBox(picture);
  EXPECT_LT(filled.left, picture.Width() / 8);
  EXPECT_GT(filled.right, picture.Width() * 7 / 8);

  // Any key but Esc leads to the game list, which holds the bundled demo,
  // while the program folder's title music plays.
  const auto list = LoadDump(out / "list.json");
  EXPECT_EQ(list["GameMode"], 3);
  EXPECT_EQ(list["CurrentList"], 1);
  EXPECT_EQ(list["Switsch"], 0);
  EXPECT_EQ(list["AmbientName"], "Title");
  EXPECT_TRUE(std::filesystem::exists(DataDir() / "title.mid"));
}

// How a run ends: Esc on the title picture quits (0), a run that never
// quits stops at --max-ms (3), a bad replay or a --play folder that does
// not exist is rejected before the run (2).
TEST(CommandLine, ExitCodes) {
  const struct Case {
    const char* name;
    const char* replay;
    const char* extra;
    int exitCode;
    const char* says;
  } cases[] = {{"title-esc", "200 key Enter\n600 key Esc\n", "", 0, ""},
               {"title-timeout", "100 key Enter\n", "--max-ms 2000", 3, ""},
               {"bad-replay", "100 key Enter\n200 wiggle\n", "", 2, "line 2"},
               {"play-nowhere", "100 quit\n", "--play no-such-game", 2, "not a folder"}};
  for (const Case& c : cases) {
    const RunResult r = RunReplay(OutputDir(c.name), DataDir(), c.replay, c.extra);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.name << ": " << r.stderrText;
    EXPECT_NE(r.stderrText.find(c.says), std::string::npos) << c.name << ": " << r.stderrText;
  }
}

}  // namespace
}  // namespace yw::e2e
