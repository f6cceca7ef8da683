#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zorbalin::draw {

// The value of the number at the start of the text. Leading blanks (space, tab, U+3000,
// U+00A0) are skipped; then an optional sign, digits with at most one ".", and an
// optional exponent ("e" or "E", optional sign, digits) are read until a character cannot
// continue the number. Full-width digits, signs, point and "ｅ"/"Ｅ" count as their ASCII
// forms ("１２０" gives 120). No leading number gives 0 ("abc", "inf", Arabic-Indic
// digits); "0x1A" gives 0 and "120ms" gives 120. Independent of the locale. A value too
// large for a double saturates to the largest finite double; one too small becomes 0.
double numericValue(std::u16string_view text);

// The text that reads back to exactly the same value through numericValue: plain
// decimal digits for 1e-6 <= |value| < 1e21 ("100000", "0.0001", "250000", no trailing
// zeros, no point without a fraction), the shortest exponent form outside ("1e21",
// "1e-7"). No plus sign anywhere, "-" only before a negative number, -0 gives "0". NaN
// gives "0"; infinities are written as the largest finite double of their sign.
std::u16string textForm(double value);

// Rounds to the nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4,
// -2.5 -> -2), saturating at the ends of the 32-bit range; NaN gives 0.
std::int32_t roundHalfEven(double value);

// The timer interval that an interval text stands for, in milliseconds: its numeric
// value rounded half to even and clamped into [1, 2147483647], so that zero and
// negative intervals run at 1 ms instead of never firing or failing.
std::int32_t timerIntervalMs(std::u16string_view intervalText);

}  // namespace zorbalin::draw
