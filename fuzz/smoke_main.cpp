// Runs a fuzz target without a fuzzing engine: over the seed inputs and a
// fixed number of deterministic mutations of them, so that every test run
// exercises the target on malformed input.
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "seeds.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

std::string Mutate(std::string s, std::mt19937& rng) {
  std::uniform_int_distribution<int> op(0, 5);
  const int edits = 1 + static_cast<int>(rng() % 8);
  for (int i = 0; i < edits; ++i) {
    const size_t at = s.empty() ? 0 : rng() % (s.size() + 1);
    switch (op(rng)) {
      case 0:  // flip a byte
        if (!s.empty()) s[at % s.size()] = static_cast<char>(rng());
        break;
      case 1:  // insert a byte
        s.insert(s.begin() + static_cast<std::ptrdiff_t>(at), static_cast<char>(rng()));
        break;
      case 2:  // cut the rest
        s.resize(at);
        break;
      case 3:  // an extreme 16-bit value
        if (at + 1 < s.size()) {
          s[at] = static_cast<char>(rng() % 2 ? 0xFF : 0x7F);
          s[at + 1] = static_cast<char>(rng() % 2 ? 0xFF : 0x7F);
        }
        break;
      case 4:  // repeat a slice
        if (!s.empty()) s.insert(at, s.substr(rng() % s.size(), rng() % 16));
        break;
      default:  // erase a slice
        if (!s.empty()) s.erase(at % s.size(), rng() % 8);
        break;
    }
  }
  return s;
}

}  // namespace

int main() {
  const std::vector<std::string> seeds = yw::fuzz::Seeds();
  std::mt19937 rng(12345);
  size_t runs = 0;
  for (const std::string& seed : seeds) {
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(seed.data()), seed.size());
    ++runs;
    std::string current = seed;
    for (int i = 0; i < 3000; ++i) {
      current = (i % 50 == 0) ? seed : Mutate(current, rng);
      LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(current.data()), current.size());
      ++runs;
    }
  }
  std::printf("%zu inputs\n", runs);
  return 0;
}
