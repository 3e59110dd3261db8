// Times of the game's millisecond clock.
#pragma once

#include <cmath>
#include <cstdint>

namespace yw {

// A reading of the millisecond clock, or a deadline on it. The clock counts
// from the start of the program and is never cut to 32 bits: a deadline is
// a reading plus an interval (a 32-bit setting or script value) and stays
// right however long the program runs. Only the saved time left of an NPC
// is a 32-bit number.
using Millis = int64_t;

// The latest time a replay or a test may set the clock to: far beyond any
// run (285,000 years) and exact in a double, so that sums of a time and an
// interval never overflow.
inline constexpr Millis kMaxClockMs = (Millis{1} << 53) - 1;

// The time `ms` after t, rounded down: a fractional interval (a step at a
// slow speed) as a deadline, held within the clock's range.
inline Millis ClockAfter(Millis t, double ms) {
  const double at = std::floor(static_cast<double>(t) + ms);
  if (!(at < static_cast<double>(kMaxClockMs))) return kMaxClockMs;  // NaN too
  if (at < -static_cast<double>(kMaxClockMs)) return -kMaxClockMs;
  return static_cast<Millis>(at);
}

}  // namespace yw
