#include "json_syntax.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace yw::pack {

namespace {

constexpr size_t kEnd = std::string_view::npos;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool IsWordChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || IsDigit(c) || c == '_';
}
bool IsHex(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// A word in single quotes, as messages name what the author wrote.
std::string Quoted(std::string_view s) {
  std::string out;
  out.reserve(s.size() + 2);
  out += '\'';
  out += s;
  out += '\'';
  return out;
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

// A recursive descent over the text that stops at the first mistake.
class SyntaxChecker {
 public:
  SyntaxChecker(std::string_view text, size_t maxDepth) : text_(text), maxDepth_(maxDepth) {}

  std::optional<JsonSyntaxError> Run() {
    if (text_.starts_with("\xEF\xBB\xBF")) pos_ = 3;
    SkipSpace();
    if (AtEnd()) return Where(0, "the file is empty; a source holds one JSON object");
    const size_t start = pos_;
    if (Value(0)) {
      SkipSpace();
      if (!AtEnd())
        Fail(pos_, Describe(pos_) + " follows after the end of the value that begins on line " +
                       std::to_string(LineOf(start)) + "; a file holds one value");
    }
    if (!failed_) return std::nullopt;
    return Where(failAt_, failMessage_);
  }

 private:
  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
  void SkipSpace() {
    while (!AtEnd() && IsSpace(text_[pos_])) ++pos_;
  }
  bool Fail(size_t at, std::string message) {
    if (!failed_) {
      failed_ = true;
      failAt_ = at;
      failMessage_ = std::move(message);
    }
    return false;
  }

  int LineOf(size_t offset) const {
    return 1 + static_cast<int>(std::count(text_.begin(), text_.begin() + offset, '\n'));
  }
  JsonSyntaxError Where(size_t offset, std::string message) const {
    offset = std::min(offset, text_.size());
    const size_t lineStart = text_.rfind('\n', offset == 0 ? 0 : offset - 1);
    const size_t from = offset == 0 || lineStart == kEnd ? 0 : lineStart + 1;
    int column = 1;
    for (size_t i = from; i < offset; ++i)
      if ((static_cast<unsigned char>(text_[i]) & 0xC0) != 0x80) ++column;
    return {LineOf(offset), column, std::move(message)};
  }

  // The token at `at`, as an author would name it in a message.
  std::string Token(size_t at) const {
    size_t end = at;
    while (end < text_.size() &&
           (IsWordChar(text_[end]) || text_[end] == '.' || text_[end] == '-' || text_[end] == '+'))
      ++end;
    return std::string(text_.substr(at, std::max<size_t>(end - at, 1)));
  }
  std::string Describe(size_t at) const {
    if (at >= text_.size()) return "the end of the file";
    const char c = text_[at];
    if (c == '"') return "a text";
    if (IsDigit(c) || c == '-') return "the number " + Token(at);
    if (IsWordChar(c)) return Quoted(Token(at));
    if (static_cast<unsigned char>(c) >= 0x80) return "a character that is not ASCII";
    return Quoted(std::string_view(&c, 1));
  }

  bool IsComment(size_t at) const {
    return text_.substr(at, 2) == "//" || text_.substr(at, 2) == "/*";
  }

  bool Unclosed(size_t open) {
    return Fail(open, std::string("this '") + text_[open] +
                          "' is never closed: the file ends before its '" +
                          (text_[open] == '{' ? "}" : "]") + "'");
  }

  // A mistake where a value should begin.
  bool NotAValue(size_t at) {
    const char c = text_[at];
    if (c == '\'') return Fail(at, "texts are written in double quotes (\"), not single ones (')");
    if (IsComment(at)) return Fail(at, "JSON has no comments");
    if (c == '+' || c == '.')
      return Fail(at, Quoted(Token(at)) + " is not a number: numbers begin with a digit or '-'");
    if (c == ',' || c == '}' || c == ']' || c == ':')
      return Fail(at, std::string("a value is missing before '") + c + "'");
    if (text_.substr(at, 3) == "\xE2\x80\x9C" || text_.substr(at, 3) == "\xE2\x80\x9D")
      return Fail(at, "curly quotes: texts are written in straight double quotes (\")");
    return Fail(at, Describe(at) + " cannot begin a value");
  }

  bool Value(size_t depth) {
    const char c = Peek();
    if (c == '{' || c == '[') return Container(depth);
    if (c == '"') return String();
    if (c == '-' || IsDigit(c)) return Number();
    if (IsWordChar(c)) return Word();
    return NotAValue(pos_);
  }

  // After a value inside a container: a ',' or the closing bracket.
  bool MissingSeparator(char close) {
    if (IsComment(pos_)) return Fail(pos_, "JSON has no comments");
    std::string message = std::string("',' or '") + close + "' is missing after this value";
    const std::string next = Describe(pos_);
    message += LineOf(pos_) == LineOf(lastEnd_)
                   ? ", before " + next
                   : " (" + next + " follows on line " + std::to_string(LineOf(pos_)) + ")";
    return Fail(lastEnd_, message);
  }

  bool Container(size_t depth) {
    if (depth >= maxDepth_)
      return Fail(pos_, "values are nested more than " + std::to_string(maxDepth_) + " deep");
    const size_t open = pos_;
    const bool object = text_[pos_] == '{';
    const char close = object ? '}' : ']';
    ++pos_;
    SkipSpace();
    if (AtEnd()) return Unclosed(open);
    if (Peek() == close) {
      lastEnd_ = ++pos_;
      return true;
    }
    for (size_t comma = kEnd;;) {
      if (AtEnd()) return Unclosed(open);
      if (Peek() == close && comma != kEnd)
        return Fail(comma, std::string("a ',' may not follow the last value; remove it before '") +
                               close + "'");
      if (object && !Key()) return false;
      if (AtEnd()) return Unclosed(open);
      if (!Value(depth + 1)) return false;
      SkipSpace();
      if (AtEnd()) return Unclosed(open);
      if (Peek() == close) {
        lastEnd_ = ++pos_;
        return true;
      }
      if (Peek() != ',') return MissingSeparator(close);
      comma = pos_++;
      SkipSpace();
    }
  }

  // A field name, its ':' and the space up to its value.
  bool Key() {
    const size_t at = pos_;
    if (IsComment(at)) return Fail(at, "JSON has no comments");
    if (Peek() != '"') {
      if (IsWordChar(Peek()))
        return Fail(at, "a field name is written in double quotes: \"" + Token(at) + "\"");
      if (Peek() == '\'') return NotAValue(at);
      return Fail(at, "a field name in double quotes is expected here, not " + Describe(at));
    }
    if (!String()) return false;
    const std::string name(text_.substr(at, pos_ - at));
    SkipSpace();
    if (AtEnd()) return true;  // the container reports the end
    if (Peek() != ':') return Fail(lastEnd_, "':' is missing after the field name " + name);
    ++pos_;
    SkipSpace();
    if (AtEnd()) return true;
    if (Peek() == ',' || Peek() == '}') return Fail(pos_, "the field " + name + " has no value");
    return true;
  }

  bool String() {
    const size_t open = pos_++;
    while (true) {
      if (AtEnd()) return Fail(open, "this text has no closing '\"'");
      const auto c = static_cast<unsigned char>(text_[pos_]);
      if (c == '"') {
        lastEnd_ = ++pos_;
        return true;
      }
      if (c == '\n' || c == '\r')
        return Fail(open, "this text is not closed on its line (a '\"' is missing)");
      if (c == '\t') return Fail(pos_, "a tab inside a text is written \\t");
      if (c < 0x20)
        return Fail(pos_, "a control character inside a text is written as \\u00" +
                              std::string(1, "0123456789ABCDEF"[c >> 4]) +
                              "0123456789ABCDEF"[c & 15]);
      if (c == '\\') {
        if (!Escape()) return false;
        continue;
      }
      if (c >= 0x80) {
        if (!Utf8()) return Fail(pos_, "this text is not UTF-8; save the file as UTF-8");
        continue;
      }
      ++pos_;
    }
  }

  // Four hex digits after "\u" at `at`, or nothing.
  std::optional<uint32_t> Hex4(size_t at) const {
    if (at + 6 > text_.size() || text_[at] != '\\' || text_[at + 1] != 'u') return std::nullopt;
    uint32_t v = 0;
    for (size_t i = at + 2; i < at + 6; ++i) {
      if (!IsHex(text_[i])) return std::nullopt;
      const char h = text_[i];
      v = v * 16 + static_cast<uint32_t>(IsDigit(h) ? h - '0' : (h | 0x20) - 'a' + 10);
    }
    return v;
  }

  bool Escape() {
    const size_t at = pos_;
    const char e = at + 1 < text_.size() ? text_[at + 1] : '\0';
    if (std::string_view("\"\\/bfnrt").find(e) != kEnd && e != '\0') {
      pos_ += 2;
      return true;
    }
    if (e != 'u')
      return Fail(at, "'\\" + std::string(e == '\0' ? "" : std::string(1, e)) +
                          "' is not an escape JSON knows (\\\" \\\\ \\/ \\b \\f \\n \\r \\t "
                          "\\uXXXX)");
    const auto v = Hex4(at);
    if (!v) return Fail(at, "'\\u' must be followed by four hexadecimal digits");
    pos_ += 6;
    if (*v >= 0xDC00 && *v <= 0xDFFF)
      return Fail(at, Quoted(text_.substr(at, 6)) +
                          " is the second half of a surrogate pair without its first");
    if (*v >= 0xD800 && *v <= 0xDBFF) {
      const auto low = Hex4(pos_);
      if (!low || *low < 0xDC00 || *low > 0xDFFF)
        return Fail(at, Quoted(text_.substr(at, 6)) +
                            " begins a surrogate pair: a \\uDC00 to \\uDFFF must follow");
      pos_ += 6;
    }
    return true;
  }

  // One well-formed UTF-8 sequence of two to four bytes.
  bool Utf8() {
    const auto byte = [&](size_t i) {
      return i < text_.size() ? static_cast<unsigned char>(text_[i]) : 0u;
    };
    const unsigned lead = byte(pos_);
    size_t n = 0;
    unsigned lo = 0x80, hi = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF)
      n = 1;
    else if (lead == 0xE0)
      n = 2, lo = 0xA0;
    else if (lead == 0xED)
      n = 2, hi = 0x9F;
    else if (lead >= 0xE1 && lead <= 0xEF)
      n = 2;
    else if (lead == 0xF0)
      n = 3, lo = 0x90;
    else if (lead == 0xF4)
      n = 3, hi = 0x8F;
    else if (lead >= 0xF1 && lead <= 0xF3)
      n = 3;
    else
      return false;
    for (size_t i = 1; i <= n; ++i) {
      const unsigned b = byte(pos_ + i);
      if (b < (i == 1 ? lo : 0x80) || b > (i == 1 ? hi : 0xBF)) return false;
    }
    pos_ += n + 1;
    return true;
  }

  bool Number() {
    const size_t start = pos_;
    if (Peek() == '-') ++pos_;
    if (Peek() == '0') {
      ++pos_;
      if (IsDigit(Peek()))
        return Fail(start,
                    Quoted(Token(start)) + ": a number does not begin with 0 and more digits");
    } else if (IsDigit(Peek())) {
      while (IsDigit(Peek())) ++pos_;
    } else {
      return Fail(start, "'-' must be followed by a digit");
    }
    if (Peek() == '.') {
      ++pos_;
      if (!IsDigit(Peek()))
        return Fail(start, Quoted(Token(start)) + ": a number needs a digit after its '.'");
      while (IsDigit(Peek())) ++pos_;
    }
    if (Peek() == 'e' || Peek() == 'E') {
      ++pos_;
      if (Peek() == '+' || Peek() == '-') ++pos_;
      if (!IsDigit(Peek()))
        return Fail(start, Quoted(Token(start)) + ": a number needs digits after its exponent");
      while (IsDigit(Peek())) ++pos_;
    }
    if (IsWordChar(Peek()) || Peek() == '.')
      return Fail(start, Quoted(Token(start)) + " is not a number");
    lastEnd_ = pos_;
    return true;
  }

  bool Word() {
    const size_t start = pos_;
    while (IsWordChar(Peek())) ++pos_;
    const std::string_view word = text_.substr(start, pos_ - start);
    if (word == "true" || word == "false" || word == "null") {
      lastEnd_ = pos_;
      return true;
    }
    const std::string lower = Lower(word);
    if (lower == "true" || lower == "false" || lower == "null")
      return Fail(start, Quoted(word) + " is written " + Quoted(lower) + " in JSON");
    if (lower == "none" || lower == "nil" || lower == "undefined")
      return Fail(start, Quoted(word) + " is written 'null' in JSON");
    if (lower == "nan" || lower == "infinity")
      return Fail(start, "JSON has no '" + std::string(word) + "'; write a number");
    return Fail(start, Quoted(word) + " is not a value; a text is written in double " +
                           "quotes: \"" + std::string(word) + "\"");
  }

  std::string_view text_;
  size_t maxDepth_;
  size_t pos_ = 0;
  size_t lastEnd_ = 0;  // just after the last value read
  bool failed_ = false;
  size_t failAt_ = 0;
  std::string failMessage_;
};

}  // namespace

std::optional<JsonSyntaxError> FindJsonSyntaxError(std::string_view text, size_t maxDepth) {
  return SyntaxChecker(text, maxDepth).Run();
}

}  // namespace yw::pack
