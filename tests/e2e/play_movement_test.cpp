// Walking on the map as the player sees it: a step lasts the walk time at
// any frame rate while the view scrolls with it, cell scripts run in the
// order a step meets them, and held keys walk on until a message stops them.
#include <string>

#include "e2e_support.h"

namespace yw::e2e {
namespace {

namespace fs = std::filesystem;

constexpr int kWalkTime = 400;
constexpr int kTile = 32;  // 16-pixel tiles at zoom 2

// A program folder holding one test game, with a walk time of kWalkTime.
fs::path OneGameFolder(const fs::path& out, const std::string& game) {
  const fs::path root = MakeProgramFolder(out);
  std::string ini = test::ReadFile(root / "yarrowind.ini");
  const size_t at = ini.find("Walktime=");
  ini.replace(at, ini.find('\n', at) - at, "Walktime=" + std::to_string(kWalkTime));
  test::WriteFile(root / "yarrowind.ini", ini);
  BuildTestGame(game, root);
  return root;
}

// From the title picture through the library and the game's title menu to
// New; the game's autoexec.skr has put the player on its map by 1200 ms.
constexpr std::string_view kStartGame =
    "100 key Space\n"
    "300 key Enter\n"
    "500 key Enter\n"
    "700 key Enter\n"
    "900 key Enter\n";

// Right from (20, 15) of the meadow onto the signpost, whose script shows a
// message on arrival. The view scrolls one tile with the step.
TEST(PlayMovement, AStepTakesTheWalkTimeAndScrollsTheViewAtAnyFrameRate) {
  for (const int tick : {1, 16}) {
    SCOPED_TRACE("tick " + std::to_string(tick));
    const auto out = OutputDir("play-step-" + std::to_string(tick));
    const fs::path root = OneGameFolder(out, "play_brook");
    const RunResult r = RunReplay(out, root,
                                  std::string(kStartGame) +
                                      "1400 dump rest.json\n"
                                      "1500 key Right\n"
                                      "1600 dump a.json\n"
                                      "1700 dump b.json\n"
                                      "1700 shot mid.png\n"
                                      "1800 dump c.json\n"
                                      "1880 dump before.json\n"
                                      "2060 dump arrived.json\n"
                                      "2060 shot arrived.png\n"
                                      "2100 quit\n",
                                  "--tick-ms " + std::to_string(tick));
    ASSERT_EQ(r.exitCode, 0) << r.stderrText;

    const auto rest = LoadDump(out / "rest.json");
    ASSERT_EQ(rest["GameMode"], 6);
    ASSERT_EQ(rest["PlayerPosX"], 20);
    EXPECT_EQ(rest["BufX"], kTile);
    const float startView = rest["ViewX"];

    // The step began within a frame or so of the key and is due one walk
    // time later.
    const auto a = LoadDump(out / "a.json");
    const int deadline = a["WalkDeadline"];
    const int began = deadline - kWalkTime;
    EXPECT_GE(began, 1500);
    EXPECT_LE(began, 1500 + 4 * tick + 20);
    EXPECT_EQ(a["PlayerPosX"], 21);  // the position changes at once

    // In between, the drawn player and the view move evenly toward the new
    // cell: BufX from one tile toward two, the offset from a tile to 0.
    float lastBuf = kTile;
    for (const char* name : {"a.json", "b.json", "c.json"}) {
      const auto d = LoadDump(out / name);
      const double done = (d["time"].get<double>() - began) / kWalkTime;
      const float buf = d["BufX"], offset = d["StepOffsetX"];
      EXPECT_GT(buf, lastBuf) << name;
      EXPECT_NEAR(buf, kTile + kTile * done, 6.0) << name;
      EXPECT_NEAR(offset, kTile * (1 - done), 6.0) << name;
      lastBuf = buf;
    }
    const auto before = LoadDump(out / "before.json");
    EXPECT_EQ(before["GameMode"], 6);
    EXPECT_GT(before["StepOffsetX"].get<float>(), 0);

    // On time the step snaps: the view has moved one cell and the margin
    // is back to one tile; the signpost's script has run.
    const auto arrived = LoadDump(out / "arrived.json");
    EXPECT_EQ(arrived["GameMode"], 5);
    EXPECT_EQ(arrived["Message"], "Brook Lane. Ferry to the south.");
    EXPECT_EQ(arrived["StepOffsetX"], 0);
    EXPECT_EQ(arrived["BufX"], kTile);
    EXPECT_EQ(arrived["ViewX"], startView + 1);
  }
}

TEST(PlayMovement, BlockedStepsCellScriptsHeldKeysAndMessages) {
  const auto out = OutputDir("play-walk");
  const fs::path root = OneGameFolder(out, "play_brook");
  const RunResult r = RunReplay(out, root,
                                std::string(kStartGame) +
                                    "1500 key Up\n"  // Ferris stands north
                                    "1700 dump blocked.json\n"
                                    "1800 key Left\n"  // the crate
                                    "2000 dump pushed.json\n"
                                    "2000 shot pushed.png\n"
                                    "2100 key Enter\n"
                                    "2400 press Down\n"  // walk down the lane
                                    "3500 dump walking.json\n"
                                    "3500 shot walking.png\n"
                                    "3800 dump leaving.json\n"
                                    "4000 release Down\n"
                                    "4200 key Enter\n"
                                    "4800 dump ford.json\n"
                                    // Down goes down while Enter closing the
                                    // message is still held, and stays down.
                                    "5000 key Enter 400\n"
                                    "5100 press Down\n"
                                    "6100 dump held.json\n"
                                    "6200 release Down\n"
                                    "6400 key Down\n"
                                    "7000 dump stepped.json\n"
                                    "7100 quit\n");
  ASSERT_EQ(r.exitCode, 0) << r.stderrText;

  // An NPC on the target cell: the player only turns toward it.
  const auto blocked = LoadDump(out / "blocked.json");
  EXPECT_EQ(blocked["GameMode"], 6);
  EXPECT_EQ(blocked["PlayerPosY"], 15);
  EXPECT_EQ(blocked["PlayerDirection"], 1);

  // Pushing the crate runs its push script and only turns the player.
  const auto pushed = LoadDump(out / "pushed.json");
  EXPECT_EQ(pushed["Message"], "The crate will not budge.");
  EXPECT_EQ(pushed["PlayerPosX"], 20);
  EXPECT_EQ(pushed["PlayerDirection"], 3);

  // Down held: one cell per walk time, without a pause between steps.
  const auto walking = LoadDump(out / "walking.json");
  EXPECT_EQ(walking["GameMode"], 6);
  EXPECT_EQ(walking["PlayerPosY"], 18);

  // Leaving (20, 18) runs its leave script before the step is drawn; the
  // ford's enter script follows once that message is closed.
  const auto leaving = LoadDump(out / "leaving.json");
  EXPECT_EQ(leaving["GameMode"], 5);
  EXPECT_EQ(leaving["Message"], "You leave the lane.");
  EXPECT_EQ(leaving["PlayerPosY"], 19);
  EXPECT_NE(leaving["StepOffsetY"], 0);
  const auto ford = LoadDump(out / "ford.json");
  EXPECT_EQ(ford["GameMode"], 5);
  EXPECT_EQ(ford["Message"], "You reach the ford.");

  // After the message a key held since before its closing key went up does
  // not walk; a fresh press does.
  const auto held = LoadDump(out / "held.json");
  EXPECT_EQ(held["GameMode"], 6);
  EXPECT_EQ(held["PlayerPosY"], 19);
  const auto stepped = LoadDump(out / "stepped.json");
  EXPECT_EQ(stepped["PlayerPosY"], 20);
}

// The small field's player starts on its west edge, facing out.
TEST(PlayMovement, AtTheMapEdgeEnterDoesNothingAndArrowsOnlyTurn) {
  const auto out = OutputDir("play-edge");
  const fs::path root = OneGameFolder(out, "play_alder");
  const RunResult r = RunReplay(out, root,
                                std::string(kStartGame) +
                                    "1400 dump start.json\n"
                                    "1500 key Enter\n"
                                    "1700 dump used.json\n"
                                    "1800 key Left\n"
                                    "2000 key Up\n"  // the bell: an obstacle
                                    "2200 dump turned.json\n"
                                    "2300 key Enter\n"
                                    "2500 dump rang.json\n"
                                    "2600 quit\n");
  ASSERT_EQ(r.exitCode, 0) << r.stderrText;

  const auto start = LoadDump(out / "start.json");
  ASSERT_EQ(start["PlayerPosX"], 1);
  ASSERT_EQ(start["PlayerDirection"], 3);
  const auto used = LoadDump(out / "used.json");
  EXPECT_EQ(used["GameMode"], 6);
  EXPECT_EQ(used["ScriptDepth"], 0);
  const auto turned = LoadDump(out / "turned.json");
  EXPECT_EQ(turned["PlayerPosX"], 1);
  EXPECT_EQ(turned["PlayerPosY"], 3);
  EXPECT_EQ(turned["PlayerDirection"], 1);
  // Facing a cell inside the map, Enter uses it.
  const auto rang = LoadDump(out / "rang.json");
  EXPECT_EQ(rang["GameMode"], 5);
  EXPECT_EQ(rang["Message"], "Ding!");
}

}  // namespace
}  // namespace yw::e2e
