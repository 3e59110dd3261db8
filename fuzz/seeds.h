// The seed inputs a fuzz target starts from.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace yw::fuzz {

std::vector<std::string> Seeds();

}  // namespace yw::fuzz

// A target that can tell defines this: how many inputs so far reached the
// code the target exists for (for the saved game, a load that succeeded).
// The smoke test then fails when one of the seeds does not reach it.
extern "C" size_t YwFuzzReached() __attribute__((weak));
