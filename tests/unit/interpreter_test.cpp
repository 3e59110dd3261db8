// The interpreter: script shape, line splitting, blocks, variables, result
// codes and resuming after a hand-back.
#include "script/interpreter.h"

#include "interpreter_test_support.h"
#include "world/paths.h"

namespace yw::test {
namespace {

using Interp = ScriptFixture;
using P = std::vector<std::string>;

TEST_F(Interp, ScriptShape) {
  EXPECT_EQ(Run(Lines({"begin", "END"})), 1);
  EXPECT_EQ(Run(Lines({"A 1", "BEGIN", "END"})), 1);
  EXPECT_EQ(Run(""), 1);

  // Comments and empty lines may come before BEGIN; END ignores its
  // parameters and stops.
  EXPECT_EQ(Run(Lines({"' a comment", "", "BEGIN", "A 4", "END now \\ really", "A 5"})), 0);
  EXPECT_EQ(Var('A').value.Number(), 4);
  EXPECT_TRUE(Finished());
  EXPECT_FALSE(w().ScriptStack[1].beginFound);

  // Without END every line runs, then the text is used up.
  EXPECT_EQ(Run(Lines({"BEGIN", "A 7"})), 2);
  EXPECT_EQ(Var('A').value.Number(), 7);
}

TEST_F(Interp, FailingLinesGiveTheirCodes) {
  const std::pair<std::string_view, int> cases[] = {
      {"IF [A] \\ = \\ \"x\"", 22},         // A holds a number
      {"IF [random 6] \\ = \\ \"x\"", 22},  // a known term is a number even without its arguments
      {"IF 1 \\ ! \\ 1", 13},
      {"IF 1 \\ = ", 15},
      {"IF 1 \\ = \\ 1 \\ 1", 15},
      {"A", 15},
      {"A 1 \\ 2", 15},
      {"K 5", 11},
      {"\t\t", 11},
      {"\t' a comment behind a tab", 11},
      {"MSGX \"Hi\"", 11},
  };
  for (const auto& [line, code] : cases) {
    EXPECT_EQ(RunBody({"A 5", line}), code) << line;
    EXPECT_EQ(w().ErrorLine, TrimBlanks(line)) << line;
  }
}

// Every comparison of IF, on numbers and on texts, against a model: numbers
// by value, texts by their exact content for equal and not equal and by
// their length for the orderings.
TEST_F(Interp, IfComparesNumbersByValueAndTextsByContentOrLength) {
  struct Value {
    std::string written;
    double number;  // for a text: its length
  };
  const std::vector<Value> numbers = {{"-2", -2}, {"7 / 2", 3.5}, {"3", 3}, {"1 + 2", 3}};
  const std::vector<Value> texts = {
      {"\"\"", 0}, {"\"ab\"", 2}, {"\"AB\"", 2}, {"\"b\"", 1}, {"\"abc\"", 3}};
  const std::pair<const char*, int> ops[] = {{"=", 0},  {"<>", 1}, {"><", 1}, {"<", 2}, {">", 3},
                                             {"<=", 4}, {"=<", 4}, {">=", 5}, {"=>", 5}};
  for (const auto* values : {&numbers, &texts}) {
    const bool text = values == &texts;
    for (const Value& a : *values)
      for (const Value& b : *values)
        for (const auto& [op, kind] : ops) {
          const bool same = text ? a.written == b.written : a.number == b.number;
          const double x = a.number, y = b.number;
          const bool results[] = {same, !same, x < y, y < x, x <= y, y <= x};
          const bool want = results[kind];
          const std::string line = "IF " + a.written + " \\ " + op + " \\ " + b.written;
          ASSERT_EQ(RunBody({line, "A 1", "ELSE", "A 2", "ENDIF"}), 0) << line;
          EXPECT_EQ(Var('A').value.Number(), want ? 1 : 2) << line;
        }
  }
}

}  // namespace
}  // namespace yw::test
