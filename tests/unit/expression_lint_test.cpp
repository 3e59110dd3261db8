// The linter names the slips the language reads without complaint: parts
// of a line not separated by backslashes (with the line as it was meant,
// which then runs) and operators written without blanks (which the
// evaluator does not read as operators).
#include <gtest/gtest.h>

#include "lint_fixture.h"

namespace yw::pack {
namespace {

class ExpressionLint : public LintFixture {
 protected:
  // The line the linter suggests, from "did you mean '...'".
  static std::string Meant(const std::string& lint) {
    const std::string mark = "did you mean '";
    const size_t at = lint.find(mark);
    if (at == std::string::npos) return {};
    const size_t end = lint.find("'?", at + mark.size());
    return lint.substr(at + mark.size(), end - at - mark.size());
  }
};

TEST_F(ExpressionLint, PartsWithoutBackslashesGetTheLineAsItWasMeant) {
  MakeMap(20, 20);
  AddCharacters({"Hero"});
  struct Case {
    std::string written, meant;
  } cases[] = {
      {"IF [listitemval] = 1", "IF [listitemval] \\ = \\ 1"},
      {"IF [data party, 1, HP]<=10", "IF [data party, 1, HP] \\ <= \\ 10"},
      {"SETPOS 2 10", "SETPOS 2 \\ 10"},
      {"SETPOS 2 + 1 5", "SETPOS 2 + 1 \\ 5"},
      {"ADDVOODOO 1 2 3 4 5 600", "ADDVOODOO 1 \\ 2 \\ 3 \\ 4 \\ 5 \\ 600"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RunLine(c.written), 15) << c.written;  // as written, it fails
    const std::string lint = Lint(c.written);
    EXPECT_EQ(Meant(lint), c.meant) << lint;
    EXPECT_NE(RunLine(c.meant), 15) << c.meant;  // as meant, it has its parameters
    EXPECT_EQ(Lint(c.meant).find(" needs "), std::string::npos) << Lint(c.meant);
  }
  // Nothing to suggest where the words do not make the parts.
  EXPECT_EQ(Meant(Lint("IF [a]")), "");
  EXPECT_EQ(Meant(Lint("SETPOS 2")), "");
}

TEST_F(ExpressionLint, AnOperatorWithoutBlanksIsNamedWhereItChangesTheValue) {
  // Each slip gives another value than the line with blanks, and only the
  // slip is warned about.
  struct Case {
    std::string slip, fixed;
  } cases[] = {
      {"A 10-2", "A 10 - 2"},
      {"A 3*[b]", "A 3 * [b]"},
      {"A [round 7/2]", "A [round 7 / 2]"},
      {"A 2.5", "A 5 / 2"},
  };
  w().Variables[1] = {ScriptValue{4.0}, ValueKind::Number};  // B
  for (const Case& c : cases) {
    ASSERT_EQ(RunLine(c.slip), 0) << c.slip;  // runs without an error
    const double slipped = Var('A').value.Number();
    ASSERT_EQ(RunLine(c.fixed), 0) << c.fixed;
    EXPECT_NE(slipped, Var('A').value.Number()) << c.slip;
    EXPECT_NE(Lint(c.slip).find("warning: A: '"), std::string::npos) << Lint(c.slip);
    EXPECT_EQ(Lint(c.fixed).find("warning"), std::string::npos) << Lint(c.fixed);
  }
  // Digits inside quotes, in names and before commas are no slips.
  for (const char* clean : {"MSG \"10-2 = 8\"", "A [data party, 1, HP] - 5", "A [random 1, 6]",
                            "PLAYSOUND \"hit-2.wav\"", "SETPOS 2 \\ 10 - 2"})
    EXPECT_EQ(Lint(clean).find("warning"), std::string::npos) << clean << "\n" << Lint(clean);
}

}  // namespace
}  // namespace yw::pack
