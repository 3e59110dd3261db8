// Trying a game while writing it: F5 rebuilds the sources and reloads them
// where the player stands, a broken script is named and changes nothing;
// the debug overlay shows only where it is allowed and never reaches the
// game's own picture or state.
#include "testplay/test_play.h"

#include "e2e_support.h"
#include "platform/headless/headless_platform.h"
#include "shell/replay.h"
#include "shell/startup.h"
#include "shell/main_loop.h"

namespace yw::e2e {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// Plays a replay in this process, writing `edits` (file, text) into the
// sources at their times, as an author saving in an editor would.
class EditingReplay : public YieldObserver {
 public:
  struct Edit {
    uint32_t ms;
    fs::path file;
    std::string text;
  };
  EditingReplay(ReplayDriver& driver, HeadlessPlatform& platform, std::vector<Edit> edits)
      : driver_(driver), platform_(platform), edits_(std::move(edits)) {}
  void OnYield(Engine& e) override {
    while (next_ < edits_.size() && edits_[next_].ms <= platform_.Now()) {
      test::WriteFile(edits_[next_].file, edits_[next_].text);
      ++next_;
    }
    driver_.OnYield(e);
  }

 private:
  ReplayDriver& driver_;
  HeadlessPlatform& platform_;
  std::vector<Edit> edits_;
  size_t next_ = 0;
};

TEST(TestPlay, ReloadKeepsThePlaceAndShowsABrokenScript) {
  const fs::path out = OutputDir("test-play-reload");
  const fs::path root = MakeProgramFolder(out);
  const fs::path src = out / "brook";
  fs::copy(fs::path(YW_E2E_DIR) / "games" / "play_brook", src, fs::copy_options::recursive);
  Replay r(400);
  r.Note("Onto the sign: its message, HP 17.").Do("key Right").Do("key Enter", 300);
  r.Do("key Left").Dump("before", 100).Note("sign.skr now holds a line the game cannot run.");
  r.Do("key Reload", 600).Dump("broken", 100).Do("key Enter").Dump("kept", 100);
  r.Note("sign.skr fixed with a new text.").Do("key Reload", 600).Dump("reloaded", 100);
  r.Do("key Right", 500).Dump("sign", 100);
  std::vector<ReplayEvent> events;
  std::string error;
  ASSERT_TRUE(ParseReplay(r.Text(), out, events, error)) << error;
  SdlImageCodec codec;
  HeadlessPlatform platform(&codec, 1);
  Engine engine(platform, root);
  ReplayDriver driver(platform, std::move(events), 10000);
  const fs::path sign = src / "sign.skr";
  EditingReplay editor(driver, platform,
                       {{1550, sign, "BEGIN\nMSG \"Closed.\"\nFROB 1\nEND\n"},
                        {2750, sign, "BEGIN\nMSG \"The ferry is closed.\"\nEND\n"}});
  engine.Observer = &editor;
  FormLoad(engine, 1);
  const auto game = SetUpTestPlay(engine, src, out / "cache", error);
  ASSERT_TRUE(game) << error;
  engine.CurrentDir = *game;
  engine.PlayAtStart = true;
  EventLoop(engine);
  EXPECT_EQ(engine.ExitCode, 0);
  EXPECT_TRUE(driver.Problems().empty());

  const Played p{out};
  const json before = p.Dump("before");
  ASSERT_EQ(before["GameMode"], 6);
  EXPECT_EQ(before["Party"][0]["HP"], 17);
  // The broken script is named on screen; nothing else changed.
  const json broken = p.Dump("broken");
  EXPECT_EQ(broken["GameMode"], 5);
  const std::string message = broken["Message"];
  EXPECT_TRUE(message.starts_with("Error: ")) << message;
  EXPECT_NE(message.find("sign.skr:3"), std::string::npos) << message;
  const json kept = p.Dump("kept");
  EXPECT_EQ(kept["GameMode"], 6);
  // The fixed script is in use where the player stood, with his party as
  // it was (the table's own HP is not 17).
  const json reloaded = p.Dump("reloaded");
  for (const json* d : {&kept, &reloaded})
    for (const char* key :
         {"PlayerPosX", "PlayerPosY", "PlayerDirection", "MapFile", "Party", "Npcs"})
      EXPECT_EQ((*d)[key], before[key]) << key;
  EXPECT_EQ(reloaded["GameMode"], 6);
  EXPECT_NE(reloaded["Characters"][0]["HP"], 17);
  const json onSign = p.Dump("sign");
  EXPECT_EQ(onSign["Message"], "The ferry is closed.");
  EXPECT_EQ(onSign["PlayerPosX"], 21);
}

// F3 on the same walk, tried (--play) and in the library: the dumps and the
// game's screenshots are the same as without it; the picture the window
// shows carries the overlay only while trying.
TEST(TestPlay, OverlayOnlyWhereAllowedAndNeverInTheGame) {
  const fs::path out = OutputDir("test-play-overlay");
  const fs::path root = MakeProgramFolder(out);
  BuildTestGame("play_brook", root);
  const std::string play = "--play '" + (root / "games" / "play_brook").string() + "'";
  auto walk = [](bool overlay) {
    Replay r(300);
    if (overlay) r.Do("key Overlay", 0);
    r.Do("key Right", 500).Do("key Enter", 400).Snap("a").Do("view a-view.png", 100);
    return r.Text();
  };
  const Played with = Play(out / "with", root, walk(true), play);
  const Played without = Play(out / "without", root, walk(false), play);
  EXPECT_EQ(with.Dump("a"), without.Dump("a"));
  const Surface shot = with.Shot("a");
  EXPECT_EQ(Changed(shot, without.Shot("a")), 0);
  EXPECT_EQ(Changed(shot, without.Shot("a-view")), 0);
  // The overlay darkens and writes the top left corner only.
  const Surface view = with.Shot("a-view");
  EXPECT_GT(Changed(shot, view, 0, 0, 100, 40), 2000);
  EXPECT_EQ(Changed(shot, view, 0, view.Height() / 2, view.Width(), view.Height()), 0);

  // Playing from the library, F3 does nothing.
  Replay r = StartTheOnlyGame();
  r.WaitUntil(1500).Do("key Overlay", 300).Snap("b").Do("view b-view.png", 100);
  const Played library = Play(out / "library", root, r.Text());
  EXPECT_EQ(Changed(library.Shot("b"), library.Shot("b-view")), 0);

  // A script that fails while the game is tried is named on stderr with its
  // file and line; the player sees the same message either way.
  test::WriteFile(root / "games" / "play_brook" / "sign.skr",
                  "BEGIN\r\n' off the map\r\nSETPOS 500 \\ 500\r\nEND\r\n");
  const RunResult told = RunReplay(out / "tried", root, walk(false), play);
  const Played tried{out / "tried"};
  EXPECT_NE(told.stderrText.find("yarrowind: sign.skr line 3: Script Error: Target not within "
                                  "the Map! (SETPOS 500 \\ 500)"),
            std::string::npos)
      << told.stderrText;
  Replay again = StartTheOnlyGame();
  again.WaitUntil(1500).Do("key Right", 500).Snap("c");
  const Played played = Play(out / "played", root, again.Text());  // nothing on stderr
  EXPECT_EQ(played.Dump("c")["Message"], tried.Dump("a")["Message"]);
}

// In a fight the overlay moves to the right: the fight menu at the left
// edge stays as the player sees it.
TEST(TestPlay, InAFightTheOverlayLeavesTheFightMenuClear) {
  const fs::path out = OutputDir("test-play-overlay-fight");
  const fs::path root = MakeProgramFolder(out);
  BuildTestGame("fight_wolf", root);
  const std::string play = "--play '" + (root / "games" / "fight_wolf").string() + "'";
  Replay r(100);
  r.Do("key Overlay", 1400).Do("key Enter", 1500).Snap("menu").Do("view menu-view.png", 100);
  const Played p = Play(out, root, r.Text(), play);
  ASSERT_EQ(p.Dump("menu")["GameMode"], 7);
  const Surface shot = p.Shot("menu"), view = p.Shot("menu-view");
  EXPECT_EQ(Changed(shot, view, 0, 0, shot.Width() * 2 / 5, shot.Height()), 0);
  EXPECT_GT(Changed(shot, view, shot.Width() / 2, 0, shot.Width(), 100), 2000);
}

}  // namespace
}  // namespace yw::e2e
