#include "draw/interval_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <ostream>
#include <string>

namespace zorbalin::draw {
namespace {

constexpr double kMaxDouble = std::numeric_limits<double>::max();
constexpr std::int32_t kMaxInt32 = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMinInt32 = std::numeric_limits<std::int32_t>::min();

struct ValueCase {
    const char* name;
    std::u16string text;
    double value;

    friend void PrintTo(const ValueCase& c, std::ostream* out) { *out << c.name; }
};

class NumericValueTest : public ::testing::TestWithParam<ValueCase> {};

TEST_P(NumericValueTest, ReadsTheLeadingNumber) {
    EXPECT_EQ(numericValue(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    IntervalText, NumericValueTest,
    ::testing::Values(
        ValueCase{"Integer", u"50", 50.0},
        ValueCase{"Fraction", u"2.5", 2.5},
        ValueCase{"Negative", u"-3", -3.0},
        ValueCase{"PlusSign", u"+5", 5.0},
        ValueCase{"NoLeadingNumber", u"abc", 0.0},
        ValueCase{"Empty", u"", 0.0},
        ValueCase{"TrailingUnit", u"120ms", 120.0},
        ValueCase{"LeadingSpaces", u"  80", 80.0},
        ValueCase{"LeadingTabsAndSpaces", u"\t \t80", 80.0},
        ValueCase{"LineFeedIsNoBlank", u"\n80", 0.0},
        ValueCase{"BlankAfterSign", u"- 3", 0.0},
        ValueCase{"BlankInsideStops", u"1 000", 1.0},
        ValueCase{"LeadingPoint", u".5", 0.5},
        ValueCase{"NegativeLeadingPoint", u"-.5", -0.5},
        ValueCase{"TrailingPoint", u"5.", 5.0},
        ValueCase{"PointAlone", u".", 0.0},
        ValueCase{"SignAlone", u"-", 0.0},
        ValueCase{"SecondPointStops", u"1.2.3", 1.2},
        ValueCase{"Exponent", u"1e3", 1000.0},
        ValueCase{"CapitalExponent", u"1E3", 1000.0},
        ValueCase{"NegativeExponent", u"25e-1", 2.5},
        ValueCase{"PlusExponent", u"1e+2x", 100.0},
        ValueCase{"ExponentWithoutDigits", u"1e", 1.0},
        ValueCase{"ExponentSignWithoutDigits", u"1e+", 1.0},
        ValueCase{"ExponentOnItsOwn", u"e5", 0.0},
        ValueCase{"Infinity", u"inf", 0.0},
        ValueCase{"NotANumber", u"nan", 0.0},
        ValueCase{"HexPrefix", u"0x1A", 0.0},
        ValueCase{"LeadingZeros", u"0007", 7.0},
        ValueCase{"FullWidthDigits", u"１２０", 120.0},
        ValueCase{"IdeographicSpaceBeforeFullWidth", u"\u3000９０", 90.0},
        ValueCase{"NoBreakSpaceBefore", u"\u00A0\u00A075", 75.0},
        ValueCase{"FullWidthMinus", u"－５", -5.0},
        ValueCase{"FullWidthPlus", u"＋７", 7.0},
        ValueCase{"FullWidthPoint", u"１２．５", 12.5},
        ValueCase{"FullWidthExponent", u"２ｅ３", 2000.0},
        ValueCase{"FullWidthCapitalExponent", u"２Ｅ－１", 0.2},
        ValueCase{"MixedWidths", u"1２.５", 12.5},
        ValueCase{"FullWidthUnitStops", u"１２０ｍｓ", 120.0},
        ValueCase{"IdeographicSpaceInsideStops", u"1\u3000000", 1.0},
        ValueCase{"FullWidthLetterIsNoNumber", u"ａ１", 0.0},
        ValueCase{"ArabicIndicDigits", u"\u0661\u0662", 0.0},
        ValueCase{"LongDigitRun", u"123456789012345678901234567890", 1.2345678901234568e29},
        ValueCase{"TooLargeSaturates", u"1e999", kMaxDouble},
        ValueCase{"TooLargeNegativeSaturates", u"-1e999", -kMaxDouble},
        ValueCase{"HugeExponentSaturates", u"0.001e99999999999999999999", kMaxDouble},
        ValueCase{"ManyIntegerDigitsSaturate", u"1" + std::u16string(400, u'0'), kMaxDouble},
        ValueCase{"TooSmallBecomesZero", u"1e-999", 0.0},
        ValueCase{"TooSmallFractionBecomesZero", u"0." + std::u16string(400, u'0') + u"1", 0.0},
        ValueCase{"ZeroWithHugeExponent", u"0e99999", 0.0},
        ValueCase{"Subnormal", u"5e-324", 5e-324}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(NumericValue, NegativeZeroKeepsItsSign) {
    EXPECT_TRUE(std::signbit(numericValue(u"-0")));
}

struct FormCase {
    const char* name;
    double value;
    std::u16string text;

    friend void PrintTo(const FormCase& c, std::ostream* out) { *out << c.name; }
};

class TextFormTest : public ::testing::TestWithParam<FormCase> {};

TEST_P(TextFormTest, WritesPlainDecimalWithinItsBounds) {
    EXPECT_EQ(textForm(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    IntervalText, TextFormTest,
    ::testing::Values(
        FormCase{"Integer", 50.0, u"50"},
        FormCase{"Fraction", 2.5, u"2.5"},
        FormCase{"Negative", -3.0, u"-3"},
        FormCase{"Zero", 0.0, u"0"},
        FormCase{"NegativeZero", -0.0, u"0"},
        FormCase{"ShortestOfATenth", 0.1, u"0.1"},
        FormCase{"HundredThousand", 1e5, u"100000"},
        FormCase{"TwoMillion", 2e6, u"2000000"},
        FormCase{"NoPointWithoutFraction", 2.5e5, u"250000"},
        FormCase{"FractionKeepsItsDigits", 1234.25, u"1234.25"},
        FormCase{"TenThousandth", 0.0001, u"0.0001"},
        FormCase{"NegativeMillionth", -1e-6, u"-0.000001"},
        FormCase{"TenToTheFifteen", 1e15, u"1000000000000000"},
        FormCase{"NegativeTenToTheFifteen", -1e15, u"-1000000000000000"},
        FormCase{"LargestPlain", 1e20, u"100000000000000000000"},
        FormCase{"LargeUsesExponentWithoutPlus", 1e21, u"1e21"},
        FormCase{"LargeWithDigits", 1.5e300, u"1.5e300"},
        FormCase{"TinyUsesExponentWithoutPadding", 1e-7, u"1e-7"},
        FormCase{"TinyWithDigits", -2.5e-7, u"-2.5e-7"},
        FormCase{"LargestDouble", kMaxDouble, u"1.7976931348623157e308"},
        FormCase{"InfinityIsWrittenAsLargestDouble", INFINITY, u"1.7976931348623157e308"},
        FormCase{"NegativeInfinity", -INFINITY, u"-1.7976931348623157e308"},
        FormCase{"NotANumberIsZero", NAN, u"0"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(TextForm, ReadsBackToTheSameValue) {
    for (double value : {50.0, -2.5, 0.1, 1.0 / 3.0, 123456.789, 1e-300, 5e-324, 1e300, -kMaxDouble,
                         2147483647.5, 9007199254740993.0, 1e15, 1e16, 1e21, 0.1 + 0.2,
                         123456789.123, 1e-6, 9.999999e-7, 999999999999999999999.0, 1e21 * 0.999,
                         -1.2345678901234567e-5}) {
        const std::u16string text = textForm(value);
        EXPECT_EQ(numericValue(text), value) << std::string(text.begin(), text.end());
        EXPECT_EQ(text.find(u'+'), std::u16string::npos);
    }
}

struct RoundCase {
    const char* name;
    double value;
    std::int32_t rounded;

    friend void PrintTo(const RoundCase& c, std::ostream* out) { *out << c.name; }
};

class RoundHalfEvenTest : public ::testing::TestWithParam<RoundCase> {};

TEST_P(RoundHalfEvenTest, RoundsToNearestWithHalvesToEven) {
    EXPECT_EQ(roundHalfEven(GetParam().value), GetParam().rounded);
}

INSTANTIATE_TEST_SUITE_P(
    IntervalText, RoundHalfEvenTest,
    ::testing::Values(
        RoundCase{"HalfDownToEven", 2.5, 2},
        RoundCase{"HalfUpToEven", 3.5, 4},
        RoundCase{"HalfAtZero", 0.5, 0},
        RoundCase{"OneAndAHalf", 1.5, 2},
        RoundCase{"NegativeHalfToEven", -2.5, -2},
        RoundCase{"NegativeHalfUpToEven", -3.5, -4},
        RoundCase{"NegativeHalfAtZero", -0.5, 0},
        RoundCase{"BelowHalf", 2.4999999999999996, 2},
        RoundCase{"AboveHalf", 2.5000000000000004, 3},
        RoundCase{"NegativeAboveHalf", -2.6, -3},
        RoundCase{"Whole", 50.0, 50},
        RoundCase{"LargestInt", 2147483647.0, kMaxInt32},
        RoundCase{"HalfAboveLargestIntSaturates", 2147483647.5, kMaxInt32},
        RoundCase{"HalfBelowSmallestIntRoundsToIt", -2147483648.5, kMinInt32},
        RoundCase{"AboveRangeSaturates", 1e10, kMaxInt32},
        RoundCase{"BelowRangeSaturates", -1e10, kMinInt32},
        RoundCase{"InfinitySaturates", INFINITY, kMaxInt32},
        RoundCase{"NegativeInfinitySaturates", -INFINITY, kMinInt32},
        RoundCase{"NotANumberIsZero", NAN, 0}),
    [](const auto& test) { return std::string(test.param.name); });

struct IntervalCase {
    const char* name;
    std::u16string text;
    std::int32_t milliseconds;

    friend void PrintTo(const IntervalCase& c, std::ostream* out) { *out << c.name; }
};

class TimerIntervalTest : public ::testing::TestWithParam<IntervalCase> {};

TEST_P(TimerIntervalTest, GivesAnIntervalTheTimerAccepts) {
    EXPECT_EQ(timerIntervalMs(GetParam().text), GetParam().milliseconds);
}

INSTANTIATE_TEST_SUITE_P(
    IntervalText, TimerIntervalTest,
    ::testing::Values(
        IntervalCase{"Plain", u"50", 50},
        IntervalCase{"WithUnit", u"120ms", 120},
        IntervalCase{"HalfDownToEven", u"2.5", 2},
        IntervalCase{"HalfUpToEven", u"3.5", 4},
        IntervalCase{"ZeroRunsAtOne", u"0", 1},
        IntervalCase{"HalfRoundsToZeroRunsAtOne", u"0.5", 1},
        IntervalCase{"NoNumberRunsAtOne", u"abc", 1},
        IntervalCase{"NegativeRunsAtOne", u"-100", 1},
        IntervalCase{"BeyondThirtyTwoBitsIsClamped", u"99999999999", kMaxInt32},
        IntervalCase{"TooLargeForADoubleIsClamped", u"1e999", kMaxInt32}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace zorbalin::draw
