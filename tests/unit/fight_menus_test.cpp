// The lists of a fight and of the choosers scripts open: what the fight
// menu offers, the item lists closing when empty, and how the party and
// enemy choosers hand their choice back.
#include <gtest/gtest.h>

#include "party_screen.h"
#include "sim/main_loop.h"

namespace yw {
namespace {

using test::kDown;
using test::kEnter;
using test::kEsc;
using test::PartyScreen;

// Wren's turn in a fight; she holds a sword whose fight script is given.
struct Fight : PartyScreen {
  explicit Fight(int16_t maxMp, std::string swordScript = " slash.skr ") {
    Character c;
    c.HP = 9, c.MAXHP = 12, c.MP = 0, c.MAXMP = maxMp;
    AddMember("Wren", c);
    AddScript("slash.skr");
    AddScript("potion.skr");
    c.WEP = static_cast<int16_t>(AddItem("Sword", kItemWeapon, 1, "", swordScript));
    w.Party[1].character.WEP = c.WEP;
    e.win.FightMode = true;
    e.win.FightDran = 1;
    e.win.GameMode = 12;
    Drawlist(e, 15, true);
  }
  std::vector<int16_t> Values() const {
    std::vector<int16_t> v;
    for (int i = 1; i <= e.lists.ListRowCount; ++i) v.push_back(e.lists.ListRows[i].entry);
    return v;
  }
};

TEST(FightMenu, ShowsTheMembersStateAndOffersMagicOnlyWithMagicPoints) {
  Fight none(0);
  EXPECT_EQ(none.e.win.GameMode, 7);
  EXPECT_EQ(none.Row("Wren", 4), "Wren");
  EXPECT_EQ(none.Row("HP: ", 9), "HP: 9/12?");
  EXPECT_EQ(none.Row("MP: ", 8), "MP: 0/0?");
  EXPECT_EQ(none.Lines(5), (std::vector<std::string>{"Fight", "Item?", "Wait?"}));
  EXPECT_EQ(none.Values(), (std::vector<int16_t>{1, 2, 4}));

  Fight some(5);
  EXPECT_EQ(some.Lines(5), (std::vector<std::string>{"Fight", "Item?", "Magic", "Wait?"}));
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

  // Without a weapon, or with a weapon without a fight script, Fight does
  // nothing.
  Fight bare(0);
  bare.w.Party[1].character.WEP = 0;
  Fight blank(0, "  ");
  for (Fight* g : {&bare, &blank}) {
    g->Key(kEnter);
    EXPECT_EQ(g->e.win.GameMode, 7);
    EXPECT_EQ(g->e.lists.CurrentList, 15);
    EXPECT_EQ(g->w.ScriptDepth, 0);
  }

  Fight waits(0);
  waits.Key(kDown, 2);
  waits.Key(kEnter);
  EXPECT_EQ(waits.e.win.GameMode, 12);
  EXPECT_EQ(waits.w.ScriptDepth, 0);
}

TEST(FightItems, AnEmptyListClosesAtOnceAndAChosenItemRunsItsFightScript) {
  Fight f(5);
  f.Key(kDown, 2);
  f.Key(kEnter);  // Magic, but the party has none
  EXPECT_EQ(f.e.lists.CurrentList, 15);
  EXPECT_EQ(f.e.win.GameMode, 7);

  f.AddItem("Potion", 5, 2, "", "potion.skr");
  f.AddItem("Spark", 2, 0);  // none left
  EXPECT_EQ(f.e.lists.ListCursor, 1);  // the menu afresh
  f.Key(kDown);
  f.Key(kEnter);  // Item
  EXPECT_EQ(f.e.lists.CurrentList, 16);
  EXPECT_EQ(f.Lines(9), (std::vector<std::string>{"Sword x 1", "Potion x "}));
  f.Key(kEsc);
  EXPECT_EQ(f.e.lists.CurrentList, 15);
  f.Key(kDown);
  f.Key(kEnter);
  f.Key(kDown);
  f.Key(kEnter);
  EXPECT_EQ(f.e.win.GameMode, 8);
  ASSERT_EQ(f.w.ScriptDepth, 1);
  EXPECT_EQ(f.w.ScriptStack[1].text->find("BEGIN"), 0u);
  EXPECT_EQ(f.w.ScriptStack[1].returnMode, 12);
}

TEST(PartyChooser, AsksWhoActsOrForATargetAndWillNotBeEscaped) {
  for (bool user : {true, false}) {
    PartyScreen s;
    s.AddMember("Wren");
    s.AddMember("Pip");
    s.w.ChoosingUser = user;
    s.Open(19);
    EXPECT_EQ(s.Row(user ? "Who" : "Select", 18), user ? "Who has to do it?:" : "Select target:????");
    EXPECT_EQ(s.Lines(4), (std::vector<std::string>{"Wren", "Pip "}));
    s.Key(kEsc);
    EXPECT_EQ(s.e.lists.CurrentList, 19);
    EXPECT_EQ(s.e.win.GameMode, 7);
    s.Key(kDown);
    s.Key(kEnter);
    EXPECT_EQ(s.e.win.GameMode, 8);
    EXPECT_EQ(s.e.win.FightDran, user ? 2 : 0);
    EXPECT_EQ(s.e.win.FightDranPlayer, user);
    EXPECT_EQ(s.w.TargetIndex, user ? 0 : 2);
    EXPECT_EQ(s.w.TargetIsParty, !user);
  }
}

// Four enemies on a map of 16-pixel tiles in a fight; the second has no
// figure on the map and cannot be chosen.
struct Foes : PartyScreen {
  Foes() {
    w.TileWidth = w.TileHeight = 16;
    e.view.BufX = e.view.BufY = 16;
    e.win.FightMode = true;
    const float cells[][2] = {{5, 3}, {8, 4}, {2, 6}};
    for (const auto& c : cells) {
      w.Npcs.Resize(++w.NpcCount);
      w.Npcs[w.NpcCount].POS_X = c[0];
      w.Npcs[w.NpcCount].POS_Y = c[1];
    }
    for (int16_t npc : {1, 0, 2, 3}) {
      w.Enemies.Resize(++w.EnemyCount);
      w.Enemies[w.EnemyCount].NPC = npc;
    }
    e.win.GameMode = 13;
    Drawlist(e, 18, true);
  }
  int16_t Chosen() const { return e.lists.ListRows[e.lists.ListCursor].entry; }
  void Press(GameKey key) {
    t.platform.SetKey(key, true);
    LoopTurn(e);
    t.platform.SetKey(key, false);
    if (e.win.GameMode == 13) LoopTurn(e);
  }
};

TEST(EnemyChooser, PointsAtTheEnemiesOnTheMapAndGoesRoundBothWays) {
  Foes f;
  ASSERT_EQ(f.e.lists.ListRowCount, 3);
  EXPECT_EQ(f.Chosen(), 1);
  // The pointer stands left of the first enemy's cell (5, 3), halfway down.
  EXPECT_TRUE(f.HandAt(4 * 16 - 8, 2 * 16 + 4));
  EXPECT_FALSE(f.HandAt(7 * 16 - 8, 3 * 16 + 4));

  f.Press(GameKey::Down);  // from the first round to the last
  EXPECT_EQ(f.Chosen(), 4);
  EXPECT_TRUE(f.HandAt(1 * 16 - 8, 5 * 16 + 4));
  f.Press(GameKey::Up);  // and from the last round to the first
  EXPECT_EQ(f.Chosen(), 1);
  f.Press(GameKey::Up);
  EXPECT_EQ(f.Chosen(), 3);

  f.Press(GameKey::Esc);
  EXPECT_EQ(f.e.win.GameMode, 13);
  EXPECT_EQ(f.e.lists.CurrentList, 18);
  f.w.TargetIsParty = true;
  f.Press(GameKey::Enter);
  EXPECT_EQ(f.e.win.GameMode, 8);
  EXPECT_EQ(f.w.TargetIndex, 3);
  EXPECT_FALSE(f.w.TargetIsParty);
}

}  // namespace
}  // namespace yw
