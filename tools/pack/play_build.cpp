#include "play_build.h"

#include <sstream>

#include "diagnostics.h"
#include "game_build.h"
#include "script_lint.h"

namespace yw::pack {

namespace {

void Collect(const Report& report, Findings& findings) {
  std::ostringstream text;
  report.Print(text);
  findings.report = text.str();
  findings.errors.clear();
  for (const Diagnostic& d : report.Items())
    if (d.severity == Severity::Error) findings.errors.push_back(Format(d));
}

}  // namespace

bool BuildForPlay(const std::filesystem::path& srcDir, const std::filesystem::path& outDir,
                  Findings& findings) {
  Report report;
  const bool built = BuildGame(srcDir, outDir, report);
  Collect(report, findings);
  return built;
}

void CheckForPlay(const std::filesystem::path& gameDir, const std::filesystem::path& programDir,
                  Findings& findings) {
  Report report;
  CheckGame(gameDir, programDir, report);
  Collect(report, findings);
}

}  // namespace yw::pack
