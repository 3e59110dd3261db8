// The title sequence as a player sees it: two credit lines, the title
// picture, the game list, and Esc on the title picture leaving the game.
#include "e2e_support.h"

namespace yw::e2e {
namespace {

TEST(TitleSequence, CreditLinesThenTitlePictureThenTheGameList) {
  const auto out = OutputDir("title");
  Replay r(100);
  r.Do("shot credit1.png", 50).Dump("credit1").WaitUntil(5000).Do("shot credit2.png", 100);
  r.Do("key Space", 200).Snap("title").WaitUntil(5500).Do("key Enter", 200).Dump("list", 100);
  const Played p = Play(out, DataDir(), r.Text());

  const auto credit = p.Dump("credit1");
  EXPECT_EQ(credit["GameMode"], 2);
  EXPECT_EQ(credit["Switsch"], 1);
  const int fw = credit["FontWidth"], fh = credit["FontHeight"];
  ASSERT_GT(fw, 0);
  ASSERT_GT(fh, 0);

  // The first credit line stands centred on the black screen.
  const Surface first = p.Shot("credit1");
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
  const Box second = InkBox(p.Shot("credit2"));
  ASSERT_FALSE(second.Empty());
  EXPECT_LT(second.right - second.left, ink.right - ink.left);
  EXPECT_NEAR(second.CentreX(), first.Width() / 2.0, fw);

  // The title picture fills the screen.
  const auto title = p.Dump("title");
  EXPECT_EQ(title["GameMode"], 2);
  EXPECT_EQ(title["Switsch"], 5);
  const Surface picture = p.Shot("title");
  const Box filled = InkBox(picture);
  EXPECT_LT(filled.left, picture.Width() / 8);
  EXPECT_GT(filled.right, picture.Width() * 7 / 8);

  // Any key but Esc leads to the game list, which holds the bundled demo,
  // while the program folder's title music plays.
  const auto list = p.Dump("list");
  EXPECT_EQ(list["GameMode"], 3);
  EXPECT_EQ(list["CurrentList"], 1);
  EXPECT_EQ(list["Switsch"], 0);
  EXPECT_EQ(list["AmbientName"], "Title");
  EXPECT_TRUE(std::filesystem::exists(DataDir() / "title.mid"));
}

// How a run ends: Esc on the title picture quits (0), a run that never
// quits stops at --max-ms (3), also far past 2^32 ms, a bad replay (a time
// beyond the clock's range too) or a --play folder that does not exist is
// rejected before the run (2).
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
               {"play-nowhere", "100 quit\n", "--play no-such-game", 2, "not a folder"},
               // Times past 32 bits: the run plays on until --max-ms.
               {"clock-past-2^32", "100 clock 5000000000\n5000000100 key Enter\n",
                "--max-ms 5000002000", 3, ""},
               {"clock-past-end", "100 key Enter\n200 clock 9007199254740992\n", "", 2,
                "line 2: clock needs"},
               {"max-ms-past-end", "100 quit\n", "--max-ms 9007199254740992", 2, "--max-ms"}};
  for (const Case& c : cases) {
    const RunResult r = RunReplay(OutputDir(c.name), DataDir(), c.replay, c.extra);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.name << ": " << r.stderrText;
    EXPECT_NE(r.stderrText.find(c.says), std::string::npos) << c.name << ": " << r.stderrText;
  }
}

}  // namespace
}  // namespace yw::e2e
