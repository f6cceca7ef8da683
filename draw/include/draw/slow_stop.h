// 缓停: a stop whose result no one can steer by watching. The result is decided by chance
// at the press, whatever is on show; the display then goes on changing, slower and slower,
// and lands on it.
#pragma once

#include <cstdint>
#include <vector>

namespace zorbalin::draw {

// The slowing lasts about this long.
inline constexpr std::int32_t kLandingMs = 2000;

// The intervals of the ticks after the press: from the draw's own (at least kFirstMs) each
// a quarter longer than the one before, until about kLandingMs have passed; the tick after
// the last interval shows the result.
inline constexpr std::int32_t kLandingFirstMs = 40;
std::vector<std::int32_t> landingIntervals(std::int32_t drawInterval);

}  // namespace zorbalin::draw
