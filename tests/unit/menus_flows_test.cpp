// The flows the menus start, driven through the main loop: choosing a game,
// starting it, its loading errors, saving into a slot, loading one and
// leaving each list to the right place.
#include <gtest/gtest.h>

#include <string>

#include "menus/list_menu.h"
#include "list_screen.h"
#include "shell/engine.h"
#include "sim/main_loop.h"
#include "test_support.h"
#include "world/game_files.h"

namespace yw {
namespace {

constexpr uint32_t kTitle = Rgb(0x30, 0x20, 0x60);  // the title picture

struct Flow {
  test::TestEngine t;
  Engine& e = t.engine;
  Flow() {
    test::UseSmallScreen(e);
    e.pics.Backbuf = Surface(320, 240, kTitle);
  }
  std::filesystem::path Game(std::string_view name) { return e.ProgramDir / "games" / name; }
  // Opens a list the way the main loop shows it.
  void Open(int32_t list, int32_t mode) {
    e.win.GameMode = mode;
    Drawlist(e, list, true);
  }
  void Press(GameKey key, int times = 1) {
    for (int i = 0; i < times; ++i) {
      t.platform.SetKey(key, true);
      LoopTurn(e);
      t.platform.SetKey(key, false);
      LoopTurn(e);
    }
  }
  // Types the text, then lets a turn pass without keys as a player would
  // before pressing Enter.
  void Type(std::string_view text) {
    for (char c : text) {
      t.platform.Type(static_cast<uint8_t>(c));
      LoopTurn(e);
    }
    LoopTurn(e);
  }
  // Chooses "New" on the title menu of the game in `folder`.
  void NewGame(const std::filesystem::path& folder) {
    e.CurrentDir = folder;
    e.win.SingleGameMode = true;
    Open(2, 4);
    MenuKey(e, 2, 13);
  }
};

TEST(GameChoice, EscapeFromTheGameListOrTheTitleMenuShowsTheTitlePictureAgain) {
  for (int32_t list : {1, 2}) {
    Flow f;
    f.e.world.GameCount = 1;
    f.e.world.GameList[1] = "demo";
    f.Open(list, list == 1 ? 3 : 4);
    f.t.platform.SetKey(GameKey::Esc, true);
    LoopTurn(f.e);
    EXPECT_EQ(f.e.win.GameMode, 2) << list;
    EXPECT_EQ(f.e.win.Switsch, 4) << list;
  }
}

TEST(TitleMenu, QuitMakesTheProgramFolderCurrentAndLoadOpensTheSlotsOverTheTitle) {
  Flow f;
  f.e.CurrentDir = f.Game("demo");
  f.Open(2, 4);
  f.e.win.Switsch = 3;
  f.Press(GameKey::Down);
  f.Press(GameKey::Enter);
  EXPECT_EQ(f.e.win.GameMode, 10);
  EXPECT_EQ(f.e.lists.CurrentList, 14);
  EXPECT_EQ(f.e.win.Switsch, 0);

  f.Press(GameKey::Esc);  // back to the title menu over the title picture
  EXPECT_EQ(f.e.win.GameMode, 4);
  EXPECT_EQ(f.e.lists.CurrentList, 2);
  EXPECT_EQ(f.e.pics.Frontbuf.At(0, 0), kTitle);

  f.Press(GameKey::Down, 2);
  f.Press(GameKey::Enter);  // Quit: the start state offers the library again
  EXPECT_EQ(f.e.CurrentDir, f.e.ProgramDir);
  EXPECT_FALSE(f.e.win.SingleGameMode);
  EXPECT_EQ(f.e.win.GameMode, 2);
  EXPECT_EQ(f.e.win.Switsch, 0);
}

TEST(NewGame, AutoexecInAnyLetterCaseStartsTheGame) {
  Flow f;
  test::WriteFile(f.Game("demo") / "AUTOEXEC.SKR", "BEGIN\r\nEND\r\n");
  test::WriteFile(f.Game("demo") / "maps" / "town.skr", "BEGIN\r\nEND\r\n");
  f.e.world.PlayerDirection = 4;
  f.NewGame(f.Game("demo"));
  EXPECT_EQ(f.e.win.Message, "");
  EXPECT_EQ(f.e.world.ScriptCount, 2);
  EXPECT_EQ(f.e.world.PlayerDirection, 2);
  EXPECT_TRUE(f.e.win.SavingActive);
  EXPECT_FALSE(f.e.win.FightMode);
  // autoexec.skr has been handed to RunScript: it waits on the script stack
  // to return to the map, or it has already run.
  if (f.e.world.ScriptDepth > 0) {
    EXPECT_EQ(f.e.win.GameMode, 8);
    EXPECT_EQ(f.e.world.ScriptStack[1].returnMode, 6);
  } else {
    EXPECT_EQ(f.e.win.GameMode, 6);
  }
}

// Each broken game stops at its message; closing it goes back to the start.
TEST(NewGame, BrokenGamesStopWithTheirMessage) {
  struct Case {
    const char* file;
    std::string bytes;
    const char* message;
  };
  const Case cases[] = {
      {"intro.skr", "BEGIN\r\nEND\r\n", "Error: No AUTOEXEC.SKR Found!"},
      {"readme.txt", "not a script", "Error: The game contains no scripts"},
      {"chars.dat", std::string("\x05", 1) + "ab", "Error: Cannot load characters!"},
      {"items.dat", std::string("\x05", 1) + "ab", "Error: Cannot load items!"},
  };
  for (const Case& c : cases) {
    Flow f;
    const auto game = f.Game("broken");
    test::WriteFile(game / c.file, c.bytes);
    if (std::string_view(c.file).ends_with(".dat")) test::WriteFile(game / "autoexec.skr", "END\r\n");
    f.NewGame(game);
    EXPECT_EQ(f.e.win.Message, c.message);
    EXPECT_EQ(f.e.win.GameMode, 5) << c.message;
    EXPECT_EQ(f.e.win.MsgReturnMode, 0) << c.message;
    f.Press(GameKey::Enter);  // the start state runs again
    EXPECT_EQ(f.e.win.GameMode, 2) << c.message;
    EXPECT_EQ(f.e.world.ScriptDepth, 0) << c.message;
  }
}

class Saving : public ::testing::Test {
 protected:
  Flow f;
  void SetUp() override {
    f.e.CurrentDir = f.Game("demo");
    f.e.win.SavingActive = true;  // as a new game starts
    test::WriteFile(f.Game("demo") / "autoexec.skr", "BEGIN\r\nEND\r\n");
  }
  // Main menu, Save, down to the slot, Enter.
  void ChooseSaveSlot(int slot) {
    f.Open(4, 7);
    f.Press(GameKey::Down, 3);
    f.Press(GameKey::Enter);
    ASSERT_EQ(f.e.lists.CurrentList, 3);
    f.Press(GameKey::Down, slot - 1);
    f.Press(GameKey::Enter);
    ASSERT_EQ(f.e.win.GameMode, 11);
  }
  std::string SlotHead(int slot, size_t n) {
    return test::ReadFile(f.Game("demo") / SlotFileName(slot)).substr(0, n);
  }
};

// The replays save a typed description; here the old one is offered again
// and blanks alone store "No name".
TEST_F(Saving, TheOldDescriptionIsOfferedAndBlanksStoreNoName) {
  ChooseSaveSlot(2);
  f.Type("Inn");
  f.Press(GameKey::Enter);
  ChooseSaveSlot(2);
  EXPECT_EQ(f.e.win.KInputBox, "Inn_");
  f.Type("\b\b\b  ");
  f.Press(GameKey::Enter);
  EXPECT_EQ(SlotHead(2, 9), std::string("\x02\x07No name", 9));
  EXPECT_EQ(f.e.win.GameMode, 7);
  EXPECT_EQ(f.e.lists.CurrentList, 4);
}

TEST_F(Saving, WhileSavingIsOffSaveDoesNothingButLoadStillOpens) {
  f.e.win.SavingActive = false;
  f.Open(4, 7);
  f.Press(GameKey::Down, 3);
  f.Press(GameKey::Enter);
  EXPECT_EQ(f.e.win.GameMode, 7);
  EXPECT_EQ(f.e.lists.CurrentList, 4);
  EXPECT_EQ(f.e.lists.ListCursor, 4);
  f.Press(GameKey::Down);
  f.Press(GameKey::Enter);
  EXPECT_EQ(f.e.lists.CurrentList, 14);

  f.e.win.SavingActive = true;  // SAVING ON again
  f.Press(GameKey::Esc);
  ChooseSaveSlot(1);
}

TEST_F(Saving, CancellingTheInputShowsTheSlotsAgainAndEscapeTheMainMenu) {
  ChooseSaveSlot(1);
  f.Press(GameKey::Esc);
  EXPECT_EQ(f.e.win.GameMode, 10);
  EXPECT_EQ(f.e.lists.CurrentList, 3);
  EXPECT_FALSE(std::filesystem::exists(f.Game("demo") / "slot1.sav"));
  f.Press(GameKey::Esc);
  EXPECT_EQ(f.e.win.GameMode, 7);
  EXPECT_EQ(f.e.lists.CurrentList, 4);
}

TEST_F(Saving, ASlotThatCannotBeLoadedLeavesTheListOpenSilently) {
  test::WriteFile(f.Game("demo") / "slot1.sav", std::string("\x03\x02Hi", 4));
  f.Open(4, 7);
  f.Press(GameKey::Down, 4);
  f.Press(GameKey::Enter);
  ASSERT_EQ(f.e.lists.CurrentList, 14);
  f.Press(GameKey::Enter);  // slot 1: a version this program does not know
  EXPECT_EQ(f.e.win.GameMode, 10);
  EXPECT_EQ(f.e.lists.CurrentList, 14);
  EXPECT_EQ(f.e.win.Message, "");
  f.Press(GameKey::Down);
  f.Press(GameKey::Enter);  // slot 2: no file
  EXPECT_EQ(f.e.lists.CurrentList, 14);
  f.Press(GameKey::Esc);  // opened from the main menu: back to it
  EXPECT_EQ(f.e.win.GameMode, 7);
  EXPECT_EQ(f.e.lists.CurrentList, 4);
}

TEST_F(Saving, ASavedSlotLoadsOntoTheMap) {
  f.e.world.PlayerPosX = 3;
  f.e.world.PlayerPosY = 4;
  ASSERT_TRUE(SaveState(f.e, SlotFileName(5), "Before the gate"));
  f.e.world.PlayerPosX = 9;
  f.Open(4, 7);
  f.Press(GameKey::Down, 4);
  f.Press(GameKey::Enter);
  f.Press(GameKey::Down, 4);
  f.t.platform.SetKey(GameKey::Enter, true);
  LoopTurn(f.e);
  EXPECT_EQ(f.e.win.GameMode, 6);
  EXPECT_EQ(f.e.world.PlayerPosX, 3);
  EXPECT_EQ(f.e.world.ScriptCount, 1);  // the scripts are read again
  EXPECT_TRUE(f.e.win.Wait4Relase);     // the held Enter does nothing on the map
}

}  // namespace
}  // namespace yw
