// A whole session as a player plays it: the second game of a library of
// two, New, a walk onto a signpost, saving into slot 2 under a typed name,
// quitting to the title and loading that slot again.
#include "e2e_support.h"

namespace yw::e2e {
namespace {

namespace fs = std::filesystem;

// The left edge of the first column, counted from the right, whose pixels
// differ between two shots inside the top-left quarter: where a window
// drawn at the top left over the same picture ends.
int RightEdgeOfChange(const Surface& under, const Surface& over) {
  for (int x = under.Width() / 2; x-- > 0;)
    for (int y = 0; y < under.Height() / 2; ++y)
      if (under.At(x, y) != over.At(x, y)) return x;
  return -1;
}

TEST(PlayLibrary, SaveInSlotTwoQuitToTheTitleAndLoadItBack) {
  const auto out = OutputDir("play-library");
  const fs::path root = MakeProgramFolder(out);
  BuildTestGame("play_alder", root);
  BuildTestGame("play_brook", root);
  const RunResult r = RunReplay(out, root,
                                "100 key Space\n"
                                "300 key Enter\n"
                                "500 dump library.json\n"
                                "500 shot library.png\n"
                                "600 key Down\n"
                                "800 key Enter\n"   // the second game
                                "1000 key Enter\n"  // its title picture
                                "1100 shot title-menu.png\n"
                                // The load slots before anything was saved.
                                "1200 key Down\n"
                                "1400 key Enter\n"
                                "1600 shot empty-slots.png\n"
                                "1700 key Esc\n"
                                "1900 key Enter\n"  // New
                                "2300 dump start.json\n"
                                "2300 shot start.png\n"
                                "2400 key Right\n"  // onto the signpost
                                "2800 dump sign.json\n"
                                "2800 shot sign.png\n"
                                "2900 key Enter\n"
                                "3100 dump before-save.json\n"
                                "3200 key Esc\n"
                                "3400 key Down\n"
                                "3500 key Down\n"
                                "3600 key Down\n"
                                "3800 key Enter\n"  // Save
                                "4000 key Down\n"
                                "4200 key Enter 1\n"  // slot 2
                                "4400 type Harbor day\n"
                                "4600 shot typing.png\n"
                                "4700 key Enter\n"
                                "4900 dump saved.json\n"
                                "5000 key Esc\n"
                                "5300 key Down\n"  // walk on after saving
                                "5700 key Down\n"
                                "6100 dump walked.json\n"
                                "6200 key Esc\n"
                                "6400 key Down\n"
                                "6500 key Down\n"
                                "6600 key Down\n"
                                "6700 key Down\n"
                                "6800 key Down\n"  // the last line: Quit
                                "7000 key Enter\n"
                                "7200 key Enter\n"  // Yes
                                "7500 dump quit.json\n"
                                "7600 key Enter\n"  // the title picture
                                "7800 key Down\n"
                                "8000 key Enter\n"  // Load
                                "8200 dump load-list.json\n"
                                "8200 shot load-list.png\n"
                                "8300 key Down\n"
                                "8500 key Enter\n"  // slot 2
                                "8900 dump loaded.json\n"
                                "8900 shot loaded.png\n"
                                "9000 quit\n");
  ASSERT_EQ(r.exitCode, 0) << r.stderrText;
  EXPECT_EQ(r.stderrText, "");

  const auto library = LoadDump(out / "library.json");
  ASSERT_EQ(library["GameList"], nlohmann::json::array({"play_alder", "play_brook"}));

  const auto start = LoadDump(out / "start.json");
  EXPECT_EQ(fs::path(start["CurrentDir"].get<std::string>()), root / "games" / "play_brook");
  EXPECT_EQ(start["GameMode"], 6);
  EXPECT_EQ(start["MapFile"], "meadow.map");
  EXPECT_EQ(start["PlayerPosX"], 20);
  EXPECT_EQ(start["PlayerPosY"], 15);

  // The signpost's cell script counted the visit, tired the player and
  // showed its message.
  const auto sign = LoadDump(out / "sign.json");
  EXPECT_EQ(sign["GameMode"], 5);
  EXPECT_EQ(sign["Message"], "Brook Lane. Ferry to the south.");
  EXPECT_EQ(sign["PlayerPosX"], 21);
  EXPECT_EQ(sign["Variables"]["A"]["value"], 1);
  EXPECT_EQ(sign["Party"][0]["HP"], 17);

  const auto saved = LoadDump(out / "saved.json");
  EXPECT_EQ(saved["GameMode"], 7);
  EXPECT_EQ(saved["CurrentList"], 4);
  const std::string slot = test::ReadFile(root / "games" / "play_brook" / "slot2.sav");
  EXPECT_EQ(slot.substr(0, 12), std::string("\x02\x0aHarbor day", 12));

  // Quitting emptied the party; the player had walked on after saving.
  const auto walked = LoadDump(out / "walked.json");
  EXPECT_EQ(walked["PlayerPosY"], 17);
  const auto quit = LoadDump(out / "quit.json");
  EXPECT_EQ(quit["Party"].size(), 0u);
  EXPECT_EQ(quit["Switsch"], 5);  // the title picture of the same game

  const auto loadList = LoadDump(out / "load-list.json");
  EXPECT_EQ(loadList["CurrentList"], 14);
  // The load list is as much wider than the empty one as "Harbor day" is
  // longer than "<Empty>".
  const Surface title = LoadShot(out / "title-menu.png");
  const int emptyEdge = RightEdgeOfChange(title, LoadShot(out / "empty-slots.png"));
  const int namedEdge = RightEdgeOfChange(title, LoadShot(out / "load-list.png"));
  ASSERT_GT(emptyEdge, 0);
  EXPECT_EQ(namedEdge - emptyEdge, 3 * loadList["FontWidth"].get<int>());

  // Loading brought back what was saved, not what came after.
  const auto before = LoadDump(out / "before-save.json");
  const auto loaded = LoadDump(out / "loaded.json");
  EXPECT_EQ(loaded["GameMode"], 6);
  for (const char* key : {"PlayerPosX", "PlayerPosY", "PlayerDirection", "Party", "Npcs",
                          "Variables", "MapFile", "Characters", "SavingActive"})
    EXPECT_EQ(loaded[key], before[key]) << key;
  EXPECT_FALSE(InkBox(LoadShot(out / "loaded.png")).Empty());
}

}  // namespace
}  // namespace yw::e2e
