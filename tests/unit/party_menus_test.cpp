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

TEST(Statistics, LabelsStandInOneColumnAndTheNextLevelDependsOnlyOnTheLevel) {
  EXPECT_EQ(StatisticsText(Stats(25, 30, 31)),
            "HP            : 25/30\r\nMP            : 4/9\r\nEP            : 31 (Level 3)\r\n"
            "EP for levelup: 60\r\nWisdom        : 7\r\nStrenght      :-2\r\n"
            "Dexterity     : 0\r\nInitiative    : 12\r\nConstitution  : 5");
  for (int16_t ep : {45, 60})
    EXPECT_NE(StatisticsText(Stats(1, 1, ep)).find("levelup: 60\r"), std::string::npos);
  EXPECT_NE(StatisticsText(Stats(1, 1, 61)).find("levelup: 100\r"), std::string::npos);
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

}  // namespace
}  // namespace yw
