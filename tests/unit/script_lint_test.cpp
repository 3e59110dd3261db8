// The linter knows what the interpreter does: every command, the parameter
// counts at which a line fails and the keywords it accepts; and `build`
// warns about what runs wrongly or never, at the source line.
#include "script_lint.h"

#include <gtest/gtest.h>

#include "audio_test_files.h"
#include "diagnostics.h"
#include "game_build.h"
#include "lint_fixture.h"
#include "script/interpreter.h"
#include "world/paths.h"

namespace yw::pack {
namespace {

namespace fs = std::filesystem;

class ScriptLintTest : public LintFixture {
 protected:
  // A line of `n` parameters: a keyword position gets `word` at `at`, else
  // its first word; any other position a text naming an existing file.
  static std::string Line(const CommandEntry& c, size_t n, size_t at = SIZE_MAX,
                          std::string_view word = {}) {
    std::string line(c.word);
    for (size_t k = 0; k < n; ++k) {
      std::string param = "\"f\"";
      for (const KeywordParam& kw : c.keywords)
        if (kw.index == k) param = k == at ? std::string(word) : std::string(kw.words.front());
      line += (k == 0 ? " " : " \\ ") + param;
    }
    return line;
  }
};

TEST_F(ScriptLintTest, KnowsEveryCommandWithTheCountsAndKeywordsTheInterpreterAccepts) {
  test::WriteFile(e().CurrentDir / "f", "not a data file");
  EXPECT_EQ(Lint("WOBBLE").find("did you mean"), std::string::npos);  // no word is near
  for (const CommandEntry& c : CommandTable()) {
    // A slip of the word is named with a command it may have meant.
    const std::string slip = std::string(c.word) + c.word.back();
    if (!FindCommandEntry(slip)) {
      EXPECT_NE(Lint(slip).find("(did you mean '"), std::string::npos) << slip;
    }
    const size_t top = c.count.max == kAnyCount ? c.count.min + 3u : c.count.max + 1u;
    for (size_t n = 0; n <= top; ++n) {
      const std::string line = Line(c, n);
      const std::string lint = Lint(line);
      EXPECT_EQ(lint.find("unknown command"), std::string::npos) << lint;
      // "Not enough parameters" exactly where the linter says a count is short;
      // "Unknown parameters" only where it finds a word the command does not
      // take, and such a line never runs cleanly.
      const uint8_t code = RunLine(line);
      const bool unknownWord = lint.find("unknown parameter") != std::string::npos;
      EXPECT_EQ(code == 15, lint.find(" needs ") != std::string::npos) << line << "\n" << lint;
      EXPECT_TRUE(code == 13 ? unknownWord : !unknownWord || code != 0) << line << "\n" << lint;
    }
    for (const KeywordParam& kw : c.keywords) {
      const size_t n = std::max<size_t>(c.count.min, kw.index + 1u);
      const std::string bad = Line(c, n, kw.index, "BOGUS");
      EXPECT_EQ(RunLine(bad), 13) << bad;
      EXPECT_NE(Lint(bad).find("unknown parameter 'BOGUS'"), std::string::npos) << bad;
      for (std::string_view word : kw.words) {
        const std::string good = Line(c, n, kw.index, ToLower(word));
        EXPECT_NE(RunLine(good), 13) << good;
        EXPECT_EQ(Lint(good).find("unknown parameter"), std::string::npos) << good;
      }
    }
  }
}

// Each warning once, at the line of the source to change; warnings alone do
// not fail the build.
TEST(PackWarnings, PointAtTheSourceLine) {
  test::TempDir dir;
  const fs::path src = dir.path() / "src";
  test::WriteFile(src / "autoexec.skr",
                  "BEGIN\nLOADEVENTS \"room.evm\" \\ ALLES\nA [a] + 1\nRUNSCRIPT \"gone.skr\"\n"
                  "PLAYSOUND \"gsm.wav\"\nPLAYAMBIENT \"gsm\"\nLOADTILES \"deep.til\"\nEND\n"
                  "MSG \"never\"\n");
  // Files that exist but cannot be used: a GSM 6.10 WAV and a 12-bit JPEG.
  std::string gsm = test::LevelWav(0.1, 100);
  gsm[20] = 0x31;
  test::WriteFile(src / "gsm.wav", gsm);
  test::WriteFile(src / "deep.jpg", std::string("\xFF\xD8\xFF\xC0\x00\x0B\x0C\x00\x10\x00\x10\x01"
                                                "\x01\x11\x00\xFF\xD9",
                                                17));
  test::WriteFile(src / "deep.til.json",
                  "{\"kind\": \"tilemap\", \"file\": \"deep.til\",\n"
                  " \"picture\": \"deep\", \"tileWidth\": 16, \"tileHeight\": 16,\n"
                  " \"tiles\": [{\"x\": 0, \"y\": 0}]}\n");
  test::WriteFile(src / "door.skr", "BEGIN\nEND\n");
  test::WriteFile(src / "tiles.til.json",
                  "{\"kind\": \"tilemap\", \"file\": \"tiles.til\",\n"
                  " \"picture\": \"nowhere.bmp\", \"tileWidth\": 16, \"tileHeight\": 16,\n"
                  " \"tiles\": [{\"x\": 0, \"y\": 0}]}\n");
  test::WriteFile(src / "items.json",
                  "{\"kind\": \"items\", \"items\": [\n {\"NAME\": \"Tea\"},\n"
                  " {\"NAME\": \"Key\", \"SCRIPT\": \"lost.skr\"}]}\n");
  const std::string object = R"({"x": 16, "y": 0, "width": 16, "height": 16, "properties": [)"
                             R"({"name": "enter", "type": "string", "value": "door.skr"},)"
                             R"({"name": "leave", "type": "string", "value": "DOOR.skr"}]})";
  test::WriteFile(
      src / "room.tmj",
      R"({"type": "map", "orientation": "orthogonal", "width": 2, "height": 1,)"
      "\n"
      R"("tilewidth": 16, "tileheight": 16, "tilesets": [{"firstgid": 1, "name": "t"}],)"
      "\n"
      R"("properties": [{"name": "tilemap", "type": "string", "value": "tiles.til"}],)"
      "\n"
      R"("layers": [{"type": "tilelayer", "name": "tiles", "width": 2, "height": 1, "data": [1, 1]},)"
      "\n"
      R"({"type": "objectgroup", "name": "events", "objects": [)"
      "\n" +
          object + "]}]}\n");
  // A tile sheet without a picture it can use leaves its maps black: that
  // alone fails the build.
  Report report;
  EXPECT_FALSE(BuildGame(src, dir.path() / "game", report)) << Joined(report);
  const std::string all = Joined(report);
  for (const char* expected :
       {"autoexec.skr:3: warning: A [A] ...: while A is being given a new value, [A] reads as "
        "nothing, so A [A] + 1 always gives 1",
        "autoexec.skr:4: warning: RUNSCRIPT: script 'gone.skr' not found",
        "autoexec.skr:5: warning: PLAYSOUND: sound 'gsm.wav' will not play: unsupported WAV "
        "encoding GSM 6.10",
        "autoexec.skr:6: warning: PLAYAMBIENT: sound 'gsm.wav' will not play: unsupported WAV "
        "encoding GSM 6.10",
        "autoexec.skr:9: warning: this line and every line after it come after the script's END",
        "tiles.til.json:2: picture: 'nowhere.bmp' not found",
        "deep.til.json:2: picture: 'deep' cannot be used (unsupported: 12-bit JPEG)",
        "items.json:3: warning: item 2 'Key': SCRIPT: script 'lost.skr' not found",
        "room.tmj:6: warning: cell 2, 1: 'door.skr' is both the enter and the leave script"})
    EXPECT_NE(all.find(expected), std::string::npos) << expected << "\n" << all;
  EXPECT_EQ(report.WarningCount(), 7) << all;
  EXPECT_EQ(report.ErrorCount(), 2) << all;
}

}  // namespace
}  // namespace yw::pack
