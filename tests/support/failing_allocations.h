// Running out of memory on demand. The program that compiles failing_allocations.cpp gets its
// global operator new replaced: while armed, the allocations of at least a given size are
// counted and the chosen one throws std::bad_alloc, as an allocation does when memory runs
// out. A test first counts the large allocations of an operation, then fails each in turn.
#pragma once

#include <cstddef>

namespace zorbalin::testing {

class FailingAllocations {
public:
    // Counts the allocations of at least `minimumBytes` from now on; the `failAt`-th of them
    // throws (0: none does).
    static void arm(std::size_t minimumBytes, std::size_t failAt = 0);
    // Stops counting; returns how many were counted.
    static std::size_t disarm();
};

}  // namespace zorbalin::testing
