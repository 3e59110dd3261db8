// FIFOs where the program expects files: a save slot, a script, a picture,
// a sound, the player's settings.ini and the sources of a build. Opening a
// FIFO for reading waits for a writer that never comes; the program and
// the authoring tool must refuse it at once and go on.
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <future>
#include <thread>

#include "e2e_support.h"
#include "script_lint.h"
#include "world/data_files.h"

namespace yw::e2e {
namespace {

namespace fs = std::filesystem;

void MakeFifo(const fs::path& file) {
  fs::create_directories(file.parent_path());
  fs::remove(file);
  ASSERT_EQ(::mkfifo(file.c_str(), 0644), 0) << file;
}

// Runs `work`; a watchdog ends the whole test program with a failure if it
// has not returned within `seconds`, so a regression fails instead of
// hanging the suite.
template <class Work>
void WithinSeconds(int seconds, Work work) {
  std::promise<void> done;
  std::future<void> finished = done.get_future();
  std::thread watchdog([&finished, seconds] {
    if (finished.wait_for(std::chrono::seconds(seconds)) == std::future_status::timeout) {
      std::fprintf(stderr, "still waiting after %d s: a FIFO was opened\n", seconds);
      std::_Exit(124);
    }
  });
  work();
  done.set_value();
  watchdog.join();
}

TEST(FifoFiles, TheGameSkipsOrNamesEveryFifoAndPlaysOn) {
  const fs::path out = OutputDir("fifo_game");
  fs::remove_all(out);
  const fs::path root = MakeProgramFolder(out);
  BuildTestGame("script_world", root, "fifo");
  const fs::path game = root / "games" / "fifo";
  test::WriteFile(game / "autoexec.skr",
                  "BEGIN\r\n"
                  "RUNSCRIPT \"pipe.skr\"\r\n"
                  "LOADTILES \"pipe.til\"\r\n"
                  "PLAYSOUND \"pipe.wav\"\r\n"
                  "MSG \"after the pipes\"\r\n"
                  "END\r\n");
  test::WriteFile(game / "pipe.til", WriteTileSheetFile({"pipe.bmp", 16, 16, {{0, 0, 1}}}));
  MakeFifo(game / "pipe.skr");
  MakeFifo(game / "pipe.bmp");
  MakeFifo(game / "pipe.wav");
  MakeFifo(game / "slot1.sav");
  MakeFifo(root / "screen.bmp");  // the title picture
  const fs::path home = out / "home";
  MakeFifo(home / "config" / "yarrowind" / "settings.ini");

  Replay r = StartTheOnlyGame();
  r.WaitUntil(1500).Dump("missing").Do("key Enter", 600).Dump("after").Do("key Enter", 600);
  r.Do("key Esc", 500).Keys("Down", 4, 200).Do("key Enter", 600).Dump("slots");
  const fs::path work = out / "run";
  fs::create_directories(work);
  test::WriteFile(work / "replay.txt", r.Text());
  // A short bound: the replay plays in a few seconds.
  const std::string command = "cd '" + work.string() + "' && HOME='" + home.string() +
                              "' XDG_CONFIG_HOME='" + (home / "config").string() +
                              "' XDG_DATA_HOME='" + (home / "data").string() +
                              "' XDG_CACHE_HOME='" + (home / "cache").string() +
                              "' timeout 120 '" YW_BINARY "' --headless --root '" + root.string() +
                              "' --seed 1 --replay replay.txt 2> stderr.txt";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_NE(WEXITSTATUS(status), 124) << "the program waited on a FIFO";
  EXPECT_EQ(WEXITSTATUS(status), 0);
  const std::string stderrText = test::ReadFile(work / "stderr.txt");
  // The script is not among the game's scripts; the picture and the sound
  // are named as files that cannot be used.
  EXPECT_EQ(LoadDump(work / "missing.json")["Message"], "Error: Script pipe.skr not found!");
  EXPECT_EQ(LoadDump(work / "after.json")["Message"], "after the pipes");
  (void)stderrText;  // headless, the missing picture and sound are skipped quietly
  // The load list opened over a FIFO slot.
  EXPECT_TRUE(fs::exists(work / "slots.json"));
}

TEST(FifoFiles, BuildAndCheckRefuseFifoSourcesAtOnce) {
  const fs::path out = OutputDir("fifo_pack");
  fs::remove_all(out);
  const fs::path src = out / "src";
  test::WriteFile(src / "autoexec.skr", "BEGIN\r\nLOADEVENTS \"room.evm\" \\ ALLES\r\nEND\r\n");
  test::WriteFile(src / "room.tmj", R"({"type": "map", "orientation": "orthogonal",
    "width": 2, "height": 1, "tilewidth": 16, "tileheight": 16,
    "tilesets": [{"firstgid": 1, "source": "pipe.tsj"}],
    "layers": [{"type": "tilelayer", "name": "tiles", "width": 2, "height": 1, "data": [1, 1]}]})");
  MakeFifo(src / "pipe.tsj");    // a tileset the map names
  MakeFifo(src / "pipe.skr");    // a script
  MakeFifo(src / "chars.json");  // a source
  MakeFifo(src / "pipe.tmx");    // a map source
  MakeFifo(src / "pipe.bmp");    // a picture copied as it is
  pack::Report report;
  WithinSeconds(60, [&] { pack::BuildGame(src, out / "game", report); });
  std::ostringstream all;
  report.Print(all);
  EXPECT_NE(all.str().find("room.tmj:3: tileset 1: the tileset 'pipe.tsj' cannot be read"),
            std::string::npos)
      << all.str();
  EXPECT_FALSE(fs::exists(out / "game" / "pipe.skr"));

  // A game folder holding FIFOs is checked without waiting on them.
  BuildTestGame("script_world", out, "checked");
  const fs::path game = out / "games" / "checked";
  MakeFifo(game / "slot1.sav");
  MakeFifo(game / "pipe.skr");
  MakeFifo(game / "chars.dat");
  pack::Report checked;
  WithinSeconds(60, [&] { pack::CheckGame(game, game, checked); });
  std::ostringstream problems;
  checked.Print(problems);
  EXPECT_NE(problems.str().find("pipe.skr: cannot be read"), std::string::npos) << problems.str();
}

}  // namespace
}  // namespace yw::e2e
