// The seed inputs a fuzz target starts from.
#pragma once

#include <string>
#include <vector>

namespace yw::fuzz {

std::vector<std::string> Seeds();

}  // namespace yw::fuzz
