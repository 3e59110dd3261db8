// The interpreter: script shape, line splitting, blocks, variables, result
// codes and resuming after a hand-back.
#include "interpreter_test_support.h"
#include "script/interpreter.h"
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

TEST_F(Interp, Conditions) {
  const std::pair<std::string_view, bool> cases[] = {
      {"1 \\ = \\ 1", true},           {"1 \\ = \\ 2", false},
      {"1 \\ < \\ 2", true},           {"2 \\ > \\ 3", false},
      {"1 \\ <> \\ 2", true},          {"1 \\ >< \\ 1", false},
      {"2 \\ <= \\ 2", true},          {"3 \\ =< \\ 2", false},
      {"1 \\ => \\ 1", true},          {"1 \\ >= \\ 2", false},
      {"\"abc\" \\ < \\ \"de\"", false},  // length 3 is not below 2
      {"\"de\" \\ < \\ \"abc\"", true},
      {"\"abc\" \\ = \\ \"ABC\"", false},  // case counts
      {"\"abc\" \\ = \\ \"abc\"", true},
      {"\"zz\" \\ >= \\ \"aa\"", true},  // same length
      {"\"ab\" \\ <> \\ \"ba\"", true},
      {"\\ = \\", true},  // two empty values are equal
      {"[nothing] \\ <> \\ [nothing]", false},
      {"10 / 4 \\ = \\ 2", false},  // 2.5 is not rounded
  };
  for (const auto& [condition, expected] : cases) {
    SCOPED_TRACE(condition);
    ASSERT_EQ(RunBody({"J 0", "IF " + std::string(condition), "J 1", "ENDIF"}), 0);
    EXPECT_EQ(Var('J').value.Number(), expected ? 1 : 0);
  }
}

TEST_F(Interp, FailingLinesGiveTheirCodes) {
  const std::pair<std::string_view, int> cases[] = {
      {"IF [A] \\ = \\ \"x\"", 22},  // A holds a number
      {"IF [random 6] \\ = \\ \"x\"", 22},  // a known term is a number even without its arguments
      {"IF 1 \\ ! \\ 1", 13},        {"IF 1 \\ = ", 15},     {"IF 1 \\ = \\ 1 \\ 1", 15},
      {"A", 15},                     {"A 1 \\ 2", 15},       {"K 5", 11},
      {"\t\t", 11},                  {"\t' a comment behind a tab", 11},
      {"MSGX \"Hi\"", 11},
  };
  for (const auto& [line, code] : cases) {
    EXPECT_EQ(RunBody({"A 5", line}), code) << line;
    EXPECT_EQ(w().ErrorLine, TrimBlanks(line)) << line;
  }
}

}  // namespace
}  // namespace yw::test
