// The party menus under the main menu: what the team, statistics, item and
// equipment lists show, and where Enter and Escape lead.
#include <gtest/gtest.h>

#include "menus/list_kinds.h"
#include "party_screen.h"

namespace yw {
namespace {

using test::kDown;
using test::kEnter;
using test::kEsc;
using L = std::vector<std::string>;

Character Stats(int16_t hp, int16_t maxHp, int16_t ep) {
  Character c;
  c.HP = hp, c.MAXHP = maxHp, c.EP = ep, c.MP = 4, c.MAXMP = 9;
  c.WIS = 7, c.STR = -2, c.DEX = 0, c.INI = 12, c.CON = 5;
  return c;
}

TEST(TeamList, EachMemberShowsLevelHpAndMpAndEnterOpensItsMemberMenu) {
  test::PartyScreen s;
  s.AddMember("Wren", Stats(25, 30, 31));
  s.AddMember("Pip", Stats(10, 10, 0));
  s.Open(6);
  EXPECT_EQ(s.Lines(15), (L{"Wren EP:31(L3)?", "Pip EP:0(L1)???"}));
  EXPECT_EQ(s.Lines(16, 1)[0], "HP:25/30 MP:4/9?");
  s.Key(kDown);
  s.Key(kEnter);
  EXPECT_EQ(s.e.lists.CurrentList, 7);
  EXPECT_EQ(s.Lines(5), (L{"Equip", "Stats"}));
  // Both lines carry the member chosen.
  EXPECT_EQ(s.e.lists.ListRows[1].entry, 2);
  EXPECT_EQ(s.e.lists.ListRows[2].entry, 2);
}

TEST(Statistics, LabelsStandInOneColumnAndTheNextLevelDependsOnlyOnTheLevel) {
  EXPECT_EQ(StatisticsText(Stats(25, 30, 31)),
            "HP            : 25/30\r\nMP            : 4/9\r\nEP            : 31 (Level 3)\r\n"
            "EP for levelup: 60\r\nWisdom        : 7\r\nStrenght      :-2\r\n"
            "Dexterity     : 0\r\nInitiative    : 12\r\nConstitution  : 5");
  for (int16_t ep : {45, 60})
    EXPECT_NE(StatisticsText(Stats(1, 1, ep)).find("levelup: 60\r"), std::string::npos);
  EXPECT_NE(StatisticsText(Stats(1, 1, 61)).find("levelup: 100\r"), std::string::npos);
}

TEST(Statistics, EnterOrEscapePageThroughATextTooLongForTheScreenThenReturnToTheTeam) {
  test::PartyScreen s(320, 120);  // three lines of values per page
  s.AddMember("Wren", Stats(25, 30, 31));
  s.Open(6);
  s.Key(kEnter);
  s.Key(kDown);
  s.Key(kEnter);
  EXPECT_EQ(s.e.lists.CurrentList, 8);
  EXPECT_EQ(s.Row("Wren", 12), "Wren  Normal");
  EXPECT_EQ(s.Row("HP", 21), "HP            : 25/30");
  EXPECT_TRUE(s.Shows(128));
  s.Key(kDown);  // no lines to move over: the same page again
  EXPECT_NE(s.Row("HP", 2), "");
  s.Key(kEnter);
  EXPECT_EQ(s.Row("HP", 2), "");
  EXPECT_NE(s.Row("EP for levelup", 14), "");
  s.Key(kEsc);
  EXPECT_NE(s.Row("Constitution", 12), "");
  EXPECT_FALSE(s.Shows(128));
  s.Key(kEnter);
  EXPECT_EQ(s.e.lists.CurrentList, 6);
}

TEST(ItemLists, EachListTakesItsOwnKindsAndCounts) {
  test::PartyScreen s;
  for (const char* name : {"Wren", "Pip", "Tam"}) s.AddMember(name);
  const int16_t sword = s.AddItem("Sword", kItemWeapon, 3);
  s.AddItem("Club", kItemWeapon, 1);
  s.AddItem("Hidden Axe", kItemWeapon, 2, "", "", false);
  const int16_t coat = s.AddItem("Coat", kItemArmour, 1);
  s.AddItem("Herb", 5, 2, "herb.skr");
  s.AddItem("Used Up", 5, 0);
  // Two swords are worn by the others; Wren wears the coat as her standard
  // armour, which does not take it from the pack.
  s.w.Party[2].character.WEP = s.w.Party[3].character.WEP = sword;
  s.w.Party[1].character.ARM = s.w.Party[1].character.STDARM = coat;
  const auto shown = [&](int32_t list) {
    s.Open(list);
    return s.Lines(9);
  };
  EXPECT_EQ(shown(10), L{});  // no magic: nothing to choose, Escape leaves
  s.Key(kEnter);
  EXPECT_EQ(s.e.lists.CurrentList, 10);
  s.Key(kEsc);
  EXPECT_EQ(s.e.lists.CurrentList, 4);
  s.AddItem("Spark", 2, 1);
  EXPECT_EQ(shown(9), (L{"Sword x 3", "Club x 1?", "Coat x 1?", "Herb x 2?"}));
  EXPECT_EQ(shown(10), (L{"Spark x 1"}));
  EXPECT_EQ(shown(11), (L{"Sword x 1", "Club x 1?"}));
  EXPECT_EQ(shown(12), (L{"Coat x 1?"}));
  s.w.Party[1].character.WEP = sword;  // the third sword
  EXPECT_EQ(shown(11), (L{"Club x 1?"}));
}

TEST(Inventory, EnterRunsTheItemsScriptOnTheMapOrDoesNothingWithoutOne) {
  test::PartyScreen s;
  s.AddScript("herb.skr");
  s.AddItem("Stone", 5, 1);
  s.AddItem("Herb", 5, 1, "herb.skr");
  s.Open(9);
  s.Key(kEnter);
  EXPECT_EQ(s.e.lists.CurrentList, 9);
  EXPECT_EQ(s.e.win.GameMode, 7);
  s.Key(kDown);
  s.Key(kEnter);
  EXPECT_EQ(s.e.win.GameMode, 8);
  ASSERT_EQ(s.w.ScriptDepth, 1);
  EXPECT_EQ(s.w.ScriptStack[1].returnMode, 6);  // back to the map afterwards
  EXPECT_TRUE(s.e.win.Wait4Relase);
  EXPECT_EQ(s.e.pics.Extrabuf.Width(), 1);
}

TEST(Equipment, ChoosingAWeaponWearsItAndEscapeWalksBackToTheTeamAndMainMenu) {
  test::PartyScreen s;
  s.AddMember("Wren");
  const int16_t stick = s.AddItem("Stick", kItemWeapon, 1);
  const int16_t sword = s.AddItem("Sword", kItemWeapon, 1);
  s.AddItem("Coat", kItemArmour, 1);
  s.w.Party[1].character.WEP = s.w.Party[1].character.STDWEP = stick;
  s.Open(6);
  s.Key(kEnter, 2);  // Wren, Equip
  EXPECT_EQ(s.e.lists.CurrentList, 13);
  EXPECT_EQ(s.Lines(13), (L{"Weapon: Stick", "Armor:???????"}));
  s.Key(kEnter);
  EXPECT_EQ(s.e.lists.CurrentList, 11);
  s.Key(kDown);
  s.Key(kEnter);
  EXPECT_EQ(s.w.Party[1].character.WEP, sword);
  EXPECT_EQ(s.e.lists.CurrentList, 13);
  EXPECT_EQ(s.Lines(13)[0], "Weapon: Sword");
  s.Key(kDown);
  s.Key(kEnter);
  EXPECT_EQ(s.e.lists.CurrentList, 12);
  for (int32_t back : {13, 6, 4}) {
    s.Key(kEsc);
    EXPECT_EQ(s.e.lists.CurrentList, back);
  }
}

}  // namespace
}  // namespace yw
