// The authoring tool: unpacked games build back byte for byte, build errors
// point at the line to fix, and the bundled games build from their sources
// and pass the check.
#include <gtest/gtest.h>

#include <algorithm>

#include "data_sources.h"
#include "diagnostics.h"
#include "game_build.h"
#include "json_doc.h"
#include "script_lint.h"
#include "test_support.h"
#include "tiled_maps.h"
#include "world/data_files.h"

namespace yw::pack {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::WriteFile;

std::string Joined(const Report& r) {
  std::string s;
  for (const Diagnostic& d : r.Items()) s += Format(d) + "\n";
  return s;
}

// A 3 x 3 Tiled map: tiles from a tileset at firstgid 1 whose tile 2 (id 1)
// is an obstacle, one doodad from a second tileset at firstgid 11, and an
// event object over the middle row.
Json SmallTiledMap() {
  return Json::parse(R"({
    "type": "map", "orientation": "orthogonal", "infinite": false,
    "width": 3, "height": 3, "tilewidth": 16, "tileheight": 16,
    "properties": [{"name": "tilemap", "type": "string", "value": "t.til"},
                   {"name": "doodadmap", "type": "string", "value": "d.dod"}],
    "tilesets": [
      {"firstgid": 1, "name": "t", "tiles": [{"id": 1, "properties": [{"name": "obstacle", "type": "bool", "value": true}]}]},
      {"firstgid": 11, "name": "d", "tiles": []}],
    "layers": [
      {"type": "tilelayer", "name": "Tiles", "width": 3, "height": 3, "data": [1,1,1, 2,3,1, 1,1,4]},
      {"type": "tilelayer", "name": "doodads", "width": 3, "height": 3, "data": [0,0,0, 0,0,13, 0,0,0]},
      {"type": "objectgroup", "name": "events", "objects": [
        {"id": 1, "x": 0, "y": 16, "width": 48, "height": 16,
         "properties": [{"name": "enter", "type": "string", "value": "go.skr"}]},
        {"id": 2, "x": 32, "y": 32, "width": 0, "height": 0,
         "properties": [{"name": "box", "type": "bool", "value": true}]}]}]})");
}


// --- Round trips ----------------------------------------------------------------

void WriteSampleGame(const fs::path& dir) {
  CharacterFileData chars{"units.dod", {}};
  Character hero;
  hero.NAME = "H\xe9ro";  // Windows-1252 e acute
  hero.HP = 30;
  hero.MAXHP = -2;
  hero.DOOUPANI = 7;
  chars.characters = {hero, hero};
  chars.characters[1].NAME = "Second";
  WriteFile(dir / "chars.dat", WriteCharacterFile(chars));
  ItemFileData items{"items.dod", {}};
  Item tea;
  tea.NAME = "Tea";
  tea.TYPE = 200;
  tea.VISIBLE = true;
  tea.SCRIPT = "tea.skr";
  tea.NUMBER = 3;
  items.items = {tea};
  WriteFile(dir / "items.dat", WriteItemFile(items));
  SpriteSheetFile units{"units.bmp", {{0, 0, 16, 0, 16, 16, 2}, {16, 0, 32, 0, 16, 16, 1}}};
  WriteFile(dir / "units.dod", WriteSpriteSheetFile(units));
  WriteFile(dir / "ITEMS.DOD", WriteSpriteSheetFile({"items", {{0, 0, 0, 16, 8, 8, 0}}}));
  TileSheetFile tiles{"tiles.bmp", 16, 16, {{0, 0, 2}, {16, 0, 1}, {32, 0, 3}}};
  WriteFile(dir / "maps/town.til", WriteTileSheetFile(tiles));
  // Placements out of reading order must keep their order.
  MapFileData map{"maps\\town.til", "", 3, 2, {1, 2, 3, 3, 2, 1}, {{2, 2, 5}, {1, 1, 6}}};
  WriteFile(dir / "maps/town.map", WriteMapFile(map));
  EventmapFileData events{"maps\\Town.map", 3, 2, std::vector<EventCell>(6)};
  for (auto& c : events.cells) c.passable = true;
  events.cells[1].USESCRIPT = "sign.skr";
  events.cells[4].passable = false;
  events.cells[5].BOX = true;
  events.cells[5].PUSHSCRIPT = "push.skr";
  WriteFile(dir / "maps/town.evm", WriteEventmapFile(events));
  // An eventmap whose map is missing, named by no script: found by its shape.
  EventmapFileData lone{"gone.map", 2, 1, std::vector<EventCell>(2)};
  lone.cells[0].ENTERSCRIPT = "x.skr";
  WriteFile(dir / "lone.evm", WriteEventmapFile(lone));
  WriteFile(dir / "autoexec.skr",
            "BEGIN\r\nLOADEVENTS \"MAPS\\TOWN.EVM\" \\ ALLES\r\nMSG \"hi\"\r\nEND\r\n");
  WriteFile(dir / "tiles.bmp", std::string("BM\0\0garbage", 11));
}

std::map<std::string, std::string> FilesBelow(const fs::path& dir) {
  std::map<std::string, std::string> out;
  for (const auto& e : fs::recursive_directory_iterator(dir))
    if (e.is_regular_file()) out[fs::relative(e.path(), dir).generic_string()] = test::ReadFile(e.path());
  return out;
}

TEST(PackRoundTrip, UnpackThenBuildGivesBackEveryFileByteForByte) {
  TempDir game, src, out;
  WriteSampleGame(game.path());
  WriteFile(game.path() / "slot1.sav", "saved");
  Report report;
  ASSERT_TRUE(UnpackGame(game.path(), src.path(), report)) << Joined(report);
  // Every data file became a source, not a copy.
  for (const char* source : {"chars.json", "items.json", "units.dod.json", "ITEMS.DOD.json",
                             "maps/town.til.json", "maps/town.map.tmj", "lone.evm.tmj"})
    EXPECT_TRUE(fs::exists(src.path() / source)) << source << "\n" << Joined(report);
  EXPECT_FALSE(fs::exists(src.path() / "chars.dat"));
  EXPECT_FALSE(fs::exists(src.path() / "slot1.sav"));
  EXPECT_NE(test::ReadFile(src.path() / "chars.json").find("H\xc3\xa9ro"), std::string::npos);

  Report buildReport;
  const FileSet built = CompileSources(src.path(), buildReport);
  EXPECT_FALSE(buildReport.HasErrors()) << Joined(buildReport);
  auto expected = FilesBelow(game.path());
  expected.erase("slot1.sav");
  EXPECT_EQ(FileSet(expected.begin(), expected.end()), built);
}

// --- Build errors ------------------------------------------------------------------

TEST(PackBuildErrors, NameTheFileTheLineAndTheField) {
  TempDir src;
  WriteFile(src.path() / "chars.json",
            "{\n"
            "  \"kind\": \"characters\",\n"
            "  \"characters\": [\n"
            "    {\"NAME\": \"Ann\", \"HP\": 5},\n"
            "    {\"NAME\": \"Bob\",\n"
            "     \"HP\": 40000,\n"
            "     \"HPP\": 1}\n"
            "  ]\n"
            "}\n");
  Json map = SmallTiledMap();
  map["layers"][0]["data"][6] = 0;  // row 3, column 1
  map["layers"][0]["data"][2] = 1u << 31;  // flipped
  WriteFile(src.path() / "maps/town.tmj", Pretty(map));
  WriteFile(src.path() / "t.til.json",
            R"({"kind": "tilemap", "file": "t.til", "picture": "t.bmp", "tileWidth": 16, "tileHeight": 16,
               "tiles": [{"x": 0, "y": 0}, {"x": 16, "y": 0, "NEXT": 0}]})");
  TempDir out;
  Report report;
  EXPECT_FALSE(BuildGame(src.path(), out.path(), report));
  const std::string all = Joined(report);
  EXPECT_NE(all.find("chars.json:6: character 2 'Bob': HP: 40000 is out of range"), std::string::npos) << all;
  EXPECT_NE(all.find("chars.json:7: character 2 'Bob': HPP: unknown field"), std::string::npos) << all;
  const std::string mapText = test::ReadFile(src.path() / "maps/town.tmj");
  // The tile layer's data has one row per line; find the line of row 3.
  const auto rowLine = [&](const std::string& row) {
    return 1 + std::count(mapText.begin(), mapText.begin() + static_cast<long>(mapText.find(row)), '\n');
  };
  EXPECT_NE(all.find("maps/town.tmj:" + std::to_string(rowLine("0,1,4")) +
                     ": layer 'Tiles' row 3, column 1: tile 0 is not allowed"),
            std::string::npos)
      << all;
  EXPECT_NE(all.find("row 1, column 3: flipped or rotated tiles cannot be stored"), std::string::npos);
  EXPECT_NE(all.find("t.til.json:2: tile 2: NEXT: 0 would end the list"), std::string::npos) << all;
  EXPECT_TRUE(fs::is_empty(out.path()));  // nothing is written when anything failed
}

TEST(PackBuildErrors, HostileSourcesAreRefusedAndNothingLandsOutsideTheGameFolder) {
  Json map = SmallTiledMap();
  map["layers"][2]["objects"][0]["x"] = 1e300;
  const std::string mapText = Pretty(map);
  const auto xLine =
      1 + std::count(mapText.begin(), mapText.begin() + static_cast<long>(mapText.find("1e+300")),
                     '\n');
  const std::map<std::string, std::string> sources = {
      // Deep nesting once took seconds and gigabytes before any error.
      {"chars.json", "{\"kind\": \"characters\", \"characters\":\n" + std::string(200000, '[') +
                         std::string(200000, ']') + "}"},
      {"m.tmj", mapText},
      {"items.json", "{\"kind\": \"items\",\n \"file\": \"..\\\\x.dat\", \"items\": []}"}};
  std::string all;
  for (const auto& [name, text] : sources) {
    TempDir top;
    WriteFile(top.path() / "src" / name, text);
    Report report;
    EXPECT_FALSE(BuildGame(top.path() / "src", top.path() / "game", report)) << name;
    EXPECT_FALSE(fs::exists(top.path() / "x.dat"));
    all += Joined(report);
  }
  EXPECT_NE(all.find("chars.json:2: invalid JSON: values are nested more than 100 deep"),
            std::string::npos)
      << all;
  EXPECT_NE(all.find("m.tmj:" + std::to_string(xLine) +
                     ": layer 'events' object 1: x: 1e+300 is out of range"),
            std::string::npos)
      << all;
  EXPECT_NE(all.find("items.json:2: file: '..\\x.dat' climbs out of the game folder"),
            std::string::npos)
      << all;
}

// --- The bundled games ----------------------------------------------------------

std::vector<std::string> FoldersIn(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir))
    if (e.is_directory()) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

const fs::path kBundled = fs::path(YW_SOURCE_DIR) / "data/games";
const fs::path kSources = fs::path(YW_SOURCE_DIR) / "games-src";

TEST(BundledGames, EveryGameHasItsSourcesAndPassesTheCheck) {
  const auto games = FoldersIn(kBundled);
  EXPECT_GE(games.size(), 2u);
  EXPECT_EQ(games, FoldersIn(kSources));  // no built game without sources, nor the reverse
  for (const std::string& name : games) {
    Report report;
    CheckGame(kBundled / name, DefaultProgramDir(kBundled / name), report);
    EXPECT_FALSE(report.HasErrors()) << name << ":\n" << Joined(report);
  }
}

TEST(BundledGames, BuildingEachSourceFolderGivesTheCheckedInFilesByteForByte) {
  for (const std::string& name : FoldersIn(kSources)) {
    TempDir out;
    Report report;
    ASSERT_TRUE(BuildGame(kSources / name, out.path() / name, report)) << name << ":\n" << Joined(report);
    const auto built = FilesBelow(out.path() / name);
    const auto kept = FilesBelow(kBundled / name);
    for (const auto& [file, bytes] : built) {
      auto it = kept.find(file);
      if (it == kept.end()) ADD_FAILURE() << name << "/" << file << " is built but not checked in";
      else EXPECT_TRUE(it->second == bytes) << name << "/" << file << " differs from its sources";
    }
    for (const auto& [file, bytes] : kept)
      EXPECT_TRUE(built.contains(file)) << name << "/" << file << " is checked in but not built";
  }
}

}  // namespace
}  // namespace yw::pack
