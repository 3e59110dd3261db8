// The expression scanner: one pass from left to right, no precedence. A
// number accumulator and a text accumulator collect the parts; which one
// is the result depends on the evaluation kind, which the first typed part
// decides when the caller leaves it open.
#include <cfloat>
#include <cmath>

#include "script/expressions.h"
#include "script/expressions_detail.h"
#include "script/script_engine.h"
#include "world/paths.h"

namespace yw {

float ToSingle(double v) {
  if (std::isnan(v)) return NAN;
  if (v > FLT_MAX) return INFINITY;
  if (v < -FLT_MAX) return -INFINITY;
  return static_cast<float>(v);
}

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Index just past the `close` that matches an opening one whose content
// starts at `from`; nesting counts outside double quotes only. Without a
// match the content runs to the end of the text.
size_t MatchingClose(std::string_view s, size_t from, char open, char close) {
  int depth = 1;
  bool quoted = false;
  for (size_t k = from; k < s.size(); ++k) {
    const char c = s[k];
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && c == open) {
      ++depth;
    } else if (!quoted && c == close && --depth == 0) {
      return k;
    }
  }
  return s.size();
}

struct Scanner {
  Scanner(Engine& engine, std::string_view source, ValueKind& k, int d)
      : e(engine), s(source), kind(k), depth(d) {}

  Engine& e;
  std::string_view s;
  ValueKind& kind;
  int depth;
  size_t i = 0;
  float number = 0;
  char pending = '+';
  std::string text;

  void Combine(double value) {
    const float v = ToSingle(value);
    switch (pending) {
      case '+': number = v + number; break;
      case '-': number = number - v; break;
      case '*': number = v * number; break;
      // Division by 0 gives 0 rather than an infinity or NaN.
      case '/': number = (v == 0.0f) ? 0.0f : number / v; break;
      default: break;
    }
  }

  // A term or parenthesis result goes to the text when the kind is not
  // number, else into the number accumulator. While the kind is still open
  // a number can arrive (a variable read in its own assignment, which has
  // made its kind open): it joins the text as decimal text.
  void Take(const ScriptValue& v) {
    if (kind != ValueKind::Number) {
      if (v.IsText()) text += std::get<std::string>(v.v);
      if (v.IsNumber()) text += NumberText(v.Number());
    } else {
      Combine(v.Number());
    }
  }

  void Parenthesis() {
    const size_t start = i + 1;
    const size_t close = MatchingClose(s, start, '(', ')');
    const ScriptValue inner = EvaluateAt(e, s.substr(start, close - start), kind, depth + 1);
    i = close + 1;
    Take(inner);
  }

  void Digits() {
    double value = 0;
    while (i < s.size() && IsDigit(s[i])) value = value * 10 + (s[i++] - '0');
    ++i;  // the separator after the run
    Combine(value);
    if (kind == ValueKind::Undecided) kind = ValueKind::Number;
  }

  void Quote() {
    const size_t start = i + 1;
    size_t close = s.find('"', start);
    if (close == std::string_view::npos) close = s.size();
    text += s.substr(start, close - start);
    i = close + 2;  // the closing quote and the character after it
    if (kind == ValueKind::Undecided) kind = ValueKind::Text;
  }

  void Term() {
    size_t k = i + 1;
    while (k < s.size() && s[k] == ' ') ++k;
    const size_t keywordStart = k;
    while (k < s.size() && s[k] != ' ' && s[k] != '(' && s[k] != ']') ++k;
    const std::string_view keyword = s.substr(keywordStart, k - keywordStart);
    const size_t close = MatchingClose(s, k, '[', ']');
    const ScriptValue v = ResolveTermAt(e, keyword, s.substr(k, close - k), kind, depth + 1);
    i = close + 1;
    Take(v);
  }

  void Step() {
    const char c = s[i];
    if (c == '(') return Parenthesis();
    if (IsDigit(c)) return Digits();
    if (c == '+' || c == '-' || c == '*' || c == '/') {
      pending = c;
    } else if (c == '"') {
      return Quote();
    } else if (c == '[') {
      return Term();
    }
    ++i;  // anything else is passed over
  }
};

}  // namespace

ScriptValue EvaluateAt(Engine& e, std::string_view text, ValueKind& kind, int depth) {
  if (depth > kMaxExpressionDepth) return {};
  ValueKind local = kind;
  Scanner scan{e, TrimBlanks(text), local, depth};
  while (scan.i < scan.s.size()) scan.Step();
  if (local == ValueKind::Undecided) return {};
  kind = local;
  if (kind != ValueKind::Number) return ScriptValue{std::move(scan.text)};
  return ScriptValue{static_cast<double>(scan.number)};
}

ScriptValue Evaluate(Engine& e, std::string_view text, ValueKind& kind) {
  return EvaluateAt(e, text, kind, 0);
}

double EvaluateNumber(Engine& e, std::string_view text, int depth) {
  ValueKind kind = ValueKind::Number;
  return EvaluateAt(e, text, kind, depth).Number();
}

std::string EvaluateText(Engine& e, std::string_view text, int depth) {
  ValueKind kind = ValueKind::Text;
  return EvaluateAt(e, text, kind, depth).Text();
}

}  // namespace yw
