// Reads a line's parameter texts as the evaluator scans them: quoted texts
// are passed over whole, and a number ends at its first non-digit, which
// the evaluator then swallows unread.
#include "expression_lint.h"

#include <cctype>

#include "world/paths.h"

namespace yw::pack {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsOperator(char c) { return c == '+' || c == '-' || c == '*' || c == '/'; }
bool IsWordChar(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }

// The text split at blanks that stand outside quotes, brackets and
// parentheses.
std::vector<std::string> TopLevelWords(std::string_view text) {
  std::vector<std::string> words;
  std::string word;
  bool quoted = false;
  int depth = 0;
  for (char c : text) {
    if (c == '"') quoted = !quoted;
    if (!quoted && (c == '[' || c == '(')) ++depth;
    if (!quoted && (c == ']' || c == ')') && depth > 0) --depth;
    if (c == ' ' && !quoted && depth == 0) {
      if (!word.empty()) words.push_back(word);
      word.clear();
      continue;
    }
    word += c;
  }
  if (!word.empty()) words.push_back(word);
  return words;
}

// Words grouped into the values they form: an operator joins the words on
// both sides of it ("2 + 1" is one value).
std::vector<std::string> Values(const std::vector<std::string>& words) {
  std::vector<std::string> values;
  bool join = false;
  for (const std::string& w : words) {
    const bool op = w.size() == 1 && IsOperator(w[0]);
    if (!values.empty() && (join || op))
      values.back() += " " + w;
    else
      values.push_back(w);
    join = op;
  }
  return values;
}

// Where a comparison of IF stands outside quotes and brackets: its
// position and length, or npos.
std::pair<size_t, size_t> Comparison(std::string_view text) {
  bool quoted = false;
  int depth = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    if (c == '[' || c == '(') ++depth;
    if ((c == ']' || c == ')') && depth > 0) --depth;
    if (depth > 0 || (c != '<' && c != '>' && c != '=')) continue;
    size_t n = 1;
    if (i + 1 < text.size() && (text[i + 1] == '<' || text[i + 1] == '>' || text[i + 1] == '='))
      n = 2;
    return {i, n};
  }
  return {std::string_view::npos, 0};
}

std::string Join(const std::string& word, const std::vector<std::string>& parts) {
  std::string line = word;
  for (size_t i = 0; i < parts.size(); ++i) line += (i == 0 ? " " : " \\ ") + parts[i];
  return line;
}

std::string SeparatedIf(const ParsedLine& line) {
  if (line.params.size() != 1) return {};
  const std::string& text = line.params[0];
  const auto [at, n] = Comparison(text);
  if (at == std::string_view::npos) return {};
  const std::string left(TrimBlanks(std::string_view(text).substr(0, at)));
  const std::string right(TrimBlanks(std::string_view(text).substr(at + n)));
  if (left.empty() || right.empty()) return {};
  return Join(line.word, {left, text.substr(at, n), right});
}

}  // namespace

std::string SeparatedLine(const ParsedLine& line, const ParamCount& count) {
  if (line.params.empty() || line.params.size() >= count.min || count.min < 2) return {};
  if (line.word == "IF") return SeparatedIf(line);
  std::vector<std::string> parts;
  for (const std::string& p : line.params)
    for (const std::string& v : Values(TopLevelWords(p))) parts.push_back(v);
  const bool fits = parts.size() >= count.min &&
                    (count.max == kAnyCount || parts.size() <= count.max) &&
                    (!count.exact || parts.size() == count.min);
  return fits ? Join(line.word, parts) : std::string();
}

std::vector<std::string> BlankRuleSlips(std::string_view text) {
  std::vector<std::string> slips;
  bool quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '"') quoted = !quoted;
    if (quoted || !IsDigit(text[i]) || (i > 0 && (IsDigit(text[i - 1]) || IsWordChar(text[i - 1]))))
      continue;
    size_t end = i;
    while (end < text.size() && IsDigit(text[end])) ++end;
    if (end + 1 >= text.size()) continue;
    const char next = text[end];
    if (!IsOperator(next) && next != '.') continue;
    if (!IsDigit(text[end + 1]) && text[end + 1] != '[' && text[end + 1] != '(') continue;
    size_t stop = end + 1;
    while (stop < text.size() && text[stop] != ' ' && text[stop] != ',' && text[stop] != ']')
      ++stop;
    const std::string written(text.substr(i, stop - i));
    const std::string number(text.substr(i, end - i));
    const std::string rest(text.substr(end + 1, stop - end - 1));
    if (next == '.')
      slips.push_back("'" + written + "': a number has no decimal point; the '.' only ends " +
                      number + " and " + rest + " is read as a second number (for a half, " +
                      "write 1 / 2)");
    else
      slips.push_back("'" + written + "': the '" + std::string(1, next) + "' right after " +
                      number + " only ends the number and is not an operator; write " + number +
                      " " + std::string(1, next) + " " + rest);
    i = end;
  }
  return slips;
}

}  // namespace yw::pack
