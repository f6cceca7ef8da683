#include "draw/interval_text.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <limits>
#include <string>
#include <system_error>

namespace zorbalin::draw {

namespace {

bool isAsciiDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// A full-width input method types the number in the compatibility forms (U+FF01 to
// U+FF5E mirror ASCII 0x21 to 0x7E); they and the ideographic and no-break spaces are
// read as the ASCII characters they stand for. Only characters that can be part of a
// number or the blanks before it are folded, so "１２０ｍｓ" still stops at "ｍ".
char16_t asciiEquivalent(char16_t c) {
    if (c == u'\u3000' || c == u'\u00A0') return u' ';
    const bool fullWidthDigit = c >= u'\uFF10' && c <= u'\uFF19';
    if (fullWidthDigit || c == u'\uFF0B' || c == u'\uFF0D' || c == u'\uFF0E' || c == u'\uFF45' ||
        c == u'\uFF25') {
        return static_cast<char16_t>(c - 0xFEE0);
    }
    return c;
}

std::u16string foldToAscii(std::u16string_view text) {
    std::u16string folded(text.size(), u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) folded[i] = asciiEquivalent(text[i]);
    return folded;
}

// The unsigned part of a leading number, copied as ASCII for std::from_chars, with
// what is needed to tell an overflow from an underflow when from_chars gives up.
struct NumberPrefix {
    std::string ascii;
    bool negative = false;
    bool hasDigits = false;
    // Decimal exponent of the first non-zero digit (1 for "12", -1 for "0.05"),
    // before the written exponent is added; only meaningful when hasNonZero is set.
    long long leadingPower = 0;
    bool hasNonZero = false;
    long long writtenExponent = 0;  // saturated, enough to tell the sign of the sum
};

NumberPrefix scanNumberPrefix(std::u16string_view original) {
    const std::u16string text = foldToAscii(original);
    NumberPrefix number;
    std::size_t i = 0;
    const std::size_t size = text.size();
    while (i < size && (text[i] == u' ' || text[i] == u'\t')) ++i;
    if (i < size && (text[i] == u'+' || text[i] == u'-')) {
        number.negative = text[i] == u'-';
        ++i;
    }

    long long integerDigits = 0;
    for (; i < size && isAsciiDigit(text[i]); ++i) {
        number.ascii += static_cast<char>(text[i]);
        if (number.hasNonZero) {
            ++integerDigits;
        } else if (text[i] != u'0') {
            number.hasNonZero = true;
            integerDigits = 1;
        }
    }
    number.hasDigits = !number.ascii.empty();
    number.leadingPower = integerDigits - 1;

    if (i < size && text[i] == u'.') {
        number.ascii += '.';
        long long zerosAfterPoint = 0;
        for (++i; i < size && isAsciiDigit(text[i]); ++i) {
            number.ascii += static_cast<char>(text[i]);
            number.hasDigits = true;
            if (number.hasNonZero) continue;
            if (text[i] == u'0') {
                ++zerosAfterPoint;
            } else {
                number.hasNonZero = true;
                number.leadingPower = -(zerosAfterPoint + 1);
            }
        }
    }
    if (!number.hasDigits) return number;

    // An exponent counts only when at least one digit follows "e" and its sign.
    if (i < size && (text[i] == u'e' || text[i] == u'E')) {
        std::size_t j = i + 1;
        bool negativeExponent = false;
        if (j < size && (text[j] == u'+' || text[j] == u'-')) {
            negativeExponent = text[j] == u'-';
            ++j;
        }
        if (j < size && isAsciiDigit(text[j])) {
            number.ascii += 'e';
            if (negativeExponent) number.ascii += '-';
            constexpr long long kExponentCap = 1'000'000'000LL;
            for (; j < size && isAsciiDigit(text[j]); ++j) {
                number.ascii += static_cast<char>(text[j]);
                if (number.writtenExponent < kExponentCap) {
                    number.writtenExponent = number.writtenExponent * 10 + (text[j] - u'0');
                }
            }
            if (negativeExponent) number.writtenExponent = -number.writtenExponent;
        }
    }
    return number;
}

}  // namespace

double numericValue(std::u16string_view text) {
    const NumberPrefix number = scanNumberPrefix(text);
    if (!number.hasDigits) return 0.0;

    double magnitude = 0.0;
    const char* first = number.ascii.data();
    const char* last = first + number.ascii.size();
    const auto result = std::from_chars(first, last, magnitude, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        const bool overflow =
            number.hasNonZero && number.leadingPower + number.writtenExponent >= 0;
        magnitude = overflow ? std::numeric_limits<double>::max() : 0.0;
    } else if (result.ec != std::errc{}) {
        magnitude = 0.0;  // cannot happen: the prefix was checked to hold a number
    }
    return number.negative ? -magnitude : magnitude;
}

// Plain decimal for 1e-6 <= |value| < 1e21 ("100000", "0.0001", "1234.25"): every
// integer up to 10^15 and every fraction down to 10^-6 is written as digits, as the user
// would type it. Beyond those bounds a plain text would run to dozens of zeros, so the
// shortest exponent form is used ("1e21", "1.5e-7", "-1.7976931348623157e308"), without
// "+" and without padding zeros in the exponent. Both forms hold the shortest digits that
// read back through numericValue to exactly the same double.
std::u16string textForm(double value) {
    if (std::isnan(value) || value == 0.0) return u"0";  // also turns -0 into "0"
    if (std::isinf(value)) value = std::copysign(std::numeric_limits<double>::max(), value);

    constexpr double kSmallestPlain = 1e-6;
    constexpr double kFirstExponent = 1e21;
    const double magnitude = std::fabs(value);
    const bool plain = magnitude >= kSmallestPlain && magnitude < kFirstExponent;

    // Without a precision, to_chars gives the shortest digits that round-trip in the
    // chosen notation. The longest plain text (21 digits before the point, or "0.00000"
    // and 17 digits) and the longest exponent form both fit.
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                      plain ? std::chars_format::fixed
                                            : std::chars_format::scientific);
    const std::string_view digits(buffer, static_cast<std::size_t>(result.ptr - buffer));

    std::u16string out;
    out.reserve(digits.size());
    const std::size_t e = digits.find('e');
    const std::string_view mantissa = digits.substr(0, e);
    out.append(mantissa.begin(), mantissa.end());
    if (e != std::string_view::npos) {
        // to_chars writes exponents as "e+21" or "e-07"; the plus and the padding zeros
        // add nothing when the text is read back, so they are left out.
        std::size_t i = e + 1;
        out += u'e';
        if (digits[i] == '+' || digits[i] == '-') {
            if (digits[i] == '-') out += u'-';
            ++i;
        }
        while (i + 1 < digits.size() && digits[i] == '0') ++i;
        out.append(digits.begin() + static_cast<std::ptrdiff_t>(i), digits.end());
    }
    return out;
}

std::int32_t roundHalfEven(double value) {
    if (std::isnan(value)) return 0;
    const double floor = std::floor(value);
    const double fraction = value - floor;  // exact for every finite double
    double rounded = floor;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(floor, 2.0) != 0.0)) rounded += 1.0;

    constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
    constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
    if (rounded <= static_cast<double>(kMin)) return kMin;
    if (rounded >= static_cast<double>(kMax)) return kMax;
    return static_cast<std::int32_t>(rounded);
}

std::int32_t timerIntervalMs(std::u16string_view intervalText) {
    const std::int32_t rounded = roundHalfEven(numericValue(intervalText));
    return rounded < 1 ? 1 : rounded;
}

}  // namespace zorbalin::draw
