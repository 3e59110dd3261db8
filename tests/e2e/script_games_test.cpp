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
  const fs::path out = OutputDir("script_error");
  const fs::path root = ProgramWithGame(out, "script_error");
  const RunResult run =
      RunReplay(out, root, r.Text(), "--play '" + (root / "games" / "script_error").string() + "'");
  // A game being tried also names the error on stderr, with its script and line.
  EXPECT_EQ(run.stderrText,
            "yarrowind: turn.skr line 4: Script Error: Wrong direction value. (SETDIRECTION [A] + "
            "2)\n");
  const Played p{out};
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
  r.Note("One step right onto the marked cell.")
      .Do("key Right", 600)
      .Snap("stepped")
      .Do("key Enter", 300);
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
    return p.Shot(name).At((1 - d["ViewX"].get<int>()) * 32 + 16,
                           (1 - d["ViewY"].get<int>()) * 32 + 16);
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

// script_world with its autoexec.skr replaced, started at once.
Played PlayAutoexec(const std::string& name, const std::string& autoexec, Replay& replay) {
  const fs::path out = OutputDir(name);
  const fs::path root = ProgramWithGame(out, "script_world");
  test::WriteFile(root / "games" / "script_world" / "autoexec.skr", autoexec);
  return Play(out, root, replay.Text(),
              "--play '" + (root / "games" / "script_world").string() + "'");
}

// Every window a script opens right after loading map data: over a screen
// that shows the map, the new tiles come first (the field's wall turns
// from grey to green); after a wipe to black the window opens on black, as
// the author staged it, and a zoom after a load zooms the screen as it
// stands.
TEST(ScriptGames, AWindowAfterALoadShowsTheNewMapUnlessTheScreenWasCovered) {
  struct Scene {
    const char* name;
    const char* command;
    int row;  // of the field's east wall that the window leaves in sight
  };
  const Scene scenes[] = {
      {"msg", "MSG \"Meanwhile...\"", 1},
      {"input", "INPUTTEXT \"Meanwhile?\"", 5},
      {"list", "ADDLISTITEM \"Yes\" \\ 1\r\nSHOWLIST", 1},
      {"award", "AWARD ALL \\ 0 \\ 0 \\ MSG", 1},
      {"target", "SELECTTARGET FRIEND", 1},
      {"user", "SELECTUSER", 1},
  };
  std::string script =
      "BEGIN\r\nLOADMAP \"field.map\" \\ ALLES\r\nADDCHARACTER 1\r\nSETPOS 4 \\ 3\r\n"
      "MSG \"Ready\"\r\n";
  Replay r(300);
  r.Snap("ready").Do("key Enter", 600);
  for (const Scene& s : scenes) {
    script += std::string("SHOWMOVIE 50\r\nLOADTILES \"swapped.til\"\r\n") + s.command + "\r\n";
    script +=
        std::string("SFX HWHIPE \\ 50\r\nLOADMAP \"field.map\" \\ ALLES\r\n") + s.command + "\r\n";
    r.Snap(std::string(s.name) + "-shown").Do("key Enter", 600);
    r.Snap(std::string(s.name) + "-black").Do("key Enter", &s == &scenes[5] ? 300 : 600);
  }
  // Zooms of 2 s, each looked at about 0.2 s in.
  script +=
      "SHOWMOVIE 50\r\nLOADTILES \"swapped.til\"\r\nSFX ZOOMIN \\ 2000\r\n"
      "LOADMAP \"field.map\" \\ ALLES\r\nSFX ZOOMIN \\ 2000\r\nMSG \"End\"\r\nEND\r\n";
  r.Snap("zoom-shown").Wait(2000).Snap("zoom-black").Wait(2000).Dump("end");
  const Played p = PlayAutoexec("covered-screen", script, r);

  // The middle of a cell of the field (32 pixels a side) on the screen.
  const auto cell = [&p](const std::string& shot, int x, int y) {
    const json d = p.Dump(shot);
    return p.Shot(shot).At((x - d["ViewX"].get<int>()) * 32 + 16,
                           (y - d["ViewY"].get<int>()) * 32 + 16);
  };
  const auto wall = [&](const std::string& shot, int row = 1) { return cell(shot, 8, row); };
  const uint32_t grey = wall("ready"), green = cell("ready", 2, 2);
  ASSERT_NE(grey, green);
  ASSERT_NE(grey, 0u);
  for (const Scene& s : scenes) {
    const std::string shown = std::string(s.name) + "-shown",
                      black = std::string(s.name) + "-black";
    EXPECT_TRUE(p.Dump(shown)["GameMode"] != 8 && p.Dump(black)["GameMode"] != 8) << s.name;
    EXPECT_EQ(wall(shown, s.row), green) << shown;
    EXPECT_EQ(wall(black, s.row), 0u) << black;
  }
  EXPECT_EQ(p.Dump("msg-black")["Message"], "Meanwhile...");
  EXPECT_EQ(p.Dump("zoom-shown")["GameMode"], 14);
  EXPECT_EQ(wall("zoom-shown"), green);
  EXPECT_EQ(p.Dump("zoom-black")["GameMode"], 14);
  EXPECT_TRUE(InkBox(p.Shot("zoom-black")).Empty());
  EXPECT_EQ(p.Dump("end")["Message"], "End");
}

// A question stays on screen under its answers where the list leaves its
// window free; five answers reach down into it, and the question is taken
// away before the list opens, as a message that closes is.
TEST(ScriptGames, AQuestionStaysUnderItsAnswersOnlyWhereTheyLeaveItVisible) {
  const std::string script =
      "BEGIN\r\nLOADMAP \"field.map\" \\ ALLES\r\nADDCHARACTER 1\r\nSETPOS 4 \\ 3\r\n"
      "MSG \"North or south?\"\r\nADDLISTITEM \"North\" \\ 1\r\nADDLISTITEM \"South\" \\ 2\r\n"
      "SHOWLIST\r\nMSG \"Which gate?\"\r\nADDLISTITEM \"1\" \\ 1\r\nADDLISTITEM \"2\" \\ 2\r\n"
      "ADDLISTITEM \"3\" \\ 3\r\nADDLISTITEM \"4\" \\ 4\r\nADDLISTITEM \"5\" \\ 5\r\nSHOWLIST\r\n"
      "END\r\n";
  Replay r(300);
  r.Snap("two").Do("key Enter", 600).Snap("two-answers").Do("key Enter", 600);
  r.Snap("five").Do("key Enter", 600).Snap("five-answers").Do("key Enter", 600);
  const Played p = PlayAutoexec("question", script, r);
  // The right end of the message window, beside the field and out of
  // reach of both lists: what differs from black there, and from the
  // question.
  const auto window = [&p](const std::string& shot, const std::string& from) {
    const Surface a = p.Shot(shot);
    return Changed(a, from.empty() ? Surface(a.Width(), a.Height()) : p.Shot(from), 490, 250, 630,
                   470);
  };
  EXPECT_EQ(p.Dump("two-answers")["CurrentList"], 20);
  EXPECT_GT(window("two", ""), 0);
  EXPECT_EQ(window("two-answers", "two"), 0);
  EXPECT_EQ(p.Dump("five-answers")["CurrentList"], 20);
  EXPECT_GT(window("five", ""), 0);
  EXPECT_EQ(window("five-answers", ""), 0);
}

}  // namespace
}  // namespace yw::e2e
