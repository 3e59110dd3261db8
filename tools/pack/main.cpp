// yarrowind-pack: the authoring tool.
//
//   yarrowind-pack build SRC_DIR OUT_DIR [--strict]
//                                           compile sources into a game folder
//   yarrowind-pack unpack GAME_DIR SRC_DIR [--format json|tmx]
//                                           turn a game folder into sources
//   yarrowind-pack check GAME_DIR [--program-dir DIR] [--strict]
//                                           lint a game without running it
//   yarrowind-pack new DIR                  write a starter game's sources
//   yarrowind-pack reference [FILE]         write the script language reference
//   yarrowind-pack --help                   the usage (usage.cpp)
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "diagnostics.h"
#include "game_build.h"
#include "new_game.h"
#include "reference_doc.h"
#include "script_lint.h"
#include "usage.h"

namespace {

int Finish(const yw::pack::Report& report, bool ok, bool strict = false) {
  report.Print(std::cout);
  const int warnings = report.WarningCount();
  if (!ok || report.HasErrors()) {
    std::cout << report.ErrorCount() << " error(s)\n";
    return 1;
  }
  if (strict && warnings > 0) {
    std::cout << warnings << " warning(s), which fail with --strict\n";
    return 1;
  }
  return 0;
}

// The reference on stdout or into `file`; fails while a word of the
// language has no explanation.
int WriteReference(const std::string& file) {
  const std::vector<std::string> missing = yw::pack::UnexplainedWords();
  for (const std::string& word : missing) std::cerr << "no explanation for " << word << "\n";
  const std::string text = yw::pack::ScriptReference();
  if (file.empty()) {
    std::cout << text;
  } else {
    std::ofstream out(file, std::ios::binary);
    out << text;
    if (!out.flush()) {
      std::cerr << file << ": cannot be written\n";
      return 1;
    }
  }
  return missing.empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  namespace fs = std::filesystem;
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    std::cout << yw::pack::UsageText();
    return 0;
  }
  yw::pack::Report report;
  bool strict = false;
  if (!args.empty() && (args[0] == "build" || args[0] == "check")) {
    const auto flag = std::find(args.begin() + 1, args.end(), "--strict");
    strict = flag != args.end();
    if (strict) args.erase(flag);
  }
  if (args.size() == 3 && args[0] == "build")
    return Finish(report, yw::pack::BuildGame(args[1], args[2], report), strict);
  const bool format =
      args.size() == 5 && args[3] == "--format" && (args[4] == "json" || args[4] == "tmx");
  if ((args.size() == 3 || format) && args[0] == "unpack")
    return Finish(report,
                  yw::pack::UnpackGame(args[1], args[2], report,
                                       format && args[4] == "tmx" ? yw::pack::MapFormat::Tmx
                                                                  : yw::pack::MapFormat::Json));
  if (args.size() == 2 && args[0] == "new") {
    const bool ok = yw::pack::WriteStarterGame(args[1], report);
    if (ok)
      std::cout << "wrote a starter game's sources to " << args[1] << "; build it with\n"
                << "  yarrowind-pack build " << args[1] << " GAME_DIR\n"
                << "and play it with\n"
                << "  yarrowind --play GAME_DIR\n";
    return Finish(report, ok);
  }
  if ((args.size() == 1 || args.size() == 2) && args[0] == "reference")
    return WriteReference(args.size() == 2 ? args[1] : std::string());
  if ((args.size() == 2 || (args.size() == 4 && args[2] == "--program-dir")) &&
      args[0] == "check") {
    const fs::path game = args[1];
    if (!fs::is_directory(game)) {
      std::cerr << game.string() << ": not a folder\n";
      return 1;
    }
    const fs::path program =
        args.size() == 4 ? fs::path(args[3]) : yw::pack::DefaultProgramDir(game);
    yw::pack::CheckGame(game, program, report);
    return Finish(report, true, strict);
  }
  std::cerr << yw::pack::UsageText();
  return 2;
}
