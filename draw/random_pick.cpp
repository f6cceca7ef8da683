#include "draw/random_pick.h"

#include <algorithm>
#include <unordered_map>

#include <chrono>
#include <random>
#include <utility>

namespace zorbalin::draw {

namespace {

// SplitMix64 (Steele, Lea and Flood): a tiny generator whose output function is a
// strong 64-bit mixer, so it also serves to stir a clock reading into the state.
constexpr std::uint64_t kGoldenGamma = 0x9e3779b97f4a7c15ULL;

constexpr std::uint64_t mix64(std::uint64_t z) {
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

}  // namespace

std::uint64_t steadyClockNanoseconds() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
}

std::uint64_t randomDeviceSeed() {
    std::random_device device;
    return (static_cast<std::uint64_t>(device()) << 32) ^ device();
}

RandomSource::RandomSource(Clock clockNanoseconds, std::uint64_t seed)
    : clock_(std::move(clockNanoseconds)), state_(seed) {}

void RandomSource::reseedFromClock() {
    state_ = mix64(state_ ^ clock_()) + kGoldenGamma;
}

double RandomSource::next() {
    state_ += kGoldenGamma;
    constexpr double kTwoToMinus53 = 1.0 / 9007199254740992.0;
    return static_cast<double>(mix64(state_) >> 11) * kTwoToMinus53;
}

std::size_t pickIndex(double r, std::size_t n) {
    if (n == 0) return 0;
    const double product = r * static_cast<double>(n);
    if (!(product > 0.0)) return 0;  // also a NaN
    if (product >= static_cast<double>(n)) return n - 1;
    const auto index = static_cast<std::size_t>(product);  // truncation is floor here
    return index < n ? index : n - 1;
}

std::vector<std::size_t> pickDistinct(RandomSource& random, std::size_t n, std::size_t among) {
    n = std::min(n, among);
    std::vector<std::size_t> picked;
    picked.reserve(n);
    // The shuffle of 0 .. among-1 is kept only where it moved something: a list of a million
    // costs nothing for ten picks.
    std::unordered_map<std::size_t, std::size_t> moved;
    const auto at = [&moved](std::size_t i) {
        const auto found = moved.find(i);
        return found == moved.end() ? i : found->second;
    };
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t j = i + pickIndex(random.next(), among - i);
        const std::size_t chosen = at(j);
        moved[j] = at(i);
        picked.push_back(chosen);
    }
    return picked;
}

}  // namespace zorbalin::draw
