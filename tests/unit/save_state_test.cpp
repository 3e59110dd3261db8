// Saved games: the file layout, written by hand field by field so that a
// field in the wrong place or of the wrong width shows even when reader and
// writer share the mistake; old files; and files that must not load.
#include <filesystem>

#include "byte_builder.h"
#include "test_support.h"
#include "sim/game_files.h"
#include "world/save_game.h"

namespace yw {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::ReadFile;
using test::TestEngine;
using test::WriteFile;

Character Hero(const std::string& name, int16_t hp) {
  Character c;
  c.NAME = name;
  c.HP = hp, c.MAXHP = 40, c.MP = 3, c.MAXMP = 9, c.EP = 120;
  c.STR = 5, c.CON = 6, c.INI = 7, c.WIS = 8, c.DEX = 9;
  c.STDWEP = 1, c.STDARM = 2, c.WEP = 3, c.ARM = 4;
  c.DOOLEFT = 11, c.DOOUP = 12, c.DOORIGHT = 13, c.DOODOWN = 14;
  c.DOOLEFTANI = 15, c.DOOUPANI = 16, c.DOORIGHTANI = 17, c.DOODOWNANI = 18;
  return c;
}

class SaveState_ : public ::testing::Test {
 protected:
  Engine& e() { return t.engine; }
  World& w() { return t.engine.world; }

  // A 2 x 1 map with a doodad and an event cell, one character, one party
  // member and one NPC, at 1000 ms.
  void SmallWorld() {
    t.platform.SetClock(1000);
    WriteFile(t.dir.path() / "autoexec.skr", "BEGIN\r\nEND\r\n");
    w().MapFile = "m.map";
    w().MapWidth = 2, w().MapHeight = 1;
    w().MapTiles.Reset(2, 1);
    w().MapTiles(1, 1).TILE = 7, w().MapTiles(2, 1).TILE = 8, w().MapTiles(2, 1).DOODAD = 5;
    w().MapEvents.Reset(2, 1);
    w().MapEvents(1, 1) = {"in.skr", "out.skr", "push.skr", "use.skr", false, true};  // passable
    w().CharacterCount = 1;
    w().Characters[1] = Hero("Ada", 30);
    w().Characters[1].WEP = w().Characters[1].ARM = 0;
    w().PartyCount = 1;
    w().Party[1] = {"Wren", 3, Hero("Ada", 25), 0, false};
    w().NpcCount = 1;
    Npc& n = w().Npcs[1];
    n.stepOffsetX = 1.5f, n.stepOffsetY = -0.5f, n.DIRECTION = 3, n.frameCount = 6, n.SPEED = 4;
    n.prevFrameCount = 5, n.nextTime = 1700, n.POS_X = 2, n.POS_Y = 0.5f;
    n.SCRIPT = "guard.skr", n.CHAR = 2;
    w().PlayerPosX = 2, w().PlayerPosY = 1, w().PlayerDirection = 4;
    e().win.Key = 39, e().win.KeyEnabled = true;
  }
  // The file of SmallWorld, described "d".
  std::string SmallWorldBytes() {
    Bytes b;
    b.u8(2).name("d").name("").ints(0, 0).ints(0, 0, 0);
    for (int sheet = 0; sheet < 3; ++sheet) b.name("").ints(0, 0, 0, 0, 0, 0, 0);
    b.name("m.map").name("").name("").ints(2, 1).ints(7, 8).ints(2, 1, 5).ints(0, 0, 0);
    b.name("").name("").ints(2, 1);
    b.name("in.skr").name("out.skr").name("use.skr").name("push.skr").u8(1).u8(0);
    b.name("").name("").name("").name("").u8(0).u8(0);
    // chars.dat order: HP MAXHP MP MAXMP EP STR WIS CON DEX INI STDWEP STDARM,
    // the four standing pictures down-left-right-up, the four walking ones.
    b.name("").name("Ada").ints(30, 40, 3, 9, 120, 5, 8, 6, 9, 7, 1, 2, 14, 11, 13, 12, 18, 15, 17,
                                16);
    b.u8(0).name("").u8(0);  // no items
    const WindowState& win = e().win;
    b.i32(win.TimeAniTime).i32(win.TimeWalkTime).i32(win.TimeCharTime);
    b.u8(1).i32(39).i32(win.LastKey).u8(0).f32(2).f32(1).i16(4).u8(0).name("");
    // A member: its NAME, STATE, the character's NAME, then WEP and ARM
    // after their standard ones.
    b.name("Wren").i32(3).name("Ada");
    b.ints(25, 40, 3, 9, 120, 5, 8, 6, 9, 7, 1, 3, 2, 4, 14, 11, 13, 12, 18, 15, 17, 16).u8(0);
    b.u8(1).f32(1.5f).f32(-0.5f).i32(3).i16(6).i16(4).i16(5).i32(700).f32(2).f32(0.5f);
    b.name("guard.skr").i16(2).u8(0);
    return b.str();
  }
  TestEngine t;
};

// The file holds the map, party and NPC records in their order. A file
// written by hand loads into the world; the NPC's time left counts from the
// clock at loading, and the loaded game is back on the map.
TEST_F(SaveState_, TheFileHoldsEveryRecordInItsOrderAndLoadsBack) {
  SmallWorld();
  ASSERT_TRUE(SaveState(e(), "full.sav", "d"));
  const std::string bytes = SmallWorldBytes();
  EXPECT_EQ(ReadFile(t.dir.path() / "full.sav"), bytes);
  WriteFile(t.dir.path() / "slot1.sav", bytes);
  InitWorld(w());
  e().win.FightMode = true;
  constexpr Millis k32 = Millis{1} << 32;  // the clock has run for 49.7 days
  t.platform.SetClock(k32 + 5000);
  ASSERT_TRUE(LoadState(e(), "SLOT1.SAV", false));
  EXPECT_EQ(ReadSaveDescription(e(), "slot1.sav"), "d");
  EXPECT_EQ(w().MapTiles(2, 1).DOODAD, 5);
  EXPECT_EQ(w().MapEvents(1, 1).USESCRIPT, "use.skr");
  EXPECT_EQ(w().MapEvents(1, 1).PUSHSCRIPT, "push.skr");
  EXPECT_EQ(w().Party[1].character.WEP, 3);
  EXPECT_EQ(w().Party[1].character.ARM, 4);
  EXPECT_EQ(w().Npcs[1].nextTime, k32 + 5700);
  EXPECT_EQ(w().Npcs[1].SCRIPT, "guard.skr");
  EXPECT_FALSE(e().win.FightMode);
  EXPECT_EQ(e().win.GameMode, Mode::Map);
  ASSERT_TRUE(SaveState(e(), "again.sav", "d"));
  EXPECT_EQ(ReadFile(t.dir.path() / "again.sav"), bytes);
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

TEST_F(SaveState_, ASaveReplacesTheWholeSlotOrFailsWithoutAFolder) {
  WriteFile(t.dir.path() / "slot3.sav", std::string(100000, 'x'));
  ASSERT_TRUE(SaveState(e(), "Slot3.sav", "fresh"));
  const auto files = std::distance(fs::directory_iterator(t.dir.path()), fs::directory_iterator{});
  EXPECT_EQ(files, 1);
  EXPECT_LT(fs::file_size(t.dir.path() / "slot3.sav"), 1000u);
  EXPECT_EQ(ReadSaveDescription(e(), "slot3.sav"), "fresh");
  EXPECT_FALSE(SaveState(e(), "  ", "x"));  // no file name
  e().CurrentDir = t.dir.path() / "no" / "such" / "folder";
  EXPECT_FALSE(SaveState(e(), "slot1.sav", "x"));
}

}  // namespace
}  // namespace yw
