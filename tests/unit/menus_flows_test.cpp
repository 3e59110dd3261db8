// The flows the menus start, driven through the main loop: choosing a game,
// starting it, its loading errors, saving into a slot, loading one and
// leaving each list to the right place.
#include <gtest/gtest.h>

#include <string>

#include "menus/list_menu.h"
#include "list_screen.h"
#include "shell/engine.h"
#include "shell/main_loop.h"
#include "test_support.h"
#include "sim/game_files.h"

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
    e.win.GameMode = static_cast<Mode>(mode);
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
    EXPECT_EQ(f.e.win.GameMode, Mode::Message) << c.message;
    EXPECT_EQ(f.e.win.MsgReturnMode, Mode::Start) << c.message;
    f.Press(GameKey::Enter);  // the start state runs again
    EXPECT_EQ(f.e.win.GameMode, Mode::Title) << c.message;
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
    ASSERT_EQ(f.e.win.GameMode, Mode::TextInput);
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
  EXPECT_EQ(f.e.win.GameMode, Mode::Menu);
  EXPECT_EQ(f.e.lists.CurrentList, 4);
}

TEST_F(Saving, WhileSavingIsOffSaveDoesNothingButLoadStillOpens) {
  f.e.win.SavingActive = false;
  f.Open(4, 7);
  f.Press(GameKey::Down, 3);
  f.Press(GameKey::Enter);
  EXPECT_EQ(f.e.win.GameMode, Mode::Menu);
  EXPECT_EQ(f.e.lists.CurrentList, 4);
  EXPECT_EQ(f.e.lists.ListCursor, 4);
  f.Press(GameKey::Down);
  f.Press(GameKey::Enter);
  EXPECT_EQ(f.e.lists.CurrentList, 14);

  f.e.win.SavingActive = true;  // SAVING ON again
  f.Press(GameKey::Esc);
  ChooseSaveSlot(1);
}

}  // namespace
}  // namespace yw
