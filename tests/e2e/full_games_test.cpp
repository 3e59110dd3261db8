// Every bundled game played from "New" to its ending the way a player plays
// it, saving and loading along the way, on a copy of the program folder.
// Each replay is checked at its milestones by state dump (map, position,
// party, quest items) and at a few points by golden picture.
#include <set>
#include <sstream>
#include <utility>
#include <vector>

#include "e2e_support.h"

namespace yw::e2e {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// One milestone: the dump of that name is on `map` at cell (x, y) (x 0:
// not checked), its message contains `says` (when not empty), every field
// named by a JSON pointer has the value given, and, when `items` is given,
// the items' NUMBERs are those, in order.
struct Milestone {
  const char* dump;
  const char* map;
  int x = 0, y = 0;
  const char* says = "";
  std::vector<std::pair<const char*, json>> fields = {};
  json items = nullptr;
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
    if (m.items.is_null()) continue;
    json numbers = json::array();
    for (const auto& item : d["Items"]) numbers.push_back(item["NUMBER"]);
    EXPECT_EQ(numbers, m.items);
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
// on member N. Enemies act on their own between the turns; every action
// steps, flies or pauses, so each turn waits for them. A dump named
// <prefix>turn<i> follows turn i.
Replay& Fight(Replay& r, std::string_view turns, const std::string& prefix = "") {
  constexpr int kActions = 3600;  // the member's action and the enemies' after it
  std::istringstream words{std::string(turns)};
  int i = 0;
  for (std::string turn; words >> turn;) {
    if (turn == "hit") r.Do("key Enter").Do("key Enter", kActions);
    if (turn == "hit2") r.Do("key Enter").Do("key Up", 200).Do("key Enter", kActions);
    if (turn == "spark")
      r.Keys("Down", 2, 150)
          .Do("key Enter")
          .Do("key Down", 150)
          .Do("key Enter")
          .Do("key Enter", kActions);
    if (turn.starts_with("mend"))
      r.Keys("Down", 2, 150)
          .Do("key Enter")
          .Do("key Enter")
          .Keys("Down", turn[4] - '1', 150)
          .Do("key Enter", kActions);
    if (!prefix.empty()) r.Dump(prefix + "turn" + std::to_string(i++));
  }
  return r;
}

// Enter pressed `n` times, 700 ms apart, with a dump and a shot <prefix><i> after
// each (i from `first`): how a player clicks through messages.
Replay& Presses(Replay& r, const std::string& prefix, int n, int first = 0) {
  for (int i = first; i < first + n; ++i) r.Do("key Enter", 600).Snap(prefix + std::to_string(i));
  return r;
}

// The first fight, two wolves against the lone hero: the message closes,
// the screen wipes and the fighters jump in; each wolf falls to two sword
// strokes; wolves-9 is the award over the fight scene, wolves-10 the pelts
// back in the vale, wolves-13 the vale to walk on.
Replay& Wolves(Replay& r) {
  r.Do("key Enter", 3000).Snap("wolves-0");
  Fight(r, "hit hit hit hit", "wolves-").Snap("wolves-9");
  return Presses(r, "wolves-", 4, 10);
}

TEST(FullGames, ThornwickTheBellIsBroughtHome) {
  Replay r = NewGame(2);
  r.WaitUntil(6500)
      .Snap("greeting")
      .Do("key Enter 1", 300)
      .Do("type \\b\\b\\b\\b\\bAsh")
      .Do("key Enter");
  r.Snap("named").Do("key Enter").Do("key Enter").Snap("thornwick-vale");
  r.Note("To Maud's chest for the sword; Esc, Team, the hero, Equip, Weapon, the sword.");
  r.Keys("Left", 1).Keys("Up", 9).Keys("Left", 7).Keys("Up", 1).Do("key Enter", 500).Snap("sword");
  r.Do("key Enter").Do("key Esc", 500).Keys("Enter", 5).Dump("armed").Keys("Esc", 3);
  r.Note("Into the sheep pen to Lark, who gives away the Spark book.");
  r.Keys("Right", 17)
      .Keys("Down", 10)
      .Do("key Enter")
      .Do("key Enter")
      .Snap("spark")
      .Do("key Enter");
  r.Note("Jory's stall: the vest and a herb for all the silver; then wear the vest.");
  r.Keys("Up", 10).Keys("Left", 5).Keys("Down", 2).Do("key Enter", 500).Do("key Enter", 500);
  r.Snap("shop")
      .Do("key Down")
      .Do("key Enter")
      .Snap("vest")
      .Do("key Enter")
      .Snap("shop2")
      .Do("key Enter");
  r.Snap("herb")
      .Do("key Enter")
      .Snap("shop3")
      .Do("key Down")
      .Do("key Enter")
      .Snap("bye")
      .Do("key Enter");
  r.Do("key Esc", 500)
      .Keys("Enter", 3)
      .Do("key Down")
      .Do("key Enter")
      .Snap("armour")
      .Do("key Enter");
  r.Snap("dressed").Keys("Esc", 3);
  Save(r, "Before the wolves");
  r.Note("Off towards the wood; then the saved game is loaded back at the stall.");
  r.Keys("Up", 1).Keys("Right", 5).Keys("Down", 5).Keys("Right", 4).Snap("road");
  Load(r, "thornwick-slots.png").Snap("loaded");
  r.Note("The first fight: two wolves against the lone hero.");
  r.Keys("Up", 1).Keys("Right", 5).Keys("Down", 5).Keys("Right", 5).Snap("wolf-track");
  r.Do("key Enter", 1500).Snap("wolves");
  Wolves(r);
  r.Note("Into the wood, where Bryn joins; Esc, Magic, Mend: Ash casts it on Bryn.");
  r.Keys("Right", 3).Wait(1500).Snap("bryn-walks").Wait(2500).Snap("bryn-speaks");
  r.Do("key Enter").Do("key Enter").Snap("bryn").Do("key Enter").Snap("wood");
  r.Do("key Esc", 500).Keys("Down", 2, 200).Do("key Enter", 500).Snap("magic").Do("key Enter", 500);
  r.Snap("caster")
      .Do("key Enter", 500)
      .Snap("target")
      .Do("key Down")
      .Do("key Enter", 800)
      .Snap("mended");
  r.Note("The second fight: two brigands against the two of them.");
  r.Keys("Right", 11).Keys("Up", 4).Snap("ambush").Do("key Enter", 1500).Snap("brigands");
  Fight(r, "hit").Snap("brigands-2");  // the numbers of the first round float under the menu
  Fight(r, "hit hit hit hit hit", "brigands-").Snap("brigands-13");
  Presses(r, "brigands-", 3, 14);  // the award has two pages; then the chain shirt
  r.Note("Bryn wears the chain shirt; Spark, cast in front of the thorns, burns them.");
  r.Do("key Esc", 500)
      .Do("key Enter")
      .Do("key Down")
      .Keys("Enter", 2)
      .Do("key Down")
      .Do("key Enter");
  r.Snap("chain").Do("key Enter").Snap("bryn-dressed").Keys("Esc", 3);
  r.Keys("Up", 2)
      .Keys("Right", 10)
      .Snap("thorns")
      .Do("key Enter")
      .Snap("thorns-say")
      .Do("key Enter");
  r.Do("key Esc", 500)
      .Keys("Down", 2, 200)
      .Do("key Enter", 500)
      .Do("key Down")
      .Do("key Enter", 500);
  r.Snap("caster2").Do("key Enter", 300).Snap("burning").Wait(2000).Snap("burnt").Do("key Enter");
  r.Note("The altar heals the party; then the last fight: the Briar Troll and its wolf.");
  r.Keys("Right", 7).Keys("Up", 1).Keys("Right", 1).Do("key Enter").Snap("altar").Do("key Enter");
  r.Keys("Left", 1).Snap("den").Do("key Enter", 1000).Snap("troll-speaks");
  r.Do("key Enter").Snap("bryn-warns").Do("key Enter", 1500).Snap("troll");
  Fight(r, "hit2 spark hit2 spark hit spark hit mend2 hit spark hit spark hit spark", "troll-")
      .Snap("end-5");
  r.Note("The troll falls, the wood turns green and the ending plays: Enter closes each message.");
  Presses(r, "end-", 19, 6);
  const Played p = PlayBundled("thornwick", r);

  // clang-format off
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
      {"end-10", "woods.map", 29, 6, "Green again", {{"/TilemapFile", "bloom.til"}, {"/DoodadmapFile", "bloom.dod"}}},
      {"end-17", "vale.map", 15, 16, "Can I ring it?", {{"/Items/14/NUMBER", 1}, {"/Items/16/VALUE", 6}}},
      {"end-23", "vale.map", 15, 16, "THE END."},
      {"end-24", "", 0, 0, "", {{"/GameMode", 2}, {"/Party", json::array()}}},
  });
  // clang-format on
  EXPECT_TRUE(fs::exists(p.dir / "root/games/thornwick/slot1.sav"));
  // The village, a fight against two brigands, the first level-up, the end
  // and the list of saved games.
  for (const char* shot : {"thornwick-vale.png", "brigands-2.png", "wolves-9.png", "end-23.png",
                           "thornwick-slots.png"})
    ExpectGolden(p.dir, shot);
}

// The clock counts on past 2^31 and 2^32 milliseconds (a program left
// running for weeks): walking crosses 2^31, the game is saved after it; the
// walk to the wolves, the fight and the load cross 2^32; the NPCs still
// turn afterwards.
TEST(FullGames, ThornwickPlaysOnAcrossTheClocks32BitLimits) {
  constexpr int64_t k31 = int64_t{1} << 31, k32 = int64_t{1} << 32;
  Replay r = NewGame(2);
  r.WaitUntil(6600).Do("key Enter 1", 300).Do("type \\b\\b\\b\\b\\bAsh").Do("key Enter", 500);
  r.Do("key Enter").Do("key Enter").Clock(k31 - 2000);
  r.Keys("Left", 1).Keys("Up", 9).Keys("Left", 7).Keys("Up", 1).Do("key Enter", 500).Dump("sword");
  r.Do("key Enter").Do("key Esc", 500).Keys("Enter", 5).Dump("armed").Keys("Esc", 3);
  Save(r, "Past 2^31").Clock(k32 - 21000);
  r.Keys("Right", 17).Keys("Down", 10).Keys("Up", 10).Keys("Left", 5).Keys("Down", 2);
  r.Keys("Up", 1)
      .Keys("Right", 5)
      .Keys("Down", 5)
      .Keys("Right", 5)
      .Do("key Enter", 1500)
      .Dump("wolves");
  Wolves(r);
  Load(r).Dump("loaded").Keys("Right", 3).Do("key Down", 3000).Dump("walked");
  const Played p = PlayBundled("thornwick-clock", r);

  // clang-format off
  ExpectMilestones(p, {
      {"sword", "vale.map", 7, 7, "an old sword"},
      {"armed", "vale.map", 7, 7, "", {{"/Party/0/WEP", 5}}},
      {"saved", "vale.map", 7, 7, "", {{"/GameMode", 7}}},
      {"wolves", "glade.map", 22, 15, "", {{"/FightMode", true}, {"/Enemies/1/NAME", "Wolf"}}},
      {"wolves-9", "glade.map", 22, 15, "Ash reaches Level 2!", {{"/Party/0/EP", 14}}},
      {"wolves-13", "vale.map", 29, 12, "pelts", {{"/GameMode", 6}, {"/FightMode", false}}},
      {"loaded", "vale.map", 7, 7, "", {{"/GameMode", 6}, {"/Party/0/EP", 0}, {"/Party/0/WEP", 5}}},
      {"walked", "vale.map", 10, 8, "", {{"/GameMode", 6}, {"/WalkDeadline", 0}}},
  });
  // clang-format on
  EXPECT_GT(p.Dump("sword")["time"], k31);
  EXPECT_LT(p.Dump("wolves")["time"], k32);
  EXPECT_GT(p.Dump("wolves-turn0")["time"], k32);
  auto facing = [&](const char* dump) {
    const json d = p.Dump(dump);
    json directions = json::array();
    for (const auto& npc : d["Npcs"]) directions.push_back(npc["DIRECTION"]);
    return directions;
  };
  EXPECT_NE(facing("loaded"), facing("walked"));
}

TEST(FullGames, HollowmereTheRingIsFoundAndReturned) {
  Replay r = NewGame(1);
  r.WaitUntil(3000).Snap("opening");
  r.WaitUntil(6500).Note("After the cut-scene Pip greets Wren on the lane.").Snap("greeting");
  r.Note("A short Enter, so the name box opens with no key held; the name replaces the default.");
  r.Do("key Enter 1", 300)
      .Do("type \\b\\b\\b\\bAyla")
      .Do("key Enter")
      .Snap("welcome")
      .Do("key Enter");
  r.Note("West along the street and up to Old Bram's door.");
  r.Keys("Left", 9).Keys("Up", 3).Wait(600).Snap("house");
  r.Note("Up to Bram and talk: a two-page message, then his question.");
  r.Keys("Up", 3).Do("key Enter", 500).Snap("bram-page1").Do("key Enter").Snap("bram-page2");
  r.Do("key Enter").Snap("question").Note("Gladly.").Do("key Enter").Snap("key").Do("key Enter");
  r.Note("Saved with the key; two steps towards the door, the saved game is loaded back.");
  Save(r, "With the key").Keys("Down", 2).Snap("strayed");
  Load(r, "hollowmere-slots.png").Snap("loaded");
  r.Note("Out of the door, east along the street to the mill, and push its door.");
  r.Keys("Down", 4)
      .Wait(600)
      .Snap("town")
      .Do("shot hollowmere-town.png", 0)
      .Keys("Down", 1)
      .Keys("Right", 16)
      .Keys("Up", 2)
      .Snap("push");
  r.Do("key Enter").Wait(400).Snap("mill");
  r.Note("Over the plank across the mill race (it creaks when left) to the chest.");
  r.Keys("Up", 2).Keys("Right", 4).Snap("plank").Do("key Enter").Keys("Right", 1).Keys("Up", 2);
  r.Do("key Enter", 500).Snap("moth").Wait(1500).Snap("ring").Do("key Enter");
  r.Note("Back over the plank and out of the mill, west to Bram's house.");
  r.Keys("Down", 1)
      .Keys("Left", 3)
      .Do("key Enter")
      .Keys("Left", 2)
      .Keys("Down", 3)
      .Wait(600)
      .Snap("outside");
  r.Keys("Down", 1).Keys("Left", 16).Keys("Up", 2).Wait(600).Keys("Up", 3);
  r.Note("The ending: Bram's thanks, Pip's visit and the closing words.");
  r.Do("key Enter", 500)
      .Snap("thanks")
      .Do("key Enter", 700)
      .Snap("pip-walks")
      .Wait(2200)
      .Snap("pip-asks");
  r.Do("key Enter", 300).Snap("jump").Wait(2600).Do("key Enter", 3000).Snap("supper");
  r.Do("key Enter", 700)
      .Snap("zoom")
      .Wait(1200)
      .Snap("the-end")
      .Do("shot hollowmere-the-end.png", 0);
  r.Do("key Enter", 1000).Snap("title");
  const Played p = PlayBundled("hollowmere", r);

  // clang-format off
  ExpectMilestones(p, {
      {"opening", "town.map", 0, 0, "", {{"/SFX", 3}}},
      // The cut-scene walked her up the lane; the village tune follows the title music.
      {"greeting", "town.map", 16, 14, "Pip: Hey!", {{"/SavingActive", false}, {"/AmbientName", "town.mid"}}},
      {"welcome", "town.map", 16, 14, "Welcome to Hollowmere, Ayla!", {{"/Party/0/NAME", "Ayla"}}},
      {"house", "house.map", 6, 8, "", {{"/SavingActive", true}}},
      {"bram-page1", "house.map", 6, 5, "Old Bram: Ah, Ayla."},
      {"bram-page2", "house.map", 6, 5, "", {{"/PendingMsg", ""}}},
      {"question", "house.map", 6, 5, "", {{"/GameMode", 7}, {"/CurrentList", 20}}},
      {"key", "house.map", 6, 5, "Here is the key to the mill", {}, {1, 1, 0, 1, 1, 1}},
      {"strayed", "house.map", 6, 7},
      {"loaded", "house.map", 6, 5, "", {}, {2, 1, 0, 1, 1, 1}},  // the tea came with the key
      {"town", "town.map", 7, 12},
      {"push", "town.map", 23, 12, "It groans open."},  // the locked door did not let her step
      {"mill", "mill.map", 6, 8},
      {"plank", "mill.map", 10, 6, "creaks behind you"},
      // The moth flies while the chest opens; then the ring is Wren's.
      {"moth", "mill.map", 0, 0, "", {{"/VoodooCount", 1}, {"/GameMode", 9}}},
      {"ring", "mill.map", 0, 0, "a silver ring", {}, {2, 1, 1, 1, 1, 1}},
      {"outside", "town.map", 23, 12},
      {"thanks", "house.map", 0, 0, "Elsa's ring!", {{"/SavingActive", false}}},
      // Pip comes in through the door while no message covers the room.
      {"pip-walks", "house.map", 0, 0, "", {{"/GameMode", 9}}},
      {"pip-asks", "house.map", 0, 0, "Did you find it?", {{"/Npcs/1/POS_Y", 7}}},
      {"jump", "house.map", 0, 0, "", {{"/GameMode", 9}}},
      {"supper", "house.map", 0, 0, "Stay for supper, Ayla.", {}, {2, 1, 0, 1, 1, 1}},
      {"the-end", "house.map", 0, 0, "THE END."},
      {"title", "", 0, 0, "", {{"/GameMode", 2}, {"/Party", json::array()}}},
  });
  // clang-format on
  EXPECT_NE(p.Dump("bram-page1")["PendingMsg"], "");  // more than one page
  // Bram's question stays in its window under the answers, as on its last page.
  const Surface asked = p.Shot("bram-page2");
  const int w = asked.Width(), h = asked.Height();
  EXPECT_EQ(Changed(asked, p.Shot("question"), 18, h / 2 + 8, w - 18, h - 18), 0);
  EXPECT_EQ(p.Dump("pip-walks")["Npcs"].size(), 2u);
  EXPECT_EQ(p.Dump("supper")["Npcs"].size(), 1u);  // Pip has run off
  // Villagers of every wandering speed are out.
  std::set<int> speeds;
  const json welcome = p.Dump("welcome");
  for (const auto& npc : welcome["Npcs"]) speeds.insert(npc["SPEED"].get<int>());
  EXPECT_EQ(speeds, (std::set<int>{1, 2, 3, 4, 5}));
  // The village opens from black, and the closing zoom shrinks the picture
  // towards the middle of a black screen.
  const Box lit = InkBox(p.Shot("opening"));
  EXPECT_TRUE(lit.top > 0 && lit.bottom < p.Shot("opening").Height() - 1);
  const Surface zoom = p.Shot("zoom");
  const Box small = InkBox(zoom);
  EXPECT_TRUE(!small.Empty() && small.left > 0 && small.right < zoom.Width() - 1 && small.top > 0 &&
              small.bottom < zoom.Height() - 1);
  ExpectGolden(p.dir, "hollowmere-town.png");
  ExpectGolden(p.dir, "hollowmere-the-end.png");
  ExpectGolden(p.dir, "hollowmere-slots.png");
}

TEST(FullGames, HollowmereASavedGameOutlivesTheWellsGameOver) {
  Replay r = NewGame(1);
  r.WaitUntil(6500).Do("key Enter 1", 300).Do("key Enter").Do("key Enter");
  Save(r, "By the well");
  r.Note("Up the lane to the well; climb down its rope.");
  r.Keys("Up", 3).Keys("Right", 1).Do("key Enter", 500).Snap("well");
  r.Do("key Down", 300).Do("key Enter", 500).Snap("fall").Do("key Enter", 600).Snap("wipe");
  r.Wait(1000).Snap("game-over").Do("key Enter", 800).Snap("title");
  r.Note("Load, slot 1.").Do("key Enter", 600).Do("key Down", 300).Do("key Enter", 600);
  r.Do("key Enter", 600).Snap("loaded");
  const Played p = PlayBundled("hollowmere-well", r);

  // clang-format off
  ExpectMilestones(p, {
      {"saved", "town.map", 16, 14, "", {{"/GameMode", 7}}},  // back in the in-game menu
      {"well", "town.map", 16, 11, "", {{"/CurrentList", 20}}},
      {"fall", "town.map", 16, 11, "the old rope snaps"},
      {"wipe", "town.map", 16, 11, "", {{"/SFX", 4}}},
      {"game-over", "town.map", 16, 11, "GAME OVER."},
      {"title", "", 0, 0, "", {{"/GameMode", 2}}},
      {"loaded", "town.map", 16, 14, "", {{"/GameMode", 6}, {"/Party/0/NAME", "Wren"}}},
  });
  // clang-format on
  EXPECT_TRUE(fs::exists(p.dir / "root/games/hollowmere/slot1.sav"));
  EXPECT_GT(InkBox(p.Shot("wipe")).left, 0);  // two black bands close over the village
}

TEST(FullGames, GullPointTheLampIsLit) {
  Replay r = NewGame(0);
  r.WaitUntil(5000).Snap("night").Do("key Enter").Snap("corran").Do("key Enter", 500);
  r.Note("Down the boardwalk to the oil shed and push its door.");
  r.Keys("Down", 4)
      .Keys("Right", 6)
      .Keys("Up", 1)
      .Snap("shed")
      .Do("shot gullpoint-shed.png", 0)
      .Do("key Enter");
  r.Note("Saved with the oil; a few steps on, the saved game is loaded back at the shed.");
  Save(r, "Oil in hand").Keys("Right", 3).Snap("strayed");
  Load(r, "gullpoint-slots.png").Snap("loaded");
  r.Note("East and up the boardwalk to the tower; the wind blows at its end.");
  r.Keys("Right", 4)
      .Keys("Up", 2)
      .Snap("wind")
      .Do("key Enter")
      .Keys("Up", 3)
      .Wait(600)
      .Snap("tower");
  r.Note("Up to the stair, which leads to the lamp gallery.");
  r.Keys("Up", 5).Keys("Left", 2).Wait(1600).Snap("gallery");
  r.Keys("Up", 2).Keys("Left", 2).Keys("Up", 1).Snap("dark");
  r.Do("key Enter", 500)
      .Do("key Enter", 700)
      .Snap("lit")
      .Wait(1000)
      .Do("key Enter", 700)
      .Snap("corran-climbs");
  r.Wait(1500).Snap("lantern").Do("key Enter").Do("key Enter", 2000).Snap("the-end");
  r.Do("shot gullpoint-the-end.png", 0);
  r.Do("key Enter", 1000).Snap("title");
  const Played p = PlayBundled("gullpoint", r);

  // clang-format off
  ExpectMilestones(p, {
      {"night", "shore.map", 5, 6, "Night at Gull Point."},
      {"corran", "shore.map", 5, 6, "Corran: Ness!"},
      {"shed", "shore.map", 11, 10, "fill a can", {}, {1, 1}},
      {"strayed", "shore.map", 14, 10},
      {"loaded", "shore.map", 11, 10, "", {}, {1, 1}},
      {"wind", "shore.map", 15, 8, "The wind"},
      {"tower", "tower.map", 4, 8},
      {"gallery", "tower.map", 13, 8},
      // Lighting the lamp swaps its dark doodad for the lit one and a gull flies past.
      {"lit", "tower.map", 0, 0, "", {{"/GameMode", 9}, {"/VoodooCount", 1}}, {0, 1}},
      {"corran-climbs", "tower.map", 0, 0, "", {{"/GameMode", 9}, {"/SavingActive", false}}},
      {"lantern", "tower.map", 0, 0, "There she burns!"},
      {"the-end", "tower.map", 0, 0, "THE END."},
      {"title", "", 0, 0, "", {{"/GameMode", 2}}},
  });
  // clang-format on
  EXPECT_GT(Changed(p.Shot("dark"), p.Shot("lit")), 0);
  // The night shore, and the closing words on black once the zoom into the
  // lamp has gone all the way in.
  ExpectGolden(p.dir, "gullpoint-shed.png");
  ExpectGolden(p.dir, "gullpoint-the-end.png");
  ExpectGolden(p.dir, "gullpoint-slots.png");
}

}  // namespace
}  // namespace yw::e2e
