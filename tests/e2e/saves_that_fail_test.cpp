// What the player sees when a save or a load cannot be done, and when the
// program's own pictures are missing: a message, and nothing lost.
#include <sys/resource.h>

#include "e2e_support.h"

namespace yw::e2e {
namespace {

namespace fs = std::filesystem;

// Runs the replay with files limited to `maxBytes`, as a nearly full disk
// or a quota would.
RunResult RunWithFileLimit(const fs::path& out, const fs::path& root, std::string_view replay,
                           rlim_t maxBytes) {
  rlimit before{};
  ::getrlimit(RLIMIT_FSIZE, &before);
  rlimit low = before;
  low.rlim_cur = maxBytes;
  ::setrlimit(RLIMIT_FSIZE, &low);
  const RunResult r = RunReplay(out, root, replay);
  ::setrlimit(RLIMIT_FSIZE, &before);
  return r;
}

// A game in a folder whose name is not UTF-8; an old save in slot 1, a
// broken one in slot 2 and one of another version in slot 3. Files may not
// grow past 8000 bytes and the game's save takes 10 KB: the save fails,
// slot 1 keeps its bytes, and both failures are told to the player; the
// slot of another version is no saved game and fails silently.
TEST(SavesThatFail, TheOldSlotStaysAndThePlayerIsTold) {
  const auto out = OutputDir("saves-that-fail");
  const fs::path root = MakeProgramFolder(out);
  const std::string folder = "brook\xE9";
  BuildTestGame("play_brook", root, folder);
  const fs::path game = root / "games" / folder;
  const std::string old = std::string("\x02\x07Old day", 9) + std::string(3000, '\x01');
  test::WriteFile(game / "slot1.sav", old);
  test::WriteFile(game / "slot2.sav", std::string("\2\6Broken\20\0", 10));
  test::WriteFile(game / "slot3.sav", "\3" + old.substr(1));

  Replay r = StartTheOnlyGame();
  r.WaitUntil(1500).Note("Esc, Save, slot 1; typing with control characters in between.");
  r.Do("key Esc", 200).Keys("Down", 3, 100).Do("key Enter", 300).Do("key Enter 1", 300);
  r.Do("type \\b\\b\\bEve\tn\x01ing\x7f", 600).Dump("typed");
  r.Do("key Enter", 600).Dump("not-saved").Do("key Enter", 400).Dump("menu");
  r.Note("Load, slot 2.").Keys("Down", 4, 100).Do("key Enter", 300).Do("key Down", 200);
  r.Do("key Enter", 600).Dump("not-loaded").Do("key Enter", 400).Dump("load-list");
  r.Do("key Down", 200).Do("key Enter", 600).Dump("other-version");
  const RunResult run = RunWithFileLimit(out, root, r.Text(), 8000);
  ASSERT_EQ(run.exitCode, 0) << run.stderrText;
  EXPECT_EQ(run.stderrText, "");
  const Played p{out};

  EXPECT_EQ(p.Dump("typed")["KInputBox"], "Old Evening_");
  const auto notSaved = p.Dump("not-saved");
  EXPECT_EQ(notSaved["GameMode"], 5);
  EXPECT_EQ(notSaved["Message"], "Error: The game could not be saved!");
  EXPECT_EQ(notSaved["CurrentDir"], (root / "games" / "brook\xC3\xA9").string());
  EXPECT_TRUE(test::ReadFile(game / "slot1.sav") == old);
  const auto menu = p.Dump("menu");
  EXPECT_EQ(menu["GameMode"], 7);
  EXPECT_EQ(menu["CurrentList"], 4);

  const auto notLoaded = p.Dump("not-loaded");
  EXPECT_EQ(notLoaded["Message"], "Error: The saved game could not be loaded!");
  EXPECT_EQ(notLoaded["MapFile"], "meadow.map");
  EXPECT_EQ(notLoaded["PlayerPosX"], 20);
  EXPECT_EQ(notLoaded["Party"].size(), 1u);
  const auto loadList = p.Dump("load-list");
  EXPECT_EQ(loadList["CurrentList"], 14);
  const auto other = p.Dump("other-version");
  EXPECT_EQ(other["CurrentList"], 14);
  EXPECT_EQ(other["GameMode"], loadList["GameMode"]) << "no message over the list";
  EXPECT_EQ(other["ListCursor"], 3);
  EXPECT_EQ(other["MapFile"], "meadow.map");
}

// Without its font, frame, digits or pointer the program could draw no text
// or window: it names the file and ends instead of showing a blank screen.
TEST(SavesThatFail, AMissingOrBrokenInterfacePictureIsNamedAtStartUp) {
  const auto out = OutputDir("interface-pictures");
  const fs::path root = MakeProgramFolder(out);
  fs::remove(root / "font.bmp");
  RunResult r = RunReplay(out / "missing", root, "100 quit\n");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.stderrText.find("Can't find \"font.bmp\""), std::string::npos) << r.stderrText;

  fs::copy_file(DataDir() / "font.bmp", root / "font.bmp");
  test::WriteFile(root / "hand.bmp", "BM not a picture");
  r = RunReplay(out / "broken", root, "100 quit\n");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.stderrText.find("hand.bmp"), std::string::npos) << r.stderrText;
}

}  // namespace
}  // namespace yw::e2e
