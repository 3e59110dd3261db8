// `yarrowind-pack new` writes a game that builds without a warning and plays
// as it stands: the hero talks to Elda, goes through the door into the
// house and comes back out below the door, where Elda is again.
#include "e2e_support.h"
#include "new_game.h"

namespace yw::e2e {
namespace {

namespace fs = std::filesystem;

TEST(StarterGame, BuildsWithoutAWarningAndPlaysItsTalkAndItsDoor) {
  const auto out = OutputDir("starter");
  const fs::path root = MakeProgramFolder(out);
  pack::Report refused, report;
  ASSERT_TRUE(pack::WriteStarterGame(out / "src", report));
  EXPECT_FALSE(pack::WriteStarterGame(out / "src", refused));  // never over an author's files
  ASSERT_TRUE(pack::BuildGame(out / "src", out / "game", report));
  std::ostringstream problems;
  report.Print(problems);
  EXPECT_TRUE(report.Items().empty()) << problems.str();

  Replay r(400);
  r.Dump("welcome").Do("key Enter", 500);
  // Up the path, left beside Elda, Enter facing her.
  r.Do("key Up", 500).Do("key Left", 500).Do("key Enter", 600).Snap("talk").Do("key Enter", 500);
  // Back onto the path and up to the door.
  r.Do("key Right", 500).Keys("Up", 6, 500).Dump("house");
  r.Do("key Down", 800).Dump("village");
  const Played p = Play(out, root, r.Text(), "--play '" + (out / "game").string() + "'");

  EXPECT_EQ(p.Dump("welcome")["Message"],
            "Walk with the arrow keys. Face Elda and press Enter to talk.");
  const auto talk = p.Dump("talk");
  EXPECT_EQ(talk["Message"],
            "Elda: Good day! My house is just up the path. Go in, the door is open.");
  EXPECT_EQ(talk["PlayerPosX"], 9);
  const auto house = p.Dump("house");
  EXPECT_EQ(house["MapFile"], "house.map");
  EXPECT_EQ(house["PlayerPosX"], 5);
  EXPECT_EQ(house["PlayerPosY"], 7);
  EXPECT_EQ(house["Npcs"].size(), 0u);
  const auto village = p.Dump("village");
  EXPECT_EQ(village["MapFile"], "village.map");
  EXPECT_EQ(village["PlayerPosX"], 10);
  EXPECT_EQ(village["PlayerPosY"], 6);
  EXPECT_EQ(village["Npcs"].size(), 1u);
  EXPECT_EQ(village["GameMode"], 6);
}

}  // namespace
}  // namespace yw::e2e
