#include <filesystem>

#include "test_support.h"
#include "sim/game_files.h"

namespace yw {
namespace {

namespace fs = std::filesystem;
using test::TestEngine;
using test::WriteFile;

std::vector<std::string> Games(const World& w) {
  std::vector<std::string> out;
  for (int i = 1; i <= w.GameCount; ++i) out.push_back(w.GameList[i]);
  return out;
}

std::vector<std::string> ScriptNames(const World& w) {
  std::vector<std::string> out;
  for (int i = 1; i <= w.ScriptCount; ++i) out.push_back(w.Scripts[i].Name);
  return out;
}

// Only folders holding autoexec.skr (in any letter case) are games, listed
// in name order whatever the letter case (names that differ only in case in
// byte order); plain files and folders without it are left out silently.
TEST(GameLibrary, ListsFoldersHoldingAutoexecByNameIgnoringCase) {
  TestEngine t;
  FindGames(t.engine);
  EXPECT_EQ(t.engine.world.GameCount, 0);
  const std::pair<const char*, const char*> folders[] = {
      {"zed", "autoexec.skr"},   {"Moor", "AUTOEXEC.SKR"},  {"alpha", "Autoexec.Skr"},
      {"notagame", "intro.skr"}, {"txt", "autoexec.txt"},   {"Bay", "autoexec.skr"},
      {"ALPHA", "autoexec.skr"}, {"Alpha", "autoexec.skr"}, {"empty", ""},
      {"zz-last", "notes.txt"}};  // the last folder is checked too
  for (const auto& [name, file] : folders) {
    fs::create_directories(t.dir.path() / "games" / name);
    if (*file) WriteFile(t.dir.path() / "games" / name / file, "END");
  }
  WriteFile(t.dir.path() / "games" / "readme.txt", "not a game");
  FindGames(t.engine);
  EXPECT_EQ(Games(t.engine.world),
            (std::vector<std::string>{"ALPHA", "Alpha", "alpha", "Bay", "Moor", "zed"}));
}

TEST(LoadScripts, ReadsSubfoldersWithTheirPathAndBackslash) {
  TestEngine t;
  const fs::path game = t.dir.path() / "game";
  WriteFile(game / "autoexec.skr", "BEGIN\r\nEND\r\n");
  WriteFile(game / "quests" / "intro.skr", "quest text");
  WriteFile(game / "quests" / "deep" / "end.SKR", "deep");
  WriteFile(game / "notes.txt", "ignored");
  WriteFile(game / "zzz.skr", "last");
  t.engine.CurrentDir = game;
  ASSERT_TRUE(LoadScripts(t.engine));
  EXPECT_EQ(ScriptNames(t.engine.world),
            (std::vector<std::string>{"autoexec.skr", "quests\\deep\\end.SKR", "quests\\intro.skr",
                                      "zzz.skr"}));
  EXPECT_EQ(t.engine.world.Scripts[3].Text, "quest text");
  // Reading a subfolder again appends nothing already there.
  ASSERT_TRUE(LoadScripts(t.engine, ".\\quests"));
  EXPECT_EQ(t.engine.world.ScriptCount, 4);
}

}  // namespace
}  // namespace yw
