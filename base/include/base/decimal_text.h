// Whole numbers as the texts show them: plain decimal digits, no grouping.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zorbalin {

// Appends the digits of value, with leading zeros up to minDigits ("08" for 8 and 2).
inline std::u16string& appendDecimal(std::u16string& text, std::uint64_t value, std::size_t minDigits = 1) {
    char16_t digits[20];
    std::size_t count = 0;
    do {
        digits[count++] = static_cast<char16_t>(u'0' + value % 10);
        value /= 10;
    } while (value != 0);
    if (count < minDigits) text.append(minDigits - count, u'0');
    while (count > 0) text += digits[--count];
    return text;
}

inline std::u16string decimalText(std::uint64_t value) {
    std::u16string text;
    return appendDecimal(text, value);
}

// With a minus sign before a negative number.
inline std::u16string signedDecimalText(std::int64_t value) {
    std::u16string text;
    if (value < 0) text += u'-';
    // The magnitude of the smallest value does not fit its own type.
    return appendDecimal(text, value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value));
}

}  // namespace zorbalin
