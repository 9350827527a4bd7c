// The clock's time source against the wall: milliseconds since start, never going back.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "stopwatch.hpp"

namespace {

TEST(Stopwatch, CountsMillisecondsSinceStart) {
    const auto wall_start = std::chrono::steady_clock::now();
    const fastclock::Stopwatch stopwatch;
    const std::int64_t first = stopwatch.elapsed_ms();
    EXPECT_GE(first, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const std::int64_t later = stopwatch.elapsed_ms();
    const auto wall = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - wall_start);
    EXPECT_GE(later, 50);
    EXPECT_LE(later, wall.count());
    for (std::int64_t previous = later, i = 0; i < 100000; ++i) {
        const std::int64_t now = stopwatch.elapsed_ms();
        ASSERT_GE(now, previous);
        previous = now;
    }
}

}  // namespace
