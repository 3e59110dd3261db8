// The interpreter: script shape, line splitting, blocks, variables, result
// codes and resuming after a hand-back.
#include "interpreter_test_support.h"
#include "script/interpreter.h"
#include "world/paths.h"

namespace yw::test {
namespace {

using Interp = ScriptFixture;
using P = std::vector<std::string>;

TEST(SplitLine, WordAndParameters) {
  const std::tuple<std::string_view, std::string_view, P> cases[] = {
      {"setpos 12 \\ 7", "SETPOS", {"12", "7"}},
      {"\t\t  Msg \"a \\ b\" \\ x", "MSG", {"\"a \\ b\"", "x"}},  // no split inside quotes
      {"X 1\\\\3", "X", {"1", "", "3"}},                          // empty parts count
      {"END", "END", {}},
      {"MSG\t\"hi\"", "MSG\t\"HI\"", {}},  // a tab does not end the command word
      {"\t\t", "", {}},
      {"MSG \"never closed \\ still inside", "MSG", {"\"never closed \\ still inside"}},
  };
  for (const auto& [line, word, params] : cases) {
    const ParsedLine p = SplitLine(line);
    EXPECT_EQ(p.word, word) << line;
    EXPECT_EQ(p.params, params) << line;
  }
  EXPECT_EQ(SplitLine("MSG " + std::string(20000, '\\')).params.size(), 20001u);
}

TEST(ScriptErrorMessage, TextsOfTheCodes) {
  const std::pair<int, std::string_view> cases[] = {
      {0, ""},
      {1, "Script Error: No begin found!"},
      {11, "Script Error: Unknown command!"},
      {17, "Script Error: Error while creating temporary File! (Possibly, the game is on a write "
           "protected disk or a CD ROM. Please do not run games from a CD ROM)"},
      {18, "Script Error: Fight was not inititalized!"},
      {26, "Script Error: Wrong direction value."},
      {27, "Script Error: Unknown Error!"},
      {255, "Script Error: Unknown Error!"},
  };
  for (const auto& [code, text] : cases) EXPECT_EQ(ScriptErrorMessage(static_cast<uint8_t>(code)), text);
  for (int code = 1; code <= 26; ++code)
    EXPECT_EQ(ScriptErrorMessage(static_cast<uint8_t>(code)).rfind("Script Error: ", 0), 0u);
}

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

TEST_F(Interp, Blocks) {
  // A true condition runs its branch and skips the ELSE branch.
  EXPECT_EQ(RunBody({"B 0", "IF 2 \\ = \\ 2", "B 1", "ELSE", "B 2", "ENDIF", "C 3"}), 0);
  EXPECT_EQ(Var('B').value.Number(), 1);
  EXPECT_EQ(Var('C').value.Number(), 3);

  // END inside a skipped block is passed over.
  EXPECT_EQ(RunBody({"IF 1 \\ = \\ 2", "END", "ENDIF", "D 5"}), 0);
  EXPECT_EQ(Var('D').value.Number(), 5);

  // ELSE and ENDIF without IF are accepted; ELSE skips to the next ENDIF.
  EXPECT_EQ(RunBody({"E 1", "ENDIF", "ELSE", "E 2", "ENDIF", "F 6"}), 0);
  EXPECT_EQ(Var('E').value.Number(), 1);
  EXPECT_EQ(Var('F').value.Number(), 6);
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

TEST_F(Interp, Variables) {
  EXPECT_EQ(RunBody({"A 2 + 3", "B \"te\" \"xt\"", "C [A] + 1", "D [nothing]", "E [random 6]",
                     "  msg \"Hi\""}),
            0);
  EXPECT_EQ(Var('A').kind, ValueKind::Number);
  EXPECT_EQ(Var('A').value.Number(), 5);
  EXPECT_EQ(Var('B').kind, ValueKind::Text);
  EXPECT_EQ(Var('B').value.Text(), "text");
  EXPECT_EQ(Var('C').value.Number(), 6);
  EXPECT_EQ(Var('D').kind, ValueKind::Undecided);
  EXPECT_TRUE(Var('D').value.IsNothing());
  EXPECT_EQ(Var('E').kind, ValueKind::Number);
  EXPECT_EQ(Var('E').value.Number(), 0);
  // Command words ignore case and indentation.
  EXPECT_EQ(e().win.Message, "Hi");
  EXPECT_EQ(e().win.GameMode, 5);
}

TEST_F(Interp, ResumesAfterHandBackAndStopsAfterAnError) {
  Push(Lines({"BEGIN", "MSG \"one\"", "MSG \"two\"", "SETDIRECTION 9", "A 1", "END"}));
  EXPECT_EQ(Interpret(e()), 0);
  EXPECT_EQ(e().win.Message, "one");
  EXPECT_EQ(w().ErrorLine, "MSG \"one\"");
  // The second message is not read before the first is closed.
  EXPECT_EQ(w().ScriptStack[1].Remaining(), "MSG \"two\"\r\nSETDIRECTION 9\r\nA 1\r\nEND\r\n");
  EXPECT_EQ(Resume(), 0);
  EXPECT_EQ(e().win.Message, "two");
  // The failing line is consumed; the level holds the lines after it.
  EXPECT_EQ(Resume(), 26);
  EXPECT_EQ(w().ErrorLine, "SETDIRECTION 9");
  EXPECT_EQ(w().ScriptStack[1].Remaining(), "A 1\r\nEND\r\n");
}

}  // namespace
}  // namespace yw::test
