// The sorter: its sort in-process, and the built program through pipes.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <string>

#include "sorter.hpp"
#include "support/console_text.hpp"
#include "support/dialogue_run.hpp"
#include "support/process.hpp"

namespace {

using Five = std::array<std::int32_t, sorter::number_count>;

struct SortCase {
    Five input;
    Five sorted;
};

TEST(ExchangeSort, OrdersAscending) {
    const SortCase cases[] = {
        {{5, -2, 9, 0, -2}, {-2, -2, 0, 5, 9}},
        {{1, 2, 3, 4, 5}, {1, 2, 3, 4, 5}},
        {{5, 4, 3, 2, 1}, {1, 2, 3, 4, 5}},
        {{3, 1, 3, 1, 3}, {1, 1, 3, 3, 3}},
        {{7, 7, 7, 7, 7}, {7, 7, 7, 7, 7}},
        {{0, -1, 1, 0, -1}, {-1, -1, 0, 0, 1}},
        // A difference of these overflows; only a comparison of the values orders them.
        {{INT_MAX, INT_MIN, -1, 1, 0}, {INT_MIN, -1, 0, 1, INT_MAX}},
        {{INT_MIN, INT_MAX, INT_MIN, INT_MAX, 0}, {INT_MIN, INT_MIN, 0, INT_MAX, INT_MAX}},
        {{1, INT_MIN, INT_MAX, -2, INT_MAX - 1}, {INT_MIN, -2, 1, INT_MAX - 1, INT_MAX}},
    };
    for (const SortCase& c : cases) {
        Five numbers = c.input;
        sorter::exchange_sort(numbers);
        EXPECT_EQ(numbers, c.sorted);
    }
}

const char* const rule = "====================\n";

std::string listing(const Five& numbers) {
    std::string text = rule;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        text += std::to_string(i + 1) + "번째 정수 : " + std::to_string(numbers[i]) + "\n";
    }
    return text + rule + "\n";
}

const std::string prompts = "1번째 정수 : 2번째 정수 : 3번째 정수 : 4번째 정수 : 5번째 정수 : ";
const std::string refused = "정수(-2147483648 ~ 2147483647)를 입력하세요.\n";

using RunCase = testing_support::DialogueCase;

DIALOGUE_TABLE(
    Sorter, "sorter",
        RunCase{"CrLfLineEnds", "5\r\n-2\r\n9\r\n0\r\n-2\r\n",
                prompts + "오름차순 정렬전\n" + listing({5, -2, 9, 0, -2}) + "오름차순 정렬후\n" + listing({-2, -2, 0, 5, 9}), 0},
        RunCase{"AllOnOneLineWithExtremes", "2147483647 -2147483648 +3 -0 007\n",
                prompts + "오름차순 정렬전\n" + listing({INT_MAX, INT_MIN, 3, 0, 7}) + "오름차순 정렬후\n" +
                    listing({INT_MIN, 0, 3, 7, INT_MAX}),
                0},
        RunCase{"RefusedTokensAskTheSamePromptAgain", "1\n2x 9\n2147483648\n2 3 4 5\n",
                "1번째 정수 : 2번째 정수 : " + refused + "2번째 정수 : " + refused +
                    "2번째 정수 : 3번째 정수 : 4번째 정수 : 5번째 정수 : 오름차순 정렬전\n" + listing({1, 2, 3, 4, 5}) +
                    "오름차순 정렬후\n" + listing({1, 2, 3, 4, 5}),
                0},
        RunCase{"EndOfInputBeforeTheFifthFails", "4 3 2\n1\n", prompts + "\n", 1},
        RunCase{"NoInputFails", "", "1번째 정수 : \n", 1});

}  // namespace
