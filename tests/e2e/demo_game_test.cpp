// The bundled games played as a player plays them, from the game list to
// their endings, with a state dump and a screenshot at every milestone.
// Each run works on a copy of the program folder, so saved games never land
// in the repository.
#include <set>

#include "e2e_support.h"

namespace yw::e2e {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// A program folder with the bundled games copied into its library.
fs::path ProgramFolderWithTheBundledGames(const fs::path& out) {
  const fs::path root = MakeProgramFolder(out);
  fs::copy(DataDir() / "games", root / "games", fs::copy_options::recursive);
  return root;
}

Played PlayBundled(const std::string& name, Replay& replay) {
  const fs::path out = OutputDir(name);
  return Play(out, ProgramFolderWithTheBundledGames(out), replay.Text());
}

// From the title through the library (`down` lines below the first game) and
// the game's own menu to "New".
Replay StartGame(int down) {
  Replay r(200);
  r.Note("Past the credits and the title picture to the game library.").Do("key Enter").Do("key Enter", 500);
  r.Keys("Down", down, 100).Note("Pick the game, then New.").Do("key Enter", 600).Do("key Enter", 400);
  return r.Do("key Enter", 0);
}

std::string Text(const json& dump) { return dump["Message"].get<std::string>(); }
bool Says(const json& dump, std::string_view words) { return Text(dump).find(words) != std::string::npos; }
json Numbers(const json& dump) {
  json n = json::array();
  for (const auto& item : dump["Items"]) n.push_back(item["NUMBER"]);
  return n;
}
void ExpectAt(const json& dump, std::string_view map, double x, double y) {
  EXPECT_EQ(dump["MapFile"], map);
  EXPECT_EQ(dump["PlayerPosX"], x);
  EXPECT_EQ(dump["PlayerPosY"], y);
}

TEST(Hollowmere, TheWholeQuestFromTheTitleToTheEnd) {
  Replay r = StartGame(1);
  r.WaitUntil(3000).Snap("opening");
  r.WaitUntil(6500).Note("After the cut-scene Pip greets Wren on the lane.").Snap("greeting");
  r.Note("A short Enter, so the name box opens with no key held; the name replaces the default.");
  r.Do("key Enter 1", 300).Do("type \\b\\b\\b\\bAyla").Do("key Enter").Snap("welcome").Do("key Enter");
  r.Note("West along the street and up to Old Bram's door.");
  r.Keys("Left", 9).Keys("Up", 3).Wait(600).Snap("house");
  r.Note("Up to Bram and talk: a two-page message, then his question.");
  r.Keys("Up", 3).Do("key Enter", 500).Snap("bram-page1").Do("key Enter").Snap("bram-page2");
  r.Do("key Enter").Snap("question").Note("Gladly.").Do("key Enter").Snap("key").Do("key Enter");
  r.Note("Saved with the key; two steps towards the door, the saved game is loaded back.");
  Save(r, "With the key").Keys("Down", 2).Snap("strayed");
  Load(r).Snap("loaded");
  r.Note("Out of the door, east along the street to the mill, and push its door.");
  r.Keys("Down", 4).Wait(600).Snap("town").Do("shot hollowmere-town.png", 0).Keys("Down", 1).Keys("Right", 16).Keys("Up", 2).Snap("push");
  r.Do("key Enter").Wait(400).Snap("mill");
  r.Note("Over the plank across the mill race (it creaks when left) to the chest.");
  r.Keys("Up", 2).Keys("Right", 4).Snap("plank").Do("key Enter").Keys("Right", 1).Keys("Up", 2);
  r.Do("key Enter", 500).Snap("moth").Wait(1500).Snap("ring").Do("key Enter");
  r.Note("Back over the plank and out of the mill, west to Bram's house.");
  r.Keys("Down", 1).Keys("Left", 3).Do("key Enter").Keys("Left", 2).Keys("Down", 3).Wait(600).Snap("outside");
  r.Keys("Down", 1).Keys("Left", 16).Keys("Up", 2).Wait(600).Keys("Up", 3);
  r.Note("The ending: Bram's thanks, Pip's visit and the closing words.");
  r.Do("key Enter", 500).Snap("thanks").Do("key Enter", 700).Snap("pip-walks").Wait(2200).Snap("pip-asks");
  r.Do("key Enter", 300).Snap("jump").Wait(2600).Do("key Enter", 3000).Snap("supper");
  r.Do("key Enter", 700).Snap("zoom").Wait(1200).Snap("the-end").Do("shot hollowmere-the-end.png", 0);
  r.Do("key Enter", 1000).Snap("title");
  const Played p = PlayBundled("hollowmere-quest", r);

  // The village opens from black: part of the screen is still dark.
  const Surface opening = p.Shot("opening");
  EXPECT_EQ(p.Dump("opening")["SFX"], 3);
  const Box lit = InkBox(opening);
  EXPECT_GT(lit.top, 0);
  EXPECT_LT(lit.bottom, opening.Height() - 1);

  const json greeting = p.Dump("greeting");
  ExpectAt(greeting, "town.map", 16, 14);  // the cut-scene walked her up the lane
  EXPECT_TRUE(Says(greeting, "Pip: Hey!")) << Text(greeting);
  EXPECT_FALSE(greeting["SavingActive"]);  // no saving during the opening scene
  EXPECT_EQ(greeting["AmbientName"], "town.mid");  // the village tune follows the title music

  const json welcome = p.Dump("welcome");
  EXPECT_EQ(welcome["Party"][0]["NAME"], "Ayla");
  EXPECT_TRUE(Says(welcome, "Welcome to Hollowmere, Ayla!")) << Text(welcome);
  // Villagers of every wandering speed are out.
  std::set<int> speeds;
  for (const auto& npc : welcome["Npcs"]) speeds.insert(npc["SPEED"].get<int>());
  EXPECT_EQ(speeds, (std::set<int>{1, 2, 3, 4, 5}));

  ExpectAt(p.Dump("house"), "house.map", 6, 8);
  EXPECT_TRUE(p.Dump("house")["SavingActive"]);  // the opening scene is over
  const json page1 = p.Dump("bram-page1");
  EXPECT_TRUE(Says(page1, "Old Bram: Ah, Ayla.")) << Text(page1);
  EXPECT_NE(page1["PendingMsg"], "");  // more than one page
  EXPECT_EQ(p.Dump("bram-page2")["PendingMsg"], "");
  const json question = p.Dump("question");
  EXPECT_EQ(question["GameMode"], 7);
  EXPECT_EQ(question["CurrentList"], 20);
  const json key = p.Dump("key");
  EXPECT_TRUE(Says(key, "Here is the key to the mill")) << Text(key);
  EXPECT_EQ(Numbers(key), json::array({1, 1, 0, 1, 1, 1}));
  ExpectAt(p.Dump("strayed"), "house.map", 6, 7);
  ExpectAt(p.Dump("loaded"), "house.map", 6, 5);
  EXPECT_EQ(Numbers(p.Dump("loaded")), json::array({2, 1, 0, 1, 1, 1}));  // the tea came with the key

  ExpectAt(p.Dump("town"), "town.map", 7, 12);
  const json push = p.Dump("push");
  ExpectAt(push, "town.map", 23, 12);  // the locked door did not let her step
  EXPECT_TRUE(Says(push, "It groans open.")) << Text(push);
  ExpectAt(p.Dump("mill"), "mill.map", 6, 8);

  const json plank = p.Dump("plank");
  ExpectAt(plank, "mill.map", 10, 6);
  EXPECT_TRUE(Says(plank, "creaks behind you")) << Text(plank);
  // The moth flies while the chest opens; then the ring is Wren's.
  const json moth = p.Dump("moth");
  EXPECT_EQ(moth["VoodooCount"], 1);
  EXPECT_EQ(moth["GameMode"], 9);
  const json ring = p.Dump("ring");
  EXPECT_TRUE(Says(ring, "a silver ring")) << Text(ring);
  EXPECT_EQ(Numbers(ring), json::array({2, 1, 1, 1, 1, 1}));
  ExpectAt(p.Dump("outside"), "town.map", 23, 12);

  EXPECT_TRUE(Says(p.Dump("thanks"), "Elsa's ring!"));
  EXPECT_FALSE(p.Dump("thanks")["SavingActive"]);
  // Pip comes in through the door while no message covers the room.
  const json walks = p.Dump("pip-walks");
  EXPECT_EQ(walks["GameMode"], 9);
  ASSERT_EQ(walks["Npcs"].size(), 2u);
  EXPECT_TRUE(Says(p.Dump("pip-asks"), "Did you find it?"));
  EXPECT_EQ(p.Dump("pip-asks")["Npcs"][1]["POS_Y"], 7);
  EXPECT_EQ(p.Dump("jump")["GameMode"], 9);
  const json supper = p.Dump("supper");
  EXPECT_TRUE(Says(supper, "Stay for supper, Ayla.")) << Text(supper);
  EXPECT_EQ(supper["Npcs"].size(), 1u);  // Pip has run off
  EXPECT_EQ(Numbers(supper), json::array({2, 1, 0, 1, 1, 1}));

  // The closing zoom shrinks the picture towards the middle of a black screen.
  const Surface zoom = p.Shot("zoom");
  const Box small = InkBox(zoom);
  EXPECT_FALSE(small.Empty());
  EXPECT_GT(small.left, 0);
  EXPECT_LT(small.right, zoom.Width() - 1);
  EXPECT_GT(small.top, 0);
  EXPECT_LT(small.bottom, zoom.Height() - 1);
  EXPECT_TRUE(Says(p.Dump("the-end"), "THE END."));
  const json title = p.Dump("title");
  EXPECT_EQ(title["GameMode"], 2);
  EXPECT_EQ(title["Party"].size(), 0u);
  ExpectGolden(p.dir, "hollowmere-town.png");
  ExpectGolden(p.dir, "hollowmere-the-end.png");
}

TEST(Hollowmere, ASavedGameOutlivesTheWellsGameOver) {
  Replay r = StartGame(1);
  r.WaitUntil(6500).Do("key Enter 1", 300).Do("key Enter").Do("key Enter");
  r.Note("Esc, Save, slot 1, a description.");
  r.Do("key Esc", 500).Keys("Down", 3, 200).Do("key Enter", 500).Do("key Enter 1", 500);
  r.Do("type By the well", 600).Do("key Enter", 800).Snap("saved").Do("key Esc", 600);
  r.Note("Up the lane to the well; climb down its rope.");
  r.Keys("Up", 3).Keys("Right", 1).Do("key Enter", 500).Snap("well");
  r.Do("key Down", 300).Do("key Enter", 500).Snap("fall").Do("key Enter", 600).Snap("wipe");
  r.Wait(1000).Snap("game-over").Do("key Enter", 800).Snap("title");
  r.Note("Load, slot 1.").Do("key Enter", 600).Do("key Down", 300).Do("key Enter", 600);
  r.Do("key Enter", 600).Snap("loaded");
  const Played p = PlayBundled("hollowmere-well", r);

  const json saved = p.Dump("saved");
  EXPECT_EQ(saved["GameMode"], 7);  // back in the in-game menu
  EXPECT_TRUE(fs::exists(p.dir / "root/games/hollowmere/slot1.sav"));

  const json well = p.Dump("well");
  ExpectAt(well, "town.map", 16, 11);
  EXPECT_EQ(well["CurrentList"], 20);
  EXPECT_TRUE(Says(p.Dump("fall"), "the old rope snaps")) << Text(p.Dump("fall"));
  // The vertical wipe closes two black bands over the village.
  EXPECT_EQ(p.Dump("wipe")["SFX"], 4);
  const Box wiped = InkBox(p.Shot("wipe"));
  EXPECT_GT(wiped.left, 0);
  EXPECT_TRUE(Says(p.Dump("game-over"), "GAME OVER."));
  const json title = p.Dump("title");
  EXPECT_EQ(title["GameMode"], 2);
  EXPECT_EQ(title["MapFile"], "");

  const json loaded = p.Dump("loaded");
  EXPECT_EQ(loaded["GameMode"], 6);
  ExpectAt(loaded, "town.map", 16, 14);
  EXPECT_EQ(loaded["Party"][0]["NAME"], "Wren");
}

TEST(GullPoint, TheLampIsLitFromTheTitleToTheEnd) {
  Replay r = StartGame(0);
  r.WaitUntil(5000).Snap("night").Do("key Enter").Snap("corran").Do("key Enter", 500);
  r.Note("Down the boardwalk to the oil shed and push its door.");
  r.Keys("Down", 4).Keys("Right", 6).Keys("Up", 1).Snap("shed").Do("shot gullpoint-shed.png", 0).Do("key Enter");
  r.Note("Saved with the oil; a few steps on, the saved game is loaded back at the shed.");
  Save(r, "Oil in hand").Keys("Right", 3).Snap("strayed");
  Load(r).Snap("loaded");
  r.Note("East and up the boardwalk to the tower; the wind blows at its end.");
  r.Keys("Right", 4).Keys("Up", 2).Snap("wind").Do("key Enter").Keys("Up", 3).Wait(600).Snap("tower");
  r.Note("Up to the stair, which leads to the lamp gallery.");
  r.Keys("Up", 5).Keys("Left", 2).Wait(1600).Snap("gallery");
  r.Keys("Up", 2).Keys("Left", 2).Keys("Up", 1).Snap("dark");
  r.Do("key Enter", 500).Do("key Enter", 700).Snap("lit").Wait(1000).Do("key Enter", 700).Snap("corran-climbs");
  r.Wait(1500).Snap("lantern").Do("key Enter").Do("key Enter", 2000).Snap("the-end");
  r.Do("shot gullpoint-the-end.png", 0);
  r.Do("key Enter", 1000).Snap("title");
  const Played p = PlayBundled("gullpoint", r);

  const json night = p.Dump("night");
  ExpectAt(night, "shore.map", 5, 6);
  EXPECT_TRUE(Says(night, "Night at Gull Point.")) << Text(night);
  EXPECT_TRUE(Says(p.Dump("corran"), "Corran: Ness!"));

  const json shed = p.Dump("shed");
  ExpectAt(shed, "shore.map", 11, 10);
  EXPECT_TRUE(Says(shed, "fill a can")) << Text(shed);
  EXPECT_EQ(Numbers(shed), json::array({1, 1}));
  ExpectAt(p.Dump("strayed"), "shore.map", 14, 10);
  ExpectAt(p.Dump("loaded"), "shore.map", 11, 10);
  EXPECT_EQ(Numbers(p.Dump("loaded")), json::array({1, 1}));
  const json wind = p.Dump("wind");
  ExpectAt(wind, "shore.map", 15, 8);
  EXPECT_TRUE(Says(wind, "The wind")) << Text(wind);
  ExpectAt(p.Dump("tower"), "tower.map", 4, 8);
  ExpectAt(p.Dump("gallery"), "tower.map", 13, 8);

  // Lighting the lamp swaps its dark doodad for the lit one and a gull flies past.
  const json lit = p.Dump("lit");
  EXPECT_EQ(lit["GameMode"], 9);
  EXPECT_EQ(lit["VoodooCount"], 1);
  EXPECT_EQ(Numbers(lit), json::array({0, 1}));
  EXPECT_GT(Changed(p.Shot("dark"), p.Shot("lit")), 0);
  const json climbs = p.Dump("corran-climbs");
  EXPECT_EQ(climbs["GameMode"], 9);
  EXPECT_FALSE(climbs["SavingActive"]);
  EXPECT_TRUE(Says(p.Dump("lantern"), "There she burns!"));
  EXPECT_TRUE(Says(p.Dump("the-end"), "THE END."));
  EXPECT_EQ(p.Dump("title")["GameMode"], 2);
  // The night shore and the closing words on black.
  ExpectGolden(p.dir, "gullpoint-shed.png");
  ExpectGolden(p.dir, "gullpoint-the-end.png");
}

}  // namespace
}  // namespace yw::e2e
