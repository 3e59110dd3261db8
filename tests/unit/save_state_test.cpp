#include <filesystem>

#include "byte_builder.h"
#include "test_support.h"
#include "world/game_files.h"
#include "world/save_game.h"

namespace yw {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::ReadFile;
using test::TestEngine;
using test::WriteFile;

template <class T>
std::vector<T> Entries(const Table<T>& table, int count) {
  std::vector<T> out;
  for (int i = 1; i <= count; ++i) out.push_back(table[i]);
  return out;
}

Character Hero(const std::string& name, int16_t hp) {
  Character c;
  c.NAME = name;
  c.HP = hp;
  c.MAXHP = 40;
  c.MP = 3;
  c.MAXMP = 9;
  c.EP = 120;
  c.STR = 5;
  c.CON = 6;
  c.INI = 7;
  c.WIS = 8;
  c.DEX = 9;
  c.STDWEP = 1;
  c.STDARM = 2;
  c.WEP = 3;
  c.ARM = 4;
  c.DOOLEFT = 11;
  c.DOOUP = 12;
  c.DOORIGHT = 13;
  c.DOODOWN = 14;
  c.DOOLEFTANI = 15;
  c.DOOUPANI = 16;
  c.DOORIGHTANI = 17;
  c.DOODOWNANI = 18;
  return c;
}

// A world with something in every table the saved game holds.
void FillWorld(Engine& e) {
  World& w = e.world;
  w.TilePicture = "tiles.bmp";
  w.TileWidth = 32;
  w.TileHeight = 24;
  w.TileDefCount = 2;
  w.TileDefs.Resize(2);
  w.TileDefs[1] = {0, 0, 2};
  w.TileDefs[2] = {32, 0, 1};
  w.DoodadPicture = "doo.bmp";
  w.DoodadDefCount = 1;
  w.DoodadDefs[1] = {1, 2, 3, 4, 5, 6, 1};
  w.UnitPicture = "units.bmp";
  w.UnitDefCount = 2;
  w.UnitDefs.Resize(2);
  w.UnitDefs[1] = {0, 0, 0, 0, 0, 0, 2};
  w.UnitDefs[2] = {7, 8, 9, 10, 11, 12, 1};
  w.ItemPicture = "items.bmp";
  w.MapFile = "town.map";
  w.TilemapFile = "town.tlm";
  w.DoodadmapFile = "town.ddm";
  w.MapWidth = 3;
  w.MapHeight = 2;
  w.MapTiles.Reset(3, 2);
  for (int y = 1; y <= 2; ++y)
    for (int x = 1; x <= 3; ++x) w.MapTiles(x, y).TILE = static_cast<int16_t>(x + 3 * y);
  w.MapTiles(2, 2).DOODAD = 1;
  w.MapTiles(3, 1).DOODAD = -4;
  w.EventmapFile = "town.evm";
  w.EventmapMapFile = "town.map";
  w.MapEvents.Reset(3, 2);
  w.MapEvents(1, 2) = {"enter.skr", "leave.skr", "push.skr", "use.skr", true, false};
  w.MapEvents(3, 1).passable = true;
  w.UnitDoodadmapFile = "units.ddm";
  w.CharacterCount = 2;
  w.Characters.Resize(2);
  w.Characters[1] = Hero("Ada", 30);
  w.Characters[1].WEP = w.Characters[1].ARM = 0;
  w.Characters[2] = Hero("Bo", 20);
  w.Characters[2].WEP = w.Characters[2].ARM = 0;
  w.ItemDoodadmapFile = "items.ddm";
  w.ItemCount = 1;
  w.Items[1] = {"Sword", 1, true, "s.skr", "f.skr", 3, 2, 50};
  e.win.TimeAniTime = 700;
  e.win.TimeWalkTime = 180;
  e.win.TimeCharTime = 40;
  e.win.KeyEnabled = true;
  e.win.Key = 38;
  e.win.LastKey = 40;
  e.win.Wait4Relase = true;
  w.PlayerPosX = 2.5f;
  w.PlayerPosY = 7;
  w.PlayerDirection = 3;
  e.win.SavingActive = true;
  w.AmbientName = "town.mp3";
  w.PartyCount = 1;
  w.Party[1] = {"Ada", 1, Hero("Ada", 25), 0, 0};
  w.NpcCount = 2;
  w.Npcs.Resize(2);
  w.Npcs[1].POS_X = 4;
  w.Npcs[1].POS_Y = 5;
  w.Npcs[1].stepOffsetX = 1.5f;
  w.Npcs[1].DIRECTION = 2;
  w.Npcs[1].CHAR = 2;
  w.Npcs[1].SCRIPT = "guard.skr";
  w.Npcs[1].SPEED = 3;
  w.Npcs[1].frameCount = 6;
  w.Npcs[1].prevFrameCount = 5;
  w.Npcs[2].SCRIPT = "cat.skr";
  WriteFile(e.CurrentDir / "autoexec.skr", "BEGIN\r\nEND\r\n");
}

void ExpectSameWorld(const World& a, const World& b) {
  EXPECT_EQ(a.TilePicture, b.TilePicture);
  EXPECT_EQ(a.TileWidth, b.TileWidth);
  EXPECT_EQ(a.TileHeight, b.TileHeight);
  EXPECT_EQ(Entries(a.TileDefs, a.TileDefCount), Entries(b.TileDefs, b.TileDefCount));
  EXPECT_EQ(Entries(a.DoodadDefs, a.DoodadDefCount), Entries(b.DoodadDefs, b.DoodadDefCount));
  EXPECT_EQ(Entries(a.UnitDefs, a.UnitDefCount), Entries(b.UnitDefs, b.UnitDefCount));
  EXPECT_EQ(Entries(a.ItemDefs, a.ItemDefCount), Entries(b.ItemDefs, b.ItemDefCount));
  EXPECT_EQ(a.DoodadPicture, b.DoodadPicture);
  EXPECT_EQ(a.UnitPicture, b.UnitPicture);
  EXPECT_EQ(a.ItemPicture, b.ItemPicture);
  EXPECT_EQ(a.MapFile, b.MapFile);
  EXPECT_EQ(a.TilemapFile, b.TilemapFile);
  EXPECT_EQ(a.DoodadmapFile, b.DoodadmapFile);
  ASSERT_EQ(a.MapWidth, b.MapWidth);
  ASSERT_EQ(a.MapHeight, b.MapHeight);
  for (int y = 1; y <= a.MapHeight; ++y) {
    for (int x = 1; x <= a.MapWidth; ++x) {
      EXPECT_EQ(a.MapTiles(x, y).TILE, b.MapTiles(x, y).TILE);
      EXPECT_EQ(a.MapTiles(x, y).DOODAD, b.MapTiles(x, y).DOODAD);
      EXPECT_EQ(a.MapEvents(x, y), b.MapEvents(x, y));
    }
  }
  EXPECT_EQ(a.EventmapFile, b.EventmapFile);
  EXPECT_EQ(a.EventmapMapFile, b.EventmapMapFile);
  EXPECT_EQ(a.UnitDoodadmapFile, b.UnitDoodadmapFile);
  EXPECT_EQ(a.ItemDoodadmapFile, b.ItemDoodadmapFile);
  EXPECT_EQ(Entries(a.Characters, a.CharacterCount), Entries(b.Characters, b.CharacterCount));
  EXPECT_EQ(Entries(a.Items, a.ItemCount), Entries(b.Items, b.ItemCount));
  EXPECT_EQ(Entries(a.Party, a.PartyCount), Entries(b.Party, b.PartyCount));
  EXPECT_EQ(Entries(a.Npcs, a.NpcCount), Entries(b.Npcs, b.NpcCount));
  EXPECT_EQ(a.PlayerPosX, b.PlayerPosX);
  EXPECT_EQ(a.PlayerPosY, b.PlayerPosY);
  EXPECT_EQ(a.PlayerDirection, b.PlayerDirection);
  EXPECT_EQ(a.AmbientName, b.AmbientName);
}

class SaveState_ : public ::testing::Test {
 protected:
  Engine& e() { return t.engine; }
  World& w() { return t.engine.world; }
  TestEngine t;
};

TEST_F(SaveState_, SaveThenLoadRestoresTheWorld) {
  FillWorld(e());
  const World before = w();
  const WindowState winBefore = e().win;
  ASSERT_TRUE(SaveState(e(), SlotFileName(1), "At the gate"));
  EXPECT_TRUE(fs::exists(t.dir.path() / "slot1.sav"));

  InitWorld(w());
  w().PlayerPosX = 0;
  w().AmbientName.clear();
  w().MapEvents.Reset(1, 1);
  e().win = WindowState{};
  e().win.FightMode = true;
  ASSERT_TRUE(LoadState(e(), "SLOT1.SAV", false));
  ExpectSameWorld(before, w());
  EXPECT_EQ(e().win.TimeAniTime, winBefore.TimeAniTime);
  EXPECT_EQ(e().win.TimeWalkTime, winBefore.TimeWalkTime);
  EXPECT_EQ(e().win.TimeCharTime, winBefore.TimeCharTime);
  EXPECT_EQ(e().win.Key, 38);
  EXPECT_EQ(e().win.LastKey, 40);
  EXPECT_TRUE(e().win.KeyEnabled);
  EXPECT_TRUE(e().win.Wait4Relase);
  EXPECT_TRUE(e().win.SavingActive);
  EXPECT_FALSE(e().win.FightMode);
  EXPECT_EQ(e().win.GameMode, static_cast<int32_t>(Mode::Map));
  EXPECT_EQ(w().ScriptCount, 1);
  EXPECT_EQ(ReadSaveDescription(e(), "slot1.sav"), "At the gate");
}

TEST_F(SaveState_, FileLayoutOfAnEmptyWorld) {
  ASSERT_TRUE(SaveState(e(), "empty.sav", "d"));
  const std::string bytes = ReadFile(t.dir.path() / "empty.sav");
  Bytes expected;
  expected.u8(2).name("d").name("").ints(0, 0).ints(0, 0, 0);
  for (int sheet = 0; sheet < 3; ++sheet) expected.name("").ints(0, 0, 0, 0, 0, 0, 0);
  expected.name("").name("").name("").ints(0, 0).ints(0, 0, 0);     // map
  expected.name("").name("").ints(0, 0);                            // events
  expected.name("").u8(0).name("").u8(0);                           // characters, items
  const WindowState& win = e().win;
  expected.i32(win.TimeAniTime).i32(win.TimeWalkTime).i32(win.TimeCharTime);
  expected.u8(0).i32(0).i32(0).u8(0).f32(0).f32(0).i16(0).u8(0).name("");
  expected.u8(0).u8(0);  // no party, no NPCs
  EXPECT_EQ(bytes, expected.str());
}

TEST_F(SaveState_, VersionOneFileLoadsPartyWithoutEquipment) {
  Bytes b;
  b.u8(1).name("old save").name("t.bmp").ints(16, 16).ints(0, 0, 1).ints(0, 0, 0);
  for (int sheet = 0; sheet < 3; ++sheet) b.name("").ints(0, 0, 0, 0, 0, 0, 0);
  b.name("a.map").name("").name("").ints(1, 1).ints(1).ints(1, 1, 0).ints(0, 0, 0);
  b.name("").name("").ints(1, 1).name("e").name("").name("").name("").u8(1).u8(1);
  b.name("").u8(0).name("").u8(0);
  b.i32(1000).i32(250).i32(50).u8(1).i32(0).i32(0).u8(0).f32(1).f32(1).i16(2).u8(1).name("");
  b.name("Ada").i32(1).name("Ada");
  for (int i = 1; i <= 20; ++i) b.i16(i);
  b.u8(0).u8(0);
  WriteFile(t.dir.path() / "slot2.sav", b.str());
  EXPECT_EQ(ReadSaveDescription(e(), "slot2.sav"), "old save");
  ASSERT_TRUE(LoadState(e(), "slot2.sav", false));
  ASSERT_EQ(w().PartyCount, 1);
  const Character& c = w().Party[1].character;
  EXPECT_EQ(c.HP, 1);
  EXPECT_EQ(c.STDWEP, 11);
  EXPECT_EQ(c.STDARM, 12);
  EXPECT_EQ(c.DOOUPANI, 20);
  EXPECT_EQ(c.WEP, 0);
  EXPECT_EQ(c.ARM, 0);
  EXPECT_TRUE(w().MapEvents(1, 1).passable);
  EXPECT_EQ(w().MapEvents(1, 1).ENTERSCRIPT, "e");
  EXPECT_EQ(w().PlayerDirection, 2);
}

TEST_F(SaveState_, SnapshotKeepsPartyCharactersAndItems) {
  FillWorld(e());
  ASSERT_TRUE(SaveState(e(), "temp.tmp", "FightTemp"));
  // The fight changes everything.
  w().Party[1].character.HP = 3;
  w().Party[1].character.EP = 999;
  w().Items[1].NUMBER = 0;
  w().Characters[2].NAME = "Changed";
  w().MapFile = "arena.map";
  w().MapTiles(1, 1).TILE = 99;
  w().NpcCount = 0;
  w().PlayerPosX = 9;
  e().win.GameMode = static_cast<int32_t>(Mode::Script);
  ASSERT_TRUE(LoadState(e(), "temp.tmp", true));
  EXPECT_EQ(w().Party[1].character.HP, 3);
  EXPECT_EQ(w().Party[1].character.EP, 999);
  EXPECT_EQ(w().Items[1].NUMBER, 0);
  EXPECT_EQ(w().Characters[2].NAME, "Changed");
  EXPECT_EQ(w().MapFile, "town.map");
  EXPECT_EQ(w().MapTiles(1, 1).TILE, 4);
  EXPECT_EQ(w().NpcCount, 2);
  EXPECT_EQ(w().PlayerPosX, 2.5f);
  EXPECT_EQ(e().win.GameMode, static_cast<int32_t>(Mode::Script));
}

TEST_F(SaveState_, NpcTimesStayAheadAndActorsStartAtRest) {
  t.platform.SetClock(1000);
  w().NpcCount = 1;
  w().Npcs[1].nextTime = 1500;
  w().Npcs[1].actor.active = true;
  w().Npcs[1].actor.steps = 4;
  ASSERT_TRUE(SaveState(e(), "n.sav", "n"));
  t.platform.SetClock(90000);
  LoadState(e(), "n.sav", false);
  ASSERT_EQ(w().NpcCount, 1);
  EXPECT_EQ(w().Npcs[1].nextTime, 90500);
  EXPECT_EQ(w().Npcs[1].actor, ActorOrder{});
}

TEST_F(SaveState_, BadFilesChangeNothing) {
  FillWorld(e());
  ASSERT_TRUE(SaveState(e(), "good.sav", "good"));
  const std::string good = ReadFile(t.dir.path() / "good.sav");
  w().MapFile = "untouched.map";
  w().PartyCount = 0;
  EXPECT_FALSE(LoadState(e(), "", false));
  EXPECT_FALSE(LoadState(e(), "missing.sav", false));
  std::string v3 = good;
  v3[0] = 3;
  WriteFile(t.dir.path() / "v3.sav", v3);
  EXPECT_FALSE(LoadState(e(), "v3.sav", false));
  EXPECT_EQ(ReadSaveDescription(e(), "v3.sav"), std::nullopt);
  for (size_t n = 0; n < good.size(); ++n) {
    WriteFile(t.dir.path() / "cut.sav", good.substr(0, n));
    EXPECT_FALSE(LoadState(e(), "cut.sav", false)) << n;
  }
  EXPECT_EQ(w().MapFile, "untouched.map");
  EXPECT_EQ(w().PartyCount, 0);
  EXPECT_FALSE(SaveState(e(), "  ", "x"));
  e().CurrentDir = t.dir.path() / "no" / "such" / "folder";
  EXPECT_FALSE(SaveState(e(), "slot1.sav", "x"));
}

TEST_F(SaveState_, TileZeroStopsTheLoadKeepingWhatWasRead) {
  FillWorld(e());
  w().MapTiles(2, 1).TILE = 0;
  ASSERT_TRUE(SaveState(e(), "z.sav", "z"));
  InitWorld(w());
  EXPECT_FALSE(LoadState(e(), "z.sav", false));
  EXPECT_EQ(w().TilePicture, "tiles.bmp");
  EXPECT_EQ(w().MapWidth, 3);
  EXPECT_EQ(w().MapTiles(1, 1).TILE, 4);
  EXPECT_EQ(w().MapTiles(3, 1).TILE, 0);
  EXPECT_EQ(w().PartyCount, 0);
  EXPECT_EQ(w().NpcCount, 0);
}

TEST_F(SaveState_, OverwritingASlotReplacesTheWholeFile) {
  WriteFile(t.dir.path() / "slot3.sav", std::string(100000, 'x'));
  ASSERT_TRUE(SaveState(e(), "Slot3.sav", "fresh"));
  const auto files = std::distance(fs::directory_iterator(t.dir.path()), fs::directory_iterator{});
  EXPECT_EQ(files, 1);
  EXPECT_LT(fs::file_size(t.dir.path() / "slot3.sav"), 1000u);
  EXPECT_EQ(ReadSaveDescription(e(), "slot3.sav"), "fresh");
}

TEST_F(SaveState_, RecordsThatReadAsEndMarksEndTheirListsWhenWritten) {
  FillWorld(e());
  w().DoodadDefCount = 3;
  w().DoodadDefs.Resize(3);
  w().DoodadDefs[2] = SpriteDef{};
  w().DoodadDefs[3] = {9, 9, 9, 9, 9, 9, 3};
  w().TileDefs[2].NEXT = 0;
  w().Characters[1].NAME = "";
  ASSERT_TRUE(SaveState(e(), "m.sav", "m"));
  ASSERT_TRUE(LoadState(e(), "m.sav", false));
  EXPECT_EQ(w().DoodadDefCount, 1);
  EXPECT_EQ(w().TileDefCount, 1);
  EXPECT_EQ(w().CharacterCount, 0);
  EXPECT_EQ(w().PartyCount, 1);
  EXPECT_EQ(w().NpcCount, 2);
}

TEST_F(SaveState_, SmallerEventLayerIsSavedWithEmptyCells) {
  FillWorld(e());
  w().MapEvents.Reset(1, 1);
  w().MapEvents(1, 1).ENTERSCRIPT = "only.skr";
  ASSERT_TRUE(SaveState(e(), "s.sav", "s"));
  ASSERT_TRUE(LoadState(e(), "s.sav", false));
  EXPECT_EQ(w().MapEvents.Width(), 3);
  EXPECT_EQ(w().MapEvents.Height(), 2);
  EXPECT_EQ(w().MapEvents(1, 1).ENTERSCRIPT, "only.skr");
  EXPECT_EQ(w().MapEvents(3, 2), EventCell{});
}

}  // namespace
}  // namespace yw
