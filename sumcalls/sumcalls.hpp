#pragma once
// Two summing operations and the program that shows three calls of them.

#include <cstdint>

namespace sumcalls {

// The sum of first, first + 1, ..., last. 0 when first is above last; a sum beyond 32 bits is
// clamped to the nearest limit. Without arguments it sums 1 to 10.
std::int32_t Q1(std::int32_t first = 1, std::int32_t last = 10);
// The sum of 1, 2, ..., n. 0 when n is below 1; a sum beyond 32 bits is clamped to the limit.
std::int32_t Q2(std::int32_t n);

// The whole program: three labelled results, then one key.
void run();

}  // namespace sumcalls
