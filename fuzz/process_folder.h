// A working folder below the temporary folder, named for this process and
// removed when the process ends normally, so that neither the fuzzers nor
// their smoke tests leave folders behind. A crashing run keeps its folder,
// which then shows what the input had written, until the next process with
// the same prefix starts: libFuzzer ends without running destructors, so a
// start removes the folders of processes that are gone.
#pragma once

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
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
    RemoveFoldersOfEndedProcesses(prefix);
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
  static void RemoveFoldersOfEndedProcesses(std::string_view prefix) {
    std::error_code ec;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::filesystem::temp_directory_path(), ec)) {
      const std::string name = entry.path().filename().string();
      if (!name.starts_with(prefix) || name.size() == prefix.size()) continue;
      const std::string pid = name.substr(prefix.size());
      if (!std::all_of(pid.begin(), pid.end(), [](char c) { return c >= '0' && c <= '9'; }))
        continue;
      if (::kill(static_cast<pid_t>(std::strtol(pid.c_str(), nullptr, 10)), 0) == 0 ||
          errno != ESRCH)
        continue;
      std::error_code removeError;
      std::filesystem::remove_all(entry.path(), removeError);
    }
  }

  std::filesystem::path path_;
};

}  // namespace yw::fuzz
