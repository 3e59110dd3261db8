// The list engine as the player meets it: scrolling the game library, the
// cursor stopping at both ends, cut names, slot descriptions, the main menu
// and the list a script builds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "menus/list_menu.h"
#include "list_screen.h"
#include "shell/engine.h"
#include "test_support.h"

namespace yw {
namespace {

constexpr uint32_t kHand = Rgb(0xEE, 0x11, 0x77);
constexpr int32_t kEnter = 13, kEsc = 27, kUp = 38, kDown = 40;

// A screen with an 8 x 8 font, 8-pixel frame pieces and a 8 x 8 hand.
struct Lists {
  test::TestEngine t;
  Engine& e = t.engine;
  explicit Lists(int width = 320, int height = 240) {
    test::UseSmallScreen(e, width, height);
    for (int y = 0; y < 8; ++y)  // the pointer; its mask, the right half, is all black
      for (int x = 0; x < 8; ++x) e.pics.HandPic.Set(x, y, kHand);
  }
  void Games(const std::vector<std::string>& names) {
    World& w = e.world;
    w.GameCount = static_cast<int16_t>(names.size());
    w.GameList.Resize(w.GameCount);
    for (int i = 1; i <= w.GameCount; ++i) w.GameList[i] = names[static_cast<size_t>(i - 1)];
  }
  void Keys(int32_t key, int times = 1) {
    for (int i = 0; i < times; ++i) MenuKey(e, e.lists.CurrentList, key);
  }
  // The text drawn on visible line `row`, `count` cells from the text start.
  std::string Line(int row, int count) const {
    const ListRow& r = e.lists.ListRows[row];
    return test::ReadCells(e.pics.Frontbuf, r.handX + 8, r.handY, 8, count);
  }
  std::vector<std::string> Lines(int count) const {
    std::vector<std::string> out;
    for (int row = 1; row <= e.lists.ListRowCount; ++row) out.push_back(Line(row, count));
    return out;
  }
  bool HandOn(int row) const {
    const ListRow& r = e.lists.ListRows[row];
    return e.pics.Frontbuf.At(r.handX, r.handY) == kHand;
  }
  // Whether the glyph of `code` is drawn anywhere on the screen.
  bool Shows(int code) const {
    for (int y = 0; y < e.pics.Frontbuf.Height(); ++y)
      for (int x = 0; x < e.pics.Frontbuf.Width(); ++x)
        if (test::CodeAt(e.pics.Frontbuf, x, y) == code) return true;
    return false;
  }
};

std::vector<std::string> Numbered(std::string_view stem, int from, int to) {
  std::vector<std::string> names;
  for (int i = from; i <= to; ++i) names.push_back(std::string(stem) + (i < 10 ? "0" : "") + std::to_string(i));
  return names;
}

TEST(LibraryList, TwelveGamesInANineLineAreaScrollToTheEndAndBackWithoutWrapping) {
  Lists s(320, 20 + 2 * 8 + 2 * 8 + 9 * 8);  // text area exactly 9 font cells high
  s.Games(Numbered("game", 1, 12));
  Drawlist(s.e, 1, true);
  EXPECT_EQ(s.e.lists.CurrentList, 1);
  EXPECT_EQ(s.Lines(6), Numbered("game", 1, 5));
  EXPECT_EQ(s.e.lists.ListMaxScroll, 8);
  EXPECT_FALSE(s.Shows(127));
  EXPECT_TRUE(s.Shows(128));
  EXPECT_TRUE(s.HandOn(1));

  s.Keys(kDown, 4);
  EXPECT_EQ(s.e.lists.ListCursor, 5);
  EXPECT_EQ(s.e.lists.ListScroll, 1);
  EXPECT_TRUE(s.HandOn(5));
  s.Keys(kDown, 7);
  EXPECT_EQ(s.e.lists.ListScroll, 8);
  EXPECT_EQ(s.Lines(6), Numbered("game", 8, 12));
  EXPECT_TRUE(s.Shows(127));
  EXPECT_FALSE(s.Shows(128));
  s.Keys(kDown);  // the end: nothing changes, no wrap to the top
  EXPECT_EQ(s.e.lists.ListCursor, 5);
  EXPECT_EQ(s.e.lists.ListScroll, 8);
  EXPECT_TRUE(s.HandOn(5));

  s.Keys(kUp, 4 + 7);
  EXPECT_EQ(s.e.lists.ListCursor, 1);
  EXPECT_EQ(s.e.lists.ListScroll, 1);
  s.Keys(kUp);  // the top: nothing changes, no wrap to the bottom
  EXPECT_EQ(s.e.lists.ListCursor, 1);
  EXPECT_EQ(s.e.lists.ListScroll, 1);
  EXPECT_EQ(s.Lines(6), Numbered("game", 1, 5));
  EXPECT_FALSE(s.Shows(127));
}

TEST(LibraryList, NamesWiderThanTheScreenEndInDots) {
  Lists s(140, 240);  // room for 10 characters of a name
  s.Games({"castleofthenorthwind", "tenletters", "short"});
  Drawlist(s.e, 1, true);
  EXPECT_EQ(s.Line(1, 11), "castleo...?");
  EXPECT_EQ(s.Line(2, 11), "tenletters?");
  EXPECT_EQ(s.Line(3, 6), "short?");
}

TEST(LibraryList, NoGamesOrANarrowScreenShowAMessageAndOpenNoList) {
  Lists none;
  Drawlist(none.e, 1, true);
  EXPECT_EQ(none.e.win.GameMode, 5);
  EXPECT_EQ(none.e.win.Message, "No Games Found");
  EXPECT_EQ(none.e.win.MsgReturnMode, 1);
  EXPECT_EQ(none.e.lists.CurrentList, 0);

  Lists narrow(80, 240);  // two and a half characters across
  narrow.Games({"demo"});
  Drawlist(narrow.e, 1, true);
  EXPECT_EQ(narrow.e.win.Message, "Error: Too small Display!");
  EXPECT_EQ(narrow.e.win.MsgReturnMode, 1);
  EXPECT_EQ(narrow.e.lists.CurrentList, 0);
  EXPECT_EQ(narrow.e.lists.ListRowCount, 0);
}

class SlotFiles : public ::testing::Test {
 protected:
  Lists s;
  void SetUp() override {
    const auto dir = s.e.ProgramDir;
    test::WriteFile(dir / "slot1.sav", std::string("\x03\x04Gone", 6));  // unknown version
    test::WriteFile(dir / "slot2.sav", std::string("\x02\x00", 2) + "rest");
    test::WriteFile(dir / "SLOT3.SAV", std::string("\x01\x06", 2) + "Castle" + "rest");
    test::WriteFile(dir / "slot5.sav", std::string("\x02\x0A", 2) + "abc");  // ends early
  }
};

// "<Empty>" for a missing file or an unknown version byte, "No name" for
// an empty description; the save input starts with what the slot shows.
TEST_F(SlotFiles, LoadAndSaveListsShowEachSlotsDescription) {
  Drawlist(s.e, 14, true);
  EXPECT_EQ(test::ReadCells(s.e.pics.Frontbuf, 26, 18, 8, 5), "Load:");
  const std::vector<std::string> expected = {"<Empty>?", "No name?", "Castle??", "<Empty>?",
                                             "abc?????"};
  EXPECT_EQ(s.Lines(8), expected);
  s.e.win.GameMode = 10;
  Drawlist(s.e, 3, true);
  EXPECT_EQ(test::ReadCells(s.e.pics.Frontbuf, 26, 18, 8, 8), "Save as:");
  EXPECT_EQ(s.Lines(8), expected);
  EXPECT_EQ(s.e.lists.CurrentList, 3);

  s.Keys(kEnter);  // slot 1, of another version, starts empty
  EXPECT_EQ(s.e.win.KInputBox, "_");
  s.e.win.GameMode = 10;
  Drawlist(s.e, 3, true);
  s.Keys(kDown);
  s.Keys(kEnter);  // slot 2, stored without a name
  EXPECT_EQ(s.e.win.GameMode, 11);
  EXPECT_EQ(s.e.win.InputReturnMode, 10);
  EXPECT_EQ(s.e.win.InputCaption, "Input game slot description:");
  EXPECT_EQ(s.e.win.KInputBox, "No name_");
}

// Where Save and Load lead is driven through the main loop in the flows.
TEST(MainMenu, QuitGameAsksFirstAndYesEmptiesTheWorld) {
  Lists s;
  s.e.world.PartyCount = 1;
  s.e.win.GameMode = 7;
  Drawlist(s.e, 4, true);
  EXPECT_EQ(s.Lines(9), (std::vector<std::string>{"Team?????", "Inventory", "Magic????",
                                                  "Save?????", "Load?????", "Quit?????"}));
  for (int32_t leave : {kEsc, kDown, kEnter}) {  // Escape, then No, then Yes
    s.Keys(kDown, 5);
    s.Keys(kEnter);
    ASSERT_EQ(s.e.lists.CurrentList, 5);
    EXPECT_EQ(test::ReadCells(s.e.pics.Frontbuf, 26, 18, 8, 10), "Quit Game?");
    s.Keys(leave);
    if (leave == kDown) s.Keys(kEnter);
    if (leave != kEnter) {
      EXPECT_EQ(s.e.lists.CurrentList, 4);
      EXPECT_EQ(s.e.world.PartyCount, 1);
    }
  }
  EXPECT_EQ(s.e.win.GameMode, 0);
  EXPECT_EQ(s.e.world.PartyCount, 0);
  for (uint32_t p : s.e.pics.Frontbuf.Pixels()) ASSERT_EQ(p, 0u);
}

TEST(MainMenu, EscapeGoesBackToTheMapAndWaitsForTheKeysToBeReleased) {
  Lists s;
  s.e.win.GameMode = 7;
  Drawlist(s.e, 4, true);
  s.Keys(kEsc);
  EXPECT_EQ(s.e.win.GameMode, 6);
  EXPECT_TRUE(s.e.win.Wait4Relase);
}

struct UserList : Lists {
  void Add(std::string text, int16_t value, int16_t doodad = 0) {
    World& w = e.world;
    ++w.UserListCount;
    w.UserList.Resize(w.UserListCount);
    w.UserList[w.UserListCount] = {doodad, std::move(text), value};
  }
  UserList() {
    World& w = e.world;
    w.ItemDefCount = 1;
    w.ItemFrames[1] = SpriteDef{0, 0, 0, 0, 12, 20, 0};  // taller than a text line
    e.pics.ItemDoo = Surface(12, 20, 0);
    e.win.GameMode = 8;
  }
};

TEST(ScriptList, EnterHandsTheChosenValueBackAndEmptiesTheList) {
  UserList s;
  s.Add("Apple", 7);
  s.Add("Pear", 9, 5);  // no such item picture
  s.Add("Sword", 3, 1);
  s.Add("Shield", 4);
  Drawlist(s.e, 20, true);
  EXPECT_EQ(s.e.win.GameMode, 7);
  ASSERT_EQ(s.e.lists.ListRowCount, 4);
  EXPECT_EQ(s.e.world.UserList[2].doodad, 0);
  EXPECT_EQ(s.Line(1, 5), "Apple");
  const auto& rows = s.e.lists.ListRows;
  EXPECT_EQ(rows[2].handY - rows[1].handY, 16);  // text lines: one empty line between
  EXPECT_GT(rows[4].handY - rows[3].handY, 16);  // the sword's picture makes its line taller
  s.Keys(kDown, 5);
  EXPECT_EQ(s.e.lists.ListCursor, 4);
  s.Keys(kUp, 2);
  s.Keys(kEnter);
  EXPECT_EQ(s.e.world.ListItemVal, 9);
  EXPECT_EQ(s.e.world.UserListCount, 0);
  EXPECT_EQ(s.e.win.GameMode, 8);
  EXPECT_TRUE(s.e.win.Wait4Relase);
}

TEST(ScriptList, EscapeGivesZeroOnlyWhenTheScriptAllowsIt) {
  UserList s;
  s.e.world.ListItemVal = 5;
  s.Add("Only", 7);
  s.e.world.UserListActive = false;  // NOESC
  Drawlist(s.e, 20, true);
  s.Keys(kEsc);
  EXPECT_EQ(s.e.win.GameMode, 7);
  EXPECT_EQ(s.e.world.UserListCount, 1);
  s.e.world.UserListActive = true;
  s.Keys(kEsc);
  EXPECT_EQ(s.e.win.GameMode, 8);
  EXPECT_EQ(s.e.world.ListItemVal, 0);

  UserList empty;
  empty.e.world.ListItemVal = 5;
  Drawlist(empty.e, 20, true);
  EXPECT_EQ(empty.e.win.GameMode, 8);
  EXPECT_EQ(empty.e.world.ListItemVal, 0);
}

TEST(ScriptList, ALongListScrollsToItsLastEntry) {
  UserList s;
  for (int i = 1; i <= 30; ++i) s.Add("Choice" + std::to_string(i), static_cast<int16_t>(i));
  Drawlist(s.e, 20, true);
  const int visible = s.e.lists.ListRowCount;
  ASSERT_LT(visible, 30);
  EXPECT_TRUE(s.Shows(128));
  s.Keys(kDown, 40);
  EXPECT_FALSE(s.Shows(128));
  EXPECT_TRUE(s.Shows(127));
  EXPECT_EQ(s.Line(s.e.lists.ListRowCount, 8), "Choice30");
  s.Keys(kEnter);
  EXPECT_EQ(s.e.world.ListItemVal, 30);
}

}  // namespace
}  // namespace yw
