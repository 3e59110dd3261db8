// The program's command line.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"

namespace yw {

struct Options {
  bool headless = false;
  std::filesystem::path root;  // the program folder; empty: beside the executable
  std::optional<uint32_t> seed;
  uint32_t tickMs = 1;
  std::optional<Millis> maxMs;  // unset: ten minutes after the replay's last event
  std::filesystem::path replay;
  std::filesystem::path record;  // --record: the replay file to write of a windowed session
  std::filesystem::path play;    // --play: the game folder to start at once
  int scale = 0;                 // 0: the player's settings, else the largest that fits
  bool fullscreen = false;
  bool help = false;
};

// Parses argv[1..]; false with a message in `error` on a bad argument.
bool ParseCommandLine(const std::vector<std::string>& args, Options& options, std::string& error);

std::string UsageText();

}  // namespace yw
