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
  const fs::path root = ProgramWithGame(out, "play_alder");
  BuildTestGame("play_brook", root);
  Replay r(100);
  r.Do("key Space", 200).Do("key Enter", 200).Snap("library");
  r.Note("The second game, its title picture.")
      .Do("key Down", 200)
      .Do("key Enter", 200)
      .Do("key Enter", 100);
  r.Do("shot title-menu.png", 100);
  r.Note("The load slots before anything was saved.").Do("key Down", 200).Do("key Enter", 200);
  r.Do("shot empty-slots.png", 100).Do("key Esc", 200);
  r.Note("New, onto the signpost, off it and onto it again.").Do("key Enter", 400).Snap("start");
  r.Do("key Right", 400).Snap("sign").Do("key Enter", 200).Do("key Left", 400).Do("key Right", 400);
  r.Dump("sign-again", 100).Do("key Enter", 200).Dump("before-save", 100);
  r.Note("Save in slot 2 under a typed name.").Do("key Esc", 200).Keys("Down", 3, 100).Wait(100);
  r.Do("key Enter", 200).Do("key Down", 200).Do("key Enter 1", 200).Do("type Harbor day", 200);
  r.Wait(100).Do("key Enter", 200).Dump("saved", 100).Do("key Esc", 300);
  r.Note("Walk on after saving.").Keys("Down", 2, 400).Dump("walked", 100);
  r.Note("Quit from the menu's last line, Yes.").Do("key Esc", 200).Keys("Down", 5, 100).Wait(100);
  r.Do("key Enter", 200).Do("key Enter", 300).Dump("quit", 100);
  r.Note("The title picture, Load, slot 2.")
      .Do("key Enter", 200)
      .Do("key Down", 200)
      .Do("key Enter", 200);
  r.Snap("load-list").Do("key Down", 200).Do("key Enter", 400).Snap("loaded");
  const Played p = Play(out, root, r.Text());

  const auto library = p.Dump("library");
  ASSERT_EQ(library["GameList"], nlohmann::json::array({"play_alder", "play_brook"}));

  const auto start = p.Dump("start");
  EXPECT_EQ(fs::path(start["CurrentDir"].get<std::string>()), root / "games" / "play_brook");
  EXPECT_EQ(start["GameMode"], 6);
  EXPECT_EQ(start["MapFile"], "meadow.map");
  EXPECT_EQ(start["PlayerPosX"], 20);
  EXPECT_EQ(start["PlayerPosY"], 15);

  // The signpost's cell script marked it read, tired the player and showed
  // its message; on the second visit `A [A] + 1` still gives 1.
  for (const char* visit : {"sign", "sign-again"}) {
    const auto sign = p.Dump(visit);
    EXPECT_EQ(sign["GameMode"], 5) << visit;
    EXPECT_EQ(sign["Message"], "Brook Lane. Ferry to the south.") << visit;
    EXPECT_EQ(sign["PlayerPosX"], 21) << visit;
    EXPECT_EQ(sign["Variables"]["A"]["value"], 1) << visit;
    EXPECT_EQ(sign["Party"][0]["HP"], 17) << visit;
  }

  const auto saved = p.Dump("saved");
  EXPECT_EQ(saved["GameMode"], 7);
  EXPECT_EQ(saved["CurrentList"], 4);
  const std::string slot = test::ReadFile(root / "games" / "play_brook" / "slot2.sav");
  EXPECT_EQ(slot.substr(0, 12), std::string("\x02\x0aHarbor day", 12));

  // Quitting emptied the party; the player had walked on after saving.
  const auto walked = p.Dump("walked");
  EXPECT_EQ(walked["PlayerPosY"], 17);
  const auto quit = p.Dump("quit");
  EXPECT_EQ(quit["Party"].size(), 0u);
  EXPECT_EQ(quit["Switsch"], 5);  // the title picture of the same game

  const auto loadList = p.Dump("load-list");
  EXPECT_EQ(loadList["CurrentList"], 14);
  // The load list is as much wider than the empty one as "Harbor day" is
  // longer than "<Empty>".
  const Surface title = p.Shot("title-menu");
  const int emptyEdge = RightEdgeOfChange(title, p.Shot("empty-slots"));
  const int namedEdge = RightEdgeOfChange(title, p.Shot("load-list"));
  ASSERT_GT(emptyEdge, 0);
  EXPECT_EQ(namedEdge - emptyEdge, 3 * loadList["FontWidth"].get<int>());

  // Loading brought back what was saved, not what came after.
  const auto before = p.Dump("before-save");
  const auto loaded = p.Dump("loaded");
  EXPECT_EQ(loaded["GameMode"], 6);
  for (const char* key : {"PlayerPosX", "PlayerPosY", "PlayerDirection", "Party", "Npcs",
                          "Variables", "MapFile", "Characters", "SavingActive"})
    EXPECT_EQ(loaded[key], before[key]) << key;
  EXPECT_FALSE(InkBox(p.Shot("loaded")).Empty());
}

// A library whose games share files in the program folder: "quest" loads
// its map from "..\common" (games/common, no game of its own). "lent" is a link the player put in
// games/ to a game kept elsewhere: it is listed, the folder it leads to is its own, it reads inside
// the program folder but not beside its own folder.
TEST(PlayLibrary, GamesShareFilesInTheProgramFolderAndALinkedGameIsConfined) {
  const auto out = OutputDir("shared-files");
  const fs::path root = MakeProgramFolder(out);
  BuildTestGame("script_world", root, "quest");
  fs::create_directories(root / "games/common");
  fs::rename(root / "games/quest/field.map", root / "games/common/field.map");
  test::WriteFile(root / "games/quest/autoexec.skr",
                  "BEGIN\r\nLOADMAP \"..\\common\\Field.map\" \\ ALLES\r\nADDCHARACTER 1\r\n"
                  "SETPOS 4 \\ 3\r\nMSG \"Shared\"\r\nEND\r\n");
  const fs::path lent = out / "elsewhere/games/lent";
  BuildTestGame("script_world", out / "elsewhere", "lent");
  fs::create_directories(out / "elsewhere/games/common");
  fs::copy_file(root / "games/common/field.map", out / "elsewhere/games/common/field.map");
  test::WriteFile(lent / "autoexec.skr",
                  "BEGIN\r\nLOADMAP \"..\\..\\..\\root\\games\\common\\field.map\" \\ ALLES\r\n"
                  "ADDCHARACTER 1\r\nSETPOS 4 \\ 3\r\nMSG \"Borrowed\"\r\n"
                  "LOADMAP \"..\\common\\field.map\"\r\nEND\r\n");
  fs::create_directory_symlink(lent, root / "games/lent");
  const auto start = [](int down) {
    Replay r(100);
    r.Do("key Space", 200).Do("key Enter", 200).Keys("Down", down, 200).Keys("Enter", 3, 200);
    return r.WaitUntil(1500).Snap("first").Do("key Enter", 400).Dump("second");
  };
  const Played q = Play(out / "quest", root, start(1).Text());
  const auto shared = q.Dump("first");
  EXPECT_EQ(shared["GameList"], nlohmann::json::array({"lent", "quest"}));
  EXPECT_EQ(shared["Message"], "Shared");
  EXPECT_EQ(shared["MapWidth"], 8);
  EXPECT_FALSE(InkBox(q.Shot("first")).Empty());

  const Played l = Play(out / "lent", root, start(0).Text());
  const auto borrowed = l.Dump("first");
  EXPECT_EQ(borrowed["Message"], "Borrowed");
  EXPECT_EQ(fs::path(borrowed["CurrentDir"].get<std::string>()), fs::canonical(lent));
  EXPECT_EQ(l.Dump("second")["Message"],
            "Script Error: Map not found!\r\nThe error occured in the following line:\r\n"
            "LOADMAP \"..\\common\\field.map\"");
}

}  // namespace
}  // namespace yw::e2e
