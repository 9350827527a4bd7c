// Standard output that cannot be written: every program ends with status 1, promptly, instead
// of reporting success or spinning on a failed stream, and says why on standard error unless
// the pipe's reader has gone. fastclock, which has no end of its own, included.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "support/process.hpp"

namespace {

using testing_support::program_path;

// A program that spins on a failed stream never ends; one that stops ends in milliseconds.
// The bound leaves room for the sanitizer build, and Wine, on a busy machine.
constexpr int time_bound_ms = testing_support::hung_after_ms / 2;

struct Program {
    const char* name;
    std::string input;  // a whole, valid dialogue that ends normally when output works
};

void PrintTo(const Program& p, std::ostream* os) { *os << p.name; }

class OutputFault : public testing::TestWithParam<Program> {};

TEST_P(OutputFault, WorkingOutputEndsNormally) {
    // The baseline for the failures below: with the same input and a reader, status 0.
    const Program& p = GetParam();
    if (std::string(p.name) == "fastclock") {
        const auto result = testing_support::run_program(program_path(p.name), p.input, 500);
        EXPECT_TRUE(result.timed_out) << "the clock has no end of its own";
        EXPECT_FALSE(result.out.empty());
        return;
    }
    const auto result = testing_support::run_program(program_path(p.name), p.input, time_bound_ms);
    ASSERT_FALSE(result.timed_out);
    EXPECT_EQ(result.exit_status, 0);
}

#ifndef _WIN32  // Windows has no full device
TEST_P(OutputFault, FullDeviceEndsWithStatusOne) {
    const Program& p = GetParam();
    const auto result = testing_support::run_program_to(program_path(p.name), p.input, "/dev/full", time_bound_ms);
    ASSERT_FALSE(result.timed_out) << "still running on a full device";
    EXPECT_EQ(result.signal, 0);
    EXPECT_EQ(result.exit_status, 1);
    EXPECT_EQ(result.err, std::string(p.name) + ": standard output: No space left on device\n");
}
#endif

TEST_P(OutputFault, PipeWithoutReaderEndsWithStatusOne) {
    const Program& p = GetParam();
    const auto result = testing_support::run_program_to_closed_pipe(program_path(p.name), p.input, 0, time_bound_ms);
    ASSERT_FALSE(result.timed_out) << "still running on a closed pipe";
    EXPECT_EQ(result.signal, 0) << "killed by the signal of the closed pipe instead of ending with a status";
    EXPECT_EQ(result.exit_status, 1);
#ifndef _WIN32
    EXPECT_EQ(result.err, "") << "a reader that has gone is no failure to report";
#endif
}

// In the order of their add_console_program lines.
const Program every_program[] = {
    {"roster", "1\nKim 17 1 0\n2\n8\n"}, {"sorter", "5 4 3 2 1\n"},  {"fastclock", ""},
    {"recursion", "10 10\n"},             {"timestable", "9 2\n2 9\n"}, {"boxdraw", "0 1\n4 3\n"},
    {"studytime", "1\n2\n30\n2\n"},       {"sumcalls", ""},
};

INSTANTIATE_TEST_SUITE_P(EveryProgram, OutputFault, testing::ValuesIn(every_program),
                         [](const testing::TestParamInfo<Program>& param_info) { return std::string(param_info.param.name); });

// A program added to the build is not covered here until it has its dialogue above.
TEST(OutputFault, EveryProgramOfTheBuildHasItsDialogue) {
    std::string listed;
    for (const Program& p : every_program) listed += (listed.empty() ? "" : " ") + std::string(p.name);
    EXPECT_EQ(listed, PROGRAMS) << "the build's programs (add_console_program), against the table";
}

TEST(OutputFault, ClockEndsWhenItsReaderGoesAway) {
    // The reader takes the first frames and leaves; the clock must notice at its next draw.
    const auto result = testing_support::run_program_to_closed_pipe(program_path("fastclock"), "", 512, time_bound_ms);
    ASSERT_FALSE(result.timed_out) << "the clock went on drawing into a closed pipe";
    EXPECT_GE(result.out.size(), 512u);
    EXPECT_EQ(result.signal, 0);
    EXPECT_EQ(result.exit_status, 1);
}

}  // namespace
