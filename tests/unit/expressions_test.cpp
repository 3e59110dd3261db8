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
  Engine& e = t.engine;
  World& w = e.world;

  double Num(std::string_view text) {
    ValueKind kind = ValueKind::Number;
    const ScriptValue v = Evaluate(e, text, kind);
    EXPECT_TRUE(v.IsNumber()) << text;
    EXPECT_EQ(kind, ValueKind::Number) << text;
    return v.Number();
  }
  std::string Text(std::string_view text) {
    ValueKind kind = ValueKind::Text;
    const ScriptValue v = Evaluate(e, text, kind);
    EXPECT_TRUE(v.IsText()) << text;
    return v.Text();
  }
  // Evaluates with the kind left open; returns the kind it turned out to be.
  ValueKind Open(std::string_view text, ScriptValue* out = nullptr) {
    ValueKind kind = ValueKind::Undecided;
    const ScriptValue v = Evaluate(e, text, kind);
    if (out) *out = v;
    return kind;
  }
  void AddCharacter(std::string name, int16_t hp, int16_t maxhp = 50) {
    ++w.CharacterCount;
    w.Characters.Resize(w.CharacterCount);
    Character& c = w.Characters[w.CharacterCount];
    c.NAME = std::move(name);
    c.HP = hp;
    c.MAXHP = maxhp;
  }
  void AddMember(std::string name, int32_t state, int16_t hp) {
    ++w.PartyCount;
    w.Party.Resize(w.PartyCount);
    PartyMember& m = w.Party[w.PartyCount];
    m.NAME = name;
    m.character.NAME = std::move(name);
    m.STATE = state;
    m.character.HP = hp;
  }

  test::TestEngine t;
};

TEST_F(ExpressionTest, LeftToRightWithoutPrecedence) {
  EXPECT_EQ(Num("2 + 3 * 4"), 20);
  EXPECT_EQ(Num("7 / 2"), 3.5);
  EXPECT_EQ(Num("- 5"), -5);
  EXPECT_EQ(Num("10 - 3 - 2"), 5);
  // The operator stays pending for later values.
  EXPECT_EQ(Num("2 * 3 4"), 24);
  EXPECT_EQ(Num("1 2 3"), 6);
}

TEST_F(ExpressionTest, CharacterAfterANumberIsASeparator) {
  EXPECT_EQ(Num("5-3"), 8);
  EXPECT_EQ(Num("30-5"), 35);
  EXPECT_EQ(Num("2.5"), 7);
  EXPECT_EQ(Num("(2)*3"), 6);  // a closing parenthesis is not a number's separator
}

TEST_F(ExpressionTest, ArithmeticIsSinglePrecision) {
  EXPECT_EQ(Num("1 / 3"), static_cast<double>(1.0f / 3.0f));
  EXPECT_EQ(Num("16777217"), 16777216.0);
}

TEST_F(ExpressionTest, DivisionByZeroGivesZero) {
  EXPECT_EQ(Num("5 / 0"), 0);
  EXPECT_EQ(Num("5 / 0 + 2"), 2);
}

TEST_F(ExpressionTest, ParenthesesGroupAndNest) {
  EXPECT_EQ(Num("2 * (3 + 4)"), 14);
  EXPECT_EQ(Num("(1 + (2 * (3 + 1)))"), 9);
  EXPECT_EQ(Text("(\"a)\" \"b\")"), "a)b");
}

TEST_F(ExpressionTest, QuotesConcatenateAndSwallowOneCharacter) {
  EXPECT_EQ(Text("\"ab\" \"cd\""), "abcd");
  EXPECT_EQ(Text("\"ab\"X\"cd\""), "abcd");
  EXPECT_EQ(Text("\"unterminated"), "unterminated");
  EXPECT_EQ(Text("  \"with blanks\"  "), "with blanks");
}

TEST_F(ExpressionTest, KindIsDecidedByTheFirstTypedPart) {
  ScriptValue v;
  EXPECT_EQ(Open("3 + 4", &v), ValueKind::Number);
  EXPECT_EQ(v.Number(), 7);
  EXPECT_EQ(Open("\"x\" 5", &v), ValueKind::Text);
  EXPECT_EQ(v.Text(), "x");
  EXPECT_EQ(Open("5 \"x\"", &v), ValueKind::Number);
  EXPECT_EQ(v.Number(), 5);
  // Nothing typed: the kind stays open and the result is nothing.
  EXPECT_EQ(Open("   ", &v), ValueKind::Undecided);
  EXPECT_TRUE(v.IsNothing());
  EXPECT_EQ(Open("[nosuchterm 1] [] [ ]", &v), ValueKind::Undecided);
  EXPECT_TRUE(v.IsNothing());
  EXPECT_EQ(Open("(\"in\") 3", &v), ValueKind::Text);
  EXPECT_EQ(v.Text(), "in");
}

TEST_F(ExpressionTest, TermsOfTheOtherKindYieldNothing) {
  AddCharacter("Hero", 30);
  EXPECT_EQ(Text("\"HP: \" [data character, 1, HP]"), "HP: ");
  EXPECT_EQ(Text("\"HP: \" [str [data character, 1, HP]]"), "HP: 30");
  EXPECT_EQ(Num("[data character, 1, HP] - 5"), 25);
  EXPECT_EQ(Num("[data character, 1, NAME] + 1"), 1);
  EXPECT_EQ(Text("\"a\" [str 1] \"b\""), "a1b");
  EXPECT_EQ(Num("[str 5] 2"), 2);
}

TEST_F(ExpressionTest, ConversionTerms) {
  EXPECT_EQ(Num("[val \"  42abc\"]"), 42);
  EXPECT_EQ(Num("[val \"-2.5\"] * 2"), -5);
  EXPECT_EQ(Num("[val \"1e3\"]"), 1000);
  EXPECT_EQ(Num("[val \"abc\"]"), 0);
  EXPECT_EQ(Num("[val \"\"]"), 0);
  EXPECT_EQ(Num("[val \"1e999\"] - 1"), INFINITY);  // no crash; an infinity goes on
  EXPECT_EQ(Text("[str 7 / 2]"), "3.5");
  EXPECT_EQ(Text("[str - 12]"), "-12");
  EXPECT_EQ(Text("[str 0]"), "0");
  EXPECT_EQ(Text("[str 1 / 3]"), "0.3333333");
  EXPECT_EQ(Text("[str 1, 2]"), "");  // wrong argument count
}

TEST_F(ExpressionTest, ConstantTerms) {
  EXPECT_EQ(Num("[no]"), 0);
  EXPECT_EQ(Num("[yes] [up]"), 2);
  EXPECT_EQ(Num("[down]"), 2);
  EXPECT_EQ(Num("[left]"), 3);
  EXPECT_EQ(Num("[RIGHT]"), 4);
  w.ListItemVal = 17;
  EXPECT_EQ(Num("[listitemval]"), 17);
  e.win.KInputBox = "Bob";
  EXPECT_EQ(Text("\"Hi \" [text]"), "Hi Bob");
  EXPECT_EQ(Num("[text] 1"), 1);
}

TEST_F(ExpressionTest, RandomStaysWithinItsBounds) {
  std::set<double> seen;
  for (int i = 0; i < 600; ++i) {
    const double v = Num("[random 1, 6]");
    ASSERT_EQ(v, std::floor(v));
    ASSERT_GE(v, 1);
    ASSERT_LE(v, 6);
    seen.insert(v);
  }
  EXPECT_EQ(seen.size(), 6u);
  EXPECT_EQ(Num("[random 4, 4]"), 4);
  // Too few arguments: nothing, and the kind is left open.
  ScriptValue v;
  EXPECT_EQ(Open("[random 6]", &v), ValueKind::Undecided);
  EXPECT_TRUE(v.IsNothing());
  EXPECT_EQ(Num("[random 6] + 2"), 2);
}

TEST_F(ExpressionTest, RoundingTerm) {
  EXPECT_EQ(Num("[round 5 / 2]"), 2);
  EXPECT_EQ(Num("[round 7 / 2]"), 4);
  EXPECT_EQ(Num("[round 7 / 3, UP]"), 3);
  EXPECT_EQ(Num("[round 8 / 3, DOWN]"), 2);
  EXPECT_EQ(Num("[round 8 / 3, down ]"), 2);
  EXPECT_EQ(Num("[round 2.5]"), 7);
  EXPECT_EQ(Num("[round - 7 / 2, UP]"), -3);
  EXPECT_EQ(Num("[round 7 / 3, SIDEWAYS]"), 0);
}

TEST_F(ExpressionTest, AllDeadFollowsTheAliveRule) {
  EXPECT_EQ(Num("[alldead]"), 1);  // empty party
  AddMember("A", 0, 10);           // absent
  AddMember("B", 1, 0);            // no hit points
  EXPECT_EQ(Num("[alldead]"), 1);
  AddMember("C", 2, 1);
  EXPECT_EQ(Num("[alldead]"), 0);
}

TEST_F(ExpressionTest, CountTermIgnoresCaseAndBlanks) {
  w.ItemCount = 3;
  w.Items.Resize(3);
  w.NpcCount = 2;
  w.EnemyCount = 4;
  EXPECT_EQ(Num("[count items]"), 3);
  EXPECT_EQ(Num("[COUNT Items]"), 3);
  EXPECT_EQ(Num("[count  npc ]"), 2);
  EXPECT_EQ(Num("[count enemys]"), 4);
  EXPECT_EQ(Num("[count players]"), 0);
  EXPECT_EQ(Num("[count dragons]"), 0);
}

TEST_F(ExpressionTest, NameLookups) {
  AddCharacter("Hero", 1);
  AddCharacter("Orc", 1);
  AddMember("Hero", 1, 5);
  w.Party[1].NAME = "Renamed";
  w.EnemyCount = 2;
  w.Enemies.Resize(2);
  w.Enemies[2].character.NAME = "orc";
  w.NpcCount = 2;
  w.Npcs.Resize(2);
  w.Npcs[2].CHAR = 2;
  w.ItemCount = 1;
  w.Items[1].NAME = "Sword";
  EXPECT_EQ(Num("[charbyname \" ORC \"]"), 2);
  EXPECT_EQ(Num("[charbyname \"Troll\"]"), 0);
  EXPECT_EQ(Num("[itembyname \"sword\"]"), 1);
  EXPECT_EQ(Num("[enemybychar 2]"), 2);
  EXPECT_EQ(Num("[enemybychar 9]"), 0);
  EXPECT_EQ(Num("[npcbychar 2]"), 2);
  EXPECT_EQ(Num("[npcbychar 3]"), 0);
  EXPECT_EQ(Num("[playerbyname \"renamed\"]"), 1);
  EXPECT_EQ(Num("[playerbyname \"Hero\"]"), 0);
  EXPECT_EQ(Num("[playerbychar 1]"), 1);  // matched by the character it came from
  EXPECT_EQ(Num("[playerbychar 0]"), 0);
}

TEST_F(ExpressionTest, VariablesKeepTheirKind) {
  w.Variables[0] = {ScriptValue{std::string("hello")}, ValueKind::Text};
  w.Variables[1] = {ScriptValue{3.0}, ValueKind::Number};
  EXPECT_EQ(Num("[A]"), 0);
  EXPECT_EQ(Text("[a] \"!\""), "hello!");
  EXPECT_EQ(Num("[B] + 1"), 4);
  ScriptValue v;
  EXPECT_EQ(Open("[A]", &v), ValueKind::Text);
  EXPECT_EQ(v.Text(), "hello");
  EXPECT_EQ(Open("[J]", &v), ValueKind::Number);  // untouched slots are empty numbers
  EXPECT_EQ(v.Number(), 0);
  w.Variables[2] = {ScriptValue{}, ValueKind::Undecided};
  EXPECT_EQ(Open("[C]", &v), ValueKind::Undecided);
  EXPECT_TRUE(v.IsNothing());
}

TEST_F(ExpressionTest, ProbeFollowsTheContestRule) {
  int won = 0;
  for (int i = 0; i < 2000; ++i) won += Probe(e, 30, 10) ? 1 : 0;  // p = 0.75
  EXPECT_GT(won, 1350);
  EXPECT_LT(won, 1650);
  for (int i = 0; i < 200; ++i) {
    ASSERT_TRUE(Probe(e, 5, 0));     // nothing to resist
    ASSERT_FALSE(Probe(e, 0, 10));  // p = 0, r >= 0 wins only at r = 0
  }
  // a is capped at 100: 1000 against 100 is an even contest.
  won = 0;
  for (int i = 0; i < 2000; ++i) won += Probe(e, 1000, 100) ? 1 : 0;
  EXPECT_GT(won, 850);
  EXPECT_LT(won, 1150);
  double sum = 0;
  for (int i = 0; i < 200; ++i) sum += Num("[probe 1000, 0]");
  EXPECT_EQ(sum, 200);
  ScriptValue v;
  EXPECT_EQ(Open("[probe 5]", &v), ValueKind::Undecided);
  EXPECT_TRUE(v.IsNothing());
}

TEST_F(ExpressionTest, MalformedBracketsEndAtTheEnd) {
  EXPECT_EQ(Num("[round 5 / 2"), 2);
  EXPECT_EQ(Num("(1 + 2"), 3);
  EXPECT_EQ(Num("]])) 4"), 4);
  EXPECT_EQ(Num("[[[["), 0);
  EXPECT_EQ(Text("[str \"]\" 5]"), "5");
  EXPECT_EQ(Num("["), 0);
  EXPECT_EQ(Num("(\""), 0);
}

TEST_F(ExpressionTest, DeepNestingYieldsNothingInsteadOfOverflowing) {
  const std::string deep = std::string(5000, '(') + "1" + std::string(5000, ')');
  EXPECT_EQ(Num(deep), 0);
  const std::string shallow = std::string(20, '(') + "1" + std::string(20, ')');
  EXPECT_EQ(Num(shallow), 1);
  std::string terms;
  for (int i = 0; i < 3000; ++i) terms += "[str ";
  EXPECT_EQ(Text(terms), "0");  // the outer term sees a number term it cannot use
}

// Random lines built from the characters and words the scanner reacts to:
// every evaluation ends, and the result agrees with the kind it reports.
TEST_F(ExpressionTest, RandomLinesNeverCrashOrHang) {
  AddCharacter("Hero", 30);
  AddMember("Hero", 1, 30);
  const std::vector<std::string> pieces = {
      "[", "]", "(", ")", "\"", ",", " ", "+", "-", "*", "/", "0", "7", "12", ".",
      "data", "character", "party", "map", "HP", "NAME", "str", "val", "round", "random",
      "probe", "count", "A", "text", "'", "\t", "\r\n", "\x80", "\xff", "UP"};
  std::mt19937 gen(20261206);
  for (int round = 0; round < 4000; ++round) {
    std::string line;
    const int parts = static_cast<int>(gen() % 40);
    for (int k = 0; k < parts; ++k) {
      if (gen() % 8 == 0) line += static_cast<char>(gen());
      else line += pieces[gen() % pieces.size()];
    }
    for (ValueKind start : {ValueKind::Number, ValueKind::Text, ValueKind::Undecided}) {
      ValueKind kind = start;
      const ScriptValue v = Evaluate(e, line, kind);
      ASSERT_TRUE(start == ValueKind::Undecided || kind == start) << line;
      const bool agrees = kind == ValueKind::Number ? v.IsNumber()
                          : kind == ValueKind::Text ? v.IsText()
                                                    : v.IsNothing();
      ASSERT_TRUE(agrees) << line;
    }
  }
}

}  // namespace
}  // namespace yw
