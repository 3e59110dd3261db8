// Names with letters beyond ASCII: the game spells them in Windows-1252,
// Linux stores file names in UTF-8. A map or script naming "CAFÉ.SKR"
// finds café.skr on the disk, in either encoding and in any letter case.
#include <filesystem>

#include "script/script_engine.h"
#include "sim/game_files.h"
#include "test_support.h"
#include "world/paths.h"

namespace yw {
namespace {

namespace fs = std::filesystem;
using test::TestEngine;
using test::WriteFile;

TEST(GameFileNames, WindowsNamesFindUtf8FilesInAnyLetterCase) {
  test::TempDir dir;
  WriteFile(dir.path() / "Maps" / "caf\xc3\xa9.map", "utf-8 name");  // café.map
  WriteFile(dir.path() / "\xc9t\xe9.evm", "windows name");           // été.evm, as a Windows zip
  WriteFile(dir.path() / "\xe6\x97\xa5.map", "no Windows-1252 code");  // 日.map
  for (const char* name : {"maps\\caf\xe9.map", "MAPS\\CAF\xc9.MAP", "Maps/caf\xc3\xa9.map",
                           "maps\\CAF\xc3\x89.map"}) {
    const auto found = ResolvePath(dir.path(), name);
    ASSERT_TRUE(found) << name;
    EXPECT_EQ(test::ReadFile(*found), "utf-8 name") << name;
  }
  for (const char* name : {"\xc9t\xe9.evm", "\xe9T\xc9.EVM", "\xc3\x89t\xc3\xa9.evm"}) {
    const auto found = ResolvePath(dir.path(), name);
    ASSERT_TRUE(found) << name;
    EXPECT_EQ(test::ReadFile(*found), "windows name") << name;
  }
  EXPECT_TRUE(ResolvePath(dir.path(), "\xe6\x97\xa5.map"));
  // Other letters stay apart: "cafe" is not "café", "?" stands for nothing.
  EXPECT_FALSE(ResolvePath(dir.path(), "maps\\cafe.map"));
  EXPECT_FALSE(ResolvePath(dir.path(), "?.map"));
  EXPECT_EQ(FoldName("\x8a\x8c\x8e\x9f\xd7\xde"), "\x9a\x9c\x9e\xff\xd7\xfe");  // ŠŒŽŸ×Þ
}

TEST(GameFileNames, ScriptsNamedOnTheDiskInUtf8RunByTheirWindowsName) {
  TestEngine t;
  const fs::path game = t.dir.path() / "game";
  WriteFile(game / "autoexec.skr", "BEGIN\r\nEND\r\n");
  WriteFile(game / "Caf\xc3\xa9.skr", "BEGIN\r\nEND\r\n");
  t.engine.CurrentDir = game;
  ASSERT_TRUE(LoadScripts(t.engine));
  ASSERT_EQ(t.engine.world.ScriptCount, 2);
  EXPECT_EQ(t.engine.world.Scripts[1].Name, "Caf\xe9.skr");  // byte order: C before a
  RunScript(t.engine, "CAF\xc9.SKR");
  EXPECT_EQ(t.engine.world.ScriptDepth, 1);
  EXPECT_EQ(t.engine.win.GameMode, Mode::Script);
}

}  // namespace
}  // namespace yw
