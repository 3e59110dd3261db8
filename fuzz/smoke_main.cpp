// Runs a fuzz target without a fuzzing engine: over the seed inputs and a
// fixed number of deterministic mutations of them, so that every test run
// exercises the target on malformed input.
//
//   smoke_<target> [CORPUS_DIR [MUTATIONS_PER_SEED]]
//
// The seeds are the target's compiled-in ones and the files of CORPUS_DIR.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
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

// The files of `dir` in name order, so that every run makes the same inputs.
std::vector<std::string> CorpusFiles(const std::filesystem::path& dir) {
  std::vector<std::filesystem::path> names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(dir, ec))
    if (entry.is_regular_file()) names.push_back(entry.path());
  std::sort(names.begin(), names.end());
  std::vector<std::string> out;
  for (const auto& name : names) {
    std::ifstream in(name, std::ios::binary);
    out.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> seeds = yw::fuzz::Seeds();
  if (argc > 1) {
    std::vector<std::string> files = CorpusFiles(argv[1]);
    seeds.insert(seeds.end(), files.begin(), files.end());
  }
  const int mutations = argc > 2 ? std::atoi(argv[2]) : 3000;
  if (seeds.empty()) {
    std::fprintf(stderr, "no seeds\n");
    return 1;
  }
  std::mt19937 rng(12345);
  size_t runs = 0, unreached = 0;
  for (const std::string& seed : seeds) {
    const size_t reachedBefore = YwFuzzReached ? YwFuzzReached() : 0;
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(seed.data()), seed.size());
    ++runs;
    if (YwFuzzReached && YwFuzzReached() == reachedBefore) {
      std::fprintf(stderr, "seed %zu (%zu bytes) did not reach the target's code\n",
                   static_cast<size_t>(&seed - seeds.data()) + 1, seed.size());
      ++unreached;
    }
    std::string current = seed;
    for (int i = 0; i < mutations; ++i) {
      current = (i % 50 == 0) ? seed : Mutate(current, rng);
      LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(current.data()), current.size());
      ++runs;
    }
  }
  std::printf("%zu inputs", runs);
  if (YwFuzzReached) std::printf(", %zu reached the target's code", YwFuzzReached());
  std::printf("\n");
  return unreached == 0 ? 0 : 1;
}
