// The list engine as the player meets it: scrolling the game library with
// the cursor stopping at both ends, and the list a script builds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "party_screen.h"

namespace yw {
namespace {

using test::kDown;
using test::kEnter;
using test::kEsc;
using test::kUp;
using L = std::vector<std::string>;

L Numbered(int from, int to) {
  L names;
  for (int i = from; i <= to; ++i) names.push_back((i < 10 ? "game0" : "game") + std::to_string(i));
  return names;
}

TEST(LibraryList, TwelveGamesInANineLineAreaScrollToTheEndAndBackWithoutWrapping) {
  test::PartyScreen s(320, 20 + 2 * 8 + 2 * 8 + 9 * 8);  // text area exactly 9 font cells high
  s.w.GameCount = 12;
  s.w.GameList.Resize(12);
  for (int i = 1; i <= 12; ++i) s.w.GameList[i] = Numbered(i, i)[0];
  Drawlist(s.e, 1, true);
  const auto handOn = [&](int row) {
    return s.HandAt(s.e.lists.ListRows[row].handX, s.e.lists.ListRows[row].handY);
  };
  EXPECT_EQ(s.Lines(6), Numbered(1, 5));
  EXPECT_FALSE(s.Shows(127));
  EXPECT_TRUE(s.Shows(128));
  s.Key(kDown, 4 + 7);
  EXPECT_EQ(s.Lines(6), Numbered(8, 12));
  EXPECT_TRUE(s.Shows(127));
  EXPECT_FALSE(s.Shows(128));
  s.Key(kDown);  // the end: nothing changes, no wrap to the top
  EXPECT_EQ(s.e.lists.ListCursor, 5);
  EXPECT_EQ(s.e.lists.ListScroll, 8);
  EXPECT_TRUE(handOn(5));
  s.Key(kUp, 4 + 7 + 1);  // the top: no wrap to the bottom
  EXPECT_EQ(s.e.lists.ListCursor, 1);
  EXPECT_EQ(s.e.lists.ListScroll, 1);
  EXPECT_TRUE(handOn(1));
  EXPECT_EQ(s.Lines(6), Numbered(1, 5));

  test::PartyScreen none;
  Drawlist(none.e, 1, true);
  EXPECT_EQ(none.e.win.Message, "No Games Found");
  EXPECT_EQ(none.e.lists.CurrentList, 0);
}

// Enter hands the chosen value back and empties the list; Escape gives 0
// only when the script allows it, and an empty list gives 0 at once.
TEST(ScriptList, EnterHandsTheValueBackAndEscapeOnlyWhenAllowed) {
  test::PartyScreen s;
  const auto add = [&](std::string text, int16_t value) {
    s.w.UserList.Resize(++s.w.UserListCount);
    s.w.UserList[s.w.UserListCount] = {0, std::move(text), value};
  };
  add("Apple", 7);
  add("Pear", 9);
  s.e.win.GameMode = Mode::Script;
  s.w.UserListActive = false;  // NOESC
  Drawlist(s.e, 20, true);
  EXPECT_EQ(s.Lines(5), (L{"Apple", "Pear?"}));
  s.Key(kEsc);
  EXPECT_EQ(s.e.win.GameMode, Mode::Menu);
  s.Key(kDown, 3);
  s.Key(kEnter);
  EXPECT_EQ(s.w.ListItemVal, 9);
  EXPECT_EQ(s.w.UserListCount, 0);
  EXPECT_EQ(s.e.win.GameMode, Mode::Script);

  add("Only", 7);
  s.w.UserListActive = true;
  Drawlist(s.e, 20, true);
  s.Key(kEsc);
  EXPECT_EQ(s.e.win.GameMode, Mode::Script);
  EXPECT_EQ(s.w.ListItemVal, 0);
  s.w.ListItemVal = 5;
  Drawlist(s.e, 20, true);
  EXPECT_EQ(s.w.ListItemVal, 0);
}

}  // namespace
}  // namespace yw
