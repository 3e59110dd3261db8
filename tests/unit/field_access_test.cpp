#include <cmath>
#include <random>
#include <set>
#include <vector>

#include "script/field_access.h"
#include "script/script_engine.h"
#include "test_support.h"

namespace yw {
namespace {

class FieldAccessTest : public ::testing::Test {
 protected:
  FieldAccessTest() {
    w.CharacterCount = 2;
    w.Characters.Resize(2);
    w.Characters[1] = MakeCharacter("Hero", 30, 50);
    w.Characters[2] = MakeCharacter("Orc", 20, 20);
    w.ItemCount = 10;
    w.Items.Resize(10);
    w.Items[1].NAME = "Sword";
    w.PartyCount = 1;
    w.Party[1].NAME = "Hero";
    w.Party[1].STATE = 1;
    w.Party[1].character = w.Characters[1];
    w.EnemyCount = 2;
    w.Enemies.Resize(2);
    w.Enemies[2].character = w.Characters[2];
    w.NpcCount = 2;
    w.Npcs.Resize(2);
    w.Npcs[2].POS_X = 3;
    w.Npcs[2].POS_Y = 4;
    w.MapWidth = 5;
    w.MapHeight = 6;
    w.MapTiles.Reset(5, 6);
    w.MapEvents.Reset(5, 6);
  }
  static Character MakeCharacter(std::string name, int16_t hp, int16_t maxhp) {
    Character c;
    c.NAME = std::move(name);
    c.HP = hp;
    c.MAXHP = maxhp;
    return c;
  }

  // CHANGE with its parameters as the interpreter splits them.
  uint8_t Change(std::vector<std::string> params) { return ChangeCommand(e, params); }
  ScriptValue Read(std::string_view expr, ValueKind kind = ValueKind::Undecided) {
    return Evaluate(e, expr, kind);
  }
  double Num(std::string_view expr) { return Read(expr, ValueKind::Number).Number(); }

  test::TestEngine t;
  Engine& e = t.engine;
  World& w = e.world;
};

TEST_F(FieldAccessTest, HitPointsAreLimitedByTheirMaximum) {
  EXPECT_EQ(Change({"CHARACTER", "1", "HP", "999"}), 0);
  EXPECT_EQ(w.Characters[1].HP, 50);
  w.Party[1].character.HP = 30;
  EXPECT_EQ(Change({"PARTY", "1", "MAXHP", "10"}), 0);
  EXPECT_EQ(w.Party[1].character.MAXHP, 10);
  EXPECT_EQ(w.Party[1].character.HP, 10);
  // Raising the maximum leaves the current value alone.
  EXPECT_EQ(Change({"PARTY", "1", "MAXHP", "40"}), 0);
  EXPECT_EQ(w.Party[1].character.HP, 10);
  // There is no lower bound.
  EXPECT_EQ(Change({"ENEMY", "2", "HP", "- 7"}), 0);
  EXPECT_EQ(w.Enemies[2].character.HP, -7);
}

TEST_F(FieldAccessTest, MagicPointsFollowTheSameRule) {
  w.Characters[1].MAXMP = 8;
  EXPECT_EQ(Change({"character", "1", "mp", "9"}), 0);
  EXPECT_EQ(w.Characters[1].MP, 8);
  EXPECT_EQ(Change({"CHARACTER", "1", "MAXMP", "3"}), 0);
  EXPECT_EQ(w.Characters[1].MP, 3);
}

TEST_F(FieldAccessTest, AddressesOutOfRangeGiveTheirCodes) {
  EXPECT_EQ(Change({"MAP", "0", "1", "TILE", "5"}), 14);
  EXPECT_EQ(Change({"MAP", "1", "7", "TILE", "5"}), 14);
  EXPECT_EQ(Change({"ITEM", "99", "VALUE", "1"}), 24);
  EXPECT_EQ(Change({"ENEMY", "9", "HP", "1"}), 23);
  EXPECT_EQ(Change({"NPC", "9", "SPEED", "1"}), 12);
  EXPECT_EQ(Change({"PARTY", "2", "HP", "1"}), 12);
  EXPECT_EQ(Change({"CHARACTER", "3", "HP", "1"}), 12);
  EXPECT_EQ(Change({"CHARACTER", "0", "HP", "1"}), 12);
}

TEST_F(FieldAccessTest, MissingParametersUnknownKindsAndFields) {
  EXPECT_EQ(Change({"MAP", "1", "1", "TILE"}), 15);
  EXPECT_EQ(Change({"CHARACTER", "1", "HP"}), 15);
  EXPECT_EQ(Change({"TARGET", "HP"}), 15);
  EXPECT_EQ(Change({"DRAGON", "1", "HP", "1"}), 13);
  EXPECT_EQ(Change({"PLAYER", "POS_X", "1"}), 13);
  EXPECT_EQ(Change({"CHARACTER", "1", "COLOUR", "1"}), 13);
  EXPECT_EQ(Change({"ENEMY", "1", "NAME", "[text]"}), 13);
  EXPECT_EQ(Change({"PARTY", "1", "LEVEL", "5"}), 13);
  EXPECT_EQ(Change({"PARTY", "1", "CHAR", "2"}), 13);
  EXPECT_EQ(Change({"MAP", "1", "1", "NPC", "2"}), 13);
  EXPECT_EQ(Change({"ENEMY", "1", "LEVEL", "2"}), 13);
}

TEST_F(FieldAccessTest, AFailingChangeChangesNothing) {
  const World before = w;
  Change({"CHARACTER", "1", "COLOUR", "1"});
  Change({"ITEM", "11", "NUMBER", "5"});
  Change({"MAP", "1", "1", "TILE"});
  EXPECT_EQ(w.Characters[1], before.Characters[1]);
  EXPECT_EQ(w.Items[10], before.Items[10]);
  EXPECT_EQ(w.MapTiles(1, 1).TILE, 0);
}

TEST_F(FieldAccessTest, MapCellFields) {
  EXPECT_EQ(Change({"MAP", "3", "4", "TILE", "5"}), 0);
  EXPECT_EQ(Change({"MAP", "3", "4", "DOODAD", "2 + 1"}), 0);
  EXPECT_EQ(w.MapTiles(3, 4).TILE, 5);
  EXPECT_EQ(Num("[data map, 3, 4, DOODAD]"), 3);
  EXPECT_EQ(Change({"MAP", "3", "4", "OBSTACLE", "0"}), 0);
  EXPECT_TRUE(w.MapEvents(3, 4).passable);
  EXPECT_EQ(Num("[data map, 3, 4, OBSTACLE]"), 0);
  EXPECT_EQ(Change({"MAP", "3", "4", "OBSTACLE", "7"}), 0);
  EXPECT_FALSE(w.MapEvents(3, 4).passable);
  EXPECT_EQ(Num("[data map, 3, 4, OBSTACLE]"), 1);
  EXPECT_EQ(Change({"MAP", "3", "4", "BOX", "1"}), 0);
  EXPECT_TRUE(w.MapEvents(3, 4).BOX);
  EXPECT_EQ(Num("[data map, 3, 4, BOX]"), 1);
  EXPECT_EQ(Change({"MAP", "3", "4", "ENTERSCRIPT", "\"door.skr\""}), 0);
  EXPECT_EQ(w.MapEvents(3, 4).ENTERSCRIPT, "door.skr");
  EXPECT_EQ(Read("[data map, 3, 4, enterscript]").Text(), "door.skr");
  // The first NPC standing exactly on the cell.
  EXPECT_EQ(Num("[data map, 3, 4, NPC]"), 2);
  EXPECT_EQ(Num("[data map, 3, 5, NPC]"), 0);
}

TEST_F(FieldAccessTest, EventFieldsNeedAnEventLayer) {
  w.MapEvents.Reset(1, 1);  // no eventmap loaded
  EXPECT_EQ(Change({"MAP", "3", "4", "OBSTACLE", "0"}), 14);
  EXPECT_EQ(Change({"MAP", "3", "4", "TILE", "2"}), 0);
  EXPECT_TRUE(Read("[data map, 3, 4, USESCRIPT]").IsNothing());
  EXPECT_EQ(Num("[data map, 3, 4, TILE]"), 2);
}

TEST_F(FieldAccessTest, ValuesAreConvertedToTheFieldsWidth) {
  EXPECT_EQ(Change({"NPC", "1", "POS_X", "7 / 2"}), 0);
  EXPECT_EQ(w.Npcs[1].POS_X, 3.5f);
  EXPECT_EQ(Change({"NPC", "1", "SPEED", "5 / 2"}), 0);
  EXPECT_EQ(w.Npcs[1].SPEED, 2);  // halves to even
  EXPECT_EQ(Change({"CHARACTER", "1", "EP", "40000"}), 0);
  EXPECT_EQ(w.Characters[1].EP, 32767);
  EXPECT_EQ(Change({"CHARACTER", "1", "STR", "- 40000"}), 0);
  EXPECT_EQ(w.Characters[1].STR, -32768);
  EXPECT_EQ(Change({"PARTY", "1", "STATE", "40000"}), 0);
  EXPECT_EQ(w.Party[1].STATE, 40000);
  EXPECT_EQ(Change({"ITEM", "1", "TYPE", "300"}), 0);
  EXPECT_EQ(w.Items[1].TYPE, 255);
  EXPECT_EQ(Change({"ITEM", "1", "TYPE", "- 1"}), 0);
  EXPECT_EQ(w.Items[1].TYPE, 0);
  EXPECT_EQ(Change({"ITEM", "1", "VISIBLE", "2"}), 0);
  EXPECT_TRUE(w.Items[1].VISIBLE);
  EXPECT_EQ(Num("[data item, 1, VISIBLE]"), 1);
  // A value of the wrong kind is nothing: 0 or an empty text.
  EXPECT_EQ(Change({"ITEM", "1", "VALUE", "\"ten\""}), 0);
  EXPECT_EQ(w.Items[1].VALUE, 0);
  EXPECT_EQ(Change({"ITEM", "1", "NAME", "5"}), 0);
  EXPECT_EQ(w.Items[1].NAME, "");
}

TEST_F(FieldAccessTest, TextFieldsTakeTextExpressions) {
  e.win.KInputBox = "Zed";
  EXPECT_EQ(Change({"PARTY", "1", "NAME", "[text] \" the Bold\""}), 0);
  EXPECT_EQ(w.Party[1].NAME, "Zed the Bold");
  EXPECT_EQ(w.Party[1].character.NAME, "Hero");
  EXPECT_EQ(Change({"ITEM", "2", "FIGHTSCRIPT", "\"fire.skr\""}), 0);
  EXPECT_EQ(Read("[data item, 2, FIGHTSCRIPT]").Text(), "fire.skr");
  EXPECT_EQ(Change({"NPC", "2", "SCRIPT", "\"talk.skr\""}), 0);
  EXPECT_EQ(w.Npcs[2].SCRIPT, "talk.skr");
}

TEST_F(FieldAccessTest, ReadingYieldsTheFieldsKindOrNothing) {
  EXPECT_EQ(Num("[data character, 1, HP] - 5"), 25);
  EXPECT_EQ(Read("[data party, 1, NAME]").Text(), "Hero");
  EXPECT_EQ(Num("[data party, 1, NAME]"), 0);
  EXPECT_TRUE(Read("[data party, 1, NAME]", ValueKind::Number).IsNumber());
  EXPECT_EQ(Read("[data enemy, 2, NAME]").Text(), "Orc");
  EXPECT_TRUE(Read("[data character, 1]").IsNothing());
  EXPECT_TRUE(Read("[data player, 1, POS_X]").IsNothing());
  EXPECT_TRUE(Read("[data character, 3, HP]").IsNothing());
  EXPECT_TRUE(Read("[data character, 1, COLOUR]").IsNothing());
  EXPECT_TRUE(Read("[data dragon, 1, HP]").IsNothing());
  EXPECT_TRUE(Read("[data enemy, 2, LEVEL]").IsNothing());
  ValueKind kind = ValueKind::Undecided;
  Evaluate(e, "[data character, 3, HP]", kind);
  EXPECT_EQ(kind, ValueKind::Undecided);
}

TEST_F(FieldAccessTest, ComputedFields) {
  w.Party[1].character.EP = 31;
  EXPECT_EQ(Num("[data party, 1, LEVEL]"), 3);
  EXPECT_EQ(Num("[data party, 1, CHAR]"), 1);
  EXPECT_EQ(Num("[data enemy, 2, CHAR]"), 2);
  EXPECT_EQ(Num("[data enemy, 1, CHAR]"), 0);  // no character has an empty name
}

TEST_F(FieldAccessTest, LevelBoundaries) {
  const std::pair<int32_t, int16_t> cases[] = {{-5, 1}, {0, 1},  {10, 1},     {11, 2},  {30, 2},
                                               {31, 3}, {60, 3}, {61, 4},     {100, 4}, {101, 5},
                                               {32767, 81}, {49500, 99}, {49501, 100}, {1000000, 100}};
  for (auto [ep, level] : cases) EXPECT_EQ(LevelFromEP(ep), level) << ep;
}

TEST_F(FieldAccessTest, PlayerIsReadOnly) {
  w.PlayerPosX = 2.5f;
  w.PlayerPosY = 7;
  w.PlayerDirection = 4;
  EXPECT_EQ(Num("[data player, POS_X]"), 2.5);
  EXPECT_EQ(Num("[data PLAYER, pos_y]"), 7);
  EXPECT_EQ(Num("[data player, DIRECTION]"), 4);
}

TEST_F(FieldAccessTest, TargetAndUserStandForAFighter) {
  w.TargetIsParty = false;
  w.TargetIndex = 2;
  EXPECT_EQ(Num("[data target, HP]"), 20);
  EXPECT_EQ(Change({"TARGET", "HP", "5"}), 0);
  EXPECT_EQ(w.Enemies[2].character.HP, 5);
  EXPECT_EQ(Change({"TARGET", "NAME", "\"x\""}), 13);
  w.TargetIndex = 3;
  EXPECT_EQ(Change({"TARGET", "HP", "5"}), 23);
  EXPECT_TRUE(Read("[data target, HP]").IsNothing());
  w.TargetIsParty = true;
  w.TargetIndex = 1;
  EXPECT_EQ(Read("[data target, NAME]").Text(), "Hero");
  EXPECT_EQ(Change({"TARGET", "STATE", "0"}), 0);
  EXPECT_EQ(w.Party[1].STATE, 0);

  e.win.FightDranPlayer = true;
  e.win.FightDran = 1;
  EXPECT_EQ(Change({"USER", "NPC", "2"}), 0);
  EXPECT_EQ(w.Party[1].NPC, 2);
  EXPECT_EQ(Num("[data user, NPC]"), 2);
  e.win.FightDran = 2;
  EXPECT_EQ(Change({"USER", "NPC", "2"}), 12);
  e.win.FightDranPlayer = false;
  EXPECT_EQ(Num("[data user, MAXHP]"), 20);
}

// Random CHANGE lines: only the defined result codes come back, and a
// character's HP never ends above its MAXHP after a write to either.
TEST_F(FieldAccessTest, RandomChangesGiveDefinedCodes) {
  const std::vector<std::string> words = {
      "MAP", "CHARACTER", "ITEM", "PARTY", "ENEMY", "NPC", "TARGET", "USER", "PLAYER", "map",
      "HP", "MAXHP", "MP", "NAME", "TILE", "OBSTACLE", "TYPE", "POS_X", "STATE", "LEVEL",
      "0", "1", "2", "3", "- 1", "99999", "\"x\"", "[text]", "[", "(", "", "7 / 2"};
  const std::set<int> allowed = {0, 12, 13, 14, 15, 23, 24};
  std::mt19937 gen(77);
  w.TargetIndex = 1;
  w.TargetIsParty = true;
  for (int round = 0; round < 3000; ++round) {
    std::vector<std::string> params(gen() % 7);
    for (std::string& p : params) p = words[gen() % words.size()];
    const uint8_t code = ChangeCommand(e, params);
    ASSERT_TRUE(allowed.count(code)) << int(code);
    for (int i = 1; i <= w.CharacterCount; ++i) ASSERT_LE(w.Characters[i].HP, w.Characters[i].MAXHP);
  }
}

}  // namespace
}  // namespace yw
