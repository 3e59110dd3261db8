// A game reads inside its own folder and inside the program folder, which
// the games of a library share, and nowhere else: absolute names, names
// that climb out of both and links that lead out are missing files, also
// for a game whose folder in games/ is a link to elsewhere. Listing a
// game's scripts does not follow links to folders; the game library lists
// a linked game. Names as games write them, in any letter case and with
// backslashes, still resolve.
#include "byte_builder.h"
#include "interpreter_test_support.h"
#include "sim/game_files.h"

namespace yw::test {
namespace {

namespace fs = std::filesystem;

class GameFolderPaths : public ScriptFixture {};

TEST_F(GameFolderPaths, NothingOutsideTheGameAndTheProgramFolderIsRead) {
  const std::string eventmap = Bytes().u8(1).name("other.map").ints(0, 5).str();
  const TempDir outside;
  WriteFile(outside.path() / "secret.evm", eventmap);
  WriteFile(outside.path() / "secret.skr", "BEGIN\r\nEND\r\n");
  WriteFile(outside.path() / "lent/autoexec.skr", "BEGIN\r\nEND\r\n");

  const fs::path program = te.dir.path(), game = program / "games/quest";
  WriteFile(game / "autoexec.skr", "BEGIN\r\nEND\r\n");
  WriteFile(game / "Maps/Field.evm", eventmap);
  WriteFile(program / "common/Shared.evm", eventmap);
  fs::create_symlink(outside.path() / "secret.evm", game / "link.evm");
  fs::create_symlink(game / "Maps/Field.evm", game / "near.evm");
  fs::create_symlink(program / "common/Shared.evm", game / "lib.evm");
  fs::create_directory_symlink(outside.path(), game / "wide");
  fs::create_directory_symlink(outside.path() / "lent", program / "games/lent");
  const std::string out = outside.path().filename().string();
  const std::string back = "..\\..\\" + program.filename().string() + "\\common\\shared.evm";

  auto load = [&](const std::string& name) { return RunBody({"LOADEVENTS \"" + name + "\""}); };
  struct Case {
    fs::path dir;
    std::string name;
    int code;  // 0 read, 6 EventMap not found
  };
  const Case cases[] = {
      {game, (outside.path() / "secret.evm").string(), 6},
      {game, "..\\..\\..\\" + out + "\\secret.evm", 6},
      {game, "link.evm", 6},
      {game, "WIDE\\secret.evm", 6},
      {game, "maps\\field.evm", 0},
      {game, "MAPS/FIELD.EVM", 0},
      {game, "Maps\\..\\near.evm", 0},
      {game, "..\\..\\common\\shared.evm", 0},
      {game, "lib.evm", 0},
      // The linked game's own folder is where the link leads.
      {fs::canonical(program / "games/lent"), "..\\secret.evm", 6},
      {fs::canonical(program / "games/lent"), back, 0},
  };
  for (const Case& c : cases) {
    e().CurrentDir = c.dir;
    EXPECT_EQ(load(c.name), c.code) << c.name;
  }

  e().CurrentDir = game;
  ASSERT_TRUE(LoadScripts(e()));
  ASSERT_EQ(w().ScriptCount, 1);
  EXPECT_EQ(w().Scripts[1].Name, "autoexec.skr");

  FindGames(e());
  ASSERT_EQ(w().GameCount, 2);
  EXPECT_EQ(w().GameList[1], "lent");
  EXPECT_EQ(w().GameList[2], "quest");
}

}  // namespace
}  // namespace yw::test
