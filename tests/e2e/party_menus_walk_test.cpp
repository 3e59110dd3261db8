// The menus a player opens on the map with Escape: the team, a member's
// statistics and equipment (taking up a sword), and using a herb from the
// inventory and a spark from the magic list, each of which runs its script.
#include "e2e_support.h"

namespace yw::e2e {
namespace {

namespace fs = std::filesystem;

TEST(PartyMenus, TeamStatsEquipInventoryAndMagicOnTheMap) {
  const auto out = OutputDir("party-menus");
  const fs::path root = ProgramWithGame(out, "play_party");
  Replay r = StartTheOnlyGame();
  r.WaitUntil(1600).Snap("map");
  r.Note("Escape, Team, Alder, Stats.").Do("key Esc").Snap("main").Do("key Enter").Snap("team");
  r.Do("key Enter").Snap("member").Do("key Down").Do("key Enter").Snap("stats");
  r.Note("Back to the team, then Alder's equipment.").Do("key Enter").Dump("after-stats");
  r.Do("key Enter").Do("key Enter").Snap("equipment");
  r.Note("Weapon: take the sword.").Do("key Enter").Snap("weapons").Do("key Down").Do("key Enter");
  r.Snap("equipped");
  r.Note("Out to the main menu; the herb from the inventory.").Do("key Esc").Do("key Esc");
  r.Do("key Down").Do("key Enter").Snap("inventory").Keys("Down", 2).Do("key Enter", 600);
  r.Snap("herb").Do("key Enter", 600).Dump("after-herb").Note("The spark from the magic list.");
  r.Do("key Esc").Keys("Down", 2).Do("key Enter").Snap("magic").Do("key Enter", 600).Snap("spark");
  const Played p = Play(out, root, r.Text());

  const auto map = p.Dump("map");
  ASSERT_EQ(map["GameMode"], 6);
  ASSERT_EQ(map["Party"].size(), 2u);
  const Surface mapShot = p.Shot("map");
  const int w = mapShot.Width(), h = mapShot.Height();

  // Each list opens at the top left over the map; the rest of the map stays.
  for (const char* shot :
       {"main", "team", "member", "equipment", "weapons", "inventory", "magic"}) {
    const Surface s = p.Shot(shot);
    EXPECT_GT(Changed(mapShot, s, 0, 0, w / 8, h / 8), 0) << shot;
    EXPECT_EQ(Changed(mapShot, s, w * 3 / 4, h * 3 / 4, w, h), 0) << shot;
  }
  EXPECT_EQ(p.Dump("team")["CurrentList"], 6);
  EXPECT_EQ(p.Dump("member")["CurrentList"], 7);
  // The statistics fill the screen down to its bottom.
  EXPECT_EQ(p.Dump("stats")["CurrentList"], 8);
  EXPECT_GT(Changed(mapShot, p.Shot("stats"), 0, h * 3 / 4, w, h), 0);
  EXPECT_EQ(p.Dump("after-stats")["CurrentList"], 6);

  EXPECT_EQ(p.Dump("equipment")["CurrentList"], 13);
  EXPECT_EQ(p.Dump("equipment")["Party"][0]["WEP"], 1);  // the stick, put in hand by Team
  EXPECT_EQ(p.Dump("weapons")["CurrentList"], 11);
  const auto equipped = p.Dump("equipped");
  EXPECT_EQ(equipped["CurrentList"], 13);
  EXPECT_EQ(equipped["Party"][0]["WEP"], 2);
  EXPECT_GT(Changed(p.Shot("equipment"), p.Shot("equipped"), 0, 0, w / 2, h / 4), 0);

  EXPECT_EQ(p.Dump("inventory")["CurrentList"], 9);
  const auto herb = p.Dump("herb");
  EXPECT_EQ(herb["GameMode"], 5);
  EXPECT_EQ(herb["Message"], "The herb smells of summer.");
  EXPECT_EQ(p.Dump("after-herb")["GameMode"], 6);
  EXPECT_EQ(p.Dump("magic")["CurrentList"], 10);
  EXPECT_EQ(p.Dump("spark")["Message"], "A spark dances in the air.");
}

}  // namespace
}  // namespace yw::e2e
