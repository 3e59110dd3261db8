// Running the real program headless on a replay and reading what it wrote.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
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
// `workDir` (replay paths are relative to it). A run that has not ended
// after ten minutes of wall time is stopped (exit code 124): a program that
// spins must fail its test, not hold up the suite.
inline RunResult RunReplay(const std::filesystem::path& workDir, const std::filesystem::path& root,
                           std::string_view replay, const std::string& extra = "") {
  std::filesystem::create_directories(workDir);
  test::WriteFile(workDir / "replay.txt", replay);
  const std::string command = "cd '" + workDir.string() + "' && timeout 600 '" YW_BINARY
                              "' --headless --root '" +
                              root.string() + "' --seed 1 " + extra +
                              " --replay replay.txt 2> stderr.txt";
  const int status = std::system(command.c_str());
  RunResult r;
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.stderrText = test::ReadFile(workDir / "stderr.txt");
  return r;
}

// Writes a replay line by line on a running clock: every line is placed at
// the current time, which then moves on by the line's gap.
class Replay {
 public:
  explicit Replay(int64_t start = 0) : t_(start) {}
  Replay& Note(std::string_view text) { return Add("# " + std::string(text), 0, false); }
  Replay& Do(std::string_view action, int gap = 400) { return Add(std::string(action), gap); }
  Replay& Keys(std::string_view key, int times, int gap = 300) {
    for (int i = 0; i < times; ++i) Do("key " + std::string(key), gap);
    return *this;
  }
  Replay& Wait(int ms) {
    t_ += ms;
    return *this;
  }
  Replay& WaitUntil(int64_t ms) {
    t_ = std::max(t_, ms);
    return *this;
  }
  // The clock jumps ahead to `ms`, where the next line is placed.
  Replay& Clock(int64_t ms) {
    Add("clock " + std::to_string(ms), 0);
    t_ = ms;
    return *this;
  }
  // A state dump named `name`; Snap adds a screenshot of the same name.
  Replay& Dump(std::string_view name, int gap = 0) { return Do("dump " + std::string(name) + ".json", gap); }
  Replay& Snap(std::string_view name) { return Dump(name).Do("shot " + std::string(name) + ".png", 100); }
  // The replay so far, ending with quit.
  std::string Text() { return Do("quit").text_; }

 private:
  Replay& Add(const std::string& line, int gap, bool timed = true) {
    text_ += timed ? std::to_string(t_) + " " + line + "\n" : line + "\n";
    t_ += gap;
    return *this;
  }
  int64_t t_;
  std::string text_;
};

// Esc, Save, slot 1 with a description; Esc, Load (with a shot of the list
// of saved games when named), slot 1.
inline Replay& Save(Replay& r, std::string_view what) {
  r.Do("key Esc", 500).Keys("Down", 3, 200).Do("key Enter", 500).Do("key Enter 1", 500);
  return r.Do("type " + std::string(what), 600).Do("key Enter", 800).Dump("saved").Do("key Esc", 600);
}
inline Replay& Load(Replay& r, std::string_view shot = "") {
  r.Do("key Esc", 500).Keys("Down", 4, 200).Do("key Enter", 600);
  if (!shot.empty()) r.Do("shot " + std::string(shot), 0);
  return r.Do("key Enter", 800);
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

// From the title picture through a library of one game and its title menu
// to New: the game's autoexec.skr is running by 1200 ms.
inline Replay StartTheOnlyGame() {
  Replay r(100);
  r.Do("key Space", 200).Keys("Enter", 4, 200);
  return r;
}

// The dumps and screenshots a run left in its folder, by name.
struct Played {
  std::filesystem::path dir;
  nlohmann::json Dump(const std::string& name) const { return LoadDump(dir / (name + ".json")); }
  Surface Shot(const std::string& name) const { return LoadShot(dir / (name + ".png")); }
};

// Plays the replay on the program folder `root` in `out`, expecting a clean
// exit with nothing on stderr.
inline Played Play(const std::filesystem::path& out, const std::filesystem::path& root,
                   std::string_view replay, const std::string& extra = "") {
  const RunResult r = RunReplay(out, root, replay, extra);
  EXPECT_EQ(r.exitCode, 0) << r.stderrText;
  EXPECT_EQ(r.stderrText, "");
  return {out};
}

// Pixels that differ between two shots of the same size, inside a rectangle
// (the whole shot when right is 0).
inline int Changed(const Surface& a, const Surface& b, int left = 0, int top = 0, int right = 0,
                   int bottom = 0) {
  if (right == 0) right = a.Width(), bottom = a.Height();
  int n = 0;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) n += a.At(x, y) != b.At(x, y);
  return n;
}

inline std::filesystem::path GoldenDir() { return std::filesystem::path(YW_E2E_DIR) / "golden"; }

// Compares shot `name` (a PNG in `out`) with tests/e2e/golden/<name>
// pixel for pixel. On a difference the shot is kept in the run's output
// folder as <stem>.actual.png, named in the failure, so both can be looked
// at. With YW_UPDATE_GOLDEN set in the environment the shot replaces the
// golden instead.
inline void ExpectGolden(const std::filesystem::path& out, const std::string& name) {
  namespace fs = std::filesystem;
  const fs::path shot = out / name, golden = GoldenDir() / name;
  const fs::path actual = out / (fs::path(name).stem().string() + ".actual.png");
  ASSERT_TRUE(fs::exists(shot)) << "the run wrote no shot " << name;
  if (std::getenv("YW_UPDATE_GOLDEN") != nullptr) {
    fs::copy_file(shot, golden, fs::copy_options::overwrite_existing);
    return;
  }
  fs::remove(actual);
  const Surface got = LoadShot(shot);
  const Surface want = fs::exists(golden) ? LoadShot(golden) : Surface();
  int differing = 0, firstX = -1, firstY = -1;
  if (got.Width() == want.Width() && got.Height() == want.Height()) {
    for (int y = 0; y < got.Height(); ++y)
      for (int x = 0; x < got.Width(); ++x)
        if (got.At(x, y) != want.At(x, y) && differing++ == 0) firstX = x, firstY = y;
  }
  const bool same = !want.Empty() && got.Width() == want.Width() &&
                    got.Height() == want.Height() && differing == 0;
  if (!same) fs::copy_file(shot, actual, fs::copy_options::overwrite_existing);
  EXPECT_TRUE(same) << "shot " << name << " differs from its golden picture " << golden << ": "
                    << (want.Empty() ? std::string("no golden picture")
                        : got.Width() != want.Width() || got.Height() != want.Height()
                            ? "size " + std::to_string(got.Width()) + "x" +
                                  std::to_string(got.Height()) + " instead of " +
                                  std::to_string(want.Width()) + "x" +
                                  std::to_string(want.Height())
                            : std::to_string(differing) + " pixels, the first at (" +
                                  std::to_string(firstX) + ", " + std::to_string(firstY) + ")")
                    << "; the actual picture is " << actual;
}

// Every run writes under the build folder, one folder per test process; a
// process whose tests all passed removes its folder when it ends, so only
// the output of failures stays behind to be looked at.
inline std::filesystem::path RunOutputDir() {
  return std::filesystem::path(YW_TEST_OUTPUT_DIR) / ("e2e-" + std::to_string(::getpid()));
}

class RemoveOutputOnSuccess : public ::testing::Environment {
 public:
  void TearDown() override {
    std::error_code ec;
    if (::testing::UnitTest::GetInstance()->Passed())
      std::filesystem::remove_all(RunOutputDir(), ec);
  }
};
inline ::testing::Environment* const kRemoveOutputOnSuccess =
    ::testing::AddGlobalTestEnvironment(new RemoveOutputOnSuccess);

inline std::filesystem::path OutputDir(const std::string& name) { return RunOutputDir() / name; }

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

// Gives `key` the value `value` in the settings file `ini`, whose line for
// it must exist.
inline void SetIni(const std::filesystem::path& ini, std::string_view key, const std::string& value) {
  std::string text = test::ReadFile(ini);
  const size_t at = text.find(std::string(key) + "=");
  ASSERT_NE(at, std::string::npos) << key;
  text.replace(at, text.find_first_of("\r\n", at) - at, std::string(key) + "=" + value);
  test::WriteFile(ini, text);
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

// A program folder in `out` whose library holds the test game `game`; a
// walk time given replaces the settings file's.
inline std::filesystem::path ProgramWithGame(const std::filesystem::path& out,
                                             const std::string& game, int walkTime = 0) {
  const auto root = MakeProgramFolder(out);
  if (walkTime > 0) SetIni(root / "yarrowind.ini", "Walktime", std::to_string(walkTime));
  BuildTestGame(game, root);
  return root;
}

}  // namespace yw::e2e
