// Starting a game: from the title menu a prologue stands over the title
// picture and its first message over its map; --play starts a game folder
// at once with the folder's own settings, and a folder that is no game
// gets the new-game flow's message.
#include "e2e_support.h"

namespace yw::e2e {
namespace {

namespace fs = std::filesystem;

// A game whose screen (800 x 600) is larger than the title picture: its
// prologue, before any map, stands over that picture with the loading
// notice gone, and once its question is answered the picture comes back
// with nothing of the message left beside or below it. The message right
// after the first map is loaded, before the map was ever drawn, stands over
// that map.
TEST(GameStart, TheFirstMessageStandsOverTheNewMap) {
  const auto out = OutputDir("first-message");
  const fs::path root = ProgramWithGame(out, "play_alder");
  const fs::path game = root / "games" / "play_alder";
  fs::copy_file(root / "yarrowind.ini", game / "yarrowind.ini");
  SetIni(game / "yarrowind.ini", "ScreenWidth", "800");
  SetIni(game / "yarrowind.ini", "ScreenHeight", "600");
  test::WriteFile(game / "autoexec.skr",
                  "BEGIN\r\nSHOWMOVIE 100\r\nMSG \"Long ago... Will you listen?\"\r\n"
                  "ADDLISTITEM \"Yes\" \\ 1\r\nADDLISTITEM \"No\" \\ 2\r\nSHOWLIST\r\n"
                  "SHOWMOVIE 200\r\nLOADEVENTS \"field.evm\" \\ ALLES\r\nADDCHARACTER 1\r\n"
                  "SETPOS 1 \\ 3\r\nMSG \"Dawn on the field.\"\r\nEND\r\n");
  Replay r(100);
  r.Do("key Space", 200).Keys("Enter", 2, 200).Snap("title").Keys("Enter", 2, 200).Wait(400);
  r.Snap("prologue").Do("key Enter", 400).Do("key Enter", 100).Snap("answered").Wait(300);
  r.Snap("first").Do("key Enter", 400).Snap("map");
  const Played p = Play(out, root, r.Text());
  const auto first = p.Dump("first");
  ASSERT_EQ(first["Message"], "Dawn on the field.");
  const int width = first["ScreenWidth"], height = first["ScreenHeight"];
  ASSERT_EQ(width, 800);
  // Above the message window: the title picture as the game's title showed
  // it, nothing of the notice; after the answer, the whole screen again.
  EXPECT_EQ(p.Dump("prologue")["Message"], "Long ago... Will you listen?");
  EXPECT_FALSE(InkBox(p.Shot("title")).Empty());
  EXPECT_EQ(Changed(p.Shot("title"), p.Shot("prologue"), 0, 0, width, height / 2), 0);
  EXPECT_EQ(p.Dump("answered")["GameMode"], 9);
  EXPECT_EQ(Changed(p.Shot("title"), p.Shot("answered")), 0);
  // Around the message window the field as the map shows it once the
  // message is closed.
  EXPECT_EQ(p.Dump("map")["GameMode"], 6);
  EXPECT_EQ(Changed(p.Shot("first"), p.Shot("map"), 0, 0, width, height / 2), 0);
}

TEST(GameStart, PlayStartsAGameFolderAtOnceWithItsOwnSettings) {
  const auto out = OutputDir("play-option");
  const fs::path root = ProgramWithGame(out, "play_alder");
  const fs::path game = root / "games" / "play_alder";
  fs::copy_file(root / "yarrowind.ini", game / "yarrowind.ini");
  SetIni(game / "yarrowind.ini", "ScreenWidth", "320");
  SetIni(game / "yarrowind.ini", "ScreenHeight", "240");
  // An author's notes beside the built game do not make it a source folder.
  test::WriteFile(game / "notes.json", "{\"todo\": \"a second field\"}\n");
  const Played p =
      Play(out, root, Replay(300).Snap("playing").Text(), "--play '" + game.string() + "'");
  const auto playing = p.Dump("playing");
  EXPECT_EQ(playing["GameMode"], 6);
  EXPECT_EQ(fs::path(playing["CurrentDir"].get<std::string>()), game);
  EXPECT_EQ(playing["PlayerPosX"], 1);
  EXPECT_EQ(p.Shot("playing").Width(), 320);

  // Scripts but no autoexec.skr: the folder stays current and says so.
  const fs::path notes = out / "notes";
  test::WriteFile(notes / "intro.skr", "BEGIN\r\nEND\r\n");
  const Played q = Play(out / "notes-run", root, Replay(300).Dump("notes").Text(),
                        "--play '" + notes.string() + "'");
  EXPECT_EQ(q.Dump("notes")["Message"], "Error: No AUTOEXEC.SKR Found!");
}

}  // namespace
}  // namespace yw::e2e
