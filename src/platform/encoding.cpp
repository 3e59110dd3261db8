#include "platform/encoding.h"

#include <cstdint>

namespace yw {

namespace {

// Unicode code points of the bytes 0x80 to 0x9F; 0 where the code page
// leaves the byte undefined (it then maps to the same C1 control).
constexpr uint16_t kHigh[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

uint32_t CodePoint(uint8_t b) {
  if (b >= 0x80 && b < 0xA0 && kHigh[b - 0x80] != 0) return kHigh[b - 0x80];
  return b;
}

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

char ToByte(uint32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
  for (int i = 0; i < 32; ++i)
    if (kHigh[i] == cp) return static_cast<char>(0x80 + i);
  return '?';
}

}  // namespace

std::string Cp1252ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) AppendUtf8(out, CodePoint(static_cast<uint8_t>(c)));
  return out;
}

std::string Utf8ToCp1252(std::string_view s) {
  std::string out;
  size_t i = 0;
  while (i < s.size()) {
    const uint8_t b = static_cast<uint8_t>(s[i]);
    int extra = 0;
    uint32_t cp = b;
    if (b >= 0xF0)
      extra = 3, cp = b & 0x07;
    else if (b >= 0xE0)
      extra = 2, cp = b & 0x0F;
    else if (b >= 0xC0)
      extra = 1, cp = b & 0x1F;
    else if (b >= 0x80) {  // a stray continuation byte
      out.push_back('?');
      ++i;
      continue;
    }
    if (i + extra >= s.size()) {  // a sequence cut off by the end
      out.push_back('?');
      break;
    }
    for (int k = 1; k <= extra; ++k) cp = (cp << 6) | (static_cast<uint8_t>(s[i + k]) & 0x3F);
    out.push_back(ToByte(cp));
    i += extra + 1;
  }
  return out;
}

namespace {

// The length of the well-formed UTF-8 character at s[i], 0 when there is none.
size_t Utf8Length(std::string_view s, size_t i) {
  const uint8_t b = static_cast<uint8_t>(s[i]);
  int extra = 0;
  uint32_t cp = b, least = 0;
  if (b < 0x80)
    extra = 0;
  else if (b >= 0xC0 && b < 0xE0)
    extra = 1, cp = b & 0x1F, least = 0x80;
  else if (b >= 0xE0 && b < 0xF0)
    extra = 2, cp = b & 0x0F, least = 0x800;
  else if (b >= 0xF0 && b < 0xF5)
    extra = 3, cp = b & 0x07, least = 0x10000;
  else
    return 0;
  if (s.size() - i <= static_cast<size_t>(extra)) return 0;
  for (int k = 1; k <= extra; ++k) {
    const uint8_t c = static_cast<uint8_t>(s[i + k]);
    if ((c & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (c & 0x3F);
  }
  if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return static_cast<size_t>(extra) + 1;
}

}  // namespace

bool IsUtf8(std::string_view s) {
  for (size_t i = 0, n = 0; i < s.size(); i += n)
    if ((n = Utf8Length(s, i)) == 0) return false;
  return true;
}

std::string PrintableText(std::string_view s) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    const auto b = static_cast<uint8_t>(s[i]);
    const size_t n = Utf8Length(s, i);
    if (n == 0 || (b < 0x20 && b != '\n' && b != '\t') || b == 0x7F) {
      out += "\\x";
      out += kHex[b >> 4];
      out += kHex[b & 0xF];
      ++i;
    } else {
      out.append(s.substr(i, n));
      i += n;
    }
  }
  return out;
}

}  // namespace yw
