// The bundled demo, Hollowmere, played as a player would: picked from the
// game list, started with New, through its cut-scene, greeting, name
// question and a first step on the town map.
#include "e2e_support.h"

namespace yw::e2e {
namespace {

TEST(DemoGame, PickedFromTheListItStartsInTheTownAndThePlayerWalks) {
  const auto out = OutputDir("demo");
  const RunResult r = RunReplay(out, DataDir(),
                                "200 key Enter\n"
                                "600 key Enter\n"
                                "1000 dump list.json\n"
                                "1200 key Enter\n"
                                "1800 key Enter\n"
                                "2200 key Enter\n"
                                "6000 dump greeting.json\n"
                                "6200 key Enter\n"
                                "6600 type Ayla\n"
                                "7000 key Enter\n"
                                "7400 dump welcome.json\n"
                                "7600 key Enter\n"
                                "8000 key Left\n"
                                "8600 dump walked.json\n"
                                "8600 shot walked.png\n"
                                "8700 quit\n");
  ASSERT_EQ(r.exitCode, 0) << r.stderrText;

  const auto list = LoadDump(out / "list.json");
  EXPECT_EQ(list["GameMode"], 3);
  EXPECT_NE(list.dump().find("hollowmere"), std::string::npos);

  // After the cut-scene Pip greets the player on the town map.
  const auto greeting = LoadDump(out / "greeting.json");
  EXPECT_EQ(greeting["MapFile"], "town.map");
  EXPECT_NE(greeting["Message"].get<std::string>().find("Pip: Hey!"), std::string::npos)
      << greeting["Message"];
  // The cut-scene walked the player two cells up the lane.
  EXPECT_EQ(greeting["PlayerPosX"], 16);
  EXPECT_EQ(greeting["PlayerPosY"], 14);

  // After the name question the welcome follows.
  const auto welcome = LoadDump(out / "welcome.json");
  EXPECT_NE(welcome["Message"].get<std::string>().find("Welcome to Hollowmere, "),
            std::string::npos)
      << welcome["Message"];

  // Back on the map, Left walks one cell.
  const auto walked = LoadDump(out / "walked.json");
  EXPECT_EQ(walked["GameMode"], 6);
  EXPECT_EQ(walked["PlayerPosX"], 15);
  EXPECT_EQ(walked["PlayerPosY"], 14);
  EXPECT_FALSE(InkBox(LoadShot(out / "walked.png")).Empty());
}

}  // namespace
}  // namespace yw::e2e
