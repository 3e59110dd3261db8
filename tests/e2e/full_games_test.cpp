// Every bundled game played from "New" to its ending the way a player plays
// it, saving and loading along the way, on a copy of the program folder.
// Each replay is checked at its milestones by state dump (map, position,
// party, quest items) and at a few points by golden picture.
#include <sstream>
#include <utility>
#include <vector>

#include "e2e_support.h"

namespace yw::e2e {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// One milestone: the dump of that name is on `map` at cell (x, y) (x 0:
// not checked), its message contains `says` (when not empty), and every
// field named by a JSON pointer has the value given.
struct Milestone {
  const char* dump;
  const char* map;
  int x = 0, y = 0;
  const char* says = "";
  std::vector<std::pair<const char*, json>> fields = {};
};

void ExpectMilestones(const Played& p, const std::vector<Milestone>& milestones) {
  for (const Milestone& m : milestones) {
    SCOPED_TRACE(m.dump);
    const json d = p.Dump(m.dump);
    EXPECT_EQ(d["MapFile"], m.map);
    if (m.x != 0) {
      EXPECT_EQ(d["PlayerPosX"], m.x);
      EXPECT_EQ(d["PlayerPosY"], m.y);
    }
    const std::string message = d["Message"];
    EXPECT_NE(message.find(m.says), std::string::npos) << message;
    for (const auto& [pointer, value] : m.fields)
      EXPECT_EQ(d[json::json_pointer(pointer)], value) << pointer;
  }
}

// A program folder with the bundled games, and the replay played on it.
Played PlayBundled(const std::string& name, Replay& replay) {
  const fs::path out = OutputDir("full-" + name);
  const fs::path root = MakeProgramFolder(out);
  fs::copy(DataDir() / "games", root / "games", fs::copy_options::recursive);
  return Play(out, root, replay.Text());
}

// From the title through the library (`down` lines below the first game) and
// the game's own menu to "New".
Replay NewGame(int down) {
  Replay r(200);
  r.Do("key Enter").Do("key Enter", 500).Keys("Down", down, 100).Do("key Enter", 600);
  return r.Do("key Enter", 400).Do("key Enter", 0);
}

// A fight's rounds as the player plays them: each word is one turn of a
// party member. "hit" strikes the first enemy with the weapon in use, "hit2"
// the second, "spark" casts Spark at the first enemy and "mendN" casts Mend
// on member N. Enemies act on their own between the turns.
Replay& Fight(Replay& r, std::string_view turns) {
  std::istringstream words{std::string(turns)};
  for (std::string turn; words >> turn;) {
    if (turn == "hit") r.Do("key Enter").Do("key Enter", 800);
    if (turn == "hit2") r.Do("key Enter").Do("key Up", 200).Do("key Enter", 800);
    if (turn == "spark")
      r.Keys("Down", 2, 150).Do("key Enter").Do("key Down", 150).Do("key Enter").Do("key Enter", 800);
    if (turn.starts_with("mend"))
      r.Keys("Down", 2, 150).Do("key Enter").Do("key Enter").Keys("Down", turn[4] - '1', 150).Do("key Enter", 800);
  }
  return r;
}

// Enter pressed `n` times, 700 ms apart, with a dump and a shot <prefix><i> after
// each: how a player clicks through a fight that needs no choices.
Replay& Presses(Replay& r, const std::string& prefix, int n) {
  for (int i = 0; i < n; ++i) r.Do("key Enter", 600).Snap(prefix + std::to_string(i));
  return r;
}

TEST(FullGames, ThornwickTheBellIsBroughtHome) {
  Replay r = NewGame(2);
  r.WaitUntil(6500).Snap("greeting").Do("key Enter 1", 300).Do("type \\b\\b\\b\\b\\bAsh").Do("key Enter");
  r.Snap("named").Do("key Enter").Do("key Enter").Snap("thornwick-vale");
  r.Note("To Maud's chest for the sword; Esc, Team, the hero, Equip, Weapon, the sword.");
  r.Keys("Left", 1).Keys("Up", 9).Keys("Left", 7).Keys("Up", 1).Do("key Enter", 500).Snap("sword");
  r.Do("key Enter").Do("key Esc", 500).Keys("Enter", 5).Dump("armed").Keys("Esc", 3);
  r.Note("Into the sheep pen to Lark, who gives away the Spark book.");
  r.Keys("Right", 17).Keys("Down", 10).Do("key Enter").Do("key Enter").Snap("spark").Do("key Enter");
  r.Note("Jory's stall: the vest and a herb for all the silver; then wear the vest.");
  r.Keys("Up", 10).Keys("Left", 5).Keys("Down", 2).Do("key Enter", 500).Do("key Enter", 500);
  r.Snap("shop").Do("key Down").Do("key Enter").Snap("vest").Do("key Enter").Snap("shop2").Do("key Enter");
  r.Snap("herb").Do("key Enter").Snap("shop3").Do("key Down").Do("key Enter").Snap("bye").Do("key Enter");
  r.Do("key Esc", 500).Keys("Enter", 3).Do("key Down").Do("key Enter").Snap("armour").Do("key Enter");
  r.Snap("dressed").Keys("Esc", 3);
  Save(r, "Before the wolves");
  r.Note("Off towards the wood; then the saved game is loaded back at the stall.");
  r.Keys("Up", 1).Keys("Right", 5).Keys("Down", 5).Keys("Right", 4).Snap("road");
  Load(r).Snap("loaded");
  r.Note("The first fight: two wolves against the lone hero.");
  r.Keys("Up", 1).Keys("Right", 5).Keys("Down", 5).Keys("Right", 5).Snap("wolf-track");
  r.Do("key Enter", 1500).Snap("wolves");
  Presses(r, "wolves-", 14);
  r.Note("Into the wood, where Bryn joins; Esc, Magic, Mend: Ash casts it on Bryn.");
  r.Keys("Right", 3).Wait(1500).Snap("bryn-walks").Wait(2500).Snap("bryn-speaks");
  r.Do("key Enter").Do("key Enter").Snap("bryn").Do("key Enter").Snap("wood");
  r.Do("key Esc", 500).Keys("Down", 2, 200).Do("key Enter", 500).Snap("magic").Do("key Enter", 500);
  r.Snap("caster").Do("key Enter", 500).Snap("target").Do("key Down").Do("key Enter", 800).Snap("mended");
  r.Note("The second fight: two brigands against the two of them.");
  r.Keys("Right", 11).Keys("Up", 4).Snap("ambush").Do("key Enter", 1500).Snap("brigands");
  Presses(r, "brigands-", 20);
  r.Note("Bryn wears the chain shirt; Spark, cast in front of the thorns, burns them.");
  r.Do("key Esc", 500).Do("key Enter").Do("key Down").Keys("Enter", 2).Do("key Down").Do("key Enter");
  r.Snap("chain").Do("key Enter").Snap("bryn-dressed").Keys("Esc", 3);
  r.Keys("Up", 2).Keys("Right", 10).Snap("thorns").Do("key Enter").Snap("thorns-say").Do("key Enter");
  r.Do("key Esc", 500).Keys("Down", 2, 200).Do("key Enter", 500).Do("key Down").Do("key Enter", 500);
  r.Snap("caster2").Do("key Enter", 300).Snap("burning").Wait(2000).Snap("burnt").Do("key Enter");
  r.Note("The altar heals the party; then the last fight: the Briar Troll and its wolf.");
  r.Keys("Right", 7).Keys("Up", 1).Keys("Right", 1).Do("key Enter").Snap("altar").Do("key Enter");
  r.Keys("Left", 1).Snap("den").Do("key Enter", 1000).Snap("troll-speaks");
  r.Do("key Enter").Snap("bryn-warns").Do("key Enter", 1500).Snap("troll");
  Fight(r, "spark hit2 spark hit2 spark hit spark hit mend2 hit spark hit spark hit hit hit hit hit");
  r.Note("The troll falls, the wood turns green and the ending plays: Enter closes each message.");
  Presses(r, "end-", 28);
  const Played p = PlayBundled("thornwick", r);

  ExpectMilestones(p, {
      {"greeting", "vale.map", 15, 16, "", {{"/GameMode", 9}, {"/SavingActive", false}}},
      {"named", "vale.map", 15, 16, "tore the bell from our chapel", {{"/Party/0/NAME", "Ash"}}},
      {"thornwick-vale", "vale.map", 15, 16, "", {{"/GameMode", 6}, {"/Items/16/VALUE", 1}, {"/SavingActive", true}}},
      {"sword", "vale.map", 7, 7, "an old sword", {{"/Items/4/NUMBER", 1}}},
      {"armed", "vale.map", 7, 7, "", {{"/Party/0/WEP", 5}}},
      {"spark", "vale.map", 24, 17, "learns Spark", {{"/Items/2/NUMBER", 1}}},
      {"shop", "vale.map", 19, 8, "You have 7 silver", {{"/CurrentList", 20}}},
      {"dressed", "vale.map", 19, 8, "", {{"/Party/0/ARM", 8}, {"/Items/0/NUMBER", 3}, {"/Items/8/NUMBER", 0}}},
      {"road", "vale.map", 28, 12},
      {"loaded", "vale.map", 19, 8, "", {{"/GameMode", 6}, {"/Party/0/ARM", 8}}},
      {"wolves", "glade.map", 22, 15, "", {{"/FightMode", true}, {"/Enemies/0/NAME", "Wolf"}, {"/Enemies/1/NAME", "Wolf"}}},
      {"wolves-9", "glade.map", 22, 15, "Ash reaches Level 2!", {{"/Party/0/EP", 14}, {"/Party/0/MAXHP", 64}}},
      {"wolves-10", "vale.map", 29, 12, "pelts", {{"/GameMode", 5}, {"/FightMode", false}, {"/Items/9/NUMBER", 2}}},
      {"wolves-13", "vale.map", 29, 12, "", {{"/GameMode", 6}, {"/Items/16/VALUE", 2}}},
      {"bryn", "woods.map", 2, 13, "Bryn joins you", {{"/Party/1/NAME", "Bryn"}, {"/Party/1/HP", 14}}},
      {"caster", "woods.map", 2, 13, "", {{"/CurrentList", 19}, {"/ChoosingUser", true}}},
      {"target", "woods.map", 2, 13, "", {{"/CurrentList", 19}, {"/ChoosingUser", false}}},
      {"mended", "woods.map", 2, 13, "", {{"/Party/0/MP", 21}, {"/Party/1/HP", 29}}},
      {"brigands", "glade.map", 22, 15, "", {{"/Enemies/0/NAME", "Brigand"}, {"/Enemies/1/NAME", "Brigand"}}},
      {"brigands-13", "glade.map", 22, 15, "Bryn reaches Level 2!", {{"/Party/0/EP", 38}, {"/Party/1/EP", 24}}},
      {"brigands-15", "woods.map", 13, 9, "chain shirt", {{"/Items/16/VALUE", 4}, {"/Items/13/NUMBER", 1}}},
      {"bryn-dressed", "woods.map", 13, 9, "", {{"/Party/1/ARM", 14}}},
      {"burning", "woods.map", 22, 7, "", {{"/GameMode", 9}, {"/Party/0/MP", 27}}},
      {"burnt", "woods.map", 22, 7, "burn away", {{"/Items/16/VALUE", 5}}},
      {"den", "woods.map", 29, 6, "", {{"/Party/0/HP", 96}, {"/Party/1/HP", 60}}},
      {"troll", "glade.map", 22, 15, "", {{"/Enemies/0/NAME", "Briar Troll"}, {"/Enemies/1/NAME", "Wolf"}}},
      {"end-5", "glade.map", 22, 15, "Ash reaches Level 4!", {{"/Enemies/0/HP", 0}, {"/Party/1/EP", 64}}},
      {"end-13", "woods.map", 29, 6, "Green again", {{"/TilemapFile", "bloom.til"}, {"/DoodadmapFile", "bloom.dod"}}},
      {"end-20", "vale.map", 15, 16, "Can I ring it?", {{"/Items/14/NUMBER", 1}, {"/Items/16/VALUE", 6}}},
      {"end-26", "vale.map", 15, 16, "THE END."},
      {"end-27", "", 0, 0, "", {{"/GameMode", 2}, {"/Party", json::array()}}},
  });
  EXPECT_TRUE(fs::exists(p.dir / "root/games/thornwick/slot1.sav"));
  // The village, a fight against two brigands, the first level-up and the end.
  for (const char* shot : {"thornwick-vale.png", "brigands-2.png", "wolves-9.png", "end-26.png"}) ExpectGolden(p.dir, shot);
}

}  // namespace
}  // namespace yw::e2e
