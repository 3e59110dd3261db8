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

// From the title to the game's own menu and "New", which starts
// autoexec.skr; the first thing the script shows is up by 1500 ms.
constexpr std::string_view kStartNewGame =
    "100 key Space\n"
    "300 key Enter\n"
    "600 key Enter\n"
    "800 key Enter\n"
    "1100 key Enter\n";

// Builds the game from its sources into a fresh program folder and plays
// the replay (which follows kStartNewGame) on it.
fs::path Play(const std::string& game, std::string_view replay) {
  const fs::path out = OutputDir(game);
  const fs::path root = MakeProgramFolder(out);
  BuildTestGame(game, root);
  const RunResult r = RunReplay(out, root, std::string(kStartNewGame) + std::string(replay));
  EXPECT_EQ(r.exitCode, 0) << r.stderrText;
  return out;
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
  const fs::path out = Play("script_flow",
                            "1500 dump first.json\n"
                            "1600 key Enter\n"
                            "1900 dump sub.json\n"
                            "2000 key Enter\n"
                            "2300 dump done.json\n"
                            "2400 key Enter\n"
                            "2700 dump end.json\n"
                            "2800 quit\n");
  const json first = LoadDump(out / "first.json");
  EXPECT_EQ(first["GameMode"], 5);
  EXPECT_EQ(first["Message"], "first 20");
  EXPECT_EQ(Number(first, "A"), 8);   // 5-3: the minus is the separator after 5
  EXPECT_EQ(Number(first, "B"), 20);  // 2 + 3 * 4 without precedence
  EXPECT_EQ(Number(first, "C"), 25);  // [data character, 1, HP] - 5
  EXPECT_EQ(Number(first, "D"), 24);  // 2 * 3 4: the operator stays pending
  EXPECT_EQ(Text(first, "E"), "Pip8");
  EXPECT_EQ(Text(first, "F"), "else branch, MP 2");
  // HP 999 was limited to MAXHP; lowering MAXMP lowered MP with it.
  const json& wren = first["Characters"][0];
  EXPECT_EQ(wren["HP"], 50);
  EXPECT_EQ(wren["MAXMP"], 2);
  EXPECT_EQ(wren["MP"], 2);
  EXPECT_EQ(first["Characters"][1]["NAME"], "Pip8");
  // The line after the message has not run yet.
  EXPECT_EQ(Var(first, "G")["value"], nullptr);

  // Closing the message ran the next lines and the called script, which
  // now waits at its own message on top of the caller.
  const json sub = LoadDump(out / "sub.json");
  EXPECT_EQ(sub["Message"], "in sub 1");
  EXPECT_EQ(sub["ScriptDepth"], 2);
  EXPECT_EQ(Text(sub, "G"), "after the first message");
  EXPECT_EQ(Number(sub, "I"), 10);
  EXPECT_EQ(Var(sub, "H")["value"], nullptr);

  // The called script ran to its END; the caller went on after RUNSCRIPT.
  const json done = LoadDump(out / "done.json");
  EXPECT_EQ(done["Message"], "done");
  EXPECT_EQ(done["ScriptDepth"], 1);
  EXPECT_EQ(Number(done, "J"), 20);
  EXPECT_EQ(Number(done, "H"), 11);

  const json end = LoadDump(out / "end.json");
  EXPECT_EQ(end["ScriptDepth"], 0);
  EXPECT_EQ(end["GameMode"], 6);
}

// script_error: a called script fails; the player sees the code's message
// with the failing line, every running script is dropped (the caller does
// not resume) and the party and NPCs are gone. Enter leads to the title
// lists.
TEST(ScriptGames, ErrorShowsItsMessageAndLineAndEndsTheGame) {
  const fs::path out = Play("script_error",
                            "1500 dump error.json\n"
                            "1600 key Enter\n"
                            "1900 dump after.json\n"
                            "2000 quit\n");
  const json error = LoadDump(out / "error.json");
  EXPECT_EQ(error["GameMode"], 5);
  EXPECT_EQ(error["Message"],
            "Script Error: Wrong direction value.\r\n"
            "The error occured in the following line:\r\n"
            "SETDIRECTION [A] + 2");
  EXPECT_EQ(error["ScriptDepth"], 0);
  EXPECT_EQ(error["Party"], json::array());
  EXPECT_EQ(error["Npcs"], json::array());
  EXPECT_EQ(error["PlayerDirection"], 2);  // the line before the failing one ran

  const json after = LoadDump(out / "after.json");
  EXPECT_TRUE(after["GameMode"] == 3 || after["GameMode"] == 4) << after["GameMode"];
  EXPECT_EQ(after["ScriptDepth"], 0);
}

// script_world: a map loaded with its links, the party and NPC lists built
// and changed, the player placed, a name typed into a text input; then the
// player saves, steps onto a cell whose script changes a variable, and
// loads the saved game: the world comes back, the variables do not.
TEST(ScriptGames, WorldPartyNpcsInputAndVariablesOutlivingALoadedGame) {
  const fs::path out = Play("script_world",
                            "1500 dump input.json\n"
                            "1600 type la\n"
                            "1800 key Enter\n"
                            "2100 dump hello.json\n"
                            "2200 key Enter\n"
                            "2500 dump map.json\n"
                            // Esc, down to Save, the first slot, the description.
                            "2600 key Esc\n"
                            "2800 key Down\n"
                            "2900 key Down\n"
                            "3000 key Down\n"
                            "3200 key Enter\n"
                            "3400 key Enter\n"
                            "3600 type one\n"
                            "3800 key Enter\n"
                            "4000 dump saved.json\n"
                            "4100 key Esc\n"
                            // One step right onto the marked cell.
                            "4400 key Right\n"
                            "5000 dump stepped.json\n"
                            "5100 key Enter\n"
                            // Esc, down to Load, the first slot.
                            "5400 key Esc\n"
                            "5600 key Down\n"
                            "5700 key Down\n"
                            "5800 key Down\n"
                            "5900 key Down\n"
                            "6100 key Enter\n"
                            "6300 key Enter\n"
                            "6700 dump loaded.json\n"
                            "6800 quit\n");
  const json input = LoadDump(out / "input.json");
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
  const json hello = LoadDump(out / "hello.json");
  EXPECT_EQ(hello["Message"], "Hello Ayla, Pipkin is with you.");
  ASSERT_EQ(hello["Party"].size(), 2u);
  EXPECT_EQ(hello["Party"][0]["NAME"], "Ayla");
  EXPECT_EQ(hello["Party"][1]["NAME"], "Pipkin");
  EXPECT_EQ(hello["Party"][1]["HP"], 10);
  EXPECT_EQ(hello["Party"][1]["STATE"], 1);
  EXPECT_EQ(Number(hello, "C"), 5);

  const json map = LoadDump(out / "map.json");
  EXPECT_EQ(map["GameMode"], 6);
  EXPECT_EQ(map["ScriptDepth"], 0);

  const json stepped = LoadDump(out / "stepped.json");
  EXPECT_EQ(stepped["Message"], "You stepped on the marked cell.");
  EXPECT_EQ(stepped["PlayerPosX"], 5);
  EXPECT_EQ(Number(stepped, "D"), 15);
  EXPECT_EQ(Number(stepped, "E"), 5);

  // The saved game brought back the place and the party; the variables
  // kept what the scripts gave them after the save.
  const json loaded = LoadDump(out / "loaded.json");
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
