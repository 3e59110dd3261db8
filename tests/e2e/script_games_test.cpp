// Small games whose scripts exercise the language as an author writes it,
// played by the real program on a replay and checked through its dumps:
// arithmetic and blocks, CHANGE, the party and NPC lists, maps and the
// player's place, RUNSCRIPT, messages and text input, a script error, and
// the variables outliving a loaded game.
#include <cmath>

#include "e2e_support.h"

namespace yw::e2e {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// Builds the game from its sources into a fresh program folder and plays
// the replay on it, the game started at once with --play.
Played PlayTestGame(const std::string& game, Replay& replay) {
  const fs::path out = OutputDir(game);
  const fs::path root = ProgramWithGame(out, game);
  return Play(out, root, replay.Text(), "--play '" + (root / "games" / game).string() + "'");
}

// A variable as the dump shows it: its kind and its value.
json Var(const json& dump, const char* name) { return dump["Variables"][name]; }
double Number(const json& dump, const char* name) {
  const json v = Var(dump, name);
  EXPECT_EQ(v["kind"], 0) << name;
  return v["value"].is_number() ? v["value"].get<double>() : std::nan("");  // nothing never equals
}
std::string Text(const json& dump, const char* name) {
  const json v = Var(dump, name);
  EXPECT_EQ(v["kind"], 1) << name;
  return v["value"].is_string() ? v["value"].get<std::string>() : "<not a text>";
}

// script_flow: arithmetic from left to right, CHANGE with its limits and
// read back with data terms, IF/ELSE nested in both branches, and a script
// that waits at each MSG and at RUNSCRIPT and goes on where it stopped.
TEST(ScriptGames, FlowArithmeticBlocksAndResumption) {
  Replay r(300);
  r.Dump("first", 100).Do("key Enter", 300).Dump("sub", 100);
  r.Do("key Enter", 300).Dump("done", 100).Do("key Enter", 300).Dump("end", 100);
  const Played p = PlayTestGame("script_flow", r);
  const json first = p.Dump("first");
  EXPECT_EQ(first["GameMode"], 5);
  EXPECT_EQ(first["Message"], "first 20");
  // The evaluation rules themselves are pinned by the expression and field
  // tests; here their results reach the script's variables and tables.
  EXPECT_EQ(Number(first, "C"), 25);  // [data character, 1, HP] - 5
  EXPECT_EQ(Text(first, "E"), "Pip8");
  EXPECT_EQ(Text(first, "F"), "else branch, MP 2");  // MAXMP lowered to 2 lowered MP
  EXPECT_EQ(first["Characters"][1]["NAME"], "Pip8");
  // The line after the message has not run yet.
  EXPECT_EQ(Var(first, "G")["value"], nullptr);

  // Closing the message ran the next lines and the called script, which
  // now waits at its own message on top of the caller.
  const json sub = p.Dump("sub");
  EXPECT_EQ(sub["Message"], "in sub 1");
  EXPECT_EQ(sub["ScriptDepth"], 2);
  EXPECT_EQ(Text(sub, "G"), "after the first message");
  EXPECT_EQ(Number(sub, "I"), 10);
  EXPECT_EQ(Var(sub, "H")["value"], nullptr);

  // The called script ran to its END; the caller went on after RUNSCRIPT.
  const json done = p.Dump("done");
  EXPECT_EQ(done["Message"], "done");
  EXPECT_EQ(done["ScriptDepth"], 1);
  EXPECT_EQ(Number(done, "J"), 20);
  EXPECT_EQ(Number(done, "H"), 11);

  const json end = p.Dump("end");
  EXPECT_EQ(end["ScriptDepth"], 0);
  EXPECT_EQ(end["GameMode"], 6);
}

// script_error: a called script fails; the player sees the code's message
// with the failing line, every running script is dropped (the caller does
// not resume) and the party and NPCs are gone. Enter leads to the title
// lists.
TEST(ScriptGames, ErrorShowsItsMessageAndLineAndEndsTheGame) {
  Replay r(300);
  r.Dump("error", 100).Do("key Enter", 300).Dump("after", 100);
  const Played p = PlayTestGame("script_error", r);
  const json error = p.Dump("error");
  EXPECT_EQ(error["GameMode"], 5);
  EXPECT_EQ(error["Message"],
            "Script Error: Wrong direction value.\r\n"
            "The error occured in the following line:\r\n"
            "SETDIRECTION [A] + 2");
  EXPECT_EQ(error["ScriptDepth"], 0);
  EXPECT_EQ(error["Party"], json::array());
  EXPECT_EQ(error["Npcs"], json::array());
  EXPECT_EQ(error["PlayerDirection"], 2);  // the line before the failing one ran

  const json after = p.Dump("after");
  EXPECT_TRUE(after["GameMode"] == 3 || after["GameMode"] == 4) << after["GameMode"];
  EXPECT_EQ(after["ScriptDepth"], 0);
}

// script_world: a map loaded with its links, the party and NPC lists built
// and changed, the player placed, a name typed into a text input; then the
// player saves, steps onto a cell whose script changes variables and makes
// the next cell an obstacle, and loads the saved game: the world comes
// back, the variables do not.
TEST(ScriptGames, WorldPartyNpcsInputAndVariablesOutlivingALoadedGame) {
  Replay r(300);
  r.Dump("input", 100).Do("type la", 200).Do("key Enter", 300).Dump("hello", 100);
  r.Do("key Enter", 300).Snap("map");
  Save(r, "one");
  r.Note("One step right onto the marked cell.").Do("key Right", 600).Snap("stepped").Do("key Enter", 300);
  r.Do("key Right", 600).Dump("blocked", 100);
  Load(r).Dump("loaded", 100);
  const Played p = PlayTestGame("script_world", r);
  const json input = p.Dump("input");
  EXPECT_EQ(input["GameMode"], 11);
  EXPECT_EQ(input["MapFile"], "field.map");
  EXPECT_EQ(input["TilemapFile"], "tiles.til");  // ALLES in lower case loaded the links
  EXPECT_EQ(input["MapWidth"], 8);
  EXPECT_EQ(input["PlayerPosX"], 4);
  EXPECT_EQ(input["PlayerPosY"], 3);
  EXPECT_EQ(input["PlayerDirection"], 4);
  // KILLNPC 2 of three: the former third is number 2 and stands on (6, 2).
  ASSERT_EQ(input["Npcs"].size(), 2u);
  EXPECT_EQ(input["Npcs"][0]["CHAR"], 1);
  EXPECT_EQ(input["Npcs"][1]["CHAR"], 2);
  EXPECT_EQ(input["Npcs"][1]["POS_X"], 6);
  EXPECT_EQ(Number(input, "A"), 2);
  EXPECT_EQ(Number(input, "B"), 2);

  // The typed text follows the default; the script went on after the box.
  const json hello = p.Dump("hello");
  EXPECT_EQ(hello["Message"], "Hello Ayla, Pipkin is with you.");
  ASSERT_EQ(hello["Party"].size(), 2u);
  EXPECT_EQ(hello["Party"][0]["NAME"], "Ayla");
  EXPECT_EQ(hello["Party"][1]["NAME"], "Pipkin");
  EXPECT_EQ(hello["Party"][1]["HP"], 10);
  EXPECT_EQ(hello["Party"][1]["STATE"], 1);
  EXPECT_EQ(Number(hello, "C"), 5);

  const json map = p.Dump("map");
  EXPECT_EQ(map["GameMode"], 6);
  EXPECT_EQ(map["ScriptDepth"], 0);

  const json stepped = p.Dump("stepped");
  EXPECT_EQ(stepped["Message"], "You stepped on the marked cell.");
  EXPECT_EQ(stepped["PlayerPosX"], 5);
  EXPECT_EQ(Number(stepped, "D"), 15);
  EXPECT_EQ(Number(stepped, "E"), 5);
  EXPECT_EQ(Text(stepped, "G"), "15 steps");
  // The tiles the script loaded just before its message show under it: the
  // corner cell (1, 1) has the other picture.
  const auto corner = [&p](const char* name) {
    const json d = p.Dump(name);
    return p.Shot(name).At((1 - d["ViewX"].get<int>()) * 32 + 16, (1 - d["ViewY"].get<int>()) * 32 + 16);
  };
  EXPECT_NE(corner("map"), corner("stepped"));
  // CHANGE ... OBSTACLE with a quarter made the next cell block the way.
  const json blocked = p.Dump("blocked");
  EXPECT_EQ(blocked["PlayerPosX"], 5);
  EXPECT_EQ(blocked["PlayerDirection"], 4);

  // The saved game brought back the place and the party; the variables
  // kept what the scripts gave them after the save.
  const json loaded = p.Dump("loaded");
  EXPECT_EQ(loaded["GameMode"], 6);
  EXPECT_EQ(loaded["PlayerPosX"], 4);
  EXPECT_EQ(loaded["PlayerPosY"], 3);
  EXPECT_EQ(loaded["Party"].size(), 2u);
  EXPECT_EQ(Number(loaded, "D"), 15);
  EXPECT_EQ(Text(loaded, "F"), "after the save");
  EXPECT_EQ(Number(loaded, "A"), 2);
}

}  // namespace
}  // namespace yw::e2e
