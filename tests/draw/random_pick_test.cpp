#include "draw/random_pick.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <set>
#include <ostream>
#include <string>

namespace zorbalin::draw {
namespace {

constexpr std::uint64_t kSeed = 0x5eed'1234'abcd'0001ULL;
constexpr double kTwoTo53 = 9007199254740992.0;
const double kLargestBelowOne = std::nextafter(1.0, 0.0);

RandomSource::Clock fixedClock(std::uint64_t nanoseconds) {
    return [nanoseconds] { return nanoseconds; };
}

TEST(RandomSource, GivesNumbersInUnitIntervalWithFiftyThreeBits) {
    RandomSource random(fixedClock(0), kSeed);
    bool lowestBitSeen = false;
    for (int i = 0; i < 10000; ++i) {
        const double r = random.next();
        ASSERT_GE(r, 0.0);
        ASSERT_LT(r, 1.0);
        const double scaled = r * kTwoTo53;
        ASSERT_EQ(scaled, std::floor(scaled)) << "not on the 2^-53 grid";
        lowestBitSeen |= std::fmod(scaled, 2.0) == 1.0;
    }
    EXPECT_TRUE(lowestBitSeen) << "the 53rd bit is never random";
}

TEST(RandomSource, SameSeedAndClockGiveTheSameNumbers) {
    RandomSource first(fixedClock(42), kSeed);
    RandomSource second(fixedClock(42), kSeed);
    for (int i = 0; i < 100; ++i) {
        first.reseedFromClock();
        second.reseedFromClock();
        ASSERT_EQ(first.next(), second.next());
    }
}

TEST(RandomSource, ReseedsThatReadTheSameClockValueStillDiffer) {
    RandomSource random(fixedClock(1'000'000), kSeed);
    std::set<double> seen;
    for (int i = 0; i < 1000; ++i) {
        random.reseedFromClock();
        seen.insert(random.next());
    }
    EXPECT_EQ(seen.size(), 1000u);
}

TEST(RandomSource, ReseedMixesTheClockReadingIn) {
    RandomSource early(fixedClock(1'000'000), kSeed);
    RandomSource late(fixedClock(1'000'001), kSeed);
    early.reseedFromClock();
    late.reseedFromClock();
    EXPECT_NE(early.next(), late.next());
}

TEST(RandomSource, ReadsTheClockOncePerReseedAndNeverOtherwise) {
    int reads = 0;
    RandomSource random([&reads] { return static_cast<std::uint64_t>(++reads); }, kSeed);
    random.next();
    EXPECT_EQ(reads, 0);
    random.reseedFromClock();
    random.reseedFromClock();
    EXPECT_EQ(reads, 2);
}

struct PickCase {
    const char* name;
    double r;
    std::size_t n;
    std::size_t index;

    friend void PrintTo(const PickCase& c, std::ostream* out) { *out << c.name; }
};

class PickIndexTest : public ::testing::TestWithParam<PickCase> {};

TEST_P(PickIndexTest, PicksFloorOfRTimesNWithinRange) {
    EXPECT_EQ(pickIndex(GetParam().r, GetParam().n), GetParam().index);
}

// 2^53 + 3 is not a double: it converts to 2^53 + 4, and the product with the largest
// number below 1 rounds up to 2^53 + 4, past the last index. (A 32-bit size cannot hold it:
// there the largest size stands in.)
constexpr std::size_t kRoundsUp = sizeof(std::size_t) >= 8
                                      ? static_cast<std::size_t>((std::uint64_t{1} << 53) + 3)
                                      : std::numeric_limits<std::size_t>::max();

INSTANTIATE_TEST_SUITE_P(
    RandomPick, PickIndexTest,
    ::testing::Values(
        PickCase{"ZeroPicksFirst", 0.0, 10, 0},
        PickCase{"SingleItemAlways", kLargestBelowOne, 1, 0},
        PickCase{"Middle", 0.5, 10, 5},
        PickCase{"JustBelowABoundary", std::nextafter(0.3, 0.0), 10, 2},
        PickCase{"LargestBelowOnePicksLast", kLargestBelowOne, 7, 6},
        PickCase{"ProductRoundingUpIsClamped", kLargestBelowOne, kRoundsUp, kRoundsUp - 1},
        PickCase{"NoItemsGivesZero", 0.5, 0, 0},
        PickCase{"NegativeGivesZero", -0.25, 10, 0},
        PickCase{"OneOrMoreGivesLast", 1.0, 10, 9},
        PickCase{"NotANumberGivesZero", std::numeric_limits<double>::quiet_NaN(), 10, 0}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace zorbalin::draw
