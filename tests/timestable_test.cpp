// The times-table range entry and the table layout, in-process.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <sstream>
#include <ostream>
#include <string>
#include <vector>

#include "support/capture.hpp"
#include "support/console_text.hpp"
#include "table_range.hpp"

namespace {

using testing_support::ScopedConsole;
using timestable::TableRange;

constexpr std::int32_t max32 = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t min32 = std::numeric_limits<std::int32_t>::min();

const std::string first_out = "시작 단이 2보다 작거나 9보다 큽니다.";
const std::string last_out = "끝 단이 2보다 작거나 9보다 큽니다.";
const std::string reversed = "시작 단이 끝 단보다 큽니다.";

struct RangeCase {
    std::int32_t first;
    std::int32_t last;
    std::string problem;  // empty: accepted
};

void PrintTo(const RangeCase& c, std::ostream* os) { *os << c.first << " and " << c.last; }

class RangeProblem : public testing::TestWithParam<RangeCase> {};

TEST_P(RangeProblem, FirstFailingTestNamesTheMessage) {
    const RangeCase& c = GetParam();
    const TableRange range{c.first, c.last};
    EXPECT_EQ(std::string(range.range_problem()), c.problem) << c.first << ' ' << c.last;
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, RangeProblem,
    testing::Values(RangeCase{2, 9, ""}, RangeCase{5, 5, ""}, RangeCase{2, 2, ""}, RangeCase{9, 9, ""},
                    RangeCase{1, 5, first_out}, RangeCase{10, 3, first_out}, RangeCase{-5, 3, first_out},
                    RangeCase{0, 0, first_out}, RangeCase{1, 10, first_out}, RangeCase{10, 2, first_out},
                    RangeCase{min32, 5, first_out}, RangeCase{max32, 5, first_out},
                    RangeCase{3, 1, last_out}, RangeCase{3, 10, last_out}, RangeCase{9, 1, last_out},
                    RangeCase{2, min32, last_out}, RangeCase{2, max32, last_out},
                    RangeCase{9, 2, reversed}, RangeCase{3, 2, reversed}));

TEST(EnterRange, AsksBothValuesBeforeJudgingAndPausesAfterEachRefusal) {
    ScopedConsole console("0\n0\n9 2\n3\n10\n4\n4\nleft");
    TableRange range{};
    range.enter_range();
    const std::string prompts = "시작 단 입력 : 끝 단 입력 : ";
    const std::string pause(testing_support::captured_pause_line);
    EXPECT_EQ(console.output(), prompts + first_out + "\n" + pause + prompts + reversed + "\n" + pause + prompts +
                                    last_out + "\n" + pause + prompts);
    EXPECT_EQ(range.first, 4);
    EXPECT_EQ(range.last, 4);
    EXPECT_EQ(console.rest(), "\nleft") << "nothing is read after the accepted pair";
}

// The table of 2 to 3 in full is a row of the program's own table (timestable_process_test.cpp).
TEST(PrintTable, FullRangeHasEightColumnsInOrder) {
    ScopedConsole console;
    const TableRange range{2, 9};
    range.print_table();
    std::istringstream lines(console.output());
    std::vector<std::string> all;
    for (std::string line; std::getline(lines, line);) all.push_back(line);
    ASSERT_EQ(all.size(), 10u);
    EXPECT_EQ(all[0].rfind("=======2단=======\t=======3단", 0), 0u);
    EXPECT_NE(all[0].find("=======8단=======\t=======9단=======\t"), std::string::npos);
    EXPECT_EQ(all[9].rfind("    2 x 9 = 18\t\t    3 x 9 = 27\t\t", 0), 0u);
    EXPECT_NE(all[9].find("    8 x 9 = 72\t\t    9 x 9 = 81\t\t"), std::string::npos);
    for (const std::string& line : all) {
        std::size_t cells = 0;
        for (std::size_t at = line.find('\t'); at != std::string::npos; at = line.find('\t', at + 1)) ++cells;
        EXPECT_EQ(cells, line == all[0] ? 8u : 16u) << line;
    }
}

TEST(PrintTable, RangeThatEntryWouldRefuseWritesNothing) {
    ScopedConsole console;
    const TableRange range{2, max32};
    range.print_table();
    EXPECT_EQ(console.output(), "");
}

}  // namespace
