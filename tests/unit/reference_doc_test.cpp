// The authors' reference says what the runtime does: it is current with
// the language's tables, every word has its entry, every command example is
// a line the linter accepts and every term example gives what the
// reference says it gives.
#include "reference_doc.h"

#include <fstream>
#include <sstream>

#include "reference_text.h"
#include "script/expressions_detail.h"
#include "script/language.h"
#include "script/script_engine.h"
#include "script_lint.h"
#include "test_support.h"

namespace yw::pack {
namespace {

std::string ReadText(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(Reference, TheCommittedReferenceIsTheOneTheTablesWrite) {
  const std::string committed =
      ReadText(std::filesystem::path(YW_SOURCE_DIR) / "docs" / "reference.md");
  EXPECT_EQ(committed, ScriptReference())
      << "docs/reference.md is out of date: run yarrowind-pack reference docs/reference.md";
}

TEST(Reference, EveryCommandAndErrorHasItsEntry) {
  EXPECT_TRUE(UnexplainedWords().empty()) << UnexplainedWords().front();
  const std::string text = ScriptReference();
  for (const CommandEntry& entry : CommandTable()) {
    // The variables share one entry, under A.
    const bool letter = entry.word.size() == 1 && entry.word != "A";
    if (!letter) {
      EXPECT_NE(text.find("\n### " + std::string(entry.word)), std::string::npos) << entry.word;
    }
    for (const KeywordParam& k : entry.keywords)
      for (std::string_view w : k.words)
        EXPECT_NE(text.find("`" + std::string(w) + "`"), std::string::npos) << w;
  }
  for (uint8_t code = 1; code <= 26; ++code)
    EXPECT_NE(text.find(ScriptErrorMessage(code)), std::string::npos) << int(code);
  for (const ActorActionWord& a : kActorActions)
    EXPECT_NE(text.find("`" + std::string(a.word) + "`"), std::string::npos) << a.word;
}

TEST(Reference, EveryCommandExampleIsALineTheLinterAccepts) {
  GameIndex index;
  index.scripts = {"shop.skr"};
  index.fileExists = [](std::string_view) { return true; };
  index.pictureExists = [](std::string_view) { return true; };
  for (const CommandHelp& help : CommandHelps()) {
    const std::string example(help.example);
    std::string body = example;
    // Lines that only make sense inside a block or a fight get theirs.
    if (example == "ELSE") body = "IF 1 \\ = \\ 1\r\nELSE\r\nENDIF";
    if (example == "ENDIF") body = "IF 1 \\ = \\ 1\r\nENDIF";
    if (example.starts_with("IF ")) body += "\r\nENDIF";
    if (example == "END") body = "";
    Report report;
    CheckScript("example.skr", "BEGIN\r\n" + body + "\r\nEND\r\n", index, report);
    std::ostringstream problems;
    report.Print(problems);
    EXPECT_EQ(report.ErrorCount(), 0) << example << "\n" << problems.str();
    EXPECT_EQ(report.WarningCount(), 0) << example << "\n" << problems.str();
  }
}

// The example world the reference describes for its term examples.
class TermExamples : public ::testing::Test {
 protected:
  TermExamples() {
    World& w = t.engine.world;
    w.CharacterCount = 2, w.ItemCount = 1, w.PartyCount = 1;
    w.Characters.Resize(2), w.Items.Resize(1), w.Party.Resize(1);
    Character& hero = w.Characters[1];
    hero.NAME = "Hero", hero.HP = 30, hero.MAXHP = 40, hero.EP = 31;
    w.Characters[2].NAME = "Wolf";
    w.Items[1].NAME = "Potion";
    w.Party[1] = PartyMember{"Hero", 1, hero};
  }
  std::string Gives(std::string_view expression) {
    ValueKind kind = ValueKind::Undecided;
    const ScriptValue v = Evaluate(t.engine, expression, kind);
    if (v.IsNumber()) return NumberText(v.Number());
    if (v.IsText()) return v.Text();
    return kind == ValueKind::Undecided ? "" : "?";
  }
  test::TestEngine t;
};

TEST_F(TermExamples, EachGivesWhatTheReferenceSays) {
  for (const TermHelp& term : TermHelps())
    EXPECT_EQ(Gives(term.example), term.result) << term.example;
}

}  // namespace
}  // namespace yw::pack
