// The world, party and presentation commands.
#include "interpreter_test_support.h"
#include "sim/actors.h"

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
      {"SETPOS 0 \\ 5", 14}, {"SETPOS 11 \\ 5", 14}, {"SETPOS 3 \\ 9", 14}, {"SETPOS 3", 15},
      {"SETDIRECTION 5", 26}, {"SETDIRECTION 0", 26}, {"SETDIRECTION 1 \\ 2", 15}, {"SETDIRECTION", 15},
      {"ADDCHARACTER 0", 12}, {"ADDCHARACTER 4", 12}, {"ADDCHARACTER", 15}, {"ADDNPC 9", 12},
      {"KILLNPC 4", 16}, {"KILLNPC 0", 16},
      {"SETACTOR 4 \\ 1 \\ 1 \\ 1 \\ walk", 16}, {"SETACTOR 0 - 1 \\ 1 \\ 1 \\ 1 \\ walk", 16},
      {"SETACTOR 0 \\ 1 \\ 1 \\ 1", 15}, {"SETACTOR 0 \\ 1 \\ 1 \\ 1 \\ walk \\ 1", 15},
      {"LOADMAP \"town.map\"", 3}, {"LOADMAP", 3}, {"LOADMAP \"maps\"", 3},  // a folder is no map
      {"LOADMAP \"town.map\" \\ ALL", 3}, {"LOADMAP \"maps\\broken.map\" \\ ALL", 13},
      {"LOADMAP \"maps\\broken.map\" \\ alles", 4}, {"LOADMAP \"maps\\broken.map\"", 4},
      {"LOADEVENTS", 6}, {"LOADEVENTS \"maps\\broken.map\" \\ everything", 13},
      {"LOADEVENTS \"maps\\broken.map\" \\ Alles", 5}, {"LOADTILES", 7},
      {"LOADTILES \"maps\\broken.map\"", 8}, {"LOADDOODADS", 15}, {"LOADDOODADS \"units.dat\"", 9},
      {"LOADDOODADS \"maps\\broken.map\" \\ CHARACTER", 13},
      {"LOADDOODADS \"maps\\broken.map\" \\ charcter", 10},
      {"LOADDOODADS \"maps\\broken.map\" \\ ITEM", 10}, {"LOADDOODADS \"maps\\broken.map\"", 10},
      {"SAVING MAYBE", 13}, {"SAVING", 15}, {"ADDLISTITEM \"Sword\"", 15}, {"SHOWLIST maybe", 13},
      {"SFX ZOOMIN \\ 500 \\ SIDEWAYS", 13}, {"SFX SPIN \\ 500", 13}, {"SFX ZOOMIN", 15},
      {"PLAYSOUND", 15}, {"PLAYSOUND \"a.wav\" \\ \"b.wav\"", 15},
      {"PLAYAMBIENT \"a.wav\" \\ \"b.wav\"", 15}, {"ADDVOODOO 1 \\ 2 \\ 3 \\ 4 \\ 5", 15}, {"MSG", 15},
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
  EXPECT_EQ(e().win.GameMode, 8);
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

TEST_F(Commands, SetActor) {
  AddCharacters({"Ayla"});
  EXPECT_EQ(RunBody({"SETACTOR 0 \\ 4 \\ 3 \\ 2 \\ walk"}), 0);
  const ActorOrder& p = w().PlayerActor;
  EXPECT_TRUE(p.active);
  EXPECT_EQ(p.direction, 4);
  EXPECT_EQ(p.steps, 3);
  EXPECT_EQ(p.stepsGiven, 3);
  EXPECT_EQ(p.speed, 2.0f);
  EXPECT_EQ(p.action, ActorAction::Walk);
  // An unknown action word leaves the action as it was; the word ignores case.
  EXPECT_EQ(RunBody({"SETACTOR 0 \\ 1 \\ 1 \\ 1 \\ dance"}), 0);
  EXPECT_EQ(w().PlayerActor.action, ActorAction::Walk);
  EXPECT_EQ(RunBody({"SETACTOR 0 \\ 1 \\ 1 \\ 1 \\  JUMP "}), 0);
  EXPECT_EQ(w().PlayerActor.action, ActorAction::Jump);

  EXPECT_EQ(RunBody({"ADDNPC 1", "ADDNPC 1", "SETACTOR 2 \\ 3 \\ 5 \\ 7 / 2 \\ invisible"}), 0);
  EXPECT_EQ(w().Npcs[2].actor.speed, 3.5f);
  EXPECT_EQ(w().Npcs[2].actor.action, ActorAction::Invisible);
  EXPECT_FALSE(w().Npcs[1].actor.active);
}

TEST_F(Commands, UserListWaitsForThePlayer) {
  w().ItemDefCount = 2;  // the list shows item sprites 1 and 2
  w().ItemDefs.Resize(2);
  w().ItemFrames.Resize(2);
  EXPECT_EQ(RunBody({"ADDLISTITEM \"Sword\" \\ 7", "ADDLISTITEM \"Shield\" \\ 8 \\ 2",
                     "SHOWLIST NOESC", "A 1"}),
            0);
  ASSERT_EQ(w().UserListCount, 2);
  EXPECT_EQ(w().UserList[1].text, "Sword");
  EXPECT_EQ(w().UserList[1].value, 7);
  EXPECT_EQ(w().UserList[1].doodad, 0);
  EXPECT_EQ(w().UserList[2].doodad, 2);
  EXPECT_FALSE(w().UserListActive);
  EXPECT_TRUE(Var('A').value.IsNothing());  // handed back at SHOWLIST
  EXPECT_EQ(RunBody({"SHOWLIST"}), 0);
  EXPECT_TRUE(w().UserListActive);
}

TEST_F(Commands, ScreenEffectKeepsAStillOfTheScreen) {
  e().win.ScreenWidth = 40;
  e().win.ScreenHeight = 30;
  e().pics.Frontbuf.Resize(40, 30);
  e().pics.Frontbuf.Set(39, 29, Rgb(1, 2, 3));
  te.platform.SetClock(1000);
  EXPECT_EQ(RunBody({"SFX hwhipe \\ 250 \\ out"}), 0);
  EXPECT_EQ(e().win.GameMode, 14);
  EXPECT_EQ(e().win.SFX, 3);
  EXPECT_TRUE(e().win.SFXReverse);
  EXPECT_EQ(e().win.SFXStartTime, 1000);
  EXPECT_EQ(e().win.SFXEndTime, 1250);
  EXPECT_EQ(e().pics.Extrabuf.Width(), 40);
  EXPECT_EQ(e().pics.Extrabuf.Height(), 30);
  EXPECT_EQ(e().pics.Extrabuf.At(39, 29), Rgb(1, 2, 3));
  EXPECT_EQ(RunBody({"SFX VWHIPE \\ 10 \\ IN"}), 0);
  EXPECT_EQ(e().win.SFX, 4);
  EXPECT_FALSE(e().win.SFXReverse);
}

TEST_F(Commands, GameOverEmptiesTheWorldButNotTheVariables) {
  AddCharacters({"Ayla"});
  EXPECT_EQ(RunBody({"ADDCHARACTER 1", "A 3", "GAMEOVER", "A 4"}), 0);
  EXPECT_EQ(e().win.GameMode, 2);
  EXPECT_EQ(e().win.Switsch, 4);
  EXPECT_EQ(w().PartyCount, 0);
  EXPECT_EQ(w().CharacterCount, 0);
  EXPECT_EQ(w().ScriptDepth, 0);
  EXPECT_EQ(Var('A').value.Number(), 3);
}

TEST_F(Commands, ShowMovie) {
  // No actor orders and no time limit: the script goes on at once.
  EXPECT_EQ(RunBody({"SHOWMOVIE"}), 0);
  EXPECT_EQ(e().win.GameMode, 8);

  AddCharacters({"Ayla"});
  te.platform.SetClock(500);
  EXPECT_EQ(RunBody({"ADDNPC 1", "SETACTOR 1 \\ 2 \\ 3 \\ 1 \\ walk", "SHOWMOVIE 1000"}), 0);
  EXPECT_EQ(e().win.GameMode, 9);
  EXPECT_EQ(e().win.MovieEndTime, 1500);
  EXPECT_TRUE(w().Npcs[1].actor.active);
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
