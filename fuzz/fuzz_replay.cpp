// Feeds arbitrary text to the replay parser.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "shell/replay.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<yw::ReplayEvent> events;
  std::string error;
  yw::ParseReplay(std::string_view(reinterpret_cast<const char*>(data), size), "/fuzz", events,
                  error);
  return 0;
}
