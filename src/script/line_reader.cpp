// The line reader. A line ends only at CR LF (or at the end of the text);
// a lone CR or LF stays inside the line. Blanks around a line are trimmed,
// tabs are not. Empty lines and whole-line comments (first non-blank
// character an apostrophe) are passed over.
#include "script/line_reader.h"

#include "world/paths.h"

namespace yw {

namespace {

// The line begun at `start`, without its line end, and the number of
// characters up to and including that line end.
struct RawLine {
  std::string_view body;
  size_t end;  // index just past the line and its CR LF
};

RawLine TakeRawLine(std::string_view text, size_t start) {
  // The first character always belongs to the line, so a LF there (after
  // the CR LF that ended the previous line) is text, not a line end.
  for (size_t k = start + 1; k < text.size(); ++k) {
    if (text[k] == '\n' && text[k - 1] == '\r') return {text.substr(start, k - 1 - start), k + 1};
  }
  return {text.substr(start), text.size()};
}

}  // namespace

std::string_view NextLine(std::string_view text, size_t& consumed) {
  size_t start = 0;
  while (start < text.size()) {
    const RawLine raw = TakeRawLine(text, start);
    start = raw.end;
    const std::string_view line = TrimBlanks(raw.body);
    if (!line.empty() && line.front() != '\'') {
      consumed = raw.end;
      return line;
    }
  }
  consumed = text.size();
  return {};
}

}  // namespace yw
