// The recursion drills: both recursions in-process, and the built program through pipes.
#include <gtest/gtest.h>

#include <string>

#include "recursion.hpp"
#include "support/console_text.hpp"
#include "support/dialogue_run.hpp"
#include "support/process.hpp"
#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace {

TEST(SumTo, AddsOneToN) {
    struct Case {
        std::int32_t n;
        std::int32_t sum;
    };
    for (const Case c : {Case{0, 0}, Case{1, 1}, Case{2, 3}, Case{10, 55}, Case{100, 5050}, Case{1000, 500500}}) {
        EXPECT_EQ(recursion::sum_to(c.n), c.sum) << c.n;
        EXPECT_EQ(recursion::sum_to_on_deep_stack(c.n), c.sum) << c.n;
    }
}

TEST(SumTo, LargestServedNNestsDeepOnTheDeepStack) {
    EXPECT_EQ(recursion::sum_to_on_deep_stack(recursion::largest_sum_term), 2147450880);
    // Twice in a row: each call gets its stack afresh.
    EXPECT_EQ(recursion::sum_to_on_deep_stack(65534), 2147450880 - 65535);
}

TEST(AppendBase2Digits, WritesTheDigitsMostSignificantFirst) {
    struct Case {
        std::int32_t m;
        std::int32_t digits;
    };
    const Case cases[] = {{1, 1},     {2, 10},         {3, 11},        {5, 101},
                          {10, 1010}, {255, 11111111}, {256, 100000000}, {1000, 1111101000},
                          {1023, 1111111111}};
    for (const Case& c : cases) {
        recursion::digit_accumulator = 0;
        recursion::append_base2_digits(c.m);
        EXPECT_EQ(recursion::digit_accumulator, c.digits) << c.m;
    }
}

TEST(AppendBase2Digits, AppendsBehindWhatTheAccumulatorHolds) {
    recursion::digit_accumulator = 0;
    recursion::append_base2_digits(1);
    recursion::append_base2_digits(6);
    EXPECT_EQ(recursion::digit_accumulator, 1110);
}

const std::string refused = "정수(-2147483648 ~ 2147483647)를 입력하세요.\n";
const std::string bad_n = "0 ~ 65535 사이의 정수를 입력하세요.\n";
const std::string bad_m = "1 ~ 1023 사이의 정수를 입력하세요.\n";

using RunCase = testing_support::DialogueCase;

DIALOGUE_TABLE(
    Recursion, "recursion",
        RunCase{"CrLfLineEnds", "10\r\n10\r\n", "1.정수 입력 : 1 ~ 10 : 55\n2.정수 입력 : 10 -> 1010\n", 0},
        RunCase{"SmallestServed", "0 1\n", "1.정수 입력 : 1 ~ 0 : 0\n2.정수 입력 : 1 -> 1\n", 0},
        RunCase{"LargestServed", "65535\n1023\n", "1.정수 입력 : 1 ~ 65535 : 2147450880\n2.정수 입력 : 1023 -> 1111111111\n", 0},
        RunCase{"OutOfRangeAsksTheSamePromptAgain", "-1\n65536\n-2147483648 100\n0\n1024 2147483647\n255\n",
                "1.정수 입력 : " + bad_n + "1.정수 입력 : " + bad_n + "1.정수 입력 : " + bad_n +
                    "1.정수 입력 : 1 ~ 100 : 5050\n2.정수 입력 : " + bad_m + "2.정수 입력 : " + bad_m + "2.정수 입력 : " +
                    bad_m + "2.정수 입력 : 255 -> 11111111\n",
                0},
        RunCase{"RefusedTokenAsksTheSamePromptAgain", "1e3 5\n3\n2.5\n2\n",
                "1.정수 입력 : " + refused + "1.정수 입력 : 1 ~ 3 : 6\n2.정수 입력 : " + refused + "2.정수 입력 : 2 -> 10\n", 0},
        RunCase{"EndOfInputAtTheSecondPromptFails", "4\n", "1.정수 입력 : 1 ~ 4 : 10\n2.정수 입력 : \n", 1},
        RunCase{"EndOfInputAfterOutOfRangeFails", "70000\n", "1.정수 입력 : " + bad_n + "1.정수 입력 : \n", 1});

#ifndef _WIN32
TEST(RecursionRun, LargestNNeedsNoLargeMainStack) {
    // A main thread's stack of 1 MiB, as on Windows: in a build that keeps the recursion
    // (unoptimised, sanitizers) 65535 nested calls need more than that.
    rlimit old_limit{};
    ASSERT_EQ(getrlimit(RLIMIT_STACK, &old_limit), 0);
    rlimit small = old_limit;
    small.rlim_cur = old_limit.rlim_max == RLIM_INFINITY || old_limit.rlim_max > (1u << 20) ? (1u << 20) : old_limit.rlim_max;
    ASSERT_EQ(setrlimit(RLIMIT_STACK, &small), 0);
    const auto result = testing_support::run_program(testing_support::program_path("recursion"), "65535 1\n");
    ASSERT_EQ(setrlimit(RLIMIT_STACK, &old_limit), 0);
    EXPECT_EQ(result.out, testing_support::on_console("1.정수 입력 : 1 ~ 65535 : 2147450880\n2.정수 입력 : 1 -> 1\n"));
    EXPECT_EQ(result.exit_status, 0);
}
#endif

}  // namespace
