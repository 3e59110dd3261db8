// Steps to the left and up, a villager turning to face the player who
// talks to him, and a leave script that holds a step without cutting it
// short, played on the meadow of the brook game.
#include <string>

#include "e2e_support.h"

namespace yw::e2e {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

constexpr int kWalkTime = 400;
constexpr int kTile = 32;  // 16-pixel tiles at zoom 2

// The brook game in a program folder whose walk time is kWalkTime.
Played PlayBrook(const std::string& name, Replay& r) {
  const fs::path out = OutputDir(name);
  return Play(out, ProgramWithGame(out, "play_brook", kWalkTime), r.Text());
}

// A step's drawn offset starts a tile behind on the side it came from and
// shrinks evenly to 0 while the position is already the new cell.
void ExpectHalfwayStep(const json& d, const char* axis, int sign, double done) {
  const float offset = d[std::string("StepOffset") + axis];
  EXPECT_NEAR(offset, sign * kTile * (1 - done), 8.0) << axis << " at " << d["time"];
}

// Ferris stands on (20, 14), north of the player's (20, 15); the sign's
// enter script is on (21, 15).
TEST(WalkDirections, LeftAndUpStepsAndAVillagerTurnsToFaceThePlayer) {
  Replay r = StartTheOnlyGame();
  r.WaitUntil(1500).Do("key Down", 600).Dump("below", 100);
  r.Do("key Left", 200).Dump("left", 400).Dump("left-done", 100);
  r.Keys("Right", 2, 600).Do("key Up", 200).Dump("up", 400).Dump("up-done", 100);
  r.Do("key Enter", 300).Do("key Up", 600).Note("Left is Ferris: the player only turns.");
  r.Do("key Left", 300).Dump("facing", 100).Do("key Enter", 400).Dump("talk", 100);
  const Played p = PlayBrook("walk-directions", r);

  const json below = p.Dump("below");
  ASSERT_EQ(below["PlayerPosY"], 16);
  const json left = p.Dump("left");
  EXPECT_EQ(left["PlayerPosX"], 19);
  EXPECT_EQ(left["PlayerDirection"], 3);
  ExpectHalfwayStep(left, "X", -1, 0.5);
  const json leftDone = p.Dump("left-done");
  EXPECT_EQ(leftDone["StepOffsetX"], 0);
  EXPECT_EQ(leftDone["ViewX"], below["ViewX"].get<float>() - 1);

  const json up = p.Dump("up");
  EXPECT_EQ(up["PlayerPosX"], 21);
  EXPECT_EQ(up["PlayerPosY"], 15);
  EXPECT_EQ(up["PlayerDirection"], 1);
  ExpectHalfwayStep(up, "Y", -1, 0.5);
  const json upDone = p.Dump("up-done");
  EXPECT_EQ(upDone["Message"], "Brook Lane. Ferry to the south.");
  EXPECT_EQ(upDone["StepOffsetY"], 0);

  const json facing = p.Dump("facing");
  EXPECT_EQ(facing["PlayerPosX"], 21);
  EXPECT_EQ(facing["PlayerPosY"], 14);
  EXPECT_EQ(facing["PlayerDirection"], 3);
  EXPECT_EQ(facing["Npcs"][0]["DIRECTION"], 2);
  const json talk = p.Dump("talk");
  EXPECT_EQ(talk["Message"], "Ferris: The ferry waits.");
  EXPECT_EQ(talk["Npcs"][0]["DIRECTION"], 4);
}

// Leaving (20, 18) shows a message before the step is drawn. However long
// it stays open, the step then takes a whole walk time again: it is not
// snapped to its end, and the ford's enter script runs after it.
TEST(WalkDirections, ALeaveScriptRenewsTheStepsDeadline) {
  Replay r = StartTheOnlyGame();
  r.WaitUntil(1500).Keys("Down", 3, 600).Do("key Down", 300).Dump("leaving", 1000);
  r.Do("key Enter", 150).Dump("walking", 550).Dump("ford", 100);
  const Played p = PlayBrook("walk-leave", r);

  const json leaving = p.Dump("leaving");
  ASSERT_EQ(leaving["Message"], "You leave the lane.");
  EXPECT_EQ(leaving["PlayerPosY"], 19);
  EXPECT_NE(leaving["StepOffsetY"], 0);
  const json walking = p.Dump("walking");
  EXPECT_EQ(walking["GameMode"], 6);
  EXPECT_GT(walking["StepOffsetY"].get<float>(), 0);
  const int closed = walking["time"].get<int>() - 150;
  EXPECT_GE(walking["WalkDeadline"].get<int>(), closed + kWalkTime - 100);
  const json ford = p.Dump("ford");
  EXPECT_EQ(ford["Message"], "You reach the ford.");
  EXPECT_EQ(ford["StepOffsetY"], 0);
}

}  // namespace
}  // namespace yw::e2e
