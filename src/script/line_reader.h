// The line reader: the next significant line of a script text.
#pragma once

#include <cstddef>
#include <string_view>

namespace yw {

// Returns the first significant line of `text` (blanks trimmed; empty
// lines, blank lines and whole-line comments skipped) and sets `consumed`
// to the number of characters taken from the front of `text`. Only CR LF
// ends a line. An empty result means the text is used up.
std::string_view NextLine(std::string_view text, size_t& consumed);

}  // namespace yw
