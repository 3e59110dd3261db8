// Conversions of computed values to integers: to the nearest integer with
// halves to the even neighbour, saturated at the target's range.
#pragma once

#include <algorithm>
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

// The whole cell of a position, cut toward zero. Any finite position is
// allowed, far off the map too; such a position gives a cell far off the
// map, never one that a step or a comparison could overflow.
inline constexpr int32_t kFarCell = int32_t{1} << 30;
inline int32_t CellOf(double pos) {
  if (std::isnan(pos)) return 0;
  constexpr double kFar = kFarCell;
  return static_cast<int32_t>(std::clamp(std::trunc(pos), -kFar, kFar));
}

}  // namespace yw
