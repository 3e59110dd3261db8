#include <cctype>
#include <filesystem>

#include "test_support.h"
#include "world/game_files.h"

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

// Only folders holding autoexec.skr (in any letter case) are games; plain
// files and folders without it are left out silently, wherever they stand.
TEST(GameLibrary, ListsOnlyFoldersHoldingAutoexec) {
  // Each case: the folders (in name order) and the name of their autoexec
  // file, empty for a folder that is no game.
  const std::vector<std::vector<std::pair<std::string, std::string>>> cases = {
      {{"a", ""}, {"b", ""}, {"c", "autoexec.skr"}},
      {{"a", "AUTOEXEC.SKR"}, {"b", ""}, {"c", ""}},
      {{"a", ""}, {"b", "autoexec.skr"}, {"c", "intro.skr"}, {"d", "Autoexec.Skr"}},
      {{"a", "autoexec.txt"}},
      {{"a", "autoexec.skr"}, {"b", "autoexec.skr"}},
  };
  for (const auto& folders : cases) {
    TestEngine t;
    WriteFile(t.dir.path() / "games" / "readme.txt", "not a game");
    std::vector<std::string> expected;
    for (const auto& [name, file] : folders) {
      const fs::path dir = t.dir.path() / "games" / name;
      fs::create_directories(dir);
      if (file.empty()) continue;
      WriteFile(dir / file, "END");
      std::string lower = file;
      for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      if (lower == "autoexec.skr") expected.push_back(name);
    }
    FindGames(t.engine);
    EXPECT_EQ(Games(t.engine.world), expected);
    EXPECT_EQ(t.engine.world.GameList.Size(), std::max<int>(1, static_cast<int>(expected.size())));
  }
}

// The library is in name order whatever the letter case, names that differ
// only in case in byte order, and the sorting happens before folders that are
// no game are dropped.
TEST(GameLibrary, ListsGamesByNameIgnoringCase) {
  TestEngine t;
  for (const char* name : {"zed", "Moor", "alpha", "notagame", "Bay", "ALPHA", "Alpha"}) {
    fs::create_directories(t.dir.path() / "games" / name);
    if (std::string_view(name) != "notagame") WriteFile(t.dir.path() / "games" / name / "autoexec.skr", "END");
  }
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

TEST(LoadScripts, FolderLinksDoNotLoop) {
  TestEngine t;
  WriteFile(t.dir.path() / "sub" / "a.skr", "A");
  std::error_code ec;
  fs::create_directory_symlink(t.dir.path(), t.dir.path() / "sub" / "loop", ec);
  if (ec) GTEST_SKIP() << "no symlinks here";
  ASSERT_TRUE(LoadScripts(t.engine));
  EXPECT_EQ(ScriptNames(t.engine.world), std::vector<std::string>{"sub\\a.skr"});
}

}  // namespace
}  // namespace yw
