#include "test_support.h"
#include "world/world.h"

namespace yw {
namespace {

// Items: 1 sword (weapon, 2 carried), 2 mail (armour, 1 carried), 3 potion.
World PartyWithGear() {
  World w;
  w.ItemCount = 3;
  w.Items.Resize(3);
  w.Items[1] = {"Sword", kItemWeapon, true, "", "", 0, 2, 10};
  w.Items[2] = {"Mail", kItemArmour, true, "", "", 0, 1, 20};
  w.Items[3] = {"Potion", 5, true, "", "", 0, 4, 5};
  w.PartyCount = 2;
  w.Party.Resize(2);
  return w;
}

TEST(CheckPartyItems, RevertsMissingInvisibleAndOverusedGear) {
  World w = PartyWithGear();
  Character& a = w.Party[1].character;
  Character& b = w.Party[2].character;
  a.STDWEP = 3;
  a.WEP = 7;  // not an item at all
  b.STDARM = 0;
  b.ARM = 2;
  b.STDWEP = 0;
  b.WEP = 1;
  CheckPartyItems(w);
  EXPECT_EQ(a.WEP, 3);
  EXPECT_EQ(b.ARM, 2);  // carried and visible: kept
  EXPECT_EQ(b.WEP, 1);

  w.Items[1].VISIBLE = false;
  w.Items[2].NUMBER = 0;  // worn but no longer carried
  CheckPartyItems(w);
  EXPECT_EQ(b.WEP, 0);
  EXPECT_EQ(b.ARM, 0);
}

}  // namespace
}  // namespace yw
