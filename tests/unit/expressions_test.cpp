#include <cmath>
#include <random>
#include <set>

#include "script/expressions.h"
#include "script/script_engine.h"
#include "test_support.h"

namespace yw {
namespace {

class ExpressionTest : public ::testing::Test {
 protected:
  // Two characters, a party of one (renamed), two enemies, two NPCs, three
  // items, a list choice, an input text and two variables.
  ExpressionTest() {
    w.CharacterCount = w.EnemyCount = w.NpcCount = 2, w.PartyCount = 1, w.ItemCount = 3;
    w.Characters.Resize(2), w.Party.Resize(1), w.Enemies.Resize(2);
    w.Npcs.Resize(2), w.Items.Resize(3);
    w.Characters[1].NAME = "Hero", w.Characters[1].HP = 30;
    w.Characters[2].NAME = "Orc", w.Characters[2].HP = 1;
    w.Party[1] = PartyMember{"Renamed", 1, w.Characters[1]};
    w.Party[1].character.HP = 5;
    w.Enemies[2].character.NAME = "orc";
    w.Npcs[2].CHAR = 2;
    w.Items[1].NAME = "Sword";
    w.ListItemVal = 17;
    e.win.KInputBox = "Bob";
    w.Variables[0] = {ScriptValue{std::string("hello")}, ValueKind::Text};
    w.Variables[1] = {ScriptValue{3.0}, ValueKind::Number};
    w.Variables[2] = {ScriptValue{}, ValueKind::Undecided};
  }
  double Num(std::string_view text) {
    ValueKind kind = ValueKind::Number;
    const ScriptValue v = Evaluate(e, text, kind);
    EXPECT_TRUE(v.IsNumber() && kind == ValueKind::Number) << text;
    return v.Number();
  }

  test::TestEngine t;
  Engine& e = t.engine;
  World& w = e.world;
};

TEST_F(ExpressionTest, Numbers) {
  const std::pair<std::string_view, double> cases[] = {
      // One pass from left to right, no precedence; an operator stays
      // pending for every later value.
      {"2 + 3 * 4", 20}, {"7 / 2", 3.5}, {"- 5", -5}, {"10 - 3 - 2", 5}, {"2 * 3 4", 24},
      {"1 2 3", 6},
      // The character after a digit run is swallowed as its separator.
      {"5-3", 8}, {"30-5", 35}, {"2.5", 7}, {"(2)*3", 6},
      // Single precision; division by 0 gives 0.
      {"1 / 3", static_cast<double>(1.0f / 3.0f)}, {"16777217", 16777216.0}, {"5 / 0", 0},
      {"5 / 0 + 2", 2}, {"2 * (3 + 4)", 14}, {"(1 + (2 * (3 + 1)))", 9},
      // Terms of the other kind are nothing (0).
      {"[data character, 1, HP] - 5", 25}, {"[data character, 1, NAME] + 1", 1}, {"[str 5] 2", 2},
      {"[text] 1", 1}, {"[A]", 0}, {"[b] + 1", 4},
      {"[val \"  42abc\"]", 42}, {"[val \"-2.5\"] * 2", -5}, {"[val \"1e3\"]", 1000},
      {"[val \"abc\"]", 0}, {"[val \"\"]", 0}, {"[val \"1e999\"] - 1", INFINITY},
      {"[no]", 0}, {"[yes] [up]", 2}, {"[down]", 2}, {"[left]", 3}, {"[RIGHT]", 4},
      {"[listitemval]", 17}, {"[random 4, 4]", 4}, {"[random 6] + 2", 2},
      {"[round 5 / 2]", 2}, {"[round 7 / 2]", 4}, {"[round 7 / 3, UP]", 3},
      {"[round 8 / 3, DOWN]", 2}, {"[round 8 / 3, down ]", 2}, {"[round 2.5]", 7},
      {"[round - 7 / 2, UP]", -3}, {"[round 7 / 3, SIDEWAYS]", 0},
      {"[count items]", 3}, {"[COUNT Items]", 3}, {"[count  npc ]", 2}, {"[count enemys]", 2},
      {"[count players]", 1}, {"[count dragons]", 0}, {"[alldead]", 0},
      // Name lookups trim and ignore case; out-of-range indexes give 0.
      {"[charbyname \" ORC \"]", 2}, {"[charbyname \"Troll\"]", 0}, {"[itembyname \"sword\"]", 1},
      {"[enemybychar 2]", 2}, {"[enemybychar 9]", 0}, {"[npcbychar 2]", 2}, {"[npcbychar 3]", 0},
      {"[playerbyname \"renamed\"]", 1}, {"[playerbyname \"Hero\"]", 0},
      {"[playerbychar 1]", 1},  // by the character the member came from
      {"[playerbychar 0]", 0}, {"[probe 1000, 0]", 1},
      // Malformed brackets end at the end of the text.
      {"[round 5 / 2", 2}, {"(1 + 2", 3}, {"]])) 4", 4}, {"[[[[", 0}, {"[", 0}, {"(\"", 0},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(Num(text), value) << text;
}

TEST_F(ExpressionTest, Texts) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"\"ab\" \"cd\"", "abcd"}, {"\"ab\"X\"cd\"", "abcd"},  // the closing quote swallows one more
      {"\"unterminated", "unterminated"}, {"  \"with blanks\"  ", "with blanks"},
      {"(\"a)\" \"b\")", "a)b"},
      {"\"HP: \" [data character, 1, HP]", "HP: "},
      {"\"HP: \" [str [data character, 1, HP]]", "HP: 30"}, {"\"a\" [str 1] \"b\"", "a1b"},
      {"[str 7 / 2]", "3.5"}, {"[str - 12]", "-12"}, {"[str 0]", "0"}, {"[str 1 / 3]", "0.3333333"},
      {"[str 1, 2]", ""}, {"[str \"]\" 5]", "5"}, {"\"Hi \" [text]", "Hi Bob"}, {"[a] \"!\"", "hello!"},
  };
  for (const auto& [text, value] : cases) {
    ValueKind kind = ValueKind::Text;
    EXPECT_EQ(Evaluate(e, text, kind).Text(), value) << text;
  }
}

TEST_F(ExpressionTest, ProbeFollowsTheContestRule) {
  const auto wins = [&](int a, int b) {
    int won = 0;
    for (int i = 0; i < 2000; ++i) won += Probe(e, a, b) ? 1 : 0;
    return won;
  };
  EXPECT_NEAR(wins(30, 10), 1500, 150);   // p = 0.75
  EXPECT_NEAR(wins(1000, 100), 1000, 150);  // a is capped at 100: an even contest
  EXPECT_EQ(wins(5, 0), 2000);              // nothing to resist
  EXPECT_EQ(wins(0, 10), 0);
}

TEST_F(ExpressionTest, DeepNestingYieldsNothingInsteadOfOverflowing) {
  EXPECT_EQ(Num(std::string(5000, '(') + "1" + std::string(5000, ')')), 0);
  EXPECT_EQ(Num(std::string(20, '(') + "1" + std::string(20, ')')), 1);
  std::string terms;
  for (int i = 0; i < 3000; ++i) terms += "[str ";
  ValueKind kind = ValueKind::Text;
  EXPECT_EQ(Evaluate(e, terms, kind).Text(), "0");  // the outer term sees a number term it cannot use
}

}  // namespace
}  // namespace yw
