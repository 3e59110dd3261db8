// Helpers of the linter tests: one line run by the interpreter and checked
// by the linter, in a game where every named file exists.
#pragma once

#include <string>

#include "diagnostics.h"
#include "interpreter_test_support.h"
#include "script_lint.h"

namespace yw::pack {

inline std::string Joined(const Report& r) {
  std::string s;
  for (const Diagnostic& d : r.Items()) s += Format(d) + "\n";
  return s;
}

class LintFixture : public test::ScriptFixture {
 protected:
  uint8_t RunLine(const std::string& line) { return RunBody({line}); }
  // The linter's report on a script of BEGIN, the line and END.
  std::string Lint(const std::string& line) {
    GameIndex index;
    index.fileExists = [](std::string_view) { return true; };
    index.pictureExists = [](std::string_view) { return true; };
    Report report;
    CheckScript("t.skr", "BEGIN\r\n" + line + "\r\nEND\r\n", index, report);
    return Joined(report);
  }
};

}  // namespace yw::pack
