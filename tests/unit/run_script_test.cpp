#include "script/script_engine.h"
#include "test_support.h"

namespace yw {
namespace {

class RunScriptTest : public ::testing::Test {
 protected:
  Engine& e = t.engine;
  World& w = e.world;

  void AddScript(std::string name, std::string text) {
    ++w.ScriptCount;
    w.Scripts.Resize(w.ScriptCount);
    w.Scripts[w.ScriptCount] = {std::move(text), std::move(name)};
  }
  const ScriptLevel& Top() { return w.ScriptStack[w.ScriptDepth]; }

  test::TestEngine t;
};

TEST_F(RunScriptTest, PushesTheScriptAndSwitchesToScriptMode) {
  AddScript("autoexec.skr", "BEGIN\r\nEND\r\n");
  e.win.GameMode = static_cast<int32_t>(Mode::Map);
  RunScript(e, "AUTOEXEC.SKR");
  ASSERT_EQ(w.ScriptDepth, 1);
  EXPECT_EQ(e.win.GameMode, static_cast<int32_t>(Mode::Script));
  EXPECT_EQ(Top().Remaining(), "BEGIN\r\nEND\r\n");
  EXPECT_EQ(Top().returnMode, static_cast<int32_t>(Mode::Map));
  EXPECT_FALSE(Top().beginFound);
}

TEST_F(RunScriptTest, NestedScriptsReturnToScriptMode) {
  AddScript("a.skr", "A");
  AddScript("sub\\b.skr", "B");
  e.win.GameMode = static_cast<int32_t>(Mode::Map);
  RunScript(e, "a.skr");
  w.ScriptStack[1].Consume(1);
  RunScript(e, "SUB\\B.skr");
  ASSERT_EQ(w.ScriptDepth, 2);
  EXPECT_EQ(w.ScriptStack[2].returnMode, static_cast<int32_t>(Mode::Script));
  EXPECT_EQ(w.ScriptStack[2].Remaining(), "B");
  // The level below keeps its own place in its text.
  EXPECT_TRUE(w.ScriptStack[1].Finished());
  EXPECT_EQ(w.ScriptStack[1].returnMode, static_cast<int32_t>(Mode::Map));
}

TEST_F(RunScriptTest, FirstOfTwoNamesDifferingInCaseWins) {
  AddScript("Intro.skr", "first");
  AddScript("intro.skr", "second");
  RunScript(e, "INTRO.SKR");
  ASSERT_EQ(w.ScriptDepth, 1);
  EXPECT_EQ(Top().Remaining(), "first");
}

TEST_F(RunScriptTest, UnknownNameShowsAMessageAndPushesNothing) {
  AddScript("autoexec.skr", "x");
  e.win.GameMode = static_cast<int32_t>(Mode::Script);
  RunScript(e, "autoexec.skr ");  // the trailing blank is part of the name
  EXPECT_EQ(w.ScriptDepth, 0);
  EXPECT_EQ(e.win.Message, "Error: Script autoexec.skr  not found!");
  EXPECT_EQ(e.win.MsgReturnMode, static_cast<int32_t>(Mode::Script));
  EXPECT_EQ(e.win.GameMode, static_cast<int32_t>(Mode::Message));
}

TEST_F(RunScriptTest, NoScriptsAtAllLeadsBackToTheStart) {
  e.win.GameMode = static_cast<int32_t>(Mode::Map);
  RunScript(e, "autoexec.skr");
  EXPECT_EQ(w.ScriptDepth, 0);
  EXPECT_EQ(e.win.Message, "Error: The game contains no scripts");
  EXPECT_EQ(e.win.MsgReturnMode, static_cast<int32_t>(Mode::Start));
}

TEST_F(RunScriptTest, BlankNameIsIgnored) {
  e.win.GameMode = static_cast<int32_t>(Mode::Map);
  RunScript(e, "   ");
  RunScript(e, "");
  EXPECT_EQ(w.ScriptDepth, 0);
  EXPECT_EQ(e.win.GameMode, static_cast<int32_t>(Mode::Map));
  EXPECT_TRUE(e.win.Message.empty());
}

TEST_F(RunScriptTest, LevelsShareTheScriptText) {
  AddScript("loop.skr", std::string(10000, 'x'));
  for (int i = 0; i < 50; ++i) RunScript(e, "loop.skr");
  ASSERT_EQ(w.ScriptDepth, 50);
  // Consuming a line only moves the level's place in the shared text.
  const std::string* text = w.ScriptStack[50].text.get();
  w.ScriptStack[50].Consume(100);
  EXPECT_EQ(w.ScriptStack[50].text.get(), text);
  EXPECT_EQ(w.ScriptStack[50].Remaining().size(), 9900u);
}

TEST_F(RunScriptTest, DepthStopsAtTheLargestSixteenBitValue) {
  AddScript("self.skr", "s");
  w.ScriptDepth = 32767;
  w.ScriptStack.Resize(32767);
  e.win.GameMode = static_cast<int32_t>(Mode::Script);
  RunScript(e, "self.skr");
  EXPECT_EQ(w.ScriptDepth, 32767);
  EXPECT_EQ(w.ScriptStack.Size(), 32767);
  EXPECT_EQ(e.win.GameMode, static_cast<int32_t>(Mode::Message));
}

}  // namespace
}  // namespace yw
