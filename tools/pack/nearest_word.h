// The valid word an author most likely meant by a word that is not one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace yw::pack {

// The candidate nearest to `word` by edits of one letter (inserted, removed,
// changed or two swapped), letter case aside, when it is near enough to be a
// slip: one edit for every four letters, at least one. Empty otherwise.
std::string NearestWord(std::string_view word, const std::vector<std::string_view>& candidates);

// " (did you mean 'X'?)" for the nearest candidate, or "".
std::string DidYouMean(std::string_view word, const std::vector<std::string_view>& candidates);

}  // namespace yw::pack
