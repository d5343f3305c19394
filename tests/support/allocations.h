// Counts the heap allocations of the test program, so that a test can show
// that an operation allocates nothing.
#pragma once

#include <cstddef>

namespace ondrix::testing {

std::size_t allocationCount();

}  // namespace ondrix::testing
