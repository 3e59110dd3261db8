// Running the real program headless on a replay and reading what it wrote.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "game_build.h"
#include "platform/sdl/sdl_image_codec.h"
#include "render/surface.h"
#include "test_support.h"

namespace yw::e2e {

struct RunResult {
  int exitCode = -1;
  std::string stderrText;
};

// Runs `yarrowind --headless --root root --seed 1 <extra> --replay replay.txt` in
// `workDir` (replay paths are relative to it).
inline RunResult RunReplay(const std::filesystem::path& workDir, const std::filesystem::path& root,
                           std::string_view replay, const std::string& extra = "") {
  std::filesystem::create_directories(workDir);
  test::WriteFile(workDir / "replay.txt", replay);
  const std::string command = "cd '" + workDir.string() + "' && '" YW_BINARY "' --headless --root '" +
                              root.string() + "' --seed 1 " + extra +
                              " --replay replay.txt 2> stderr.txt";
  const int status = std::system(command.c_str());
  RunResult r;
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.stderrText = test::ReadFile(workDir / "stderr.txt");
  return r;
}

inline nlohmann::json LoadDump(const std::filesystem::path& file) {
  return nlohmann::json::parse(test::ReadFile(file));
}

inline Surface LoadShot(const std::filesystem::path& file) {
  SdlImageCodec codec;
  Surface s;
  EXPECT_TRUE(codec.Load(file, s)) << file;
  return s;
}

// The smallest rectangle holding every pixel that is not black.
struct Box {
  int left = 0, top = 0, right = -1, bottom = -1;  // inclusive; right < left when empty
  bool Empty() const { return right < left; }
  double CentreX() const { return (left + right + 1) / 2.0; }
  double CentreY() const { return (top + bottom + 1) / 2.0; }
};

inline Box InkBox(const Surface& s) {
  Box b{s.Width(), s.Height(), -1, -1};
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x)
      if (s.At(x, y) != 0) {
        b.left = std::min(b.left, x);
        b.right = std::max(b.right, x);
        b.top = std::min(b.top, y);
        b.bottom = std::max(b.bottom, y);
      }
  if (b.right < 0) b = Box{};
  return b;
}

inline std::filesystem::path OutputDir(const std::string& name) {
  return std::filesystem::temp_directory_path() / ("yw-e2e-" + std::to_string(::getpid())) / name;
}

inline std::filesystem::path DataDir() { return std::filesystem::path(YW_SOURCE_DIR) / "data"; }

// Test games live as readable sources in tests/e2e/games/<name> (JSON tables
// and sheets, Tiled maps, scripts). This builds one into
// `root`/games/<as> with the authoring tool's own compiler, so a test can
// make a program folder holding exactly the games it needs.
inline void BuildTestGame(const std::string& name, const std::filesystem::path& root,
                          const std::string& as = "") {
  const auto src = std::filesystem::path(YW_E2E_DIR) / "games" / name;
  pack::Report report;
  const bool ok = pack::BuildGame(src, root / "games" / (as.empty() ? name : as), report);
  std::ostringstream problems;
  report.Print(problems);
  ASSERT_TRUE(ok) << problems.str();
}

// A program folder in `out` with the interface pictures and settings of the
// bundled one and an empty game library, for BuildTestGame to fill.
inline std::filesystem::path MakeProgramFolder(const std::filesystem::path& out) {
  const auto root = out / "root";
  std::filesystem::remove_all(root);
  std::filesystem::create_directories(root / "games");
  for (const auto& entry : std::filesystem::directory_iterator(DataDir()))
    if (entry.is_regular_file())
      std::filesystem::copy_file(entry.path(), root / entry.path().filename(),
                                 std::filesystem::copy_options::overwrite_existing);
  return root;
}

}  // namespace yw::e2e
