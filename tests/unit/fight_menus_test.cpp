// The lists of a fight and the choosers scripts open: what the fight menu
// offers, item lists closing when empty, and how the party and enemy
// choosers hand their choice back.
#include <gtest/gtest.h>

#include "party_screen.h"
#include "sim/main_loop.h"

namespace yw {
namespace {

using test::kDown;
using test::kEnter;
using test::kEsc;
using L = std::vector<std::string>;

// Wren's turn in a fight, with a sword whose fight script is given.
struct Fight : test::PartyScreen {
  explicit Fight(int16_t maxMp, std::string swordScript = " slash.skr ") {
    Character c;
    c.HP = 9, c.MAXHP = 12, c.MAXMP = maxMp;
    AddMember("Wren", c);
    AddScript("slash.skr");
    AddScript("potion.skr");
    w.Party[1].character.WEP = AddItem("Sword", kItemWeapon, 1, "", swordScript);
    e.win.FightDran = 1;
    e.win.GameMode = 12;
    Drawlist(e, 15, true);
  }
};

TEST(FightMenu, ShowsTheMembersStateAndOffersMagicOnlyWithMagicPoints) {
  Fight none(0);
  EXPECT_EQ(none.e.win.GameMode, 7);
  EXPECT_EQ(none.Row("Wren", 4), "Wren");
  EXPECT_EQ(none.Row("HP: ", 9), "HP: 9/12?");
  EXPECT_EQ(none.Row("MP: ", 8), "MP: 0/0?");
  EXPECT_EQ(none.Lines(5), (L{"Fight", "Item?", "Wait?"}));
  EXPECT_EQ(none.e.lists.ListRows[3].entry, 4);  // Wait keeps its value
  Fight some(5);
  EXPECT_EQ(some.Lines(5), (L{"Fight", "Item?", "Magic", "Wait?"}));
  some.Key(kEsc);  // the member must act
  EXPECT_EQ(some.e.lists.CurrentList, 15);
  EXPECT_EQ(some.e.win.GameMode, 7);
}

TEST(FightMenu, FightRunsTheWeaponsFightScriptAndWaitEndsTheTurn) {
  Fight f(0);
  f.Key(kEnter);
  EXPECT_EQ(f.e.win.GameMode, 8);
  ASSERT_EQ(f.w.ScriptDepth, 1);
  EXPECT_EQ(f.w.ScriptStack[1].returnMode, 12);
  EXPECT_TRUE(f.e.win.Wait4Relase);
  // Without a weapon, or with one without a fight script, Fight does nothing.
  Fight bare(0), blank(0, "  ");
  bare.w.Party[1].character.WEP = 0;
  for (Fight* g : {&bare, &blank}) {
    g->Key(kEnter);
    EXPECT_EQ(g->e.win.GameMode, 7);
    EXPECT_EQ(g->w.ScriptDepth, 0);
  }
  bare.Key(kDown, 2);
  bare.Key(kEnter);
  EXPECT_EQ(bare.e.win.GameMode, 12);
  EXPECT_EQ(bare.w.ScriptDepth, 0);
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
  EXPECT_EQ(f.e.win.GameMode, 8);
  ASSERT_EQ(f.w.ScriptDepth, 1);
  EXPECT_EQ(f.w.ScriptStack[1].returnMode, 12);
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
    EXPECT_EQ(s.e.win.GameMode, 8);
    EXPECT_EQ(s.e.win.FightDran, user ? 2 : 0);
    EXPECT_EQ(s.e.win.FightDranPlayer, user);
    EXPECT_EQ(s.w.TargetIndex, user ? 0 : 2);
    EXPECT_EQ(s.w.TargetIsParty, !user);
  }
}

TEST(EnemyChooser, PointsAtTheEnemiesOnTheMapAndGoesRoundBothWays) {
  test::PartyScreen s;
  s.w.TileWidth = s.w.TileHeight = 16;
  s.e.view.BufX = s.e.view.BufY = 16;
  s.e.win.FightMode = true;  // the view stands at cell (1, 1)
  for (auto [x, y] : {std::pair{5, 3}, {8, 4}, {2, 6}}) {
    s.w.Npcs.Resize(++s.w.NpcCount);
    s.w.Npcs[s.w.NpcCount].POS_X = static_cast<float>(x);
    s.w.Npcs[s.w.NpcCount].POS_Y = static_cast<float>(y);
  }
  for (int16_t npc : {1, 0, 2, 3}) {  // the second enemy has no figure
    s.w.Enemies.Resize(++s.w.EnemyCount);
    s.w.Enemies[s.w.EnemyCount].NPC = npc;
  }
  s.e.win.GameMode = 13;
  Drawlist(s.e, 18, true);
  const auto chosen = [&] { return s.e.lists.ListRows[s.e.lists.ListCursor].entry; };
  const auto press = [&](GameKey key) {
    s.t.platform.SetKey(key, true);
    LoopTurn(s.e);
    s.t.platform.SetKey(key, false);
    if (s.e.win.GameMode == 13) LoopTurn(s.e);
  };
  ASSERT_EQ(s.e.lists.ListRowCount, 3);
  EXPECT_EQ(chosen(), 1);
  // The pointer stands left of the enemy's cell (5, 3), halfway down.
  EXPECT_TRUE(s.HandAt(4 * 16 - 8, 2 * 16 + 4));
  press(GameKey::Down);  // from the first round to the last
  EXPECT_EQ(chosen(), 4);
  EXPECT_TRUE(s.HandAt(1 * 16 - 8, 5 * 16 + 4));
  press(GameKey::Up);  // and from the last round to the first
  EXPECT_EQ(chosen(), 1);
  press(GameKey::Up);
  EXPECT_EQ(chosen(), 3);
  press(GameKey::Esc);
  EXPECT_EQ(s.e.win.GameMode, 13);
  EXPECT_EQ(s.e.lists.CurrentList, 18);
  s.w.TargetIsParty = true;
  press(GameKey::Enter);
  EXPECT_EQ(s.e.win.GameMode, 8);
  EXPECT_EQ(s.w.TargetIndex, 3);
  EXPECT_FALSE(s.w.TargetIsParty);
}

}  // namespace
}  // namespace yw
