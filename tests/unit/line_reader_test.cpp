#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "script/line_reader.h"

namespace yw {
namespace {

// All significant lines of a text, read the way the interpreter reads them.
std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> out;
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

using L = std::vector<std::string>;

TEST(LineReader, SkipsEmptyBlankAndCommentLines) {
  const std::string text = "BEGIN\r\n\r\n' a comment\r\n  MSG \"x\"\r\n   \r\n  'indented comment\r\nEND";
  EXPECT_EQ(Lines(text), (L{"BEGIN", "MSG \"x\"", "END"}));
}

TEST(LineReader, ReportsTheCharactersTaken) {
  const std::string_view text = "BEGIN\r\n\r\n' c\r\n  MSG \"x\"\r\n";
  size_t consumed = 0;
  EXPECT_EQ(NextLine(text, consumed), "BEGIN");
  EXPECT_EQ(consumed, 7u);
  const std::string_view rest = text.substr(consumed);
  EXPECT_EQ(NextLine(rest, consumed), "MSG \"x\"");
  EXPECT_EQ(consumed, rest.size());
  EXPECT_EQ(NextLine(rest.substr(consumed), consumed), "");
  EXPECT_EQ(consumed, 0u);
}

TEST(LineReader, TheLineIsAViewIntoTheText) {
  const std::string text = "  END  \r\n";
  size_t consumed = 0;
  const std::string_view line = NextLine(text, consumed);
  EXPECT_EQ(line.data(), text.data() + 2);
}

TEST(LineReader, OnlyCarriageReturnLineFeedEndsALine) {
  EXPECT_EQ(Lines("A\nB\r\nC\rD"), (L{"A\nB", "C\rD"}));
  EXPECT_EQ(Lines("A\r\n\nB\r\n"), (L{"A", "\nB"}));
  EXPECT_EQ(Lines("A\n\r\nB"), (L{"A\n", "B"}));
  // A lone CR at the very end stays in the line.
  EXPECT_EQ(Lines("END\r"), (L{"END\r"}));
}

TEST(LineReader, LastLineWithoutLineEnd) {
  EXPECT_EQ(Lines("BEGIN\r\nEND"), (L{"BEGIN", "END"}));
  EXPECT_EQ(Lines("BEGIN\r\n'trailing comment"), (L{"BEGIN"}));
  size_t consumed = 99;
  EXPECT_EQ(NextLine("' only a comment", consumed), "");
  EXPECT_EQ(consumed, 16u);
}

TEST(LineReader, TabsAreNotTrimmed) {
  EXPECT_EQ(Lines("\t'comment\r\n\t\t\r\n\tMSG \t\r\n"), (L{"\t'comment", "\t\t", "\tMSG \t"}));
}

TEST(LineReader, EmptyAndBlankTexts) {
  EXPECT_EQ(Lines(""), L{});
  EXPECT_EQ(Lines("   "), L{});
  EXPECT_EQ(Lines("\r\n\r\n\r\n"), L{});
  EXPECT_EQ(Lines("''\r\n'"), L{});
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
    int lines = 0;
    for (;;) {
      size_t consumed = 0;
      const std::string_view line = NextLine(rest, consumed);
      ASSERT_LE(consumed, rest.size());
      if (line.empty()) break;
      ASSERT_GT(consumed, 0u);
      ASSERT_GE(line.data(), rest.data());
      ASSERT_LE(line.data() + line.size(), rest.data() + rest.size());
      ASSERT_NE(line.front(), ' ');
      ASSERT_NE(line.back(), ' ');
      ASSERT_NE(line.front(), '\'');
      ASSERT_EQ(line.find("\r\n"), std::string_view::npos);
      rest.remove_prefix(consumed);
      ASSERT_LE(++lines, 64);
    }
  }
}

}  // namespace
}  // namespace yw
