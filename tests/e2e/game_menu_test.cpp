// Choosing and starting a game as a player does: the game library, the
// game's own title menu, and "New" running its autoexec.skr.
#include "e2e_support.h"

namespace yw::e2e {
namespace {

namespace fs = std::filesystem;

TEST(GameMenu, TheLibraryThenTheGamesTitleMenuThenNewStartsItsScript) {
  const auto out = OutputDir("game-menu");
  const fs::path root = MakeProgramFolder(out);  // and one game, "demo"
  test::WriteFile(root / "games/demo/autoexec.skr", "BEGIN\r\nMSG \"Hello\"\r\nEND\r\n");
  Replay r(100);
  r.Do("key Space", 150).Do("shot title.png", 50).Do("key Enter", 200).Snap("library");
  r.Note("Enter on the game, then on its title picture.").Do("key Enter", 200).Do("key Enter", 200);
  r.Snap("menu").Note("New").Do("key Enter", 400).Dump("new", 100);
  const Played p = Play(out, root, r.Text());

  const auto library = p.Dump("library");
  EXPECT_EQ(library["GameMode"], 3);
  EXPECT_EQ(library["CurrentList"], 1);
  EXPECT_EQ(library["GameList"], nlohmann::json::array({"demo"}));

  // The library stands at the top left of the title picture.
  const Surface title = p.Shot("title");
  const Surface list = p.Shot("library");
  const int w = title.Width(), h = title.Height();
  ASSERT_EQ(list.Width(), w);
  EXPECT_GT(Changed(title, list, 0, 0, w / 4, h / 4), 0);
  EXPECT_EQ(Changed(title, list, w / 2, h / 2, w, h), 0);

  // Enter on "demo": its folder is current and its own title menu is open.
  const auto menu = p.Dump("menu");
  EXPECT_EQ(menu["GameMode"], 4);
  EXPECT_EQ(menu["CurrentList"], 2);
  EXPECT_EQ(menu["SingleGameMode"], true);
  EXPECT_EQ(fs::path(menu["CurrentDir"].get<std::string>()), root / "games" / "demo");
  // The title menu stands at the bottom, centred; the top is the picture.
  const Surface titleMenu = p.Shot("menu");
  EXPECT_GT(Changed(title, titleMenu, w / 3, h * 3 / 4, w * 2 / 3, h), 0);
  EXPECT_EQ(Changed(title, titleMenu, 0, 0, w, h / 2), 0);

  // "New" read the scripts and started autoexec.skr.
  const auto started = p.Dump("new");
  EXPECT_EQ(started["Scripts"], nlohmann::json::array({"autoexec.skr"}));
  EXPECT_EQ(started["SavingActive"], true);
  EXPECT_EQ(started["PlayerDirection"], 2);
  // Its MSG line is on the screen, the script waiting below it.
  EXPECT_EQ(started["Message"], "Hello");
  EXPECT_EQ(started["GameMode"], 5);
  EXPECT_EQ(started["ScriptDepth"], 1);
}

}  // namespace
}  // namespace yw::e2e
