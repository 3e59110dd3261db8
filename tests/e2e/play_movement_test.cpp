// Walking on the map as the player sees it: a step lasts the walk time at
// any frame rate while the view scrolls with it, blocked steps only turn,
// and held keys walk on until a message stops them.
#include <string>

#include "e2e_support.h"

namespace yw::e2e {
namespace {

namespace fs = std::filesystem;

constexpr int kWalkTime = 400;
constexpr int kTile = 32;  // 16-pixel tiles at zoom 2

// Right from (20, 15) of the meadow onto the signpost, whose script shows a
// message on arrival, and back. The view scrolls one tile with each step.
TEST(PlayMovement, AStepTakesTheWalkTimeAndScrollsTheViewAtAnyFrameRate) {
  for (const int tick : {1, 16}) {
    SCOPED_TRACE("tick " + std::to_string(tick));
    const auto out = OutputDir("play-step-" + std::to_string(tick));
    const fs::path root = ProgramWithGame(out, "play_brook", kWalkTime);
    Replay r = StartTheOnlyGame();
    r.WaitUntil(1400).Dump("rest", 100).Do("key Right", 100).Dump("a", 100).Dump("b", 100);
    r.Dump("c", 80).Dump("before", 180).Dump("arrived", 40).Do("key Enter", 300);
    r.Do("key Left", 100).Dump("back");
    const Played p = Play(out, root, r.Text(), "--tick-ms " + std::to_string(tick));

    const auto rest = p.Dump("rest");
    ASSERT_EQ(rest["GameMode"], 6);
    ASSERT_EQ(rest["PlayerPosX"], 20);
    EXPECT_EQ(rest["BufX"], kTile);
    const float startView = rest["ViewX"];

    // The step began within a frame or so of the key and is due one walk
    // time later.
    const auto a = p.Dump("a");
    const int deadline = a["WalkDeadline"];
    const int began = deadline - kWalkTime;
    EXPECT_GE(began, 1500);
    EXPECT_LE(began, 1500 + 4 * tick + 20);
    EXPECT_EQ(a["PlayerPosX"], 21);  // the position changes at once

    // In between, the drawn player and the view move evenly toward the new
    // cell: BufX from one tile toward two, the offset from a tile to 0.
    float lastBuf = kTile;
    for (const char* name : {"a", "b", "c"}) {
      const auto d = p.Dump(name);
      const double done = (d["time"].get<double>() - began) / kWalkTime;
      const float buf = d["BufX"], offset = d["StepOffsetX"];
      EXPECT_GT(buf, lastBuf) << name;
      EXPECT_NEAR(buf, kTile + kTile * done, 6.0) << name;
      EXPECT_NEAR(offset, kTile * (1 - done), 6.0) << name;
      lastBuf = buf;
    }
    const auto before = p.Dump("before");
    EXPECT_EQ(before["GameMode"], 6);
    EXPECT_GT(before["StepOffsetX"].get<float>(), 0);

    // On time the step snaps: the view has moved one cell and the margin
    // is back to one tile; the signpost's script has run.
    const auto arrived = p.Dump("arrived");
    EXPECT_EQ(arrived["GameMode"], 5);
    EXPECT_EQ(arrived["Message"], "Brook Lane. Ferry to the south.");
    EXPECT_EQ(arrived["StepOffsetX"], 0);
    EXPECT_EQ(arrived["BufX"], kTile);
    EXPECT_EQ(arrived["ViewX"], startView + 1);

    // A step back left scrolls the other way: BufX goes from one tile
    // toward 0, where the cells coming into view are.
    const float back = p.Dump("back")["BufX"];
    EXPECT_LT(back, kTile);
    EXPECT_GT(back, 0);
  }
}

TEST(PlayMovement, BlockedStepsCellScriptsHeldKeysAndMessages) {
  const auto out = OutputDir("play-walk");
  const fs::path root = ProgramWithGame(out, "play_brook", kWalkTime);
  Replay r = StartTheOnlyGame();
  r.WaitUntil(1500).Note("Ferris stands north, the crate west.").Do("key Up", 200).Dump("blocked", 100);
  r.Do("key Left", 200).Dump("pushed", 100).Do("key Enter", 300);
  r.Note("Walk down the lane; close the leave and ford messages.").Do("press Down", 1100);
  r.Dump("walking", 500).Do("release Down", 200).Do("key Enter", 800);
  r.Note("Down goes down while Enter closing the message is still held, and stays down.");
  r.Do("key Enter 400", 100).Do("press Down", 1000).Dump("held", 100).Do("release Down", 200);
  r.Do("key Down", 600).Dump("stepped", 100);
  const Played p = Play(out, root, r.Text());

  // An NPC on the target cell: the player only turns toward it.
  const auto blocked = p.Dump("blocked");
  EXPECT_EQ(blocked["GameMode"], 6);
  EXPECT_EQ(blocked["PlayerPosY"], 15);
  EXPECT_EQ(blocked["PlayerDirection"], 1);

  // Pushing the crate runs its push script and only turns the player.
  const auto pushed = p.Dump("pushed");
  EXPECT_EQ(pushed["Message"], "The crate will not budge.");
  EXPECT_EQ(pushed["PlayerPosX"], 20);
  EXPECT_EQ(pushed["PlayerDirection"], 3);

  // Down held: one cell per walk time, without a pause between steps.
  const auto walking = p.Dump("walking");
  EXPECT_EQ(walking["GameMode"], 6);
  EXPECT_EQ(walking["PlayerPosY"], 18);

  // After the message a key held since before its closing key went up does
  // not walk; a fresh press does.
  const auto held = p.Dump("held");
  EXPECT_EQ(held["GameMode"], 6);
  EXPECT_EQ(held["PlayerPosY"], 19);
  const auto stepped = p.Dump("stepped");
  EXPECT_EQ(stepped["PlayerPosY"], 20);
}

// Taps too short for any poll to see the key held: down and up within one
// yield, or within a millisecond. Each still takes exactly one step.
TEST(PlayMovement, AQuickTapTakesOneStep) {
  const auto out = OutputDir("play-taps");
  const fs::path root = ProgramWithGame(out, "play_brook", kWalkTime);
  Replay r = StartTheOnlyGame();
  r.WaitUntil(1500).Do("press Down", 0).Do("release Down", 600).Do("key Down 1", 600);
  r.Do("press Right", 0).Do("release Right", 600).Do("key Right 1", 600).Dump("tapped", 100);
  const auto tapped = Play(out, root, r.Text()).Dump("tapped");
  EXPECT_EQ(tapped["GameMode"], 6);
  EXPECT_EQ(tapped["PlayerPosX"], 22);
  EXPECT_EQ(tapped["PlayerPosY"], 17);
}

// The small field's player starts on its west edge, facing out.
TEST(PlayMovement, AtTheMapEdgeEnterDoesNothingAndArrowsOnlyTurn) {
  const auto out = OutputDir("play-edge");
  const fs::path root = ProgramWithGame(out, "play_alder", kWalkTime);
  Replay r = StartTheOnlyGame();
  r.WaitUntil(1400).Dump("start", 100).Do("key Enter", 200).Dump("used", 100);
  r.Note("Up is the bell, an obstacle.").Do("key Left", 200).Do("key Up", 200).Dump("turned", 100);
  r.Do("key Enter", 200).Dump("rang", 100);
  const Played p = Play(out, root, r.Text());

  const auto start = p.Dump("start");
  ASSERT_EQ(start["PlayerPosX"], 1);
  ASSERT_EQ(start["PlayerDirection"], 3);
  const auto used = p.Dump("used");
  EXPECT_EQ(used["GameMode"], 6);
  EXPECT_EQ(used["ScriptDepth"], 0);
  const auto turned = p.Dump("turned");
  EXPECT_EQ(turned["PlayerPosX"], 1);
  EXPECT_EQ(turned["PlayerPosY"], 3);
  EXPECT_EQ(turned["PlayerDirection"], 1);
  // Facing a cell inside the map, Enter uses it.
  const auto rang = p.Dump("rang");
  EXPECT_EQ(rang["GameMode"], 5);
  EXPECT_EQ(rang["Message"], "Ding!");
}

}  // namespace
}  // namespace yw::e2e
