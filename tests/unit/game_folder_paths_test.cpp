// A game reads only inside its own folder: absolute names, names that
// climb out and links that lead out are missing files, and listing the
// game's scripts or the game library does not follow links to folders.
// Names as games write them, in any letter case and with backslashes,
// still resolve.
#include "byte_builder.h"
#include "interpreter_test_support.h"
#include "world/game_files.h"

namespace yw::test {
namespace {

namespace fs = std::filesystem;

class GameFolderPaths : public ScriptFixture {};

TEST_F(GameFolderPaths, NothingOutsideTheGameIsReadOrListed) {
  const std::string eventmap = Bytes().u8(1).name("other.map").ints(0, 5).str();
  const TempDir outside;
  WriteFile(outside.path() / "secret.evm", eventmap);
  WriteFile(outside.path() / "secret.skr", "BEGIN\r\nEND\r\n");
  WriteFile(outside.path() / "lent/autoexec.skr", "BEGIN\r\nEND\r\n");

  const fs::path game = te.dir.path() / "games/quest";
  WriteFile(game / "autoexec.skr", "BEGIN\r\nEND\r\n");
  WriteFile(game / "Maps/Field.evm", eventmap);
  fs::create_symlink(outside.path() / "secret.evm", game / "link.evm");
  fs::create_symlink(game / "Maps/Field.evm", game / "near.evm");
  fs::create_directory_symlink(outside.path(), game / "wide");
  fs::create_directory_symlink(outside.path() / "lent", te.dir.path() / "games/lent");
  e().CurrentDir = game;

  auto load = [&](const std::string& name) { return RunBody({"LOADEVENTS \"" + name + "\""}); };
  const std::string refused[] = {
      (outside.path() / "secret.evm").string(),
      "..\\..\\..\\" + outside.path().filename().string() + "\\secret.evm",
      "link.evm",
      "WIDE\\secret.evm",
  };
  for (const std::string& name : refused) EXPECT_EQ(load(name), 6) << name;  // EventMap not found
  for (const char* name : {"maps\\field.evm", "MAPS/FIELD.EVM", "Maps\\..\\near.evm"})
    EXPECT_EQ(load(name), 0) << name;

  ASSERT_TRUE(LoadScripts(e()));
  ASSERT_EQ(w().ScriptCount, 1);
  EXPECT_EQ(w().Scripts[1].Name, "autoexec.skr");

  FindGames(e());
  ASSERT_EQ(w().GameCount, 1);
  EXPECT_EQ(w().GameList[1], "quest");
}

}  // namespace
}  // namespace yw::test
