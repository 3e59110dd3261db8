// A whole small fight played by the real program: the fighters jump onto
// the scene, the hero strikes through the fight menu and the enemy
// chooser, the wolf bites back on its own, the fallen wolf leaves, the
// victory is rewarded with experience and the village comes back.
#include "e2e_support.h"

namespace yw::e2e {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

TEST(FightGame, AWolfIsFoughtAndTheHeroLevelsUp) {
  Replay r = StartTheOnlyGame();
  r.WaitUntil(1500).Snap("village").Do("key Enter", 1500);
  r.Snap("menu").Do("key Enter", 600);       // Fight
  r.Snap("chooser").Do("key Enter", 1200);   // the wolf: 4 damage, then its bite
  r.Snap("bitten").Do("key Enter", 600);     // Fight again
  r.Do("key Enter", 2500);                   // the wolf falls and leaves
  r.Snap("award").Do("key Enter", 800);
  r.Snap("home").Do("key Enter", 500).Snap("end");
  r.Keys("Right", 1).Keys("Down", 1).Keys("Left", 1).Dump("walked");  // on the village again
  const fs::path out = OutputDir("fight_wolf");
  const fs::path root = ProgramWithGame(out, "fight_wolf");
  const Played p = Play(out, root, r.Text());

  const json menu = p.Dump("menu");
  EXPECT_EQ(menu["GameMode"], 7);
  EXPECT_EQ(menu["CurrentList"], 15);
  EXPECT_TRUE(menu["FightMode"]);
  EXPECT_TRUE(menu["FightDranPlayer"]);
  EXPECT_EQ(menu["FightDran"], 1);
  EXPECT_EQ(menu["Party"][0]["NPC"], 1);
  EXPECT_EQ(menu["Enemies"][0]["NPC"], menu["Npcs"].size() / 2 + 1);

  const json chooser = p.Dump("chooser");
  EXPECT_EQ(chooser["GameMode"], 13);
  EXPECT_EQ(chooser["CurrentList"], 18);

  const json bitten = p.Dump("bitten");
  EXPECT_EQ(bitten["Enemies"][0]["HP"], 4);
  EXPECT_EQ(bitten["Party"][0]["HP"], 17);
  EXPECT_EQ(bitten["GameMode"], 7) << "the hero's second turn";
  EXPECT_GE(bitten["PopupCount"], 2);

  const json award = p.Dump("award");
  EXPECT_EQ(award["GameMode"], 5);
  EXPECT_EQ(award["Enemies"][0]["HP"], 0);
  EXPECT_EQ(award["Enemies"][0]["NPC"], 0);
  EXPECT_EQ(award["Party"][0]["EP"], 25);
  EXPECT_EQ(award["Party"][0]["MAXHP"], 40);
  EXPECT_EQ(award["Message"].get<std::string>().rfind(
                "Wren: + 25EP\r\nWren reaches Level 2!\r\nMaxHP: +20\r\n", 0),
            0u)
      << award["Message"];

  const json home = p.Dump("home");
  EXPECT_EQ(home["Message"], "Home again");
  EXPECT_EQ(home["GameMode"], 5) << "the Enter that closed the award closed this message too";
  EXPECT_FALSE(home["FightMode"]);
  EXPECT_EQ(home["MapWidth"], 10);
  EXPECT_EQ(home["PlayerPosX"], 3);
  EXPECT_EQ(home["Party"][0]["HP"], 34) << "the fight's wounds and rewards stay";
  EXPECT_EQ(home["Party"][0]["EP"], 25);
  EXPECT_EQ(home["Party"][0]["NPC"], 0);
  EXPECT_TRUE(home["Enemies"].empty());
  EXPECT_EQ(home["PopupCount"], 0) << "no number of the fight floats over the village";

  // FIGHTEND changes the map back inside the script and draws it at once:
  // under its message the village stands as the map shows it after the
  // script has ended, right of the hero.
  const Surface arena = p.Shot("chooser"), back = p.Shot("home"), after = p.Shot("end");
  const int w = after.Width(), h = after.Height();
  EXPECT_GT(Changed(arena, back, w / 2 + 16, 0, w, h / 2), 0);
  EXPECT_EQ(Changed(back, after, w / 2 + 16, 0, w, h / 2), 0);

  const json walked = p.Dump("walked");
  EXPECT_EQ(walked["PlayerPosX"], 3);
  EXPECT_EQ(walked["PlayerPosY"], 5);
}

// A stone without a fight script, thrown from the Item list, spends the
// hero's turn: the wolf bites and the hero's menu comes back. Leaving the
// list keeps the pointer over the hero.
TEST(FightGame, AnItemWithoutFightScriptSpendsTheTurn) {
  constexpr int kTile = 32;
  Replay r = StartTheOnlyGame();
  r.WaitUntil(1500).Do("key Enter", 1500);
  r.Snap("menu").Do("key Down", 300).Do("key Enter", 400).Do("key Esc", 400).Snap("back");
  r.Do("key Down", 300).Do("key Enter", 400).Do("key Enter", 1200).Dump("spent");
  const fs::path out = OutputDir("fight_wolf_stone");
  const fs::path root = ProgramWithGame(out, "fight_wolf");
  const Played p = Play(out, root, r.Text());

  const json menu = p.Dump("menu");
  const json& hero = menu["Npcs"][menu["Party"][0]["NPC"].get<int>() - 1];
  // The two cells above the hero's figure hold the pointer.
  const int x = (hero["POS_X"].get<int>() - 1) * kTile, y = (hero["POS_Y"].get<int>() - 3) * kTile;
  EXPECT_EQ(Changed(p.Shot("menu"), p.Shot("back"), x, y, x + kTile, y + 2 * kTile), 0);

  const json spent = p.Dump("spent");
  EXPECT_EQ(spent["GameMode"], 7);
  EXPECT_EQ(spent["CurrentList"], 15);
  EXPECT_EQ(spent["Party"][0]["HP"], 17);
}

}  // namespace
}  // namespace yw::e2e
