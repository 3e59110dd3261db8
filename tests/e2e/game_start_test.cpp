// Starting a game: from the title menu its first message stands over its
// map; --play starts a game folder at once with the folder's own
// settings, and a folder that is no game gets the new-game flow's message.
#include "e2e_support.h"

namespace yw::e2e {
namespace {

namespace fs = std::filesystem;

// A message right after the first map is loaded, before the map was ever
// drawn.
TEST(GameStart, TheFirstMessageStandsOverTheNewMap) {
  const auto out = OutputDir("first-message");
  const fs::path root = ProgramWithGame(out, "play_alder");
  test::WriteFile(root / "games" / "play_alder" / "autoexec.skr",
                  "BEGIN\r\nLOADEVENTS \"field.evm\" \\ ALLES\r\nADDCHARACTER 1\r\n"
                  "SETPOS 1 \\ 3\r\nMSG \"Dawn on the field.\"\r\nEND\r\n");
  Replay r = StartTheOnlyGame();
  const Played p = Play(out, root, r.WaitUntil(1500).Snap("first").Do("key Enter", 400).Snap("map").Text());
  const auto first = p.Dump("first");
  ASSERT_EQ(first["Message"], "Dawn on the field.");
  // Around the message window the field as the map shows it once the
  // message is closed: nothing left of the title picture.
  const int width = first["ScreenWidth"], height = first["ScreenHeight"];
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
