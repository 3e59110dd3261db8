// Conversions of computed values to integers: to the nearest integer with
// halves to the even neighbour, saturated at the target's range.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace yw {

inline double RoundHalfEven(double v) { return std::nearbyint(v); }

template <class Int>
Int SaturatingRound(double v) {
  if (std::isnan(v)) return 0;
  const double r = std::nearbyint(v);
  if (r <= static_cast<double>(std::numeric_limits<Int>::min()))
    return std::numeric_limits<Int>::min();
  if (r >= static_cast<double>(std::numeric_limits<Int>::max()))
    return std::numeric_limits<Int>::max();
  return static_cast<Int>(r);
}

// The 16-bit Integer and 32-bit Long conversions.
inline int16_t CInt(double v) { return SaturatingRound<int16_t>(v); }
inline int32_t CLng(double v) { return SaturatingRound<int32_t>(v); }

}  // namespace yw
