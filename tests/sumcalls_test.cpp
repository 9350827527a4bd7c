// The summing operations in-process, and the built program through pipes.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "sumcalls.hpp"
#include "support/console_text.hpp"
#include "support/process.hpp"

namespace {

using sumcalls::Q1;
using sumcalls::Q2;

TEST(Q1, SumsTheRangeWithBothEnds) {
    EXPECT_EQ(Q1(), 55);
    struct Case {
        std::int32_t first, last, sum;
    };
    // Ranges within -70 .. 70 are AgreesWithAPlainLoopAcrossZero's.
    const Case cases[] = {
        {INT_MAX, INT_MIN, 0},  // first above last: empty
        {-65535, -1, -2147450880},
        {1, 65535, 2147450880},
        {INT_MAX, INT_MAX, INT_MAX},
        {INT_MIN, INT_MIN, INT_MIN},
        {INT_MIN, INT_MAX, INT_MIN},  // every other term cancels with its mirror
        {INT_MIN + 1, INT_MAX, 0},
        // Sums beyond 32 bits, clamped.
        {INT_MIN, INT_MIN + 1, INT_MIN},
        {INT_MAX - 1, INT_MAX, INT_MAX},
        {1, 65536, INT_MAX},    // 2147516416
        {-65536, -1, INT_MIN},  // -2147516416
        {0, INT_MAX, INT_MAX},
        {INT_MIN, 0, INT_MIN},
        {-10, INT_MAX, INT_MAX},
        {INT_MIN, 10, INT_MIN},
    };
    for (const Case& c : cases) EXPECT_EQ(Q1(c.first, c.last), c.sum) << c.first << " .. " << c.last;
}

TEST(Q1, AgreesWithAPlainLoopAcrossZero) {
    for (std::int32_t first = -70; first <= 70; ++first) {
        for (std::int32_t last = -70; last <= 70; ++last) {
            std::int32_t expected = 0;
            for (std::int32_t term = first; term <= last; ++term) expected += term;
            ASSERT_EQ(Q1(first, last), expected) << first << " .. " << last;
        }
    }
}

TEST(Q2, SumsOneToN) {
    struct Case {
        std::int32_t n, sum;
    };
    const Case cases[] = {{100, 5050}, {1, 1}, {2, 3}, {0, 0}, {-1, 0}, {INT_MIN, 0},
                          {65535, 2147450880}, {65536, INT_MAX}, {INT_MAX, INT_MAX}};
    for (const Case& c : cases) EXPECT_EQ(Q2(c.n), c.sum) << c.n;
}

const char* const three_lines = "Q1() : 55\nQ2(100) : 5050\nQ1(5,10) : 45\n";

TEST(SumcallsRun, WritesExactlyTheThreeLines) {
    const auto result = testing_support::run_program(testing_support::program_path("sumcalls"), "");
    ASSERT_FALSE(result.timed_out);
    EXPECT_EQ(result.out, testing_support::on_console(three_lines));
    EXPECT_EQ(result.exit_status, 0);
}

}  // namespace
