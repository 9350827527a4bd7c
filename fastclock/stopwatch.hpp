#pragma once
// The clock's time source: a monotonic clock in milliseconds since the stopwatch started.

#include <cstdint>

namespace fastclock {

class Stopwatch {
public:
    Stopwatch();
    // Whole milliseconds since construction; never decreases and, being 64-bit, never wraps.
    std::int64_t elapsed_ms() const;

private:
    std::int64_t start_ns_;  // the monotonic clock's reading at construction, in nanoseconds
};

}  // namespace fastclock
