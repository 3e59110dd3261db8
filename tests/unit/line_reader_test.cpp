#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "script/line_reader.h"

namespace yw {
namespace {

using L = std::vector<std::string>;

// All significant lines of a text, read the way the interpreter reads them.
L Lines(std::string_view text) {
  L out;
  for (;;) {
    size_t consumed = 0;
    const std::string_view line = NextLine(text, consumed);
    EXPECT_LE(consumed, text.size());
    text.remove_prefix(consumed);
    if (line.empty()) break;
    out.emplace_back(line);
  }
  EXPECT_TRUE(text.empty());
  return out;
}

TEST(LineReader, SignificantLines) {
  const std::pair<std::string_view, L> cases[] = {
      // Empty lines, blank lines and comments (indented by blanks) are skipped.
      {"BEGIN\r\n\r\n' a comment\r\n  MSG \"x\"\r\n   \r\n  'indented\r\nEND", {"BEGIN", "MSG \"x\"", "END"}},
      // Only CR LF ends a line; a lone CR or LF stays inside it.
      {"A\nB\r\nC\rD", {"A\nB", "C\rD"}},
      {"A\r\n\nB\r\n", {"A", "\nB"}},
      {"A\n\r\nB", {"A\n", "B"}},
      {"END\r", {"END\r"}},
      // A last line without a line end is returned; a last comment is not.
      {"BEGIN\r\nEND", {"BEGIN", "END"}},
      {"BEGIN\r\n'trailing comment", {"BEGIN"}},
      // Tabs are not trimmed, so a comment behind a tab is a line.
      {"\t'comment\r\n\t\t\r\n\tMSG \t\r\n", {"\t'comment", "\t\t", "\tMSG \t"}},
      {"", {}},
      {"   ", {}},
      {"\r\n\r\n\r\n", {}},
      {"''\r\n'", {}},
  };
  for (const auto& [text, lines] : cases) EXPECT_EQ(Lines(text), lines) << text;
}

TEST(LineReader, ReportsTheCharactersTakenAndPointsIntoTheText) {
  const std::string_view text = "  BEGIN  \r\n\r\n' c\r\n  MSG \"x\"\r\n";
  size_t consumed = 0;
  const std::string_view first = NextLine(text, consumed);
  EXPECT_EQ(first, "BEGIN");
  EXPECT_EQ(first.data(), text.data() + 2);  // a view, not a copy
  EXPECT_EQ(consumed, 11u);
  const std::string_view rest = text.substr(consumed);
  EXPECT_EQ(NextLine(rest, consumed), "MSG \"x\"");
  EXPECT_EQ(consumed, rest.size());
  EXPECT_EQ(NextLine(rest.substr(consumed), consumed), "");
  EXPECT_EQ(consumed, 0u);
  EXPECT_EQ(NextLine("' only a comment", consumed), "");
  EXPECT_EQ(consumed, 16u);
}

// Random bytes rich in line ends, blanks and apostrophes: the reader always
// makes progress, stays inside the text and returns trimmed lines.
TEST(LineReader, RandomTextsNeverOverrunOrStall) {
  std::mt19937 gen(1234);
  const std::string alphabet = "\r\n\r\n ' \tAB\x80\xff";
  for (int round = 0; round < 3000; ++round) {
    std::string text(gen() % 64, ' ');
    for (char& c : text) c = (gen() % 4 == 0) ? static_cast<char>(gen()) : alphabet[gen() % alphabet.size()];
    std::string_view rest = text;
    for (int lines = 0;; ++lines) {
      size_t consumed = 0;
      const std::string_view line = NextLine(rest, consumed);
      ASSERT_LE(consumed, rest.size());
      if (line.empty()) break;
      ASSERT_GT(consumed, 0u);
      ASSERT_GE(line.data(), rest.data());
      ASSERT_LE(line.data() + line.size(), rest.data() + rest.size());
      ASSERT_TRUE(line.front() != ' ' && line.back() != ' ' && line.front() != '\'') << line;
      ASSERT_EQ(line.find("\r\n"), std::string_view::npos);
      rest.remove_prefix(consumed);
      ASSERT_LE(lines, 64);
    }
  }
}

}  // namespace
}  // namespace yw
