// Shared helpers of the unit tests: a headless engine over a temporary
// program folder, and small file writers.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/headless/headless_platform.h"
#include "platform/sdl/sdl_image_codec.h"
#include "shell/engine.h"

namespace yw::test {

// A fresh folder under the build folder, removed again at the end of the
// test.
class TempDir {
 public:
  TempDir() {
    static int counter = 0;
    path_ = std::filesystem::path(YW_TEST_OUTPUT_DIR) /
            ("unit-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline void WriteFile(const std::filesystem::path& file, std::string_view bytes) {
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// An engine on a headless platform whose program folder is a temporary
// folder (or the given one).
struct TestEngine {
  explicit TestEngine(std::filesystem::path programDir = {})
      : platform(&codec), engine(platform, programDir.empty() ? dir.path() : programDir) {}
  TempDir dir;
  SdlImageCodec codec;
  HeadlessPlatform platform;
  Engine engine;
};

}  // namespace yw::test
