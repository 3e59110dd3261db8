#include "script/script_engine.h"
#include "test_support.h"

namespace yw {
namespace {

constexpr int32_t kMap = static_cast<int32_t>(Mode::Map);
constexpr int32_t kScript = static_cast<int32_t>(Mode::Script);
constexpr int32_t kMessage = static_cast<int32_t>(Mode::Message);

class RunScriptTest : public ::testing::Test {
 protected:
  void AddScript(std::string name, std::string text) {
    ++w.ScriptCount;
    w.Scripts.Resize(w.ScriptCount);
    w.Scripts[w.ScriptCount] = {std::move(text), std::move(name)};
  }

  test::TestEngine t;
  Engine& e = t.engine;
  World& w = e.world;
};

TEST_F(RunScriptTest, PushesTheFirstScriptMatchingWithoutRegardToCase) {
  AddScript("Intro.skr", "first");
  AddScript("intro.skr", "second");
  AddScript("sub\\b.skr", "B");
  e.win.GameMode = kMap;
  RunScript(e, "INTRO.SKR");
  ASSERT_EQ(w.ScriptDepth, 1);
  EXPECT_EQ(e.win.GameMode, kScript);
  EXPECT_EQ(w.ScriptStack[1].Remaining(), "first");
  EXPECT_EQ(w.ScriptStack[1].returnMode, kMap);
  EXPECT_FALSE(w.ScriptStack[1].beginFound);

  // A script started by a script returns to script mode; the level below
  // keeps its own place in its text.
  w.ScriptStack[1].Consume(2);
  RunScript(e, "SUB\\B.skr");
  ASSERT_EQ(w.ScriptDepth, 2);
  EXPECT_EQ(w.ScriptStack[2].returnMode, kScript);
  EXPECT_EQ(w.ScriptStack[2].Remaining(), "B");
  EXPECT_EQ(w.ScriptStack[1].Remaining(), "rst");
}

TEST_F(RunScriptTest, NamesThatFindNothing) {
  // A blank name is ignored without a word.
  e.win.GameMode = kMap;
  RunScript(e, "   ");
  EXPECT_EQ(e.win.GameMode, kMap);
  EXPECT_TRUE(e.win.Message.empty());

  // No scripts at all: the message leads back to the start.
  RunScript(e, "autoexec.skr");
  EXPECT_EQ(e.win.Message, "Error: The game contains no scripts");
  EXPECT_EQ(e.win.MsgReturnMode, static_cast<int32_t>(Mode::Start));

  // An unknown name (a trailing blank is part of it) returns to the caller.
  AddScript("autoexec.skr", "x");
  e.win.GameMode = kScript;
  RunScript(e, "autoexec.skr ");
  EXPECT_EQ(e.win.Message, "Error: Script autoexec.skr  not found!");
  EXPECT_EQ(e.win.MsgReturnMode, kScript);
  EXPECT_EQ(e.win.GameMode, kMessage);
  EXPECT_EQ(w.ScriptDepth, 0);
}

TEST_F(RunScriptTest, DepthStopsAtTheLargestSixteenBitValue) {
  AddScript("self.skr", "s");
  w.ScriptDepth = 32767;
  w.ScriptStack.Resize(32767);
  e.win.GameMode = kScript;
  RunScript(e, "self.skr");
  EXPECT_EQ(w.ScriptDepth, 32767);
  EXPECT_EQ(w.ScriptStack.Size(), 32767);
  EXPECT_EQ(e.win.GameMode, kMessage);
}

}  // namespace
}  // namespace yw
