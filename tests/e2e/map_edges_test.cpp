// The edges of what a map defines: actors told to walk off the map or a
// negative number of cells, and a map with no eventmap, or one smaller
// than the map, walked before and after saving and loading.
#include <string>

#include "e2e_support.h"

namespace yw::e2e {
namespace {

namespace fs = std::filesystem;

// The map_edges game in `out`; with `corner` its autoexec also loads the
// eventmap of the field's corner.
fs::path EdgesFolder(const fs::path& out, bool corner = false) {
  const fs::path root = ProgramWithGame(out, "map_edges");
  if (corner) {
    const fs::path autoexec = root / "games/map_edges/autoexec.skr";
    std::string script = test::ReadFile(autoexec);
    script.erase(script.find("' LOADEVENTS"), 2);
    test::WriteFile(autoexec, script);
  }
  return root;
}

TEST(MapEdges, ActorsToldToWalkOffTheEdgeStopThereAndTheCutSceneEnds) {
  const fs::path out = OutputDir("map-edges-actors");
  const fs::path root = EdgesFolder(out);
  Replay r = StartTheOnlyGame();
  r.WaitUntil(1500).Dump("start");
  const Played p = Play(out, root, r.Text());

  const auto start = p.Dump("start");
  EXPECT_EQ(start["GameMode"], 5);
  EXPECT_EQ(start["Message"], "Off we go");
  EXPECT_EQ(start["Variables"]["A"]["value"], 8) << "the hero stays on the east edge";
  EXPECT_EQ(start["Variables"]["B"]["value"], 6) << "the NPC stays on the south edge";
  EXPECT_EQ(start["Variables"]["C"]["value"], 7) << "the scene ended once the hero arrived";
}

// From (2, 2): one step west, three east, save in slot 1, load it, four
// west and two south. The screen, 560 x 430 pixels, shows 18 x 14 cells of
// 32 pixels (the last ones cut), more than the 8 x 6 field: the view stays
// centred on the player, and what lies beyond the field is black.
TEST(MapEdges, AMapWithoutAFullEventmapWalksTheSameAfterSaveAndLoad) {
  struct Case {
    std::string name;
    bool corner;
    int westX, eastX, endX;
  };
  const Case cases[] = {
      {"no eventmap", false, 1, 4, 1},
      // A 3 x 3 eventmap whose rock at (1, 2) blocks; the cells it does not
      // cover are open.
      {"smaller eventmap", true, 2, 5, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path out = OutputDir("map-edges-" + std::to_string(&c - cases));
    const fs::path root = EdgesFolder(out, c.corner);
    SetIni(root / "yarrowind.ini", "ScreenWidth", "560");
    SetIni(root / "yarrowind.ini", "ScreenHeight", "430");
    Replay r = StartTheOnlyGame();
    r.WaitUntil(1500).Do("key Enter", 400).Do("key Left", 300).Snap("west");
    r.Keys("Right", 3).Dump("east");
    Save(r, "Edge");
    Load(r).Dump("loaded");
    r.Keys("Left", 4).Keys("Down", 2).Dump("walked");
    const Played p = Play(out, root, r.Text());

    const auto west = p.Dump("west");
    EXPECT_EQ(west["PlayerPosX"], c.westX);
    EXPECT_EQ(west["ViewX"], c.westX - 9);
    EXPECT_EQ(west["ViewY"], 2 - 7);
    const Surface shot = p.Shot("west");
    ASSERT_EQ(shot.Width(), 560);
    int black = 0, field = 0;
    for (int y = 0; y < shot.Height(); ++y)
      for (int x = 0; x < shot.Width(); ++x) {
        const int column = c.westX - 9 + x / 32, row = 2 - 7 + y / 32;
        const bool on = column >= 1 && column <= 8 && row >= 1 && row <= 6;
        (on ? field : black) += (shot.At(x, y) == 0) == !on;
      }
    EXPECT_EQ(black, 560 * 430 - 8 * 6 * 32 * 32) << "pixels beyond the field that are black";
    EXPECT_EQ(field, 8 * 6 * 32 * 32) << "pixels of the field that are not black";
    EXPECT_EQ(p.Dump("east")["PlayerPosX"], c.eastX);
    const auto loaded = p.Dump("loaded");
    EXPECT_EQ(loaded["GameMode"], 6);
    EXPECT_EQ(loaded["PlayerPosX"], c.eastX);
    const auto walked = p.Dump("walked");
    EXPECT_EQ(walked["PlayerPosX"], c.endX);
    EXPECT_EQ(walked["PlayerPosY"], 4);
  }
}

}  // namespace
}  // namespace yw::e2e
