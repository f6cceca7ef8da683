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

NumberPrefix scanNumberPrefix(std::u16string_view text) {
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

std::u16string textForm(double value) {
    if (std::isnan(value) || value == 0.0) return u"0";  // also turns -0 into "0"
    if (std::isinf(value)) value = std::copysign(std::numeric_limits<double>::max(), value);

    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    const std::string_view shortest(buffer, static_cast<std::size_t>(result.ptr - buffer));

    // to_chars writes exponents as "e+20" or "e-07"; the plus and the padding zeros
    // add nothing when the text is read back, so they are left out.
    std::u16string out;
    out.reserve(shortest.size());
    const std::size_t e = shortest.find('e');
    const std::string_view mantissa = shortest.substr(0, e);
    out.append(mantissa.begin(), mantissa.end());
    if (e != std::string_view::npos) {
        std::size_t i = e + 1;
        out += u'e';
        if (shortest[i] == '+' || shortest[i] == '-') {
            if (shortest[i] == '-') out += u'-';
            ++i;
        }
        while (i + 1 < shortest.size() && shortest[i] == '0') ++i;
        out.append(shortest.begin() + static_cast<std::ptrdiff_t>(i), shortest.end());
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
