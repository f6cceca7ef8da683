#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace zorbalin::draw {

// Nanoseconds from a steady clock: the default clock of RandomSource.
std::uint64_t steadyClockNanoseconds();

// A seed from the operating system's random device: the default seed of RandomSource.
std::uint64_t randomDeviceSeed();

// Uniform random numbers on [0, 1) with 53 random bits, reseeded from a clock at every
// tick of the draw. The reseed mixes the clock reading into the state instead of
// replacing the state with it, so ticks that read the same clock value (a coarse
// clock, or ticks faster than its step) still give independent numbers.
// The clock and the seed are injectable; the two operations are virtual so that
// tests can script the numbers outright.
class RandomSource {
public:
    using Clock = std::function<std::uint64_t()>;

    explicit RandomSource(Clock clockNanoseconds = steadyClockNanoseconds,
                          std::uint64_t seed = randomDeviceSeed());
    virtual ~RandomSource() = default;

    RandomSource(const RandomSource&) = delete;
    RandomSource& operator=(const RandomSource&) = delete;

    virtual void reseedFromClock();
    virtual double next();

private:
    Clock clock_;
    std::uint64_t state_;
};

// The index that a random number r in [0, 1) picks among n >= 1 items:
// floor(r * n) in double precision, clamped to n - 1 because for very large n the
// product can round up to n. Gives 0 for n == 0 or a number outside [0, 1).
std::size_t pickIndex(double r, std::size_t n);

// n different indices among `among` (all of them when n is larger), each ordered n-subset
// equally likely: n numbers from the source, the first n steps of a shuffle. One index is
// pickIndex of one number, as a single pick always was.
std::vector<std::size_t> pickDistinct(RandomSource& random, std::size_t n, std::size_t among);

}  // namespace zorbalin::draw
