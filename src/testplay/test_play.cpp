#include "testplay/test_play.h"

#include <charconv>
#include <iostream>
#include <sstream>

#include "core/engine.h"
#include "play_build.h"
#include "shell/author_tools.h"
#include "world/paths.h"

namespace yw {

namespace fs = std::filesystem;

namespace {

// Errors shown on screen; the whole report goes to stderr.
constexpr int kShownErrors = 4;

// The problems that stop a reload, for the message box: the first errors
// of the report. Empty when it has none.
std::string Problems(const pack::Findings& findings, std::string_view what) {
  std::cerr << findings.report;
  if (findings.errors.empty()) return {};
  std::string text = "Error: " + std::string(what);
  int shown = 0;
  for (const std::string& error : findings.errors) {
    if (shown++ == kShownErrors) {
      text += "\n(" + std::to_string(findings.errors.size() - kShownErrors) + " more on stderr)";
      break;
    }
    (text += '\n') += error;
  }
  return text;
}

// Where the sources in `src` are built: one folder per source folder.
fs::path BuildFolder(const fs::path& cacheHome, const fs::path& src) {
  char hash[20];
  const auto [end, ec] =
      std::to_chars(hash, hash + sizeof hash, std::hash<std::string>{}(src.string()), 16);
  const std::string tag = ec == std::errc() ? std::string(hash, end) : std::string("0");
  return cacheHome / "yarrowind" / "play" / (src.filename().string() + "-" + tag);
}

bool IsSavedGame(const fs::path& file) {
  const std::string name = ToLower(file.filename().string());
  return name == "temp.tmp" || (name.starts_with("slot") && name.ends_with(".sav"));
}

// Builds the sources into a fresh folder beside `out` and puts it in its
// place, with the games saved in the old one. Returns the problems.
std::string Build(const fs::path& src, const fs::path& out) {
  std::error_code ec;
  const fs::path staging = out.string() + ".new";
  fs::remove_all(staging, ec);
  pack::Findings findings;
  const bool built = pack::BuildForPlay(src, staging, findings);
  std::string problems = Problems(findings, "The game was not built:");
  if (!built && problems.empty()) problems = "Error: The game was not built.";
  if (!problems.empty()) {
    fs::remove_all(staging, ec);
    return problems;
  }
  for (fs::directory_iterator it(out, ec), end; !ec && it != end; it.increment(ec))
    if (it->is_regular_file() && IsSavedGame(it->path()))
      fs::copy_file(it->path(), staging / it->path().filename(), ec);
  fs::remove_all(out, ec);
  fs::rename(staging, out, ec);
  if (ec) return "Error: Cannot write " + out.string();
  return {};
}

}  // namespace

bool IsSourceFolder(const fs::path& dir) { return pack::HoldsSources(dir); }

std::optional<fs::path> SetUpTestPlay(Engine& engine, const fs::path& dir,
                                      const fs::path& cacheHome, std::string& error) {
  AuthorTools& a = engine.author;
  a.testPlay = true;
  a.overlayAllowed = true;
  if (!IsSourceFolder(dir)) {
    a.prepare = [dir](Engine& e) {
      pack::Findings findings;
      pack::CheckForPlay(dir, e.ProgramDir, findings);
      return Problems(findings, "The game has errors:");
    };
    return dir;
  }
  const fs::path out = BuildFolder(cacheHome, dir);
  error = Build(dir, out);
  if (!error.empty()) return std::nullopt;
  a.prepare = [dir, out](Engine&) { return Build(dir, out); };
  return out;
}

}  // namespace yw
