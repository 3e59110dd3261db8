#include <vector>

#include "script/field_access.h"
#include "script/script_engine.h"
#include "test_support.h"
#include "world/paths.h"
#include "world/record_fields.h"

namespace yw {
namespace {

using Params = std::vector<std::string>;

class FieldAccessTest : public ::testing::Test {
 protected:
  // Characters Hero (HP 30 of 50) and Orc (20 of 20), ten items, a party of
  // one Hero, two enemies (the second an Orc), two NPCs (the second on cell
  // 3, 4) and a 5 x 6 map with its event layer.
  FieldAccessTest() {
    w.CharacterCount = w.EnemyCount = w.NpcCount = 2, w.PartyCount = 1, w.ItemCount = 10;
    w.Characters.Resize(2), w.Enemies.Resize(2), w.Npcs.Resize(2), w.Items.Resize(10);
    Character& hero = w.Characters[1];
    hero.NAME = "Hero", hero.HP = 30, hero.MAXHP = 50;
    Character& orc = w.Characters[2];
    orc.NAME = "Orc", orc.HP = orc.MAXHP = 20;
    w.Items[1].NAME = "Sword";
    w.Party[1] = PartyMember{"Hero", 1, hero};
    w.Enemies[2].character = orc;
    w.Npcs[2].POS_X = 3, w.Npcs[2].POS_Y = 4;
    w.MapWidth = 5, w.MapHeight = 6;
    w.MapTiles.Reset(5, 6), w.MapEvents.Reset(5, 6);
  }

  // CHANGE with its parameters as the interpreter splits them.
  uint8_t Change(Params params) { return ChangeCommand(e, params); }
  ScriptValue Read(std::string_view expr, ValueKind kind = ValueKind::Undecided) {
    return Evaluate(e, expr, kind);
  }
  double Num(std::string_view expr) { return Read(expr, ValueKind::Number).Number(); }

  test::TestEngine t;
  Engine& e = t.engine;
  World& w = e.world;
};

TEST_F(FieldAccessTest, FailingChangesGiveTheirCodesAndChangeNothing) {
  const std::pair<Params, int> cases[] = {
      // Addresses out of range: each kind its own code.
      {{"MAP", "1", "7", "TILE", "5"}, 14},
      {{"ITEM", "99", "VALUE", "1"}, 24},
      {{"ENEMY", "9", "HP", "1"}, 23},
      {{"CHARACTER", "0", "HP", "1"}, 12},
      {{"TARGET", "HP"}, 15},
      {{"DRAGON", "1", "HP", "1"}, 13},
      {{"PARTY", "1", "LEVEL", "5"}, 13},
      {{"ENEMY", "1", "NAME", "[text]"}, 13},
  };
  const World before = w;
  for (const auto& [params, code] : cases) {
    EXPECT_EQ(Change(params), code) << params[0] << " " << params[1];
    ASSERT_EQ(w.Characters[1], before.Characters[1]);
    ASSERT_EQ(w.Party[1], before.Party[1]);
    ASSERT_EQ(w.MapTiles(1, 1).TILE, before.MapTiles(1, 1).TILE);
  }
}

TEST_F(FieldAccessTest, HitAndMagicPointsAreLimitedByTheirMaximum) {
  EXPECT_EQ(Change({"CHARACTER", "1", "HP", "999"}), 0);
  EXPECT_EQ(w.Characters[1].HP, 50);
  EXPECT_EQ(Change({"PARTY", "1", "MAXHP", "10"}), 0);
  EXPECT_EQ(w.Party[1].character.HP, 10);
  // Raising the maximum leaves the current value alone.
  EXPECT_EQ(Change({"PARTY", "1", "MAXHP", "40"}), 0);
  EXPECT_EQ(w.Party[1].character.HP, 10);
  // There is no lower bound.
  EXPECT_EQ(Change({"ENEMY", "2", "HP", "- 7"}), 0);
  EXPECT_EQ(w.Enemies[2].character.HP, -7);
  w.Characters[1].MAXMP = 8;
  EXPECT_EQ(Change({"character", "1", "mp", "9"}), 0);
  EXPECT_EQ(w.Characters[1].MP, 8);
  EXPECT_EQ(Change({"CHARACTER", "1", "MAXMP", "3"}), 0);
  EXPECT_EQ(w.Characters[1].MP, 3);
}

TEST_F(FieldAccessTest, MapCellFieldsRoundTrip) {
  EXPECT_EQ(Change({"MAP", "3", "4", "TILE", "5"}), 0);
  EXPECT_EQ(Change({"MAP", "3", "4", "DOODAD", "2 + 1"}), 0);
  EXPECT_EQ(w.MapTiles(3, 4).TILE, 5);
  EXPECT_EQ(Num("[data map, 3, 4, DOODAD]"), 3);
  // OBSTACLE: 0 makes the cell passable, anything else blocks it.
  EXPECT_EQ(Change({"MAP", "3", "4", "OBSTACLE", "0"}), 0);
  EXPECT_TRUE(w.MapEvents(3, 4).passable);
  EXPECT_EQ(Num("[data map, 3, 4, OBSTACLE]"), 0);
  EXPECT_EQ(Change({"MAP", "3", "4", "OBSTACLE", "7"}), 0);
  EXPECT_EQ(Num("[data map, 3, 4, OBSTACLE]"), 1);
  EXPECT_EQ(Change({"MAP", "3", "4", "BOX", "1"}), 0);
  EXPECT_EQ(Num("[data map, 3, 4, BOX]"), 1);
  EXPECT_EQ(Change({"MAP", "3", "4", "ENTERSCRIPT", "\"door.skr\""}), 0);
  EXPECT_EQ(w.MapEvents(3, 4).ENTERSCRIPT, "door.skr");
  EXPECT_EQ(Read("[data map, 3, 4, enterscript]").Text(), "door.skr");
  // The first NPC standing exactly on the cell.
  EXPECT_EQ(Num("[data map, 3, 4, NPC]"), 2);
  EXPECT_EQ(Num("[data map, 3, 5, NPC]"), 0);

  // Without an event layer the event fields are out of reach.
  w.MapEvents.Reset(1, 1);
  EXPECT_EQ(Change({"MAP", "3", "4", "OBSTACLE", "0"}), 14);
  EXPECT_TRUE(Read("[data map, 3, 4, USESCRIPT]").IsNothing());
  EXPECT_EQ(Num("[data map, 3, 4, TILE]"), 5);
}

TEST_F(FieldAccessTest, ValuesAreConvertedToTheFieldsWidthAndKind) {
  const std::pair<Params, double> numbers[] = {
      {{"NPC", "1", "POS_X", "7 / 2"}, 3.5},     {{"NPC", "1", "SPEED", "5 / 2"}, 2},  // halves to even
      {{"CHARACTER", "1", "EP", "40000"}, 32767}, {{"CHARACTER", "1", "STR", "- 40000"}, -32768},
      {{"PARTY", "1", "STATE", "40000"}, 40000},  {{"ITEM", "1", "TYPE", "300"}, 255},
      {{"ITEM", "1", "TYPE", "- 1"}, 0},          {{"ITEM", "1", "VISIBLE", "2"}, 1},
      {{"ITEM", "1", "VALUE", "\"ten\""}, 0},  // a text in a number field is nothing
  };
  for (const auto& [params, value] : numbers) {
    ASSERT_EQ(Change(params), 0) << params[2];
    const std::string read = "[data " + params[0] + ", " + params[1] + ", " + params[2] + "]";
    EXPECT_EQ(Num(read), value) << read;
  }
  EXPECT_EQ(w.Npcs[1].POS_X, 3.5f);

  e.win.KInputBox = "Zed";
  EXPECT_EQ(Change({"PARTY", "1", "NAME", "[text] \" the Bold\""}), 0);
  EXPECT_EQ(w.Party[1].NAME, "Zed the Bold");
  EXPECT_EQ(w.Party[1].character.NAME, "Hero");  // the member's own name only
  EXPECT_EQ(Change({"ITEM", "2", "FIGHTSCRIPT", "\"fire.skr\""}), 0);
  EXPECT_EQ(Read("[data item, 2, FIGHTSCRIPT]").Text(), "fire.skr");
  EXPECT_EQ(Change({"NPC", "2", "SCRIPT", "\"talk.skr\""}), 0);
  EXPECT_EQ(w.Npcs[2].SCRIPT, "talk.skr");
  EXPECT_EQ(Change({"ITEM", "1", "NAME", "5"}), 0);
  EXPECT_EQ(w.Items[1].NAME, "");
}

// Every field the records' tables give scripts: [data ...] reads it with
// its kind, and CHANGE writes it exactly when the table says it may, the
// value then read back as written.
TEST_F(FieldAccessTest, EveryFieldOfTheTablesIsReadAndWrittenAsItsAccessSays) {
  const std::pair<ScriptRecord, Params> records[] = {
      {ScriptRecord::Map, {"map", "3", "4"}}, {ScriptRecord::Character, {"character", "1"}},
      {ScriptRecord::Item, {"item", "1"}},    {ScriptRecord::Party, {"party", "1"}},
      {ScriptRecord::Enemy, {"enemy", "2"}},  {ScriptRecord::Npc, {"npc", "1"}},
      {ScriptRecord::Player, {"player"}},
  };
  // Room for the magic points written below their maximum.
  for (Character* c : {&w.Characters[1], &w.Party[1].character, &w.Enemies[2].character})
    c->MAXMP = 50;
  for (const auto& [record, address] : records) {
    const std::vector<FieldInfo> fields = ScriptFields(record);
    ASSERT_FALSE(fields.empty()) << address[0];
    for (const FieldInfo& f : fields) {
      const std::string name(f.name);
      std::string term = "[data " + address[0];
      for (size_t i = 1; i < address.size(); ++i) term += ", " + address[i];
      term += ", " + name + "]";
      const ValueKind kind = f.IsText() ? ValueKind::Text : ValueKind::Number;
      const ScriptValue before = Read(term, kind);
      EXPECT_TRUE(f.IsText() ? before.IsText() : before.IsNumber()) << term;

      Params change = address;
      change[0] = ToUpper(change[0]);
      change.push_back(name);
      change.push_back(f.IsText() ? "\"abc\"" : "1");
      const bool writable = f.access == Access::Write;
      ASSERT_EQ(Change(change), writable ? 0 : 13) << term;
      if (!writable) continue;
      const ScriptValue after = Read(term, kind);
      if (f.IsText())
        EXPECT_EQ(after.Text(), "abc") << term;
      else
        EXPECT_EQ(after.Number(), 1) << term;
    }
  }
}

TEST_F(FieldAccessTest, LevelBoundaries) {
  const std::pair<int32_t, int16_t> cases[] = {{-5, 1}, {0, 1},  {10, 1},     {11, 2},  {30, 2},
                                               {31, 3}, {60, 3}, {61, 4},     {100, 4}, {101, 5},
                                               {32767, 81}, {49500, 99}, {49501, 100}, {1000000, 100}};
  for (auto [ep, level] : cases) EXPECT_EQ(LevelFromEP(ep), level) << ep;
}

}  // namespace
}  // namespace yw
