// The music the bundled demo asks for: the title music while the player
// picks a game, the village tune once the game has started. (The headless
// program has no sound device; the requested name is what is checked.)
#include "e2e_support.h"

namespace yw::e2e {
namespace {

TEST(AudioDemo, TitleMusicOnTheGameListAndTheVillageTuneInTheGame) {
  const auto out = OutputDir("audio-demo");
  const RunResult r = RunReplay(out, DataDir(),
                                "200 key Enter\n"
                                "600 key Enter\n"
                                "1000 dump list.json\n"
                                "1100 key Down\n"
                                "1200 key Enter\n"
                                "1800 key Enter\n"
                                "2200 key Enter\n"
                                "6000 dump greeting.json\n"
                                "6100 quit\n");
  ASSERT_EQ(r.exitCode, 0) << r.stderrText;
  const auto list = LoadDump(out / "list.json");
  ASSERT_EQ(list["GameMode"], 3);
  EXPECT_EQ(list["AmbientName"], "Title");
  EXPECT_TRUE(std::filesystem::exists(DataDir() / "title.mid"));

  const auto greeting = LoadDump(out / "greeting.json");
  ASSERT_EQ(greeting["MapFile"], "town.map");
  EXPECT_EQ(greeting["AmbientName"], "town.mid");
}

}  // namespace
}  // namespace yw::e2e
