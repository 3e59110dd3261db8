// The world, party and presentation commands.
#include "interpreter_test_support.h"
#include "sim/actors.h"
#include "world/data_files.h"

namespace yw::test {
namespace {

using Commands = ScriptFixture;

// Every failing line returns its code and leaves the world as it was. The
// load commands check the file before the keyword and the keyword before
// the loader.
TEST_F(Commands, FailingLinesGiveTheirCodes) {
  MakeMap(10, 8);
  AddCharacters({"Ayla", "Brom", "Cato"});
  ASSERT_EQ(RunBody({"ADDNPC 1", "ADDNPC 2", "ADDNPC 3"}), 0);
  e().CurrentDir = te.dir.path();
  WriteFile(te.dir.path() / "Maps" / "Broken.MAP", "xx");
  const std::pair<std::string_view, int> cases[] = {
      {"SETPOS 11 \\ 5", 14},
      {"SETPOS 3", 15},
      {"SETDIRECTION 5", 26},
      {"SETDIRECTION 1 \\ 2", 15},
      {"ADDCHARACTER 4", 12},
      {"ADDNPC 9", 12},
      {"KILLNPC 4", 16},
      {"SETACTOR 4 \\ 1 \\ 1 \\ 1 \\ walk", 16},
      {"SETACTOR 0 \\ 1 \\ 1 \\ 1", 15},
      {"LOADMAP \"town.map\"", 3},
      {"LOADMAP \"maps\"", 3},  // a folder is no map
      {"LOADMAP \"maps\\broken.map\" \\ ALL", 13},
      {"LOADMAP \"maps\\broken.map\" \\ alles", 4},
      {"LOADEVENTS", 6},
      {"LOADEVENTS \"maps\\broken.map\" \\ Alles", 5},
      {"LOADTILES", 7},
      {"LOADTILES \"maps\\broken.map\"", 8},
      {"LOADDOODADS \"units.dat\"", 9},
      {"LOADDOODADS \"maps\\broken.map\" \\ CHARACTER", 13},
      {"LOADDOODADS \"maps\\broken.map\" \\ charcter", 10},
      {"SAVING MAYBE", 13},
      {"SHOWLIST maybe", 13},
      {"SFX ZOOMIN \\ 500 \\ SIDEWAYS", 13},
      {"MSG", 15},
  };
  for (const auto& [line, code] : cases) {
    EXPECT_EQ(RunBody({line}), code) << line;
    EXPECT_EQ(w().ErrorLine, line);
  }
  EXPECT_EQ(w().PartyCount, 0);
  EXPECT_EQ(w().NpcCount, 3);
  EXPECT_EQ(w().PlayerPosX, 0);
  EXPECT_FALSE(w().PlayerActor.active);
  EXPECT_FALSE(w().MapChanged);
  EXPECT_EQ(w().UserListCount, 0);
  EXPECT_EQ(e().win.GameMode, Mode::Script);
}

TEST_F(Commands, PlayerPartyAndNpcs) {
  MakeMap(10, 8);
  AddCharacters({"Ayla", "Brom", "Cato"});
  EXPECT_EQ(RunBody({"SETPOS 10 \\ 2 * 4", "SETDIRECTION 3", "ADDCHARACTER 1 + 1", "ADDNPC 3",
                     "ADDNPC 1", "KILLNPC", "KILLNPC", "ADDNPC 3"}),
            0);
  EXPECT_EQ(w().PlayerPosX, 10);
  EXPECT_EQ(w().PlayerPosY, 8);
  EXPECT_EQ(w().PlayerDirection, 3);
  ASSERT_EQ(w().PartyCount, 1);
  EXPECT_EQ(w().Party[1].character, w().Characters[2]);  // a whole copy of the character
  ASSERT_EQ(w().NpcCount, 1);
  Npc expected;
  expected.CHAR = 3;
  expected.DIRECTION = 2;
  EXPECT_EQ(w().Npcs[1], expected);  // everything else zero
}

TEST_F(Commands, GameOverEmptiesTheWorldButNotTheVariables) {
  AddCharacters({"Ayla"});
  EXPECT_EQ(RunBody({"ADDCHARACTER 1", "A 3", "GAMEOVER", "A 4"}), 0);
  EXPECT_EQ(e().win.GameMode, Mode::Title);
  EXPECT_EQ(e().win.Switsch, 4);
  EXPECT_EQ(w().PartyCount, 0);
  EXPECT_EQ(w().CharacterCount, 0);
  EXPECT_EQ(w().ScriptDepth, 0);
  EXPECT_EQ(Var('A').value.Number(), 3);
}

TEST_F(Commands, ShowMovie) {
  // No actor orders and no time limit: the script goes on at once.
  EXPECT_EQ(RunBody({"SHOWMOVIE"}), 0);
  EXPECT_EQ(e().win.GameMode, Mode::Script);

  AddCharacters({"Ayla"});
  te.platform.SetClock(500);
  EXPECT_EQ(RunBody({"ADDNPC 1", "SETACTOR 1 \\ 2 \\ 3 \\ 1 \\ walk", "SHOWMOVIE 1000"}), 0);
  EXPECT_EQ(e().win.GameMode, Mode::CutScene);
  EXPECT_EQ(e().win.MovieEndTime, 1500);
  EXPECT_TRUE(w().Npcs[1].actor.active);
}

// LOADDOODADS fills the sheet its keyword names: map doodads without one
// or with MAP, the units with CHARCTER, the items with ITEM.
TEST_F(Commands, LoadDoodadsFillsTheSheetItsKeywordNames) {
  e().CurrentDir = te.dir.path();
  for (const char* sheet : {"a", "b", "c", "d"})
    WriteFile(te.dir.path() / (std::string(sheet) + ".dod"),
              WriteSpriteSheetFile({std::string(sheet) + ".bmp", {{0, 0, 0, 8, 8, 8, 1}}}));
  ASSERT_EQ(RunBody({"LOADDOODADS \"a.dod\" \\ charcter", "LOADDOODADS \"b.dod\" \\ Item",
                     "LOADDOODADS \"c.dod\"", "LOADDOODADS \"d.dod\" \\ map"}),
            0);
  EXPECT_EQ(w().UnitPicture, "a.bmp");
  EXPECT_EQ(w().UnitDefCount, 1);
  EXPECT_EQ(w().ItemPicture, "b.bmp");
  EXPECT_EQ(w().ItemDefCount, 1);
  EXPECT_EQ(w().DoodadPicture, "d.bmp");
  EXPECT_EQ(w().DoodadDefCount, 1);
  EXPECT_TRUE(w().MapChanged);
}

// Without ALLES a new map keeps the tile and doodad sheets loaded before,
// whatever sheets the map file names.
TEST_F(Commands, LoadMapWithoutAllesLeavesTheSheetsAlone) {
  e().CurrentDir = te.dir.path();
  WriteFile(te.dir.path() / "a.map", WriteMapFile({"a.til", "a.dod", 1, 1, {1}, {}}));
  WriteFile(te.dir.path() / "b.map", WriteMapFile({"b.til", "b.dod", 2, 1, {2, 1}, {{2, 1, 1}}}));
  WriteFile(te.dir.path() / "a.til",
            WriteTileSheetFile({"a.bmp", 16, 16, {{0, 0, 1}, {16, 0, 2}}}));
  WriteFile(te.dir.path() / "a.dod", WriteSpriteSheetFile({"ad.bmp", {{0, 0, 0, 16, 16, 16, 1}}}));
  ASSERT_EQ(RunBody({"LOADMAP \"a.map\" \\ ALLES"}), 0);
  const World before = w();
  w().MapChanged = false;
  ASSERT_EQ(RunBody({"LOADMAP \"b.map\""}), 0);
  EXPECT_TRUE(w().MapChanged);
  EXPECT_EQ(w().MapFile, "b.map");
  EXPECT_EQ(w().MapTiles(1, 1).TILE, 2);
  EXPECT_EQ(w().MapTiles(2, 1).DOODAD, 1);
  EXPECT_EQ(w().TilemapFile, "a.til");
  EXPECT_EQ(w().TilePicture, "a.bmp");
  EXPECT_EQ(w().TileDefCount, 2);
  EXPECT_EQ(w().TileDefs[2], before.TileDefs[2]);
  EXPECT_EQ(w().DoodadmapFile, "a.dod");
  EXPECT_EQ(w().DoodadPicture, "ad.bmp");
  EXPECT_EQ(w().DoodadDefs[1], before.DoodadDefs[1]);
}

TEST_F(Commands, RunScriptWithoutANameStillHandsBack) {
  EXPECT_EQ(RunBody({"PLAYSOUND \"a.wav\"", "PLAYAMBIENT \"town\"", "RUNSCRIPT", "A 2"}), 0);
  EXPECT_EQ(w().ScriptDepth, 1);
  EXPECT_TRUE(Var('A').value.IsNothing());
  EXPECT_EQ(Resume(), 0);
  EXPECT_EQ(Var('A').value.Number(), 2);
}

}  // namespace
}  // namespace yw::test
