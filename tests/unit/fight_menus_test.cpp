// The lists of a fight and the choosers scripts open: what the fight menu
// offers, item lists closing when empty, and how the party and enemy
// choosers hand their choice back.
#include <gtest/gtest.h>

#include <random>

#include "party_screen.h"
#include "sim/turn.h"

namespace yw {
namespace {

using test::kDown;
using test::kEnter;
using test::kEsc;
using test::kUp;
using L = std::vector<std::string>;

// Wren's turn in a fight, with a sword whose fight script is slash.skr.
struct Fight : test::PartyScreen {
  explicit Fight(int16_t maxMp) {
    Character c;
    c.HP = 9, c.MAXHP = 12, c.MAXMP = maxMp;
    AddMember("Wren", c);
    AddScript("slash.skr");
    AddScript("potion.skr");
    w.Party[1].character.WEP = AddItem("Sword", kItemWeapon, 1, "", "slash.skr");
    e.win.FightDran = 1;
    e.win.GameMode = Mode::FightRound;
    Drawlist(e, 15, true);
  }
};

TEST(FightMenu, ShowsTheMembersStateAndOffersMagicOnlyWithMagicPoints) {
  Fight none(0);
  EXPECT_EQ(none.e.win.GameMode, Mode::Menu);
  EXPECT_EQ(none.Row("Wren", 4), "Wren");
  EXPECT_EQ(none.Row("HP: ", 9), "HP: 9/12?");
  EXPECT_EQ(none.Row("MP: ", 8), "MP: 0/0?");
  EXPECT_EQ(none.Lines(5), (L{"Fight", "Item?", "Wait?"}));
  EXPECT_EQ(none.e.lists.ListRows[3].entry, 4);  // Wait keeps its value
  Fight some(5);
  EXPECT_EQ(some.Lines(5), (L{"Fight", "Item?", "Magic", "Wait?"}));
  some.Key(kEsc);  // the member must act
  EXPECT_EQ(some.e.lists.CurrentList, 15);
  EXPECT_EQ(some.e.win.GameMode, Mode::Menu);
}

TEST(FightItems, AnEmptyListClosesAtOnceAndAChosenItemRunsItsFightScript) {
  Fight f(5);
  f.Key(kDown, 2);
  f.Key(kEnter);  // Magic, but the party has none
  EXPECT_EQ(f.e.lists.CurrentList, 15);
  EXPECT_EQ(f.e.lists.ListCursor, 1);
  f.AddItem("Potion", 5, 2, "", "potion.skr");
  f.AddItem("Spark", 2, 0);  // none left
  f.Key(kDown);
  f.Key(kEnter);  // Item
  EXPECT_EQ(f.e.lists.CurrentList, 16);
  EXPECT_EQ(f.Lines(9), (L{"Sword x 1", "Potion x "}));
  f.Key(kDown);
  f.Key(kEnter);
  EXPECT_EQ(f.e.win.GameMode, Mode::Script);
  ASSERT_EQ(f.w.ScriptDepth, 1);
  EXPECT_EQ(f.w.ScriptStack[1].returnMode, Mode::FightRound);
}

TEST(PartyChooser, AsksWhoActsOrForATargetAndWillNotBeEscaped) {
  for (bool user : {true, false}) {
    test::PartyScreen s;
    s.AddMember("Wren");
    s.AddMember("Pip");
    s.w.ChoosingUser = user;
    s.Open(19);
    EXPECT_NE(s.Row(user ? "Who has to do it?:" : "Select target:", 18), "");
    EXPECT_EQ(s.Lines(4), (L{"Wren", "Pip "}));
    s.Key(kEsc);
    EXPECT_EQ(s.e.lists.CurrentList, 19);
    s.Key(kDown);
    s.Key(kEnter);
    EXPECT_EQ(s.e.win.GameMode, Mode::Script);
    EXPECT_EQ(s.e.win.FightDran, user ? 2 : 0);
    EXPECT_EQ(s.e.win.FightDranPlayer, user);
    EXPECT_EQ(s.w.TargetIndex, user ? 0 : 2);
    EXPECT_EQ(s.w.TargetIsParty, !user);
  }
}

// The enemy chooser against a model: Up picks the next enemy standing on
// the map and Down the one before, going round at either end; Enter names
// the enemy chosen. A fallen enemy (no figure on the map) is not offered.
TEST(EnemyChooser, UpAndDownGoRoundTheEnemiesOnTheMap) {
  std::mt19937 rng(63);
  for (int run = 0; run < 24; ++run) {
    test::PartyScreen s;
    std::vector<int16_t> offered;
    for (int16_t i = 1; i <= 2 + run % 4; ++i) {
      s.w.Enemies.Resize(++s.w.EnemyCount);
      if (i == 2) continue;
      s.w.Npcs.Resize(++s.w.NpcCount);
      s.w.Npcs[s.w.NpcCount].POS_X = static_cast<float>(i + 1);
      s.w.Npcs[s.w.NpcCount].POS_Y = 3;
      s.w.Enemies[i].NPC = s.w.NpcCount;
      offered.push_back(i);
    }
    s.Open(18);
    const int n = static_cast<int>(offered.size());
    int at = 0;
    std::string keys;
    for (int k = static_cast<int>(rng() % 7); k > 0; --k) {
      const bool up = rng() % 2 == 0;
      keys += up ? "U" : "D";
      s.Key(up ? kUp : kDown);
      at = (at + (up ? 1 : n - 1)) % n;
    }
    s.Key(kEnter);
    EXPECT_EQ(s.w.TargetIndex, offered[static_cast<size_t>(at)]) << n << " enemies, keys " << keys;
    EXPECT_FALSE(s.w.TargetIsParty);
    EXPECT_EQ(s.e.win.GameMode, Mode::Script);
  }
}

}  // namespace
}  // namespace yw
