// Feeds arbitrary text to the replay parser.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "shell/replay.h"

namespace {
size_t parsed = 0;  // inputs read as a whole replay
}  // namespace

// For the smoke test: every seed is a replay that parses.
extern "C" size_t YwFuzzReached() { return parsed; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<yw::ReplayEvent> events;
  std::string error;
  if (yw::ParseReplay(std::string_view(reinterpret_cast<const char*>(data), size), "/fuzz", events,
                      error))
    ++parsed;
  return 0;
}
