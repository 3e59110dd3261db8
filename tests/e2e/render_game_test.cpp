// A small game played through every kind of picture the player sees: the
// map with animated water, tall trees, a fence in front of a villager and
// the party leader; a message of two pages; a name typed into the input
// box; a zoom effect closing and opening; a spark flying over the meadow;
// and a script error with its screen, after which Enter leads back to the
// game list. Whole frames are compared with golden pictures.
#include <gtest/gtest-spi.h>

#include <algorithm>
#include <cstdlib>

#include "e2e_support.h"

namespace yw::e2e {
namespace {

namespace fs = std::filesystem;

// The replay: through the title to the game's "New"; the game then shows
// its map in a short cut-scene, a message of two pages, the name input, a
// greeting, a zoom closing and opening, a flying spark and the error.
std::string MeadowReplay() {
  Replay r(100);
  r.Do("key Space", 200).Do("key Enter", 300).Do("key Enter", 200).Do("key Enter", 300);
  r.Do("key Enter", 200).Note("The cut-scene on the map.");
  r.Snap("water1").WaitUntil(1500).Do("shot map.png", 200).Do("shot water2.png", 500).Snap("page1");
  r.WaitUntil(2400).Do("key Enter", 200).Snap("page2").WaitUntil(2800);
  r.Note("Closes the message, held on into the input.").Do("key Enter 400", 200).Dump("held", 400);
  r.Do("type \\b\\b\\b\\bAylaz\\b", 200).Snap("input").WaitUntil(3800).Do("key Enter", 200);
  r.Dump("greeting", 200).Do("key Enter", 500).Snap("zoom").WaitUntil(6700).Snap("spark");
  r.WaitUntil(8000).Snap("error").WaitUntil(8200).Do("key Enter", 300).Dump("after", 100);
  return r.Text();
}

class RenderGame : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    out_ = new fs::path(OutputDir("render-game"));
    const fs::path root = MakeProgramFolder(*out_);
    BuildTestGame("render_meadow", root, "meadow");
    result_ = new RunResult(RunReplay(*out_, root, MeadowReplay()));
  }
  static void TearDownTestSuite() {
    delete out_;
    delete result_;
  }
  void SetUp() override { ASSERT_EQ(result_->exitCode, 0) << result_->stderrText; }
  static nlohmann::json Dump(const std::string& name) { return LoadDump(*out_ / name); }

  static fs::path* out_;
  static RunResult* result_;
};

fs::path* RenderGame::out_ = nullptr;
RunResult* RenderGame::result_ = nullptr;

TEST_F(RenderGame, FramesMatchTheirGoldenPictures) {
  // The map in the cut-scene: animated water, trees standing on their
  // cells and reaching up, the leader, and the villager behind the fence
  // whose rails cover him. The message pages, the input box, the zoom
  // halfway, the spark in flight and the error screen.
  for (const char* shot :
       {"map.png", "page1.png", "page2.png", "input.png", "zoom.png", "spark.png", "error.png"})
    ExpectGolden(*out_, shot);
  // The comparison is exact: a picture one pixel off fails it.
  Surface off = LoadShot(*out_ / "map.png");
  off.Set(7, 5, off.At(7, 5) ^ 0x000100);
  fs::create_directories(*out_ / "off");
  ASSERT_TRUE(SdlImageCodec().WritePng(off, *out_ / "off/map.png"));
  EXPECT_NONFATAL_FAILURE(ExpectGolden(*out_ / "off", "map.png"), "1 pixels, the first at (7, 5)");
}

TEST_F(RenderGame, WaterAnimatesWhileTheRestOfTheMapStandsStill) {
  const Surface a = LoadShot(*out_ / "water1.png"), b = LoadShot(*out_ / "water2.png");
  ASSERT_EQ(a.Width(), b.Width());
  ASSERT_EQ(a.Height(), b.Height());
  Surface diff(a.Width(), a.Height(), 0);
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) diff.Set(x, y, a.At(x, y) != b.At(x, y));
  const Box changed = InkBox(diff);
  // The pond covers cells 4..8 x 4..7; a cell is 16 pixels times the zoom.
  const auto view = Dump("water1.json");
  const int cell = 16 * view["Zoom"].get<int>();
  const int left = (4 - view["ViewX"].get<int>()) * cell,
            top = (4 - view["ViewY"].get<int>()) * cell;
  ASSERT_FALSE(changed.Empty()) << "the water did not change between the two shots";
  EXPECT_GE(changed.left, left);
  EXPECT_GE(changed.top, top);
  EXPECT_LT(changed.right, left + 5 * cell);
  EXPECT_LT(changed.bottom, top + 4 * cell);
}

TEST_F(RenderGame, MessagePagesInputAndGreeting) {
  const auto page1 = Dump("page1.json"), page2 = Dump("page2.json");
  EXPECT_EQ(page1["GameMode"], 5);
  const std::string message = page1["Message"], rest = page1["PendingMsg"];
  EXPECT_EQ(message.rfind("Villager: Good morning!", 0), 0u) << message;
  ASSERT_FALSE(rest.empty());
  EXPECT_EQ(message.substr(message.size() - rest.size()), rest);
  EXPECT_EQ(page2["GameMode"], 5);
  EXPECT_EQ(page2["PendingMsg"], "");

  // The Enter that closed the message is still held when the input opens:
  // it does not accept the starting text.
  const auto held = Dump("held.json");
  EXPECT_EQ(held["GameMode"], 11);
  EXPECT_EQ(held["KInputBox"], "Wren_");
  // Four Backspaces, "Aylaz" and one more Backspace.
  EXPECT_EQ(Dump("input.json")["KInputBox"], "Ayla_");
  const auto greeting = Dump("greeting.json");
  EXPECT_EQ(greeting["GameMode"], 5);
  EXPECT_EQ(greeting["Message"], "Villager: Well met, Ayla!");
}

TEST_F(RenderGame, EffectAndFlightThenTheErrorLeadsBackToTheTitleMenu) {
  const auto zoom = Dump("zoom.json");
  EXPECT_EQ(zoom["GameMode"], 14);
  EXPECT_EQ(zoom["SFX"], 2);
  const auto spark = Dump("spark.json");
  EXPECT_EQ(spark["GameMode"], 9);
  EXPECT_EQ(spark["VoodooCount"], 1);

  const auto error = Dump("error.json");
  EXPECT_EQ(error["GameMode"], 5);
  const std::string message = error["Message"];
  EXPECT_EQ(message.rfind("Script Error: ", 0), 0u) << message;
  const std::string tail = "\r\nThe error occured in the following line:\r\nSETPOS 0 \\ 5";
  EXPECT_EQ(message.substr(message.size() - std::min(message.size(), tail.size())), tail);
  EXPECT_EQ(error["ScriptDepth"], 0);
  EXPECT_EQ(error["VoodooCount"], 0);
  EXPECT_TRUE(error["Party"].empty());
  EXPECT_TRUE(error["Npcs"].empty());
  // Enter on the error: the game's own title menu, without the credits.
  const auto after = Dump("after.json");
  EXPECT_EQ(after["GameMode"], 4);
  EXPECT_EQ(after["CurrentList"], 2);
}

}  // namespace
}  // namespace yw::e2e
