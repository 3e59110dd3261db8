// The edges of what a map defines: actors told to walk off the map or a
// negative number of cells, a map with no eventmap, or one smaller than
// the map, walked before and after saving and loading, and figures parked
// off the map.
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

// Figures off the map are where authors hide them: one east of the field
// that walks two cells west in a cut-scene, one above it, one very far
// west that keeps wandering; then the player is left outside a smaller map
// that is loaded. The fight snapshot, a save and a load keep them all, and
// the game walks and draws on.
TEST(MapEdges, FiguresOffTheMapSurviveTheFightSnapshotSaveAndLoad) {
  const fs::path out = OutputDir("map-edges-off-the-map");
  const fs::path root = ProgramWithGame(out, "map_edges");
  test::WriteFile(root / "games/map_edges/autoexec.skr",
                  "BEGIN\r\nLOADMAP \"field.map\" \\ ALLES\r\nADDCHARACTER 1\r\n"
                  "ADDNPC 1\r\nADDNPC 1\r\nADDNPC 1\r\n"
                  "CHANGE NPC \\ 1 \\ POS_X \\ 15\r\nCHANGE NPC \\ 1 \\ POS_Y \\ 3\r\n"
                  "CHANGE NPC \\ 2 \\ POS_X \\ 4\r\nCHANGE NPC \\ 2 \\ POS_Y \\ - 2\r\n"
                  "CHANGE NPC \\ 3 \\ POS_X \\ - 100000 * 100000\r\n"
                  "CHANGE NPC \\ 3 \\ POS_Y \\ 2\r\nCHANGE NPC \\ 3 \\ SPEED \\ 5\r\n"
                  "SETPOS 2 \\ 2\r\nSAVING ON\r\n"
                  "SETACTOR 1 \\ 3 \\ 2 \\ 1 \\ walk\r\nSHOWMOVIE\r\n"
                  "FIGHTINIT \"corner.map\"\r\nFIGHTEND\r\n"
                  "SETPOS 8 \\ 5\r\nLOADMAP \"corner.map\" \\ ALLES\r\n"
                  "MSG \"Off we go\"\r\nEND\r\n");
  Replay r = StartTheOnlyGame();
  r.WaitUntil(4000).Dump("start").Do("key Enter", 2000);
  Save(r, "Away");
  Load(r).Snap("loaded");
  r.Keys("Left", 2).Keys("Up", 1).Wait(2000).Snap("walked");
  const Played p = Play(out, root, r.Text());

  const auto expectFigures = [](const nlohmann::json& d, const std::string& when) {
    SCOPED_TRACE(when);
    ASSERT_EQ(d["Npcs"].size(), 3u);
    EXPECT_EQ(d["Npcs"][0]["POS_X"], 13) << "walked two cells west, still off the map";
    EXPECT_EQ(d["Npcs"][0]["POS_Y"], 3);
    EXPECT_EQ(d["Npcs"][1]["POS_Y"], -2);
    EXPECT_EQ(d["Npcs"][2]["POS_X"], -1e10);
    EXPECT_EQ(d["MapFile"], "corner.map");
    EXPECT_EQ(d["MapWidth"], 3);
  };
  const auto start = p.Dump("start");
  EXPECT_EQ(start["Message"], "Off we go");
  EXPECT_EQ(start["PlayerPosX"], 8);
  expectFigures(start, "after the fight snapshot");
  const auto loaded = p.Dump("loaded");
  EXPECT_EQ(loaded["GameMode"], 6);
  EXPECT_EQ(loaded["PlayerPosX"], 8);
  EXPECT_EQ(loaded["PlayerPosY"], 5);
  expectFigures(loaded, "after loading");
  const auto walked = p.Dump("walked");
  EXPECT_EQ(walked["PlayerPosX"], 6);
  EXPECT_EQ(walked["PlayerPosY"], 4);
  expectFigures(walked, "after walking");
}

}  // namespace
}  // namespace yw::e2e
