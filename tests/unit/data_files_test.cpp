#include "world/data_files.h"

#include <filesystem>
#include <random>
#include <utility>

#include "byte_builder.h"
#include "sim/effects.h"
#include "test_support.h"
#include "world/game_files.h"

namespace yw {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::TestEngine;
using test::WriteFile;

// 20 Integers of a character record, 1..20 plus an offset.
Bytes& CharacterNumbers(Bytes& b, int base) {
  for (int i = 1; i <= 20; ++i) b.i16(base + i);
  return b;
}

class DataFiles : public ::testing::Test {
 protected:
  void Put(std::string_view name, std::string_view bytes) { WriteFile(t.dir.path() / name, bytes); }
  World& w() { return t.engine.world; }
  TestEngine t;
};

TEST_F(DataFiles, CharactersReadInFileOrder) {
  Bytes b;
  b.u8(1).name("units.ddm  ").name("Ada");
  CharacterNumbers(b, 0);
  b.name(std::string(255, 'x'));
  CharacterNumbers(b, 100).u8(0);
  Put("chars.dat", b);
  Put("units.ddm", Bytes().u8(1).name("units.bmp").ints(1, 2, 3, 4, 5, 6, 1).ints(0, 0, 0, 0, 0, 0, 0));
  ASSERT_TRUE(LoadCharacters(t.engine));
  EXPECT_EQ(w().UnitDoodadmapFile, "units.ddm");
  ASSERT_EQ(w().CharacterCount, 2);
  const Character& c = w().Characters[1];
  EXPECT_EQ(c.NAME, "Ada");
  // HP, MAXHP, MP, MAXMP, EP, STR, WIS, CON, DEX, INI, STDWEP, STDARM,
  // DOODOWN, DOOLEFT, DOORIGHT, DOOUP, then the four animations.
  const std::vector<int16_t> got = {c.HP,     c.MAXHP,   c.MP,         c.MAXMP,      c.EP,
                                    c.STR,    c.WIS,     c.CON,        c.DEX,        c.INI,
                                    c.STDWEP, c.STDARM,  c.DOODOWN,    c.DOOLEFT,    c.DOORIGHT,
                                    c.DOOUP,  c.DOODOWNANI, c.DOOLEFTANI, c.DOORIGHTANI, c.DOOUPANI};
  for (int i = 0; i < 20; ++i) EXPECT_EQ(got[i], i + 1) << "field " << i;
  EXPECT_EQ(c.WEP, 0);
  EXPECT_EQ(c.ARM, 0);
  EXPECT_EQ(w().Characters[2].NAME.size(), 255u);
  EXPECT_EQ(w().Characters[2].HP, 101);
  EXPECT_EQ(w().UnitPicture, "units.bmp");
  EXPECT_EQ(w().UnitDefCount, 1);
  EXPECT_EQ(w().UnitFrames[1], w().UnitDefs[1]);
}

TEST_F(DataFiles, MinimalCharacterFileClearsUnits) {
  w().UnitDefCount = 1;
  w().UnitPicture = "old.bmp";
  w().CharacterCount = 1;
  w().Characters[1].NAME = "old";
  Put("chars.dat", std::string("\x01\x00\x00", 3));
  ASSERT_TRUE(LoadCharacters(t.engine));
  EXPECT_EQ(w().CharacterCount, 0);
  EXPECT_EQ(w().Characters[1].NAME, "");
  EXPECT_EQ(w().UnitDefCount, 0);
  EXPECT_EQ(w().UnitPicture, "");
}

TEST_F(DataFiles, AbsentTablesAreNoErrorAndWrongVersionChangesNothing) {
  w().CharacterCount = 1;
  w().Characters[1].NAME = "kept";
  ASSERT_TRUE(LoadItems(t.engine));
  EXPECT_EQ(w().ItemCount, 0);
  Put("chars.dat", std::string("\x02\x00\x00", 3));
  EXPECT_FALSE(LoadCharacters(t.engine));
  EXPECT_EQ(w().Characters[1].NAME, "kept");
  fs::remove(t.dir.path() / "chars.dat");
  ASSERT_TRUE(LoadCharacters(t.engine));
  EXPECT_EQ(w().CharacterCount, 0);
}

TEST_F(DataFiles, ItemsFieldsVisibleByteAndTrimmedSheetName) {
  Bytes b;
  b.u8(1).name("items.ddm   ");
  b.name("Sword").u8(1).i16(250).u8(2).name("swing.skr").name("slash.skr").i16(3).i16(7);
  b.name("Rock").u8(5).i16(-1).u8(0).name("").name("").i16(0).i16(0);
  b.u8(0);
  Put("ITEMS.DAT", b);
  Put("Items.DDM", Bytes().u8(1).name("").ints(0, 0, 0, 0, 0, 0, 0));
  ASSERT_TRUE(LoadItems(t.engine));
  EXPECT_EQ(w().ItemDoodadmapFile, "items.ddm");
  ASSERT_EQ(w().ItemCount, 2);
  const Item& sword = w().Items[1];
  EXPECT_EQ(sword.NAME, "Sword");
  EXPECT_EQ(sword.TYPE, 1);
  EXPECT_EQ(sword.VALUE, 250);
  EXPECT_TRUE(sword.VISIBLE);
  EXPECT_EQ(sword.SCRIPT, "swing.skr");
  EXPECT_EQ(sword.FIGHTSCRIPT, "slash.skr");
  EXPECT_EQ(sword.NUMBER, 3);
  EXPECT_EQ(sword.DOODAD, 7);
  EXPECT_FALSE(w().Items[2].VISIBLE);
  EXPECT_EQ(w().Items[2].VALUE, -1);
}

TEST_F(DataFiles, DoodadmapScalesAndEndsOnZerosAfterScaling) {
  w().Zoom = 0.5f;
  // 1 x 0.5 = 0.5 rounds to 0 (halves to even), 3 x 0.5 = 1.5 rounds to 2.
  Put("sprites.ddm", Bytes()
                         .u8(1)
                         .name("sheet")
                         .ints(3, 5, 7, 9, 64, 32, 2)
                         .ints(1, 1, 1, 1, 1, 1, 0)  // scales to all zeros
                         .ints(10, 10, 10, 10, 10, 10, 1));
  ASSERT_TRUE(LoadSpriteDefs(t.engine, "sprites.ddm", 0));
  ASSERT_EQ(w().DoodadDefCount, 1);
  EXPECT_EQ(w().DoodadDefs[1], (SpriteDef{2, 2, 4, 4, 32, 16, 2}));
  EXPECT_EQ(w().DoodadPicture, "sheet");
  EXPECT_EQ(w().DoodadmapFile, "sprites.ddm");

  Put("empty.ddm", Bytes().u8(1).name("").ints(0, 0, 0, 0, 0, 0, 0));
  ASSERT_TRUE(LoadSpriteDefs(t.engine, "empty.ddm", 2));
  EXPECT_EQ(w().ItemDefCount, 0);
  EXPECT_EQ(w().ItemPicture, "");
}

TEST_F(DataFiles, TilemapEndsAtNextZeroOrAtTheEndOfTheData) {
  w().Zoom = 2.0f;
  Put("a.tlm", Bytes().u8(1).name("tiles").ints(16, 8).ints(0, 0, 1, 16, 0, 1).ints(0, 0, 0));
  ASSERT_TRUE(LoadTileDefs(t.engine, "a.tlm"));
  EXPECT_EQ(w().TileWidth, 32);
  EXPECT_EQ(w().TileHeight, 16);
  ASSERT_EQ(w().TileDefCount, 2);
  EXPECT_EQ(w().TileDefs[2], (TileDef{32, 0, 1}));
  EXPECT_EQ(w().TilemapFile, "a.tlm");

  Put("b.tlm", Bytes().u8(1).name("tiles").ints(16, 16).ints(0, 0, 2).ints(16, 0, 1));
  ASSERT_TRUE(LoadTileDefs(t.engine, "b.tlm"));
  ASSERT_EQ(w().TileDefCount, 2);
  EXPECT_EQ(w().TileDefs[2], (TileDef{32, 0, 1}));
  EXPECT_EQ(w().TileDefs.Size(), 2);
  EXPECT_EQ(w().TileFrames.Size(), 2);
}

TEST_F(DataFiles, MapTilesAreReadRowByRow) {
  Put("t.map", Bytes().u8(1).name("").name("").ints(3, 2).ints(1, 2, 3, 4, 5, 6)
                   .ints(3, 2, 9).ints(0, 0, 0));
  ASSERT_TRUE(LoadMapFile(t.engine, "t.map", false));
  EXPECT_EQ(w().MapWidth, 3);
  EXPECT_EQ(w().MapHeight, 2);
  int expected = 1;
  for (int y = 1; y <= 2; ++y)
    for (int x = 1; x <= 3; ++x) EXPECT_EQ(w().MapTiles(x, y).TILE, expected++);
  EXPECT_EQ(w().MapTiles(3, 2).DOODAD, 9);
  EXPECT_EQ(w().MapTiles(1, 1).DOODAD, 0);
  EXPECT_EQ(w().MapFile, "t.map");
}

TEST_F(DataFiles, MapWithoutLinksKeepsTheLinkedData) {
  w().TilemapFile = "keep.tlm";
  w().DoodadmapFile = "keep.ddm";
  w().TileDefCount = 1;
  w().TileDefs[1] = {4, 4, 1};
  w().DoodadDefCount = 1;
  w().DoodadDefs[1].width = 5;
  Put("t.map", Bytes().u8(1).name("other.tlm").name("other.ddm").ints(1, 1).ints(1).ints(0, 0, 0));
  ASSERT_TRUE(LoadMapFile(t.engine, "t.map", false));
  EXPECT_EQ(w().TilemapFile, "keep.tlm");
  EXPECT_EQ(w().DoodadmapFile, "keep.ddm");
  EXPECT_EQ(w().TileDefs[1], (TileDef{4, 4, 1}));
  EXPECT_EQ(w().DoodadDefs[1].width, 5);
}

TEST_F(DataFiles, MapWithLinksLoadsItsSheets) {
  Put("Maps/Town.map", Bytes().u8(1).name("maps\\town.tlm").name("MAPS\\TOWN.DDM").ints(1, 1).ints(1)
                           .ints(0, 0, 0));
  Put("Maps/town.tlm", Bytes().u8(1).name("town.bmp").ints(32, 32).ints(0, 0, 1).ints(0, 0, 0));
  Put("Maps/TOWN.ddm", Bytes().u8(1).name("doo.bmp").ints(0, 0, 32, 0, 32, 32, 1).ints(0, 0, 0, 0, 0, 0, 0));
  ASSERT_TRUE(LoadMapFile(t.engine, "maps\\town.map", true));
  EXPECT_EQ(w().TilemapFile, "maps\\town.tlm");
  EXPECT_EQ(w().TilePicture, "town.bmp");
  EXPECT_EQ(w().DoodadPicture, "doo.bmp");
  EXPECT_EQ(w().DoodadDefCount, 1);

  // The loaded map's doodads cover the cells their pictures reach, exactly
  // as a relink of the whole map would have them.
  Put("tall.map", Bytes()
                      .u8(1)
                      .name("maps\\town.tlm")
                      .name("maps\\town.ddm")
                      .ints(2, 3)
                      .ints(1, 1, 1, 1, 1, 1)
                      .ints(1, 3, 1)
                      .ints(0, 0, 0));
  Put("Maps/town.ddm",
      Bytes().u8(1).name("doo.bmp").ints(0, 0, 32, 0, 32, 64, 1).ints(0, 0, 0, 0, 0, 0, 0));
  ASSERT_TRUE(LoadMapFile(t.engine, "tall.map", true));
  auto links = [&] {
    std::vector<std::pair<int, int>> all;
    for (int y = 1; y <= w().MapHeight; ++y)
      for (int x = 1; x <= w().MapWidth; ++x) {
        const CoverLinks::Link link = w().DoodadLinks.At(x, y);
        all.emplace_back(link.x, link.y);
      }
    return all;
  };
  const auto loaded = links();
  EXPECT_EQ(loaded[0], (std::pair{1, 3}));  // two rows up from its own cell
  DooReLink(t.engine);
  EXPECT_EQ(loaded, links());

  // A linked sheet that fails leaves the new tile layer and fails the map.
  Put("bad.map", Bytes().u8(1).name("missing.tlm").name("").ints(2, 1).ints(7, 7).ints(0, 0, 0));
  EXPECT_FALSE(LoadMapFile(t.engine, "bad.map", true));
  EXPECT_EQ(w().MapWidth, 2);
  EXPECT_EQ(w().MapTiles(2, 1).TILE, 7);
}

TEST_F(DataFiles, TileZeroFailsTheMapKeepingTheCellsBefore) {
  w().MapFile = "old.map";
  Put("z.map", Bytes().u8(1).name("").name("").ints(2, 2).ints(5, 6, 0, 8).ints(0, 0, 0));
  EXPECT_FALSE(LoadMapFile(t.engine, "z.map", false));
  EXPECT_EQ(w().MapWidth, 2);
  EXPECT_EQ(w().MapTiles(1, 1).TILE, 5);
  EXPECT_EQ(w().MapTiles(2, 1).TILE, 6);
  EXPECT_EQ(w().MapTiles(1, 2).TILE, 0);
  EXPECT_EQ(w().MapFile, "old.map");
}

TEST_F(DataFiles, EventmapCellsFlagsAndZeroSize) {
  Bytes b;
  b.u8(1).name("town.map").ints(2, 1);
  b.name("enter").name("leave").name("use").name("push").u8(1).u8(2);
  b.name("").name("").name("").name("").u8(2).u8(1);
  Put("town.evm", b);
  w().MapFile = "current.map";
  ASSERT_TRUE(LoadEventmapFile(t.engine, "town.evm", false));
  const EventCell& c = w().MapEvents(1, 1);
  EXPECT_EQ(c.ENTERSCRIPT, "enter");
  EXPECT_EQ(c.LEAVESCRIPT, "leave");
  EXPECT_EQ(c.USESCRIPT, "use");
  EXPECT_EQ(c.PUSHSCRIPT, "push");
  EXPECT_TRUE(c.passable);
  EXPECT_FALSE(c.BOX);  // only a Byte of 1 is true
  EXPECT_FALSE(w().MapEvents(2, 1).passable);
  EXPECT_TRUE(w().MapEvents(2, 1).BOX);
  EXPECT_EQ(w().EventmapFile, "town.evm");
  EXPECT_EQ(w().EventmapMapFile, "current.map");

  Put("none.evm", Bytes().u8(1).name("other.map").ints(0, 5));
  ASSERT_TRUE(LoadEventmapFile(t.engine, "none.evm", false));
  EXPECT_EQ(w().MapEvents(1, 1).ENTERSCRIPT, "enter");
  EXPECT_EQ(w().EventmapFile, "none.evm");
}

// Alike cells share one stored entry; changing one of them (as CHANGE does)
// must leave its twins alone. A record cut short fails the load and keeps
// the layer there was.
TEST_F(DataFiles, AlikeEventCellsChangeAloneAndACutRecordKeepsTheOldLayer) {
  Bytes b;
  b.u8(1).name("town.map").ints(3, 2);
  for (int i = 0; i < 6; ++i) {
    b.name(i % 2 ? "door.skr" : "").name("").name("").name("");
    b.u8(1).u8(0);
  }
  Put("town.evm", b);
  ASSERT_TRUE(LoadEventmapFile(t.engine, "town.evm", false));
  EXPECT_LE(w().MapEvents.Cells().EntryCount(), 3u);
  w().MapEvents.Find(2, 1)->ENTERSCRIPT = "changed.skr";
  w().MapEvents.Find(3, 1)->BOX = true;
  EXPECT_EQ(std::as_const(w()).MapEvents(2, 1).ENTERSCRIPT, "changed.skr");
  EXPECT_EQ(std::as_const(w()).MapEvents(1, 2).ENTERSCRIPT, "door.skr");
  EXPECT_EQ(std::as_const(w()).MapEvents(3, 2).ENTERSCRIPT, "door.skr");
  EXPECT_TRUE(std::as_const(w()).MapEvents(3, 1).BOX);
  EXPECT_FALSE(std::as_const(w()).MapEvents(1, 1).BOX);
  EXPECT_FALSE(std::as_const(w()).MapEvents(2, 2).BOX);

  Bytes cut;
  cut.u8(1).name("town.map").ints(2, 2);
  for (int i = 0; i < 3; ++i) cut.name("").name("").name("").name("").u8(1).u8(0);
  cut.name("").name("").u8(9);  // the fourth cell's third name runs past the end
  for (char c : std::string("abcde")) cut.u8(c);
  Put("cut.evm", cut);
  EXPECT_FALSE(LoadEventmapFile(t.engine, "cut.evm", false));
  EXPECT_EQ(w().MapEvents.Width(), 3);
  EXPECT_EQ(std::as_const(w()).MapEvents(2, 1).ENTERSCRIPT, "changed.skr");
}

// Layers mix runs of alike cells with cells of every record length: the
// reader matches the bytes ahead against records it has met, by whole
// words for short records, and must still give back each cell as written,
// up to the layer's last byte.
TEST_F(DataFiles, MixedEventLayerReadsBackCellForCell) {
  struct Kind {
    const char* enter;
    const char* use;
    uint8_t passable, box;
  };
  const Kind kinds[] = {{"", "", 1, 0},   {"", "", 0, 0},         {"", "", 1, 1},
                        {"", "", 2, 0},   {"ab", "", 1, 0},       {"abc", "", 0, 1},
                        {"a", "b", 1, 0}, {"door.skr", "x", 1, 0}};
  constexpr int kW = 37, kH = 23;
  std::mt19937 rng(7);
  std::vector<int> layout;
  while (layout.size() < kW * kH) {
    const int kind = static_cast<int>(rng() % std::size(kinds));
    layout.insert(layout.end(), 1 + rng() % 12, kind);
  }
  layout.resize(kW * kH);
  layout.back() = 0;  // a six-byte record right at the end of the data
  Bytes b;
  b.u8(1).name("town.map").ints(kW, kH);
  for (int k : layout)
    b.name(kinds[k].enter)
        .name("")
        .name(kinds[k].use)
        .name("")
        .u8(kinds[k].passable)
        .u8(kinds[k].box);
  Put("mixed.evm", b);
  ASSERT_TRUE(LoadEventmapFile(t.engine, "mixed.evm", false));
  for (int i = 0; i < kW * kH; ++i) {
    const Kind& k = kinds[layout[i]];
    const EventCell& c = std::as_const(w()).MapEvents(i % kW + 1, i / kW + 1);
    ASSERT_EQ(c.ENTERSCRIPT, k.enter) << "cell " << i;
    ASSERT_EQ(c.USESCRIPT, k.use) << "cell " << i;
    ASSERT_EQ(c.passable, k.passable == 1) << "cell " << i;
    ASSERT_EQ(c.BOX, k.box == 1) << "cell " << i;
  }
}

TEST_F(DataFiles, BlankNamesClear) {
  w().MapWidth = 4;
  w().MapHeight = 4;
  w().MapTiles.Reset(4, 4);
  w().TilemapFile = "x.tlm";
  w().TileDefCount = 1;
  w().TilePicture = "x";
  w().DoodadDefCount = 1;
  w().MapEvents.Reset(4, 4);
  w().EventmapFile = "x.evm";
  w().MapFile = "x.map";
  ASSERT_TRUE(LoadEventmapFile(t.engine, "  ", true));
  EXPECT_EQ(w().MapWidth, 0);
  EXPECT_EQ(w().MapTiles.Width(), 1);
  EXPECT_EQ(w().MapEvents.Width(), 1);
  EXPECT_EQ(w().TilemapFile, "");
  EXPECT_EQ(w().TileDefCount, 0);
  EXPECT_EQ(w().TilePicture, "");
  EXPECT_EQ(w().DoodadDefCount, 0);
  EXPECT_EQ(w().EventmapFile, "");
  EXPECT_EQ(w().MapFile, "x.map");
}

TEST_F(DataFiles, WritersRoundTripThroughTheLoaders) {
  MapFileData map{"t.tlm", "d.ddm", 2, 2, {1, 2, 2, 1}, {{2, 1, 1}, {1, 2, 1}}};
  TileSheetFile tiles{"tiles.bmp", 16, 16, {{0, 0, 2}, {16, 0, 1}}};
  SpriteSheetFile sprites{"d.bmp", {{0, 0, 16, 0, 16, 16, 1}}};
  EventmapFileData events{"t.map", 2, 2, {}};
  events.cells.resize(4);
  events.cells[3] = {"in", "out", "push", "use", true, true};
  Put("t.map", WriteMapFile(map));
  Put("t.tlm", WriteTileSheetFile(tiles));
  Put("d.ddm", WriteSpriteSheetFile(sprites));
  Put("t.evm", WriteEventmapFile(events));
  ASSERT_TRUE(LoadEventmapFile(t.engine, "T.EVM", true));
  EXPECT_EQ(w().MapFile, "t.map");
  EXPECT_EQ(w().MapTiles(2, 1).TILE, 2);
  EXPECT_EQ(w().MapTiles(1, 2).DOODAD, 1);
  EXPECT_EQ(w().TileDefs[2], tiles.tiles[1]);
  EXPECT_EQ(w().DoodadDefs[1], sprites.sprites[0]);
  EXPECT_EQ(w().MapEvents(2, 2), events.cells[3]);

  CharacterFileData chars{"", {Character{.NAME = "Bo", .MAXHP = 9, .HP = 8}}};
  Item key;
  key.NAME = "Key";
  key.TYPE = 4;
  key.VISIBLE = true;
  key.FIGHTSCRIPT = "throw.skr";
  key.NUMBER = 2;
  ItemFileData items{"", {key}};
  Put("chars.dat", WriteCharacterFile(chars));
  Put("items.dat", WriteItemFile(items));
  ASSERT_TRUE(LoadCharacters(t.engine));
  ASSERT_TRUE(LoadItems(t.engine));
  EXPECT_EQ(w().Characters[1], chars.characters[0]);
  EXPECT_EQ(w().Items[1], items.items[0]);
}

// Every prefix of a valid file is rejected without a crash and without
// changing the world, and so is random garbage.
TEST_F(DataFiles, TruncatedAndGarbageFilesAreRejected) {
  const std::string map =
      Bytes().u8(1).name("").name("").ints(2, 1).ints(1, 1).ints(1, 1, 3).ints(0, 0, 0).str();
  const std::string chars = [] {
    Bytes b;
    b.u8(1).name("").name("Ada");
    return CharacterNumbers(b, 0).u8(0).str();
  }();
  const std::string sprites = Bytes().u8(1).name("p").ints(1, 2, 3, 4, 5, 6, 1).ints(0, 0, 0, 0, 0, 0, 0).str();
  const std::string events = Bytes().u8(1).name("m").ints(1, 1).name("a").name("").name("").name("").u8(1).u8(0).str();
  for (size_t n = 0; n < map.size(); ++n) {
    Put("m.map", map.substr(0, n));
    EXPECT_FALSE(LoadMapFile(t.engine, "m.map", false)) << n;
    EXPECT_EQ(w().MapWidth, 0);
  }
  for (size_t n = 0; n < chars.size(); ++n) {
    Put("chars.dat", chars.substr(0, n));
    EXPECT_FALSE(LoadCharacters(t.engine)) << n;
    EXPECT_EQ(w().CharacterCount, 0);
  }
  for (size_t n = 0; n < sprites.size(); ++n) {
    Put("s.ddm", sprites.substr(0, n));
    EXPECT_FALSE(LoadSpriteDefs(t.engine, "s.ddm", 0)) << n;
  }
  for (size_t n = 0; n < events.size(); ++n) {
    Put("e.evm", events.substr(0, n));
    EXPECT_FALSE(LoadEventmapFile(t.engine, "e.evm", false)) << n;
    EXPECT_EQ(w().EventmapFile, "");
  }
  std::mt19937 rng(7);
  for (int round = 0; round < 200; ++round) {
    std::string junk(rng() % 64, '\0');
    for (char& c : junk) c = static_cast<char>(rng());
    junk.insert(0, 1, '\x01');
    for (const char* name : {"j.map", "j.tlm", "j.ddm", "j.evm"}) Put(name, junk);
    LoadMapFile(t.engine, "j.map", false);
    LoadTileDefs(t.engine, "j.tlm");
    LoadSpriteDefs(t.engine, "j.ddm", 1);
    LoadEventmapFile(t.engine, "j.evm", false);
    // Whatever was accepted keeps the tables consistent with their counts.
    EXPECT_GE(w().MapTiles.Width(), w().MapWidth);
    EXPECT_GE(w().MapTiles.Height(), w().MapHeight);
    EXPECT_GE(w().TileDefs.Size(), w().TileDefCount);
    EXPECT_GE(w().UnitDefs.Size(), w().UnitDefCount);
  }
}

TEST_F(DataFiles, HugeOrNegativeSizesAreRejectedBeforeAllocating) {
  Put("huge.map", Bytes().u8(1).name("").name("").ints(32767, 32767).ints(1, 1, 1).str());
  EXPECT_FALSE(LoadMapFile(t.engine, "huge.map", false));
  Put("neg.map", Bytes().u8(1).name("").name("").ints(-3, 2).ints(0, 0, 0).str());
  EXPECT_FALSE(LoadMapFile(t.engine, "neg.map", false));
  Put("huge.evm", Bytes().u8(1).name("").ints(32767, 32767).str());
  EXPECT_FALSE(LoadEventmapFile(t.engine, "huge.evm", false));
  Put("out.map", Bytes().u8(1).name("").name("").ints(1, 1).ints(1).ints(2, 1, 5).ints(0, 0, 0).str());
  EXPECT_FALSE(LoadMapFile(t.engine, "out.map", false));
  EXPECT_EQ(w().MapWidth, 0);
  EXPECT_FALSE(LoadMapFile(t.engine, "nosuch.map", false));
}

}  // namespace
}  // namespace yw
