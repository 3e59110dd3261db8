// Texts of the game are Windows-1252 bytes; the outside world speaks UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace yw {

std::string Cp1252ToUtf8(std::string_view bytes);
// Characters without a Windows-1252 code become '?'.
std::string Utf8ToCp1252(std::string_view utf8);
// Whether the bytes are well-formed UTF-8 (no overlong forms, surrogates or
// code points past U+10FFFF).
bool IsUtf8(std::string_view bytes);
// The text as a message on a terminal may show it: bytes that are not
// well-formed UTF-8, and control characters other than line feed and tab,
// become \xNN.
std::string PrintableText(std::string_view bytes);

}  // namespace yw
