// Reading the authoring tool's sources: JSON mistakes are named once, at
// the place to fix and in plain words; tile layer data is held packed and
// still names each cell's line.
#include <gtest/gtest.h>

#include <map>

#include "diagnostics.h"
#include "game_build.h"
#include "json_doc.h"
#include "script/script_engine.h"
#include "sim/game_files.h"
#include "test_support.h"
#include "tiled_sheets.h"
#include "tiled_xml.h"
#include "world/data_files.h"

namespace yw::pack {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::WriteFile;

TEST(PackJsonErrors, EachMistakeIsNamedOnceAtItsLineAndColumnInPlainWords) {
  TempDir src;
  // file -> (text, the one message expected)
  const std::map<std::string, std::pair<std::string, std::string>> cases = {
      {"comma.json",
       {"{\"kind\": \"items\",\n \"items\": [\n  {\"NAME\": \"Sword\",\n   \"TYPE\": 1\n  "
        "{\"NAME\": \"Shield\"}\n ]\n}\n",
        "comma.json:4:13: invalid JSON: ',' or '}' is missing after this value ('{' follows on "
        "line 5)"}},
      {"trailing.json",
       {"{\"kind\": \"items\",\n \"items\": [\n  {\"NAME\": \"Sword\", \"TYPE\": 1,}\n ]\n}\n",
        "trailing.json:3:30: invalid JSON: a ',' may not follow the last value; remove it before "
        "'}'"}},
      {"quote.json",
       {"{\"kind\": \"items\",\n \"items\": [\n  {\"NAME\": \"Sword\n\"}]}\n",
        "quote.json:3:12: invalid JSON: this text is not closed on its line (a '\"' is missing)"}},
      {"open.json",
       {"{\"kind\": \"items\",\n \"items\": [\n  {\"NAME\": \"Sword\"}\n",
        "open.json:2:11: invalid JSON: this '[' is never closed: the file ends before its ']'"}},
      {"zero.json",
       {"{\"kind\": \"items\",\n \"items\": [{\"NAME\": \"S\", \"TYPE\": 01}]}",
        "zero.json:2:34: invalid JSON: '01': a number does not begin with 0 and more digits"}},
      {"single.json",
       {"{\"kind\": 'items'}",
        "single.json:1:10: invalid JSON: texts are written in double "
        "quotes (\"), not single ones (')"}},
      {"comment.json",
       {"{\"kind\": \"items\", // the shop\n \"items\": []}",
        "comment.json:1:19: invalid JSON: JSON has no comments"}},
      {"word.json",
       {"{\"kind\": \"items\",\n\n \"items\": [], \"on\": True}",
        "word.json:3:21: invalid JSON: 'True' is written 'true' in JSON"}},
      {"key.json",
       {"{kind: \"items\"}",
        "key.json:1:2: invalid JSON: a field name is written in double quotes: "
        "\"kind\""}},
      {"colon.json",
       {"{\"kind\" \"items\"}",
        "colon.json:1:8: invalid JSON: ':' is missing after the field name "
        "\"kind\""}},
      {"escape.json",
       {"{\"kind\": \"a\\qb\"}",
        "escape.json:1:12: invalid JSON: '\\q' is not an escape JSON knows"}},
      {"extra.json",
       {"{\"kind\": \"items\", \"items\": []}\n}",
        "extra.json:2:1: invalid JSON: '}' follows after the end of the value "
        "that begins on line 1; a file holds one value"}},
      {"empty.json", {"\n", "empty.json:1:1: invalid JSON: the file is empty"}},
      {"latin1.json",
       {"{\"kind\": \"items\",\n \"items\": [{\"NAME\": \"Caf\xe9\"}]}",
        "latin1.json:2:25: invalid JSON: this text is not UTF-8; save the file "
        "as UTF-8"}},
      {"curly.json",
       {"{\"kind\": \xe2\x80\x9citems\xe2\x80\x9d}",
        "curly.json:1:10: invalid JSON: curly quotes"}},
      {"value.json",
       {"{\"kind\": \"items\",\n \"items\": }",
        "value.json:2:11: invalid JSON: the field \"items\" has no value"}},
  };
  for (const auto& [name, c] : cases) WriteFile(src.path() / name, c.first);
  Report report;
  CompileSources(src.path(), report);
  std::map<std::string, std::vector<std::string>> byFile;
  for (const Diagnostic& d : report.Items()) byFile[d.file].push_back(Format(d));
  for (const auto& [name, c] : cases) {
    ASSERT_EQ(byFile[name].size(), 1u) << name;
    const std::string& got = byFile[name][0];
    EXPECT_EQ(got.rfind(c.second, 0), 0u) << got;
    // Nothing of the parser's own wording, and no second place.
    EXPECT_EQ(got.find("parse error"), std::string::npos) << got;
    EXPECT_EQ(got.find("column"), std::string::npos) << got;
  }
}

TEST(PackJsonErrors, ATilesetThatIsNotJsonIsNamedWithItsLineAndColumn) {
  TempDir src;
  WriteFile(src.path() / "room.tmj", R"({"type": "map", "orientation": "orthogonal",
    "width": 1, "height": 1, "tilewidth": 16, "tileheight": 16,
    "tilesets": [{"firstgid": 1, "source": "t.tsj"}],
    "layers": [{"type": "tilelayer", "name": "tiles", "width": 1, "height": 1, "data": [1]}]})");
  WriteFile(src.path() / "t.tsj", "{\"type\": \"tileset\",\n \"name\": \"t\"\n \"tilewidth\": 16}");
  Report report;
  CompileSources(src.path(), report);
  ASSERT_EQ(report.Items().size(), 1u);
  EXPECT_EQ(Format(report.Items()[0]),
            "room.tmj:3: tileset 1: the tileset 't.tsj' cannot be read: line 2, column 13: ',' or "
            "'}' is missing after this value (a text follows on line 3)");
}

TEST(PackLayerData, LayersArePackedAndStillNameTheLineOfEachCell) {
  // Ids beyond 16 bits (a flipped tile) widen the packing; every value and
  // its line survive.
  const JsonDoc doc =
      ParseJson("{\"layers\": [{\"data\": [1, 2,\n 70000, 2147483649,\n 0]}, {\"data\": []}]}");
  ASSERT_TRUE(doc.Ok()) << doc.error;
  const PackedIds ids = PackedIds::Of(doc.root["layers"][0]["data"]);
  ASSERT_EQ(ids.size(), 5u);
  EXPECT_EQ(ids[0], 1u);
  EXPECT_EQ(ids[2], 70000u);
  EXPECT_EQ(ids[3], 2147483649u);
  EXPECT_EQ(ids[4], 0u);
  EXPECT_EQ(doc.LineOf("/layers/0/data/1"), 1);
  EXPECT_EQ(doc.LineOf("/layers/0/data/3"), 2);
  EXPECT_EQ(doc.LineOf("/layers/0/data/4"), 3);
  EXPECT_TRUE(doc.root["layers"][1]["data"].is_array());

  // A value that is no tile id keeps the list as written, so that the build
  // names it at its line, in JSON and in a TMX CSV layer alike.
  TempDir src;
  WriteFile(
      src.path() / "room.tmj",
      "{\"type\": \"map\", \"orientation\": \"orthogonal\", \"width\": 2, \"height\": 2,\n"
      " \"tilewidth\": 16, \"tileheight\": 16,\n"
      " \"properties\": [{\"name\": \"tilemap\", \"type\": \"string\", \"value\": \"t.til\"}],\n"
      " \"tilesets\": [{\"firstgid\": 1, \"name\": \"t\"}],\n"
      " \"layers\": [{\"type\": \"tilelayer\", \"name\": \"tiles\", \"width\": 2, \"height\": 2,\n"
      "  \"data\": [1, 1,\n"
      "           1, \"x\"]}]}\n");
  WriteFile(src.path() / "cave.tmx",
            "<?xml version=\"1.0\"?>\n"
            "<map orientation=\"orthogonal\" width=\"2\" height=\"2\" tilewidth=\"16\" "
            "tileheight=\"16\">\n"
            " <properties><property name=\"tilemap\" value=\"t.til\"/></properties>\n"
            " <tileset firstgid=\"1\" name=\"t\"/>\n"
            " <layer name=\"tiles\" width=\"2\" height=\"2\">\n"
            "  <data encoding=\"csv\">\n"
            "1,1,\n"
            "-1,1\n"
            "</data>\n"
            " </layer>\n"
            "</map>\n");
  Report report;
  CompileSources(src.path(), report);
  std::string all;
  for (const Diagnostic& d : report.Items()) all += Format(d) + "\n";
  EXPECT_NE(all.find("room.tmj:7: layer 'tiles': holds \"x\", not a tile id"), std::string::npos)
      << all;
  EXPECT_NE(all.find("cave.tmx:8: layer 'tiles': holds -1, not a tile id"), std::string::npos)
      << all;
}

// A room of 4 x 2 cells over a tileset of four tiles, with `objects` on its
// event layer, written one object a line.
std::string RoomWith(const std::vector<std::string>& objects, int width = 4) {
  std::string text =
      "{\"type\": \"map\", \"orientation\": \"orthogonal\", \"width\": " + std::to_string(width) +
      ", \"height\": 2,\n"
      " \"tilewidth\": 16, \"tileheight\": 16,\n"
      " \"tilesets\": [{\"firstgid\": 1, \"name\": \"t\", \"image\": \"t.bmp\", \"tilewidth\": 16,"
      " \"tileheight\": 16, \"tilecount\": 4, \"columns\": 4},\n"
      "              {\"firstgid\": 5, \"source\": \"units.tsj\"}],\n"
      " \"layers\": [{\"type\": \"tilelayer\", \"name\": \"tiles\", \"width\": " +
      std::to_string(width) + ", \"height\": 2, \"data\": [";
  for (int i = 0; i < width * 2; ++i) text += i ? ",1" : "1";
  text += "]},\n  {\"type\": \"objectgroup\", \"name\": \"events\", \"objects\": [\n";
  for (size_t i = 0; i < objects.size(); ++i) text += (i ? ",\n   " : "   ") + objects[i];
  return text + "]}]}\n";
}

void WriteArt(const fs::path& dir) {
  WriteFile(dir / "t.bmp", BmpBytes(Picture{64, 16, std::vector<uint32_t>(64 * 16, 0xFF204060u)}));
  WriteFile(dir / "u.bmp", BmpBytes(Picture{32, 16, std::vector<uint32_t>(32 * 16, 0xFF604020u)}));
  WriteFile(dir / "units.tsj", R"({"type": "tileset", "name": "units", "image": "u.bmp",
    "tilewidth": 16, "tileheight": 16, "tilecount": 2, "columns": 2})");
  WriteFile(dir / "autoexec.skr", "BEGIN\r\nLOADEVENTS \"room.evm\" \\ ALLES\r\nEND\r\n");
}

EventmapFileData BuiltEvents(const fs::path& game) {
  EventmapFileData ev;
  EXPECT_EQ(ReadEventmapFile(test::ReadFile(game / "room.evm"), ev), LoadStatus::Ok);
  return ev;
}

TEST(PackTiledTemplates, ObjectsFromTemplatesCarryTheirPropertiesAndMayOverrideThem) {
  TempDir src, out;
  WriteArt(src.path());
  fs::create_directories(src.path() / "templates");
  // TX as Tiled writes it, with its tile object's tileset beside it.
  WriteFile(src.path() / "templates" / "rat.tx",
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<template>\n"
            " <tileset firstgid=\"1\" source=\"../units.tsj\"/>\n"
            " <object name=\"rat\" gid=\"2\" width=\"16\" height=\"16\">\n"
            "  <properties>\n"
            "   <property name=\"use\" value=\"rat.skr\"/>\n"
            "   <property name=\"obstacle\" type=\"bool\" value=\"true\"/>\n"
            "  </properties>\n"
            " </object>\n"
            "</template>\n");
  WriteFile(src.path() / "templates" / "door.tj",
            R"({"type": "template", "object": {"name": "door", "width": 16, "height": 16,
               "properties": [{"name": "enter", "type": "string", "value": "door.skr"}]}})");
  for (const char* s : {"rat.skr", "door.skr", "cellar.skr"})
    WriteFile(src.path() / s, "BEGIN\r\nEND\r\n");
  WriteFile(src.path() / "room.tmj",
            RoomWith({R"({"id": 1, "template": "templates/rat.tx", "x": 0, "y": 16})",
                      R"({"id": 2, "template": "templates/door.tj", "x": 32, "y": 0})",
                      R"({"id": 3, "template": "templates/door.tj", "x": 48, "y": 0,
                          "properties": [{"name": "enter", "type": "string", "value": "cellar.skr"}]})"}));
  Report report;
  ASSERT_TRUE(BuildGame(src.path(), out.path(), report)) << report.Items().size();
  EXPECT_EQ(report.Items().size(), 0u);
  const EventmapFileData ev = BuiltEvents(out.path());
  // The rat is a tile object standing on its bottom-left corner: cell (1, 1).
  EXPECT_EQ(ev.cells[0].USESCRIPT, "rat.skr");
  EXPECT_FALSE(ev.cells[0].passable);
  EXPECT_EQ(ev.cells[2].ENTERSCRIPT, "door.skr");
  EXPECT_EQ(ev.cells[3].ENTERSCRIPT, "cellar.skr");    // the object's own property wins
  EXPECT_FALSE(fs::exists(out.path() / "templates"));  // templates are for authoring only
}

TEST(PackTiledTemplates, AMissingOrBrokenTemplateIsNamedAtItsObject) {
  TempDir src, out;
  WriteArt(src.path());
  WriteFile(src.path() / "bad.tj", "{\"type\": \"template\",\n \"object\": {\"name\": \"x\",}}");
  WriteFile(src.path() / "other.tj", R"({"type": "template", "tileset": {"firstgid": 1,
    "source": "elsewhere.tsj"}, "object": {"gid": 1, "width": 16, "height": 16}})");
  WriteFile(src.path() / "room.tmj",
            RoomWith({R"({"id": 1, "template": "rat.tx", "x": 0, "y": 0})",
                      R"({"id": 2, "template": "bad.tj", "x": 16, "y": 0})",
                      R"({"id": 3, "template": "other.tj", "x": 32, "y": 16})"}));
  Report report;
  EXPECT_FALSE(BuildGame(src.path(), out.path(), report));
  std::string all;
  for (const Diagnostic& d : report.Items()) all += Format(d) + "\n";
  for (const char* line :
       {"room.tmj:7: layer 'events' object 1: template: the template 'rat.tx' cannot be read: "
        "there is no such file",
        "room.tmj:8: layer 'events' object 2: template: the template 'bad.tj' cannot be read: "
        "line 2, column 24: a ',' may not follow the last value",
        "room.tmj:9: layer 'events' object 3: template: the template 'other.tj' shows a tile of "
        "the tileset 'elsewhere.tsj', which the map does not use"})
    EXPECT_NE(all.find(line), std::string::npos) << line << "\n" << all;
  EXPECT_TRUE(fs::is_empty(out.path()));
}

TEST(PackFightScenes, AFightMapNarrowerThanWhereFightersArriveIsWarnedAbout) {
  TempDir src, out;
  WriteArt(src.path());
  // 320 pixels of 16-pixel tiles at zoom 1: 20 columns; fighters arrive on 21.
  WriteFile(src.path() / "yarrowind.ini", "[main]\r\nScreenWidth=320\r\nZoom=1\r\n");
  WriteFile(src.path() / "autoexec.skr",
            "BEGIN\r\nLOADEVENTS \"room.evm\" \\ ALLES\r\n' a fight\r\n  FIGHTINIT \"ROOM.MAP\"\r\n"
            "FIGHTINIT \"wide.map\"\r\nEND\r\n");
  WriteFile(src.path() / "room.tmj", RoomWith({}, 20));
  WriteFile(src.path() / "wide.tmj", RoomWith({}, 21));
  Report report;
  ASSERT_TRUE(BuildGame(src.path(), out.path(), report));
  ASSERT_EQ(report.Items().size(), 1u);
  EXPECT_EQ(Format(report.Items()[0]),
            "room.tmj:1: warning: width: 20 columns: fighters arrive on column 21, just right of "
            "the 20 the screen shows (ScreenWidth 320 at Zoom 1), so on this fight scene "
            "(FIGHTINIT in autoexec.skr line 4) they stand off the map; make it at least 21 "
            "columns wide");
}

TEST(PackFileNames, AMapNamingCafeSkrFindsTheScriptAndTheGameRunsIt) {
  TempDir src, out;
  WriteArt(src.path());
  WriteFile(src.path() / "caf\xc3\xa9.skr", "BEGIN\r\nMSG \"caf\xc3\xa9\"\r\nEND\r\n");
  WriteFile(src.path() / "room.tmj",
            RoomWith({R"({"id": 1, "x": 0, "y": 0, "width": 16, "height": 16, "properties":
                         [{"name": "enter", "type": "string", "value": "CAFÉ.skr"}]})"}));
  Report report;
  ASSERT_TRUE(BuildGame(src.path(), out.path(), report));
  EXPECT_EQ(report.Items().size(), 0u);  // the check finds the script
  EXPECT_EQ(BuiltEvents(out.path()).cells[0].ENTERSCRIPT, "CAF\xc9.skr");
  // The script keeps the name the disk gave it, which the game reads as
  // its Windows-1252 name; its text is converted.
  EXPECT_EQ(test::ReadFile(out.path() / "caf\xc3\xa9.skr"), "BEGIN\r\nMSG \"caf\xe9\"\r\nEND\r\n");
  test::TestEngine t;
  t.engine.CurrentDir = out.path();
  ASSERT_TRUE(LoadScripts(t.engine));
  RunScript(t.engine, BuiltEvents(out.path()).cells[0].ENTERSCRIPT);
  EXPECT_EQ(t.engine.world.ScriptDepth, 1);
}

}  // namespace
}  // namespace yw::pack
