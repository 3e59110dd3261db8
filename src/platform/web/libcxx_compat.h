// Emscripten's C++ library (of this Debian release) lacks pieces of C++20
// that the shared code uses; the web build includes this header in every
// file. std::ranges::equal is the two-range std::equal. std::from_chars and std::to_chars handle only integers there:
// the overloads for double below read numbers exactly as on the desktop
// (decimal text with an optional exponent, no leading blanks or '+', a range
// error leaves the value untouched) and write the shortest text that reads
// back as the same number. std::bit_cast is the compiler's own. A library
// that has these pieces itself (it then announces them) keeps its own; code
// that asks for a float or long double gets a clear error instead of a
// quiet conversion.
#pragma once

#include <algorithm>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iterator>
#include <string>
#include <system_error>
#include <type_traits>

namespace std {

#ifndef __cpp_lib_to_chars

inline from_chars_result from_chars(const char* first, const char* last, double& value,
                                    chars_format = chars_format::general) {
  const char* p = first;
  if (p != last && *p == '-') ++p;
  if (p == last ||
      !((*p >= '0' && *p <= '9') || *p == '.' || *p == 'i' || *p == 'I' || *p == 'n' || *p == 'N'))
    return {first, errc::invalid_argument};
  std::string text(first, last);
  // strtod would read "0x1p3" as hexadecimal; decimal text ends at the 'x'.
  const size_t digits = static_cast<size_t>(p - first);
  if (text.size() > digits + 1 && text[digits] == '0' &&
      (text[digits + 1] == 'x' || text[digits + 1] == 'X'))
    text.resize(digits + 1);
  errno = 0;
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (end == text.c_str()) return {first, errc::invalid_argument};
  const char* stop = first + (end - text.c_str());
  if (errno == ERANGE) return {stop, errc::result_out_of_range};
  value = v;
  return {stop, errc{}};
}

inline to_chars_result to_chars(char* first, char* last, double value) {
  char text[32];
  int n = 0;
  for (int precision = 1; precision <= 17; ++precision) {
    n = std::snprintf(text, sizeof text, "%.*g", precision, value);
    if (std::strtod(text, nullptr) == value) break;
  }
  if (n < 0 || n > last - first) return {last, errc::value_too_large};
  std::memcpy(first, text, static_cast<size_t>(n));
  return {first + n, errc{}};
}

template <class T>
requires(is_floating_point_v<T> && !is_same_v<T, double>) from_chars_result
    from_chars(const char*, const char*, T&, chars_format = chars_format::general) {
  static_assert(is_same_v<T, double>, "the web build reads only double with std::from_chars");
  return {};
}

template <class T>
requires(is_floating_point_v<T> && !is_same_v<T, double>) to_chars_result
    to_chars(char*, char*, T) {
  static_assert(is_same_v<T, double>, "the web build writes only double with std::to_chars");
  return {};
}
#endif

#ifndef __cpp_lib_bit_cast
template <class To, class From>
constexpr To bit_cast(const From& from) noexcept {
  return __builtin_bit_cast(To, from);
}
#endif

#ifndef __cpp_lib_ranges
namespace ranges {
struct YwEqual {
  template <class A, class B, class Same = std::equal_to<>>
  constexpr bool operator()(A&& a, B&& b, Same same = {}) const {
    return std::equal(std::begin(a), std::end(a), std::begin(b), std::end(b), same);
  }
};
inline constexpr YwEqual equal{};
}  // namespace ranges
#endif

}  // namespace std
