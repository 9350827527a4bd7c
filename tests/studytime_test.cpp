// The study-time sum and the registration that advances the day, in-process.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <ostream>
#include <string>

#include "studytime.hpp"
#include "study_time.hpp"

namespace {

using studytime::StudyTime;

constexpr std::int32_t max32 = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t min32 = std::numeric_limits<std::int32_t>::min();

struct SumCase {
    const char* name;
    StudyTime total;
    std::int32_t hours;
    std::int32_t minutes;
    std::optional<StudyTime> expected;  // nothing: the sum cannot be held
};

void PrintTo(const SumCase& c, std::ostream* os) { *os << c.name; }

class AddTime : public testing::TestWithParam<SumCase> {};

TEST_P(AddTime, GivesTheCarriedSumOrRefusesIt) {
    const SumCase& c = GetParam();
    const auto sum = c.total.add_time(c.hours, c.minutes);
    ASSERT_EQ(sum.has_value(), c.expected.has_value());
    if (sum) {
        EXPECT_EQ(sum->hours, c.expected->hours);
        EXPECT_EQ(sum->minutes, c.expected->minutes);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sums, AddTime,
    testing::Values(
        SumCase{"MinuteSumOf59CarriesNothing", {1, 58}, 0, 1, StudyTime{1, 59}},
        SumCase{"MinuteSumOf60CarriesOneHour", {1, 59}, 0, 1, StudyTime{2, 0}},
        SumCase{"CarryKeepsTheRemainder", {5, 30}, 2, 45, StudyTime{8, 15}},
        SumCase{"EnteredMinutesAboveAnHourCarryInOneStep", {0, 0}, 0, 150, StudyTime{2, 30}},
        SumCase{"ExactMultipleOfAnHour", {0, 30}, 0, 150, StudyTime{3, 0}},
        SumCase{"NegativeMinutesBorrowNothing", {1, 10}, 0, -30, StudyTime{1, -20}},
        SumCase{"NegativeSumReaching60Carries", {1, -20}, 0, 80, StudyTime{2, 0}},
        SumCase{"NegativeHoursAreAddedAsEntered", {3, 0}, -10, 0, StudyTime{-7, 0}},
        SumCase{"HoursAtTheTop", {max32 - 1, 0}, 1, 0, StudyTime{max32, 0}},
        SumCase{"HoursPastTheTop", {max32, 0}, 1, 0, std::nullopt},
        SumCase{"CarryPastTheTop", {max32, 59}, 0, 1, std::nullopt},
        SumCase{"CarryFromTheLargestMinutes", {0, 59}, 0, max32, StudyTime{35791395, 6}},
        SumCase{"HoursAtTheBottom", {min32 + 5, 0}, -5, 0, StudyTime{min32, 0}},
        SumCase{"HoursPastTheBottom", {min32, 0}, -1, 0, std::nullopt},
        SumCase{"MinutesAtTheBottom", {0, -1}, 0, min32 + 1, StudyTime{0, min32}},
        SumCase{"MinutesPastTheBottom", {0, -1}, 0, min32, std::nullopt},
        SumCase{"OppositeExtremesCancel", {max32, min32 + 1}, min32, max32, StudyTime{-1, 0}}),
    [](const testing::TestParamInfo<SumCase>& param_info) { return std::string(param_info.param.name); });

TEST(RegisterTime, AdvancesTheDayWithEveryAcceptedSum) {
    StudyTime total{0, 0};
    std::int32_t day = 1;
    ASSERT_TRUE(studytime::register_time(total, day, 0, 0));
    ASSERT_TRUE(studytime::register_time(total, day, -4, -75));
    EXPECT_EQ(day, 3);
    EXPECT_EQ(total.hours, -4);
    EXPECT_EQ(total.minutes, -75);
}

TEST(RegisterTime, RefusalLeavesTotalAndDayAlone) {
    StudyTime total{max32, 30};
    std::int32_t day = 7;
    EXPECT_FALSE(studytime::register_time(total, day, 0, 30));
    EXPECT_EQ(total.hours, max32);
    EXPECT_EQ(total.minutes, 30);
    EXPECT_EQ(day, 7);
}

TEST(RegisterTime, TheLastDayCannotAdvance) {
    StudyTime total{1, 1};
    std::int32_t day = max32 - 1;
    ASSERT_TRUE(studytime::register_time(total, day, 0, 1));
    EXPECT_EQ(day, max32);
    EXPECT_FALSE(studytime::register_time(total, day, 0, 1));
    EXPECT_EQ(day, max32);
    EXPECT_EQ(total.hours, 1);
    EXPECT_EQ(total.minutes, 2);
}

}  // namespace
