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

}  // namespace
}  // namespace yw
