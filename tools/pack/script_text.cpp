#include "script_text.h"

#include <cstdint>
#include <cstdio>

#include "platform/encoding.h"

namespace yw::pack {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr int kMostCharacterErrors = 10;

bool HasHighBytes(std::string_view bytes) {
  for (char c : bytes)
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  return false;
}

// The length of the UTF-8 sequence that starts with `lead`.
size_t SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  return 2;
}

uint32_t CodePointOf(std::string_view seq) {
  const auto b = [&](size_t i) {
    return static_cast<uint32_t>(static_cast<unsigned char>(seq[i]));
  };
  switch (seq.size()) {
    case 2:
      return (b(0) & 0x1F) << 6 | (b(1) & 0x3F);
    case 3:
      return (b(0) & 0x0F) << 12 | (b(1) & 0x3F) << 6 | (b(2) & 0x3F);
    case 4:
      return (b(0) & 0x07) << 18 | (b(1) & 0x3F) << 12 | (b(2) & 0x3F) << 6 | (b(3) & 0x3F);
    default:
      return b(0);
  }
}

// Well-formed UTF-8 to Windows-1252, each character the code page lacks
// reported at its line and column (counted in characters).
std::string FromUtf8(const std::string& file, std::string_view text, Report& report) {
  std::string out;
  out.reserve(text.size());
  int line = 1, column = 1, errors = 0, more = 0;
  for (size_t i = 0; i < text.size();) {
    const size_t n = std::min(SequenceLength(static_cast<unsigned char>(text[i])), text.size() - i);
    const std::string_view seq = text.substr(i, n);
    i += n;
    if (n == 1) {
      out += seq;
      if (seq[0] == '\n' || (seq[0] == '\r' && (i >= text.size() || text[i] != '\n')))
        ++line, column = 0;
    } else if (const std::string byte = Utf8ToCp1252(seq); byte != "?") {
      out += byte;
    } else if (errors < kMostCharacterErrors) {
      ++errors;
      char code[16];
      std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(CodePointOf(seq)));
      report.Error(file, line, "column " + std::to_string(column),
                   "'" + std::string(seq) + "' (" + code +
                       ") cannot be stored in the game's text (Windows-1252)");
      out += '?';
    } else {
      ++more;
      out += '?';
    }
    ++column;
  }
  if (more > 0)
    report.Error(file, 0, "",
                 std::to_string(more) + " more characters cannot be stored in the game's text");
  return out;
}

// Every line end as CR LF; one warning when the file had CR-only or mixed
// ends. LF-only ends, as editors on most systems save them, are converted
// without a word.
std::string WithCrLf(const std::string& file, std::string text, Report& report) {
  size_t crlf = 0, lf = 0, cr = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
      ++crlf, ++i;
    else if (text[i] == '\r')
      ++cr;
    else if (text[i] == '\n')
      ++lf;
  }
  if (lf == 0 && cr == 0) return text;
  if (cr > 0) {
    const std::string had = (crlf == 0 && lf == 0)
                                ? "CR-only line ends (as old Mac editors save)"
                                : "mixed line ends (" + std::to_string(crlf) + " CR LF, " +
                                      std::to_string(lf) + " LF, " + std::to_string(cr) + " CR)";
    report.Warning(file, 0, "", "had " + had + "; every line now ends in CR LF");
  }
  std::string out;
  out.reserve(text.size() + lf + cr);
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      out += "\r\n";
      ++i;
    } else if (c == '\r' || c == '\n') {
      out += "\r\n";
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

std::string GameScriptText(const std::string& file, std::string bytes, Report& report) {
  const bool marked = bytes.starts_with(kByteOrderMark);
  if (marked) bytes.erase(0, kByteOrderMark.size());
  if (marked || (HasHighBytes(bytes) && IsUtf8(bytes))) {
    if (IsUtf8(bytes))
      bytes = FromUtf8(file, bytes, report);
    else
      report.Error(file, 0, "", "starts with a UTF-8 mark but is not UTF-8 text");
  }
  return WithCrLf(file, std::move(bytes), report);
}

void WarnUtf8Lines(const std::string& file, std::string_view bytes, Report& report) {
  if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
  int line = 0, warned = 0;
  for (size_t start = 0; start < bytes.size() && warned < kMostCharacterErrors;) {
    size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = bytes.size();
    const std::string_view text = bytes.substr(start, end - start);
    ++line;
    if (HasHighBytes(text) && IsUtf8(text)) {
      ++warned;
      report.Warning(file, line, "",
                     "the text looks like UTF-8, which the game shows as '" + Cp1252ToUtf8(text) +
                         "': save the script as Windows-1252, or build the game from its "
                         "sources (yarrowind-pack build converts UTF-8)");
    }
    start = end + (bytes.substr(end).starts_with("\r\n") ? 2 : 1);
  }
}

}  // namespace yw::pack
