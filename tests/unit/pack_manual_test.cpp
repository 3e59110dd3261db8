// The authors' documents that travel with the tool: the man page names
// every command and option `yarrowind-pack --help` lists and no other, and
// the starter game points its author to the guide.
#include <fstream>
#include <set>
#include <sstream>

#include "diagnostics.h"
#include "new_game.h"
#include "test_support.h"
#include "usage.h"

namespace yw::pack {
namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> Words(std::string_view line) {
  std::istringstream in{std::string(line)};
  std::vector<std::string> out;
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

// The man page's text with roff's "\-" read as the '-' it prints.
std::string Unescaped(std::string text) {
  for (size_t at; (at = text.find("\\-")) != std::string::npos;) text.replace(at, 2, "-");
  return text;
}

struct Names {
  std::set<std::string> commands, options;
};

// The help's commands (the word after the program's name) and the options
// it names in brackets.
Names FromHelp(std::string_view help) {
  Names out;
  std::istringstream in{std::string(help)};
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> words = Words(line);
    if (!words.empty() && words[0] == "usage:") words.erase(words.begin());
    if (words.size() < 2 || words[0] != "yarrowind-pack") continue;
    out.commands.insert(words[1]);
    for (size_t i = 2; i < words.size(); ++i)
      if (words[i].starts_with("[--"))
        out.options.insert(words[i].substr(1, words[i].find_first_of(" ]") - 1));
  }
  return out;
}

// The man page's commands: the SYNOPSIS lines, and the tagged paragraphs of
// COMMANDS and OPTIONS (the first word after the font macro).
Names FromManPage(const std::string& page, std::set<std::string>& synopsis) {
  Names out;
  std::istringstream in(Unescaped(page));
  std::string section, line;
  bool tag = false;
  while (std::getline(in, line)) {
    const std::vector<std::string> words = Words(line);
    if (words.empty()) continue;
    if (words[0] == ".SH") {
      section = words.size() > 1 ? words[1] : "";
      continue;
    }
    if (section == "SYNOPSIS" && words[0] == ".B" && words.size() > 2 &&
        words[1] == "yarrowind-pack")
      synopsis.insert(words[2]);
    if (tag && words.size() > 1) {
      std::string name = words[1];
      if (!name.empty() && name.front() == '"') name = name.substr(1);
      if (section == "COMMANDS") out.commands.insert(name);
      if (section == "OPTIONS") out.options.insert(name);
    }
    tag = words[0] == ".TP";
  }
  return out;
}

TEST(PackManual, TheManPageNamesEveryCommandAndOptionOfTheHelpAndNoOther) {
  const std::string page = ReadText(fs::path(YW_SOURCE_DIR) / "packaging" / "yarrowind-pack.1");
  ASSERT_FALSE(page.empty());
  const Names help = FromHelp(UsageText());
  ASSERT_GE(help.commands.size(), 5u) << UsageText();
  ASSERT_GE(help.options.size(), 3u) << UsageText();
  std::set<std::string> synopsis;
  const Names manual = FromManPage(page, synopsis);
  EXPECT_EQ(synopsis, help.commands) << "the SYNOPSIS";
  EXPECT_EQ(manual.commands, help.commands) << "the COMMANDS";
  EXPECT_EQ(manual.options, help.options) << "the OPTIONS";
  EXPECT_NE(page.find(".BR yarrowind (6)"), std::string::npos) << "SEE ALSO yarrowind(6)";
}

TEST(PackManual, TheStarterGamePointsToTheInstalledGuideAndTheSourceOne) {
  test::TempDir dir;
  Report report;
  ASSERT_TRUE(WriteStarterGame(dir.path() / "src", report));
  const std::string readme = ReadText(dir.path() / "src" / "README.md");
  EXPECT_NE(readme.find("/usr/share/doc/yarrowind/authoring.md"), std::string::npos) << readme;
  EXPECT_NE(readme.find("docs/authoring.md"), std::string::npos) << readme;
  // The guide it names in a source checkout is there.
  EXPECT_TRUE(fs::exists(fs::path(YW_SOURCE_DIR) / "docs" / "authoring.md"));
}

}  // namespace
}  // namespace yw::pack
