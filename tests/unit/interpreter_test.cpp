// The interpreter: script shape, line splitting, blocks, variables, result
// codes and resuming after a hand-back.
#include "interpreter_test_support.h"
#include "script/interpreter.h"
#include "sim/main_loop.h"

namespace yw::test {
namespace {

using Interp = ScriptFixture;

TEST(SplitLine, WordAndParameters) {
  ParsedLine p = SplitLine("setpos 12 \\ 7");
  EXPECT_EQ(p.word, "SETPOS");
  EXPECT_EQ(p.params, (std::vector<std::string>{"12", "7"}));

  p = SplitLine("\t\t  Msg \"a \\ b\" \\ x");  // a backslash inside quotes does not split
  EXPECT_EQ(p.word, "MSG");
  EXPECT_EQ(p.params, (std::vector<std::string>{"\"a \\ b\"", "x"}));

  p = SplitLine("X 1\\\\3");  // empty parts count
  EXPECT_EQ(p.params, (std::vector<std::string>{"1", "", "3"}));

  p = SplitLine("END");
  EXPECT_EQ(p.word, "END");
  EXPECT_TRUE(p.params.empty());

  p = SplitLine("MSG\t\"hi\"");  // a tab does not end the command word
  EXPECT_EQ(p.word, "MSG\t\"HI\"");
  EXPECT_TRUE(p.params.empty());

  p = SplitLine("\t\t");
  EXPECT_EQ(p.word, "");
  EXPECT_TRUE(p.params.empty());
}

TEST(SplitLine, MalformedLinesStayWhole) {
  ParsedLine p = SplitLine("MSG \"never closed \\ still inside");
  ASSERT_EQ(p.params.size(), 1u);
  EXPECT_EQ(p.params[0], "\"never closed \\ still inside");

  std::string many = "MSG ";
  for (int i = 0; i < 20000; ++i) many += "\\";
  p = SplitLine(many);
  EXPECT_EQ(p.params.size(), 20001u);
}

TEST(ScriptErrorMessage, TextsOfTheCodes) {
  EXPECT_EQ(ScriptErrorMessage(0), "");
  EXPECT_EQ(ScriptErrorMessage(1), "Script Error: No begin found!");
  EXPECT_EQ(ScriptErrorMessage(11), "Script Error: Unknown command!");
  EXPECT_EQ(ScriptErrorMessage(18), "Script Error: Fight was not inititalized!");
  EXPECT_EQ(ScriptErrorMessage(17),
            "Script Error: Error while creating temporary File! (Possibly, the game is on a write "
            "protected disk or a CD ROM. Please do not run games from a CD ROM)");
  EXPECT_EQ(ScriptErrorMessage(26), "Script Error: Wrong direction value.");
  EXPECT_EQ(ScriptErrorMessage(27), "Script Error: Unknown Error!");
  EXPECT_EQ(ScriptErrorMessage(255), "Script Error: Unknown Error!");
  for (int code = 1; code <= 26; ++code)
    EXPECT_EQ(ScriptErrorMessage(static_cast<uint8_t>(code)).rfind("Script Error: ", 0), 0u);
}

TEST_F(Interp, ScriptShape) {
  EXPECT_EQ(Run(Lines({"begin", "END"})), 1);
  EXPECT_EQ(Run(Lines({"A 1", "BEGIN", "END"})), 1);
  EXPECT_EQ(Run(""), 1);

  // Comments and empty lines may come before BEGIN.
  EXPECT_EQ(Run(Lines({"' a comment", "", "BEGIN", "A 4", "END"})), 0);
  EXPECT_EQ(Var('A').value.Number(), 4);
  EXPECT_TRUE(Finished());
  EXPECT_FALSE(w().ScriptStack[1].beginFound);

  // Without END every line runs, then the text is used up.
  EXPECT_EQ(Run(Lines({"BEGIN", "A 7"})), 2);
  EXPECT_EQ(Var('A').value.Number(), 7);
}

TEST_F(Interp, EndStopsAndIgnoresItsParameters) {
  EXPECT_EQ(RunBody({"A 1", "END now \\ really", "A 2"}), 0);
  EXPECT_EQ(Var('A').value.Number(), 1);
  EXPECT_TRUE(Finished());
}

TEST_F(Interp, NestedBlocks) {
  // The inner IF is counted while skipping, so its ELSE and ENDIF belong to it.
  EXPECT_EQ(RunBody({"IF 1 \\ = \\ 2", "  IF 1 \\ = \\ 1", "    A 1", "  ELSE", "    A 2",
                     "  ENDIF", "ELSE", "MSG \"x\"", "ENDIF"}),
            0);
  EXPECT_EQ(e().win.GameMode, 5);
  EXPECT_EQ(e().win.Message, "x");
  EXPECT_TRUE(Var('A').value.IsNothing());

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

struct ConditionCase {
  const char* condition;
  bool expected;
};

TEST_F(Interp, Conditions) {
  const ConditionCase cases[] = {
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
  for (const ConditionCase& c : cases) {
    SCOPED_TRACE(c.condition);
    ASSERT_EQ(RunBody({"J 0", std::string("IF ") + c.condition, "J 1", "ENDIF"}), 0);
    EXPECT_EQ(Var('J').value.Number(), c.expected ? 1 : 0);
  }
}

TEST_F(Interp, ConditionErrors) {
  EXPECT_EQ(RunBody({"A 5", "IF [A] \\ = \\ \"x\""}), 22);
  EXPECT_EQ(RunBody({"IF 1 \\ ! \\ 1"}), 13);
  EXPECT_EQ(RunBody({"IF 1 \\ = "}), 15);
  EXPECT_EQ(RunBody({"IF 1 \\ = \\ 1 \\ 1"}), 15);
  EXPECT_EQ(w().ErrorLine, "IF 1 \\ = \\ 1 \\ 1");
}

TEST_F(Interp, Variables) {
  EXPECT_EQ(RunBody({"A 2 + 3", "B \"te\" \"xt\"", "C [A] + 1", "D [nothing]"}), 0);
  EXPECT_EQ(Var('A').kind, ValueKind::Number);
  EXPECT_EQ(Var('A').value.Number(), 5);
  EXPECT_EQ(Var('B').kind, ValueKind::Text);
  EXPECT_EQ(Var('B').value.Text(), "text");
  EXPECT_EQ(Var('C').value.Number(), 6);
  EXPECT_EQ(Var('D').kind, ValueKind::Undecided);
  EXPECT_TRUE(Var('D').value.IsNothing());

  EXPECT_EQ(RunBody({"A"}), 15);
  EXPECT_EQ(RunBody({"A 1 \\ 2"}), 15);
  EXPECT_EQ(RunBody({"K 5"}), 11);
  EXPECT_EQ(w().ErrorLine, "K 5");
}

TEST_F(Interp, CommandWords) {
  // Lower case and indentation do not matter.
  EXPECT_EQ(RunBody({"  msg \"Hi\""}), 0);
  EXPECT_EQ(e().win.Message, "Hi");
  EXPECT_EQ(e().win.GameMode, 5);

  EXPECT_EQ(RunBody({"\t\t"}), 11);
  EXPECT_EQ(RunBody({"\t' a comment behind a tab"}), 11);
  EXPECT_EQ(RunBody({"MSGX \"Hi\""}), 11);
  // The combat commands are not available.
  for (const char* word : {"FIGHTINIT", "ADDENEMY", "FIGHTSTART", "FIGHTEND", "SELECTTARGET",
                           "SELECTUSER", "DAMAGE", "AWARD"}) {
    SCOPED_TRACE(word);
    EXPECT_EQ(RunBody({word}), 11);
  }
}

TEST_F(Interp, ResumesAfterHandBack) {
  Push(Lines({"BEGIN", "MSG \"one\"", "MSG \"two\"", "END"}));
  EXPECT_EQ(Interpret(e()), 0);
  EXPECT_EQ(e().win.Message, "one");
  EXPECT_EQ(w().ErrorLine, "MSG \"one\"");
  EXPECT_TRUE(w().ScriptStack[1].beginFound);
  // The second message is not read before the first is closed.
  EXPECT_EQ(w().ScriptStack[1].Remaining(), "MSG \"two\"\r\nEND\r\n");

  EXPECT_EQ(Resume(), 0);
  EXPECT_EQ(e().win.Message, "two");
  EXPECT_EQ(Resume(), 0);
  EXPECT_TRUE(Finished());
}

TEST_F(Interp, ErrorLeavesTheLevelAfterTheFailingLine) {
  Push(Lines({"BEGIN", "SETDIRECTION 9", "A 1", "END"}));
  EXPECT_EQ(Interpret(e()), 26);
  EXPECT_EQ(w().ErrorLine, "SETDIRECTION 9");
  EXPECT_EQ(w().ScriptStack[1].Remaining(), "A 1\r\nEND\r\n");
}

TEST_F(Interp, DryRunChangesNothing) {
  Push(Lines({"BEGIN", "A 3", "END"}));
  EXPECT_EQ(Interpret(e(), true), 0);
  EXPECT_TRUE(Var('A').value.IsNothing());
  EXPECT_FALSE(w().ScriptStack[1].beginFound);
  Push(Lines({"BEGIN", "A 3"}));
  EXPECT_EQ(Interpret(e(), true), 2);
  Push(Lines({"BEGIN", "BOGUS", "END"}));
  EXPECT_EQ(Interpret(e(), true), 11);
}

// A whole script through the main loop: it shows a message, waits for
// Enter, continues and ends; the loop then returns to the map.
TEST_F(Interp, ScriptRunsThroughTheMainLoop) {
  w().ScriptCount = 1;
  w().Scripts[1] = {Lines({"BEGIN", "A 1", "MSG \"Hello\"", "A 2", "END"}), "hello.skr"};
  e().win.KeyEnabled = true;
  e().win.GameMode = 6;
  RunScript(e(), "HELLO.SKR");
  ASSERT_EQ(w().ScriptDepth, 1);

  bool sawMessage = false;
  for (int turn = 0; turn < 200 && w().ScriptDepth > 0; ++turn) {
    if (e().win.GameMode == 5) {
      sawMessage = true;
      EXPECT_EQ(e().win.Message, "Hello");
      EXPECT_EQ(Var('A').value.Number(), 1);  // waiting: the next line has not run
      te.platform.SetKey(GameKey::Enter, turn % 2 == 0);
    }
    LoopTurn(e());
  }
  EXPECT_TRUE(sawMessage);
  EXPECT_EQ(w().ScriptDepth, 0);
  EXPECT_EQ(Var('A').value.Number(), 2);
  EXPECT_EQ(e().win.GameMode, 6);
}

// A failing line ends the game: the message names the line, and every
// running script is dropped, the calling one included.
TEST_F(Interp, ErrorReachesTheErrorScreen) {
  w().ScriptCount = 2;
  w().Scripts[1] = {Lines({"BEGIN", "RUNSCRIPT \"bad.skr\"", "A 1", "END"}), "main.skr"};
  w().Scripts.Resize(2);
  w().Scripts[2] = {Lines({"BEGIN", "  bogus 1 \\ 2", "END"}), "bad.skr"};
  e().win.GameMode = 6;
  RunScript(e(), "main.skr");
  for (int turn = 0; turn < 10 && e().win.GameMode == 8; ++turn) LoopTurn(e());
  EXPECT_EQ(e().win.GameMode, 5);
  EXPECT_EQ(e().win.Message,
            "Script Error: Unknown command!\r\nThe error occured in the following line:\r\n"
            "bogus 1 \\ 2");
  EXPECT_EQ(w().ScriptDepth, 0);
  EXPECT_TRUE(Var('A').value.IsNothing());
}

}  // namespace
}  // namespace yw::test
