// Saved games a player can rely on: a save cut short at any moment leaves
// the old slot or the new one, never a piece; a saved game that does not fit
// together is refused before it changes the running game.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <limits>
#include <random>

#include "menus/list_kinds.h"
#include "shell/user_settings.h"
#include "sim/game_files.h"
#include "sim/save_folder.h"
#include "test_support.h"
#include "world/save_game.h"

namespace yw {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TestEngine;
using test::WriteFile;

// A running game on a map of width x height cells, the player and an NPC on it.
void PlayOnMap(Engine& e, int16_t width, int16_t height) {
  World& w = e.world;
  w.TilePicture = "tiles.bmp";
  w.TileWidth = w.TileHeight = 16;
  w.TileDefs[1] = {0, 0, 1};
  w.TileDefCount = 1;
  w.MapFile = "meadow.map";
  w.MapWidth = width, w.MapHeight = height;
  w.MapTiles.Reset(width, height);
  w.MapEvents.Reset(width, height);
  for (int y = 1; y <= height; ++y)
    for (int x = 1; x <= width; ++x) w.MapTiles(x, y).TILE = 1;
  w.MapEvents(2, 2).ENTERSCRIPT = "sign.skr";
  w.Party[1].NAME = w.Party[1].character.NAME = "Ada";
  w.PartyCount = w.NpcCount = 1;
  w.PlayerPosX = w.PlayerPosY = 2;
  w.Npcs[1].POS_X = 3, w.Npcs[1].POS_Y = 1;
  WriteFile(e.CurrentDir / "autoexec.skr", "BEGIN\r\nEND\r\n");
}

TEST(SaveSafety, ASaveKilledAtAnyMomentLeavesTheOldOrTheNewSlot) {
  TestEngine t;
  Engine& e = t.engine;
  PlayOnMap(e, 64, 32);
  const fs::path slot = t.dir.path() / "slot1.sav";
  ASSERT_TRUE(SaveState(e, "slot1.sav", "new"));
  const std::string fresh = ReadFile(slot);
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(SaveState(e, "slot1.sav", "old"));
  const auto oneSave = std::chrono::duration_cast<std::chrono::microseconds>(
                           std::chrono::steady_clock::now() - start)
                           .count();
  const std::string old = ReadFile(slot);

  // Each child saves once, then is killed somewhere in its next two saves.
  // A loaded machine may slow the children's saves below the one measured:
  // the kills go on until one has fallen after a whole save.
  std::mt19937 rng(14);
  std::uniform_int_distribution<long> moment(0, 2 * oneSave);
  int oldKept = 0, newWritten = 0, run = 0;
  for (; run < 50 || (newWritten == 0 && run < 500); ++run) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      SaveState(e, "slot1.sav", "old");
      (void)!::write(ready[1], "s", 1);
      for (int i = 0;; ++i) SaveState(e, "slot1.sav", i % 2 == 0 ? "new" : "old");
    }
    char started = 0;
    (void)!::read(ready[0], &started, 1);
    ::close(ready[0]);
    ::close(ready[1]);
    ::usleep(static_cast<useconds_t>(moment(rng)));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    const std::string now = ReadFile(slot);
    if (now == old)
      ++oldKept;
    else if (now == fresh)
      ++newWritten;
    else
      ADD_FAILURE() << "kill " << run << " left " << now.size() << " bytes";
  }
  std::cout << "one save " << oneSave << " us; killed " << run << " saves: old slot " << oldKept
            << ", new slot " << newWritten << "\n";
  EXPECT_GT(newWritten, 0);  // the kills did fall while the child saved
}

// Positions anywhere, off the map too, load as they were saved; a file that
// does not read back to a map and its layers, read to its last byte, is
// refused before it changes the running game.
TEST(SaveSafety, ASavedGameThatDoesNotReadBackChangesNothing) {
  TestEngine t;
  Engine& e = t.engine;
  PlayOnMap(e, 4, 3);
  World& w = e.world;
  w.PlayerPosX = 5, w.PlayerPosY = -2;  // left there by a larger map
  w.Npcs.Resize(2);
  w.Npcs[2] = w.Npcs[1];
  w.NpcCount = 2;
  w.Npcs[1].POS_X = -1;  // parked out of sight
  w.Npcs[2].POS_X = 1e30f, w.Npcs[2].POS_Y = 15;
  ASSERT_TRUE(SaveState(e, "good.sav", "good"));
  const std::string bytes = ReadFile(t.dir.path() / "good.sav");
  SaveGameData good;
  ASSERT_EQ(ReadSaveGame(bytes, good), LoadStatus::Ok);

  constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
  constexpr float kInf = std::numeric_limits<float>::infinity();
  const std::vector<std::pair<std::string, std::function<void(SaveGameData&)>>> faults = {
      {"player x not a number", [](SaveGameData& d) { d.playerPosX = kNaN; }},
      {"player y infinite", [](SaveGameData& d) { d.playerPosY = kInf; }},
      {"NPC x not a number", [](SaveGameData& d) { d.npcs[0].POS_X = kNaN; }},
      {"NPC step infinite", [](SaveGameData& d) { d.npcs[0].stepOffsetX = -kInf; }},
      {"event layer narrower than the map", [](SaveGameData& d) { d.eventWidth = 3; }},
      {"a cell of tile 0", [](SaveGameData& d) { d.tiles[5] = 0; }},
      {"no map",
       [](SaveGameData& d) {
         d.mapWidth = d.mapHeight = d.eventWidth = d.eventHeight = 0;
         d.tiles.clear(), d.events.clear(), d.placements.clear();
       }},
  };
  std::vector<std::pair<std::string, std::string>> files;
  for (const auto& [fault, apply] : faults) {
    SaveGameData bad = good;
    apply(bad);
    files.emplace_back(fault, WriteSaveGame(bad));
  }
  // A file of an unknown version, cut short anywhere, with bytes after its
  // end, or of a version, a description and nothing but zeros is refused too.
  files.emplace_back("version 3", "\x03" + bytes.substr(1));
  for (size_t n = 0; n < bytes.size(); ++n)
    files.emplace_back("cut at " + std::to_string(n), bytes.substr(0, n));
  files.emplace_back("garbage after the end", bytes + std::string(100, '\x5a'));
  files.emplace_back("zeros", std::string("\x02\x04good", 6) + std::string(200, '\0'));

  w.MapFile = "cave.map";
  w.PlayerPosX = 4;
  w.PartyCount = 0;
  EXPECT_FALSE(LoadState(e, "missing.sav", false));
  for (const auto& [fault, file] : files) {
    WriteFile(t.dir.path() / "bad.sav", file);
    EXPECT_FALSE(LoadState(e, "bad.sav", false)) << fault;
    EXPECT_EQ(w.MapFile, "cave.map") << fault;
    EXPECT_EQ(w.PlayerPosX, 4) << fault;
    EXPECT_EQ(w.PartyCount, 0) << fault;
  }
  WriteFile(t.dir.path() / SlotFileName(3), files[faults.size()].second);
  EXPECT_EQ(SlotEntries(e)[2].text, "<Empty>");  // the other version is no saved game
  for (bool snapshot : {false, true}) {
    w.PlayerPosX = 4;
    ASSERT_TRUE(LoadState(e, "good.sav", snapshot)) << snapshot;
    EXPECT_EQ(w.MapFile, "meadow.map");
    EXPECT_EQ(w.PlayerPosX, 5);
    EXPECT_EQ(w.PlayerPosY, -2);
    ASSERT_EQ(w.NpcCount, 2);
    EXPECT_EQ(w.Npcs[1].POS_X, -1);
    EXPECT_EQ(w.Npcs[2].POS_X, 1e30f);
  }
}

// Every byte of a real saved game, flipped in turn: the file loads into a
// world with a map and a party, or is refused and the running game stays.
TEST(SaveSafety, AFlippedByteNeverLeavesAnEmptyWorld) {
  TestEngine t;
  Engine& e = t.engine;
  const fs::path source = fs::path(YW_SOURCE_DIR) / "data/games/hollowmere";
  for (const auto& f : fs::directory_iterator(source))
    if (f.path().extension() == ".skr") fs::copy_file(f.path(), t.dir.path() / f.path().filename());
  const std::string bytes =
      ReadFile(fs::path(YW_SOURCE_DIR) / "fuzz/corpus/save_game/hollowmere-house.sav");
  WriteFile(t.dir.path() / "slot1.sav", bytes);
  e.win.ScreenWidth = 160, e.win.ScreenHeight = 120;  // each load draws the map
  World& w = e.world;
  ASSERT_TRUE(LoadState(e, "slot1.sav", false));
  ASSERT_GT(w.PartyCount, 0);

  int loaded = 0, refused = 0, wrong = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    std::string flipped = bytes;
    flipped[i] = static_cast<char>(~flipped[i]);
    WriteFile(t.dir.path() / "slot1.sav", flipped);
    w.MapFile = "running.map";
    e.win.GameMode = Mode::Menu;
    const bool ok = LoadState(e, "slot1.sav", false);
    const bool whole = w.MapWidth > 0 && w.MapHeight > 0 && w.MapTiles.Width() == w.MapWidth &&
                       w.MapTiles.Height() == w.MapHeight && w.PartyCount > 0;
    if (ok ? whole && e.win.GameMode == Mode::Map
           : w.MapFile == "running.map" && e.win.GameMode == Mode::Menu) {
      ++(ok ? loaded : refused);
    } else {
      ++wrong;
      ADD_FAILURE() << "byte " << i << (ok ? " loaded into " : " refused, yet left ") << w.MapWidth
                    << " x " << w.MapHeight << " cells, " << w.PartyCount << " in the party";
    }
  }
  std::cout << bytes.size() << " bytes flipped: " << loaded << " loaded, " << refused
            << " refused, " << wrong << " wrong\n";
  EXPECT_GT(loaded, 0);
  EXPECT_GT(refused, 0);
}

// A game installed where the player cannot write keeps its saves and its
// fight snapshot in the player's data folder and finds them there; a game
// folder that can be written keeps them, and the check leaves no file.
TEST(SaveSafety, AGameFolderThatCannotBeWrittenSavesInThePlayersFolder) {
  TestEngine t;
  Engine& e = t.engine;
  e.UserSaveRoot = t.dir.path() / "user";
  e.CurrentDir = t.dir.path() / "Hollow Hill";
  PlayOnMap(e, 8, 8);
  ChooseSaveFolder(e);
  ASSERT_TRUE(SaveState(e, "slot1.sav", "at home"));
  const auto files = [](const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& f : fs::directory_iterator(dir)) names.push_back(f.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  };
  EXPECT_EQ(files(e.CurrentDir), (std::vector<std::string>{"autoexec.skr", "slot1.sav"}));

  e.CanWriteFolder = [](const fs::path&) { return false; };
  ChooseSaveFolder(e);
  ASSERT_TRUE(SaveState(e, "slot2.sav", "away"));
  ASSERT_TRUE(SaveState(e, "temp.tmp", "FightTemp"));
  EXPECT_EQ(files(e.CurrentDir), (std::vector<std::string>{"autoexec.skr", "slot1.sav"}));
  EXPECT_EQ(files(e.UserSaveRoot / "Hollow Hill"),
            (std::vector<std::string>{"slot2.sav", "temp.tmp"}));
  EXPECT_EQ(SlotDescription(e, 2), "away");
  EXPECT_EQ(SlotDescription(e, 1), std::nullopt);
  e.world.PlayerPosX = 5;
  ASSERT_TRUE(LoadState(e, "slot2.sav", false));
  EXPECT_EQ(e.world.PlayerPosX, 2);
  EXPECT_TRUE(LoadState(e, "temp.tmp", true));
}

// The installed program keeps every save of its own games in the player's
// data folder, even run by a user who can write the installation (root):
// removing the package then leaves nothing behind. A game folder of the
// player's own keeps its saves beside it as before.
TEST(SaveSafety, AGameOfTheInstalledProgramFolderSavesInThePlayersFolderWhoeverRunsIt) {
  TestEngine t;
  Engine& e = t.engine;
  const fs::path prefix = t.dir.path() / "usr";
  fs::create_directories(prefix / "bin");
  fs::create_directories(prefix / "share" / "yarrowind" / "games");
  e.InstalledDir = InstalledProgramFolder(prefix / "bin" / "yarrowind");
  ASSERT_EQ(e.InstalledDir, prefix / "share" / "yarrowind");
  UserFolders folders;
  folders.data = t.dir.path() / "xdg-data";
  e.UserSaveRoot = UserSaveRoot(folders);
  const fs::path saves = folders.data / "yarrowind" / "saves";

  // Reached through a link too, and with a trailing '/'.
  fs::create_directory_symlink(prefix / "share" / "yarrowind", t.dir.path() / "link");
  for (const fs::path& game : {prefix / "share" / "yarrowind" / "games" / "Hollow Hill",
                               t.dir.path() / "link" / "games" / "Sea Cave" / ""}) {
    e.CurrentDir = game;
    PlayOnMap(e, 8, 8);
    ASSERT_TRUE(FolderIsWritable(game));
    ChooseSaveFolder(e);
    ASSERT_TRUE(SaveState(e, "slot1.sav", "installed"));
    ASSERT_TRUE(SaveState(e, "temp.tmp", "FightTemp"));
    EXPECT_FALSE(fs::exists(game / "slot1.sav")) << game;
    EXPECT_FALSE(fs::exists(game / "temp.tmp")) << game;
    EXPECT_EQ(SlotDescription(e, 1), "installed") << game;
  }
  EXPECT_TRUE(fs::exists(saves / "Hollow Hill" / "slot1.sav"));
  EXPECT_TRUE(fs::exists(saves / "Sea Cave" / "temp.tmp"));

  // The player's own folders, one named like the installation but beside it.
  for (const fs::path& game :
       {t.dir.path() / "mine" / "Hollow Hill", prefix / "share" / "yarrowind-extra" / "Moor"}) {
    e.CurrentDir = game;
    PlayOnMap(e, 8, 8);
    ChooseSaveFolder(e);
    ASSERT_TRUE(SaveState(e, "slot2.sav", "mine"));
    EXPECT_TRUE(fs::exists(game / "slot2.sav")) << game;
  }
  EXPECT_FALSE(fs::exists(saves / "Hollow Hill" / "slot2.sav"));

  // A build folder's program (data/ beside it) and a prefix without the
  // program folder have no installation.
  fs::create_directories(prefix / "bin" / "data");
  EXPECT_EQ(InstalledProgramFolder(prefix / "bin" / "yarrowind"), fs::path());
  EXPECT_EQ(InstalledProgramFolder(t.dir.path() / "mine" / "yarrowind"), fs::path());
}

}  // namespace
}  // namespace yw
