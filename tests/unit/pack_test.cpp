// The authoring tool: unpacked games build back byte for byte, build errors
// point at the line to fix, and the bundled games build from their sources
// and pass the check.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>

#include "data_sources.h"
#include "diagnostics.h"
#include "game_build.h"
#include "json_doc.h"
#include "render/surface.h"
#include "script_lint.h"
#include "test_support.h"
#include "tiled_maps.h"
#include "tiled_sheets.h"
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
  hero.HP = 30, hero.MAXHP = -2, hero.DOOUPANI = 7;
  chars.characters = {hero, hero};
  chars.characters[1].NAME = "Second";
  WriteFile(dir / "chars.dat", WriteCharacterFile(chars));
  ItemFileData items{"items.dod", {}};
  Item tea;
  tea.NAME = "Tea", tea.TYPE = 200, tea.VISIBLE = true, tea.SCRIPT = "tea.skr", tea.NUMBER = 3;
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
  // An OS/2 BMP of 32 x 16 (its core header holds 16-bit sides) and a PNG.
  std::string os2("BM\x3a\x06\0\0\0\0\0\0\x1a\0\0\0\x0c\0\0\0\x20\0\x10\0\x01\0\x18\0", 26);
  WriteFile(dir / "units.bmp", os2 + std::string(32 * 16 * 3, '\x40'));
  SdlImageCodec codec;
  ASSERT_TRUE(codec.WritePng(Surface(8, 24, 0x123456), dir / "items.png"));
  WriteFile(dir / "tiles.bmp", std::string("BM\0\0garbage", 11));
}

std::map<std::string, std::string> FilesBelow(const fs::path& dir) {
  std::map<std::string, std::string> out;
  for (const auto& e : fs::recursive_directory_iterator(dir))
    if (e.is_regular_file()) out[fs::relative(e.path(), dir).generic_string()] = test::ReadFile(e.path());
  return out;
}

TEST(PackRoundTrip, UnpackThenBuildGivesBackEveryFileByteForByte) {
  TempDir game;
  WriteSampleGame(game.path());
  WriteFile(game.path() / "slot1.sav", "saved");
  auto expected = FilesBelow(game.path());
  expected.erase("slot1.sav");
  for (const MapFormat format : {MapFormat::Json, MapFormat::Tmx}) {
    TempDir src;
    Report report;
    ASSERT_TRUE(UnpackGame(game.path(), src.path(), report, format)) << Joined(report);
    // Every data file became a source, not a copy.
    const bool tmx = format == MapFormat::Tmx;
    for (const std::string source :
         {"chars.json", "items.json", "units.dod.json", "ITEMS.DOD.json", "maps/town.til.json",
          tmx ? "maps/town.map.tmx" : "maps/town.map.tmj", tmx ? "lone.evm.tmx" : "lone.evm.tmj",
          tmx ? "maps/town.til.tsx" : "maps/town.til.tsj"})
      EXPECT_TRUE(fs::exists(src.path() / source)) << source << "\n" << Joined(report);
    EXPECT_FALSE(fs::exists(src.path() / "chars.dat"));
    EXPECT_FALSE(fs::exists(src.path() / "slot1.sav"));
    EXPECT_NE(test::ReadFile(src.path() / "chars.json").find("H\xc3\xa9ro"), std::string::npos);
    // Tiled opens the tilesets at their pictures' sizes, whatever the format.
    if (!tmx) {
      for (const auto& [tileset, w, h] :
           {std::tuple{"units.dod.tsj", 32, 16}, std::tuple{"ITEMS.DOD.tsj", 8, 24}}) {
        const Json ts = Json::parse(test::ReadFile(src.path() / tileset));
        EXPECT_EQ(ts["tiles"][0]["imagewidth"], w) << tileset;
        EXPECT_EQ(ts["tiles"][0]["imageheight"], h) << tileset;
      }
    }

    Report buildReport;
    const FileSet built = CompileSources(src.path(), buildReport);
    EXPECT_FALSE(buildReport.HasErrors()) << Joined(buildReport);
    EXPECT_EQ(FileSet(expected.begin(), expected.end()), built);
  }
}

// --- Tiled's XML formats and compressed layers ----------------------------------------

// SmallTiledMap as Tiled saves it as TMX, its first tileset in a TSX file and
// the tile layer's data written with `data` (the <data> element's
// attributes and text).
std::string SmallTmx(const std::string& data) {
  return R"(<?xml version="1.0" encoding="UTF-8"?>
<map version="1.10" tiledversion="1.10.2" orientation="orthogonal" renderorder="right-down" width="3" height="3" tilewidth="16" tileheight="16" infinite="0" nextlayerid="4" nextobjectid="3">
 <properties>
  <property name="doodadmap" value="d.dod"/>
  <property name="tilemap" value="t.til"/>
 </properties>
 <tileset firstgid="1" source="t.tsx"/>
 <tileset firstgid="11" name="d" tilewidth="16" tileheight="16" tilecount="0" columns="0"/>
 <layer id="1" name="Tiles" width="3" height="3">
  <data )" +
         data + R"(</data>
 </layer>
 <layer id="2" name="doodads" width="3" height="3">
  <data encoding="csv">
0,0,0,
0,0,13,
0,0,0
</data>
 </layer>
 <objectgroup id="3" name="events">
  <object id="1" x="0" y="16" width="48" height="16">
   <properties>
    <property name="enter" value="go.skr"/>
   </properties>
  </object>
  <object id="2" x="32" y="32">
   <properties>
    <property name="box" type="bool" value="true"/>
   </properties>
  </object>
 </objectgroup>
</map>
)";
}

constexpr const char* kSmallTsx = R"(<?xml version="1.0" encoding="UTF-8"?>
<tileset version="1.10" tiledversion="1.10.2" name="t" tilewidth="16" tileheight="16" tilecount="4" columns="4">
 <image source="t.png" width="64" height="16"/>
 <tile id="1">
  <properties>
   <property name="obstacle" type="bool" value="true"/>
  </properties>
 </tile>
</tileset>
)";

// The tile layer 1,1,1, 2,3,1, 1,1,4 in Base64, as Tiled writes it without
// and with each compression.
constexpr const char* kZstdTiles = "KLUv/SQkhQAAkgECgzERH67nOI4BABmXCTT8yAI=";

TEST(PackTiledXml, TmxMapsInEveryLayerFormatAndJsonWithATsxBuildTheSameFiles) {
  TempDir ref;
  WriteFile(ref.path() / "m.tmj", Pretty(SmallTiledMap()));
  Report refReport;
  const FileSet expected = CompileSources(ref.path(), refReport);
  ASSERT_EQ(expected.size(), 2u) << Joined(refReport);
  const std::vector<std::string> formats = {
      "encoding=\"csv\">\n1,1,1,\n2,3,1,\n1,1,4\n",
      "encoding=\"base64\">\n   AQAAAAEAAAABAAAAAgAAAAMAAAABAAAAAQAAAAEAAAAEAAAA\n  ",
      "encoding=\"base64\" compression=\"zlib\">\n   eJxjZGBgYIRiJiBmRuKDMAsQAwABJAAQ\n  ",
      "encoding=\"base64\" compression=\"gzip\">\n   "
      "H4sIAAAAAAACA2NkYGBghGImIGZG4oMwCxADAAVVPg8kAAAA\n  ",
      "encoding=\"base64\" compression=\"zstd\">\n   " + std::string(kZstdTiles) + "\n  "};
  Json json = SmallTiledMap();  // a JSON map with compressed data and the TSX
  json["tilesets"][0] = {{"firstgid", 1}, {"source", "t.tsx"}};
  json["layers"][0].update({{"data", kZstdTiles}, {"encoding", "base64"}, {"compression", "zstd"}});
  for (size_t i = 0; i <= formats.size(); ++i) {
    TempDir src;
    if (i < formats.size())
      WriteFile(src.path() / "m.tmx", SmallTmx(formats[i]));
    else
      WriteFile(src.path() / "m.tmj", Pretty(json));
    // The maps name "t.tsx": found in any letter case, as the game finds files.
    WriteFile(src.path() / "T.TSX", kSmallTsx);
    Report report;
    EXPECT_EQ(CompileSources(src.path(), report), expected) << i << "\n" << Joined(report);
  }
}

// One of Tiled's own example maps (a platformer, tests/data/tiled/README.md)
// is read whole: what it lacks as a map of this game is all that is named.
TEST(PackTiledXml, TiledsOwnExampleMapIsReadAndItsLayersNamedAtTheirLines) {
  TempDir src;
  fs::copy_file(fs::path(YW_SOURCE_DIR) / "tests/data/tiled/sandbox.tmx",
                src.path() / "sandbox.tmx");
  Report report;
  CompileSources(src.path(), report);
  const std::string all = Joined(report);
  EXPECT_EQ(report.ErrorCount(), 1) << all;
  EXPECT_NE(all.find("sandbox.tmx:2: layers: the map needs a visible tile layer (the ground)"),
            std::string::npos)
      << all;
  EXPECT_NE(all.find("sandbox.tmx:418: warning: layer 'above': is not built"), std::string::npos)
      << all;
  EXPECT_EQ(all.find("'bounds'"), std::string::npos) << all;  // hidden in Tiled
}

std::string Base64(std::string_view bytes) {
  static constexpr char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (size_t i = 0; i < bytes.size(); i += 3) {
    const size_t n = std::min<size_t>(3, bytes.size() - i);
    uint32_t v = 0;
    for (size_t k = 0; k < 3; ++k) v = v << 8 | (k < n ? static_cast<uint8_t>(bytes[i + k]) : 0u);
    for (size_t k = 0; k < 4; ++k) out += k <= n ? kDigits[(v >> (18 - 6 * k)) & 63] : '=';
  }
  return out;
}

// zlib data that expands to 64 MiB of zeros from about 64 KiB.
std::string ZlibBomb() {
  const std::string zeros(1 << 20, '\0');
  std::string out(1 << 20, '\0');
  z_stream z{};
  deflateInit(&z, 9);
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  for (int i = 0; i < 64; ++i) {
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zeros.data()));
    z.avail_in = static_cast<uInt>(zeros.size());
    deflate(&z, i == 63 ? Z_FINISH : Z_NO_FLUSH);
  }
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

TEST(PackTiledXml, BadXmlWrongSizesAndDecompressionBombsAreRefusedAtTheirLine) {
  // A Zstandard frame of 14 bytes claiming 4 GiB, then blocks of 128 KiB of zeros.
  std::string zstd("\x28\xB5\x2F\xFD\xC0\x38\0\0\0\0\x01\0\0\0", 14);
  for (int i = 0; i < 8; ++i) zstd += std::string("\x02\x00\x10\x00", 4);
  std::string deep = "<map>\n";
  for (int i = 0; i < 200; ++i) deep.insert(6, "<group>").append("</group>");
  std::string badTileset = SmallTmx("encoding=\"csv\">1,1,1,2,3,1,1,1,4");
  badTileset.replace(badTileset.find("t.tsx"), 5, "bad.tsx");
  TempDir src;
  WriteFile(src.path() / "t.tsx", kSmallTsx);
  WriteFile(src.path() / "bad.tsx", "<?xml version=\"1.0\"?>\n<tileset name=\"t>\n");
  const std::map<std::string, std::string> maps = {
      {"xml.tmx", "<?xml version=\"1.0\"?>\n<map width=\"3\">\n <layer>\n</map>\n"},
      {"deep.tmx", deep + "\n</map>"},
      {"zlib.tmx", SmallTmx("encoding=\"base64\" compression=\"zlib\">" + Base64(ZlibBomb()))},
      {"zstd.tmx", SmallTmx("encoding=\"base64\" compression=\"zstd\">" + Base64(zstd))},
      {"lz4.tmx", SmallTmx("encoding=\"base64\" compression=\"lz4\">AAAA")},
      {"short.tmx", SmallTmx("encoding=\"csv\">\n1,1,1,\n2,3,1,\n1,1\n")},
      {"tsx.tmx", badTileset}};
  for (const auto& [name, text] : maps) WriteFile(src.path() / name, text);
  Report report;
  CompileSources(src.path(), report);
  const std::string all = Joined(report);
  for (const char* line :
       {"xml.tmx:4: invalid XML: Start-end tags mismatch",
        "deep.tmx:2: elements are nested more than 100 deep",
        "zlib.tmx:10: layer 'Tiles': unpacks to more than 36 bytes (its 9 cells take 36)",
        "zstd.tmx:10: layer 'Tiles': unpacks to more than 36 bytes (its 9 cells take 36)",
        "lz4.tmx:10: layer 'Tiles': unknown compression 'lz4' (Tiled writes zlib, gzip or zstd)",
        "short.tmx:10: layer 'Tiles': holds 8 cells; the map has 9",
        "tsx.tmx:7: tileset 1: the tileset 'bad.tsx' cannot be read: line 2: invalid XML: "})
    EXPECT_NE(all.find(line), std::string::npos) << line << "\n" << all;
}

// --- Sheets made from the tilesets -----------------------------------------------

// A map of 2 x 1 cells of 8 pixels over a BMP tileset of an 8 x 8 and an
// 8 x 16 tile, with `changes` merged in.
Json SheetMap(const Json& changes) {
  Json map = Json::parse(R"({"type": "map", "orientation": "orthogonal", "width": 2, "height": 1,
    "tilewidth": 8, "tileheight": 8, "tilesets": [{"firstgid": 1, "name": "t", "image": "t.bmp",
    "tilewidth": 8, "tileheight": 8, "columns": 1, "tilecount": 1},
    {"firstgid": 2, "name": "tall", "image": "t.bmp", "tilewidth": 8, "tileheight": 16}],
    "layers": [{"type": "tilelayer", "name": "Floor", "width": 2, "height": 1, "data": [0, 0]}]})");
  map.merge_patch(changes);
  return map;
}

TEST(PackTiledSheets, RefusedMapsAndTilesTheGameCannotShowAreNamedOnceAndFillNamesTheBlank) {
  TempDir src;
  Picture pic{8, 16, std::vector<uint32_t>(128, 0xFF336699u)};
  WriteFile(src.path() / "t.bmp", BmpBytes(pic));
  const std::map<std::string, Json> maps = {
      {"iso", {{"orientation", "isometric"}, {"infinite", true}}},
      {"stagger", {{"orientation", "staggered"}}},
      {"hex", {{"orientation", "hexagonal"}}},
      {"endless", {{"infinite", true}}},
      {"tall",
       {{"layers",
         {{{"type", "tilelayer"},
           {"name", "Floor"},
           {"width", 2},
           {"height", 1},
           {"data", {2, 2}}}}}}},
      {"fill", {{"properties", {{{"name", "fill"}, {"type", "int"}, {"value", 1}}}}}}};
  for (const auto& [name, changes] : maps)
    WriteFile(src.path() / (name + ".tmj"), Pretty(SheetMap(changes)));
  Report report;
  const FileSet built = CompileSources(src.path(), report);
  std::map<std::string, std::vector<std::string>> said;
  for (const Diagnostic& d : report.Items()) said[d.file].push_back(Format(d));
  const auto only = [&](const std::string& file, const std::string& text) {
    ASSERT_EQ(said[file].size(), 1u) << Joined(report);
    EXPECT_NE(said[file][0].find(text), std::string::npos) << said[file][0];
  };
  only("iso.tmj",
       "orientation: 'isometric' maps cannot be built: the game draws orthogonal maps only");
  only("stagger.tmj", "'staggered' maps cannot be built");
  only("hex.tmj", "'hexagonal' maps cannot be built");
  only("endless.tmj", "infinite: infinite maps cannot be built; give the map a fixed size");
  only("tall.tmj",
       "layer 'Floor': 2 cells (row 1, column 1; row 1, column 2): tile 2 is 8 x 16 pixels; the "
       "map's tiles are 8 x 8");
  only("fill.tmj",
       "warning: layer 'Floor': has 2 cells (row 1, column 1; row 1, column 2) without a tile, "
       "shown as tile 1 (map property 'fill')");
  EXPECT_EQ(said.size(), 6u) << Joined(report);  // "no layer is named 'tiles'" only with several
  MapFileData map;
  TileSheetFile sheet;
  ASSERT_EQ(ReadMapFile(built.at("fill.map"), map), LoadStatus::Ok);
  ASSERT_EQ(ReadTileSheetFile(built.at("fill.til"), 1.0f, sheet), LoadStatus::Ok);
  EXPECT_EQ(map.tiles, (std::vector<int16_t>{1, 1}));
  EXPECT_EQ(map.tilemapFile, "fill.til");
  EXPECT_EQ(map.doodadmapFile, "");   // no layer above the ground: no doodad sheet
  EXPECT_EQ(sheet.tiles.size(), 2u);  // the two tiles, no blank added
  EXPECT_EQ(sheet.picture, "fill-tiles.bmp");
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
  EXPECT_NE(all.find("chars.json:7: character 2 'Bob': HPP: unknown field (did you mean 'HP'?); the "
                     "fields are NAME, HP, MAXHP,"), std::string::npos) << all;
  const std::string mapText = test::ReadFile(src.path() / "maps/town.tmj");
  // The tile layer's data has one row per line; find the line of row 3.
  const auto rowLine = [&](const std::string& row) {
    return 1 + std::count(mapText.begin(), mapText.begin() + static_cast<long>(mapText.find(row)), '\n');
  };
  EXPECT_NE(all.find("maps/town.tmj:" + std::to_string(rowLine("0,1,4")) +
                     ": layer 'Tiles': has 1 cell (row 3, column 1) without a tile; every cell "
                     "needs one"),
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
  EXPECT_NE(all.find("invalid JSON: values are nested more than 100 deep"),
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

// Scripts as modern editors save them: UTF-8 with or without its mark, any
// line ends. The build writes the game's 8-bit text with CR LF ends and names
// what it cannot store at its line and column; `check` on a game folder
// warns at a line that still holds UTF-8.
TEST(PackScripts, TextFromAnyEditorBuildsToTheGamesBytesOrIsNamedWhereItIs) {
  TempDir src;
  WriteFile(src.path() / "bom.skr",
            "\xEF\xBB\xBF"
            "BEGIN\nMSG \"\xC3\x89lodie\xE2\x80\x99s caf\xC3\xA9\"\nEND\n");
  WriteFile(src.path() / "plain.skr", "BEGIN\r\nMSG \"na\xC3\xAFve\"\r\nEND\r\n");
  WriteFile(src.path() / "old.skr", "BEGIN\rMSG \"caf\xE9\"\rEND\r");  // Windows-1252, CR only
  WriteFile(src.path() / "mixed.skr", "BEGIN\r\nMSG \"a\"\nEND\r");
  Report report;
  FileSet files = CompileSources(src.path(), report);
  std::string all = Joined(report);
  EXPECT_EQ(report.ErrorCount(), 0) << all;
  EXPECT_EQ(files["bom.skr"], "BEGIN\r\nMSG \"\xC9lodie\x92s caf\xE9\"\r\nEND\r\n");
  EXPECT_EQ(files["plain.skr"], "BEGIN\r\nMSG \"na\xEFve\"\r\nEND\r\n");
  EXPECT_EQ(files["old.skr"], "BEGIN\r\nMSG \"caf\xE9\"\r\nEND\r\n");
  EXPECT_EQ(files["mixed.skr"], "BEGIN\r\nMSG \"a\"\r\nEND\r\n");
  EXPECT_NE(all.find("old.skr: warning: had CR-only line ends"), std::string::npos) << all;
  EXPECT_NE(all.find("mixed.skr: warning: had mixed line ends (1 CR LF, 1 LF, 1 CR)"),
            std::string::npos)
      << all;
  EXPECT_EQ(report.WarningCount(), 2) << all;  // LF-only ends are the norm: converted quietly

  WriteFile(src.path() / "snow.skr", "BEGIN\nMSG \"ok\"\nMSG \"a \xE2\x98\x83 here\"\nEND\n");
  Report refused;
  CompileSources(src.path(), refused);
  all = Joined(refused);
  EXPECT_EQ(refused.ErrorCount(), 1) << all;
  EXPECT_NE(all.find("snow.skr:3: column 8: '\xE2\x98\x83' (U+2603) cannot be stored"),
            std::string::npos)
      << all;

  TempDir game;
  WriteFile(game.path() / "autoexec.skr", "BEGIN\r\nMSG \"ok\"\r\nMSG \"caf\xC3\xA9\"\r\nEND\r\n");
  WriteFile(game.path() / "Door.skr", "BEGIN\r\nEND\r\n");
  WriteFile(game.path() / "door.SKR", "BEGIN\r\nEND\r\n");
  Report checked;
  CheckGame(game.path(), game.path(), checked);
  all = Joined(checked);
  EXPECT_NE(all.find("autoexec.skr:3: warning: the text looks like UTF-8, which the game shows as "
                     "'MSG \"caf\xC3\x83\xC2\xA9\"'"),
            std::string::npos)
      << all;
  EXPECT_NE(all.find(": warning: differs from another script's name only in letter case"),
            std::string::npos)
      << all;
}

}  // namespace yw::pack
