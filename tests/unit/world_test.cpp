#include "test_support.h"
#include "world/world.h"

namespace yw {
namespace {

// Three tile definitions: 1 -> 2 -> 1 animates, 3 names itself.
World AnimatedTiles() {
  World w;
  w.TileDefCount = 3;
  w.TileDefs.Resize(3);
  w.TileDefs[1] = {0, 0, 2};
  w.TileDefs[2] = {16, 0, 1};
  w.TileDefs[3] = {32, 0, 3};
  ResetFrames(w);
  return w;
}

TEST(StepFrames, FamiliesAreSelectedAndUnitPhaseCycles) {
  World w = AnimatedTiles();
  w.DoodadDefCount = 2;
  w.DoodadDefs.Resize(2);
  w.DoodadDefs[1].NEXT = 2;
  w.DoodadDefs[2] = {5, 5, 5, 5, 5, 5, 1};
  ResetFrames(w);
  StepFrames(w, FrameFamily::Doodads);
  EXPECT_EQ(w.DoodadFrames[1].picX, 5);
  EXPECT_EQ(w.TileFrames[1].x, 0);  // tiles untouched
  EXPECT_EQ(w.UnitPhase, 1);        // units untouched

  std::vector<int> phases;
  for (int i = 0; i < 5; ++i) {
    StepFrames(w, FrameFamily::Units);
    phases.push_back(w.UnitPhase);
  }
  EXPECT_EQ(phases, (std::vector<int>{3, 2, 4, 1, 3}));
  w.UnitPhase = 17;
  StepFrames(w, FrameFamily::Units);
  EXPECT_EQ(w.UnitPhase, 1);

  StepFrames(w, FrameFamily::Map);  // tiles and doodads together
  EXPECT_EQ(w.TileFrames[1].x, 16);
  EXPECT_EQ(w.DoodadFrames[1].picX, 0);
}

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
