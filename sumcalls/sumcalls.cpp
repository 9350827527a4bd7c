#include "sumcalls.hpp"

#include <iostream>
#include <limits>

#include "console/services.hpp"

namespace sumcalls {
namespace {

constexpr std::int64_t lowest = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t highest = std::numeric_limits<std::int32_t>::max();

std::int32_t clamped(std::int64_t sum) {
    if (sum < lowest) return std::numeric_limits<std::int32_t>::min();
    if (sum > highest) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(sum);
}

// Adds first, first + 1, ..., last one at a time. The counter and the sum are 64-bit, so
// neither overflows, and the loop ends also when last is the largest 32-bit value.
//
// A range of 2^32 terms would take seconds, so two shortcuts keep every call short without
// changing any result:
// - where the range runs from -k to +k or beyond, each negative term and its positive mirror
//   cancel, so the sum is that of the terms left on one side of zero;
// - on one side of zero every further term pushes the sum the same way, so once it has left
//   the 32-bit range the clamped result is settled and the loop stops.
// Either way at most about 65536 terms are added (the smallest terms reach 2^31 after that many).
std::int32_t sum_range(std::int64_t first, std::int64_t last) {
    if (first > last) return 0;
    if (first < 0 && last > 0) {
        if (-first <= last) {
            first = -first + 1;
        } else {
            last = -last - 1;
        }
    }
    std::int64_t sum = 0;
    for (std::int64_t term = first; term <= last; ++term) {
        sum += term;
        if (sum > highest || sum < lowest) break;
    }
    return clamped(sum);
}

}  // namespace

std::int32_t Q1(std::int32_t first, std::int32_t last) { return sum_range(first, last); }

std::int32_t Q2(std::int32_t n) { return sum_range(1, n); }

void run() {
    std::cout << "Q1() : " << Q1() << '\n';
    std::cout << "Q2(100) : " << Q2(100) << '\n';
    std::cout << "Q1(5,10) : " << Q1(5, 10) << '\n';
    console::wait_key();
}

}  // namespace sumcalls
