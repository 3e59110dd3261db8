#include "nearest_word.h"

#include <algorithm>
#include <cctype>

namespace yw::pack {

namespace {

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// Edits between a and b, two neighbouring letters swapped counting as one.
size_t Distance(std::string_view a, std::string_view b) {
  std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
  for (size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (size_t i = 1; i <= a.size(); ++i)
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t change = Lower(a[i - 1]) == Lower(b[j - 1]) ? 0 : 1;
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + change});
      if (i > 1 && j > 1 && Lower(a[i - 1]) == Lower(b[j - 2]) &&
          Lower(a[i - 2]) == Lower(b[j - 1]))
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
    }
  return d[a.size()][b.size()];
}

}  // namespace

std::string NearestWord(std::string_view word, const std::vector<std::string_view>& candidates) {
  // Words past a line's length are not slips of a word; comparing them
  // would only cost time.
  if (word.empty() || word.size() > 64) return {};
  const size_t allowed = std::max<size_t>(1, word.size() / 4);
  std::string_view best;
  size_t bestDistance = allowed + 1;
  for (std::string_view c : candidates) {
    const size_t gap = c.size() > word.size() ? c.size() - word.size() : word.size() - c.size();
    if (gap > allowed) continue;
    const size_t d = Distance(word, c);
    if (d < bestDistance) best = c, bestDistance = d;
  }
  return std::string(best);
}

std::string DidYouMean(std::string_view word, const std::vector<std::string_view>& candidates) {
  const std::string near = NearestWord(word, candidates);
  return near.empty() ? std::string() : " (did you mean '" + near + "'?)";
}

}  // namespace yw::pack
