#include "failing_allocations.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace zorbalin::testing {
namespace {

std::atomic<bool> armed{false};
std::atomic<std::size_t> minimum{0};
std::atomic<std::size_t> failing{0};
std::atomic<std::size_t> counted{0};

}  // namespace

void FailingAllocations::arm(std::size_t minimumBytes, std::size_t failAt) {
    minimum = minimumBytes;
    failing = failAt;
    counted = 0;
    armed = true;
}

std::size_t FailingAllocations::disarm() {
    armed = false;
    return counted;
}

}  // namespace zorbalin::testing

using zorbalin::testing::armed;
using zorbalin::testing::counted;
using zorbalin::testing::failing;
using zorbalin::testing::minimum;

// The array and nothrow forms of the standard library call this one.
void* operator new(std::size_t size) {
    if (armed && size >= minimum && counted.fetch_add(1) + 1 == failing) throw std::bad_alloc();
    if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
