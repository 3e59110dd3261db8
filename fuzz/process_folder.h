// A working folder below the temporary folder, named for this process and
// removed when the process ends normally, so that neither the fuzzers nor
// their smoke tests leave folders behind. A crashing run keeps its folder,
// which then shows what the input had written.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>
#include <string_view>

namespace yw::fuzz {

class ProcessFolder {
 public:
  explicit ProcessFolder(std::string_view prefix)
      : path_(std::filesystem::temp_directory_path() /
              (std::string(prefix) + std::to_string(::getpid()))) {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
    std::filesystem::create_directories(path_);
  }
  ~ProcessFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  ProcessFolder(const ProcessFolder&) = delete;
  ProcessFolder& operator=(const ProcessFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace yw::fuzz
