// Loading a saved game reads its map sheets afresh even under a name that
// is already loaded: another game of the library may have left its own
// picture of that name in the surface.
#include <gtest/gtest.h>

#include "list_screen.h"
#include "menus/list_menu.h"
#include "shell/engine.h"
#include "test_support.h"
#include "sim/game_files.h"

namespace yw {
namespace {

TEST(LoadSlot, ReadsTheMapSheetsAgainUnderNamesAlreadyLoaded) {
  test::TestEngine t;
  Engine& e = t.engine;
  test::UseSmallScreen(e);
  const auto game = e.ProgramDir / "games" / "demo";
  test::WriteFile(game / "autoexec.skr", "BEGIN\r\nEND\r\n");
  std::filesystem::copy_file(
      std::filesystem::path(YW_SOURCE_DIR) / "tests/e2e/games/play_brook/tiles.bmp",
      game / "tiles.bmp");
  e.CurrentDir = game;
  World& w = e.world;
  w.TilePicture = "tiles.bmp";
  w.MapWidth = w.MapHeight = 1;
  w.MapTiles.Reset(1, 1);
  w.MapTiles(1, 1).TILE = 1;
  w.MapEvents.Reset(1, 1);
  ASSERT_TRUE(SaveState(e, SlotFileName(1), "Meadow"));

  e.view.KeptTilePic = "tiles.bmp";  // another game's sheet, empty here
  e.win.GameMode = Mode::SaveList;
  Drawlist(e, 14, true);
  MenuKey(e, 14, 13);
  EXPECT_EQ(e.win.GameMode, Mode::Map);
  EXPECT_FALSE(e.pics.Tilemap.Empty());
}

}  // namespace
}  // namespace yw
