// The fast clock: its counters fed with chosen readings, its frame, and the built program
// through pipes and at a terminal.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "fastclock.hpp"
#include "console/output.hpp"
#include "console/session.hpp"
#include "support/capture.hpp"
#include "support/scripted_calls.hpp"
#include "support/console_text.hpp"
#include "support/process.hpp"
#ifndef _WIN32
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/pty.hpp"
#endif

namespace {

using fastclock::ClockCounters;

struct Shown {
    std::int32_t hours, minutes, seconds;
    bool operator==(const Shown&) const = default;
};

Shown shown(const ClockCounters& c) { return {c.hours, c.minutes, c.seconds}; }

struct AdvanceCase {
    const char* name;
    ClockCounters before;
    std::int64_t now;
    Shown after;
    std::int64_t second_mark, minute_mark, hour_mark;  // after the pass
};

constexpr std::int64_t t0 = 1000;

TEST(AdvanceCounters, EachThresholdOnItsOwnAndStrict) {
    const AdvanceCase cases[] = {
        {"NothingYet", {0, 0, 0, t0, t0, t0}, t0 + 10, {0, 0, 0}, t0, t0, t0},
        {"SecondAfter11", {0, 0, 0, t0, t0, t0}, t0 + 11, {0, 0, 1}, t0 + 11, t0, t0},
        {"MinuteAt600Not", {0, 0, 0, t0, t0, t0}, t0 + 600, {0, 0, 1}, t0 + 600, t0, t0},
        {"MinuteAfter601", {0, 0, 0, t0, t0, t0}, t0 + 601, {0, 1, 1}, t0 + 601, t0 + 601, t0},
        {"HourAt36000Not", {0, 0, 0, t0, t0, t0}, t0 + 36000, {0, 1, 1}, t0 + 36000, t0 + 36000, t0},
        {"HourAfter36001", {0, 0, 0, t0, t0, t0}, t0 + 36001, {1, 1, 1}, t0 + 36001, t0 + 36001, t0 + 36001},
        // The marks are apart: each counter is measured against its own.
        {"OnlyTheMinute", {3, 7, 9, t0 + 595, t0, t0 + 30000}, t0 + 605, {3, 8, 9}, t0 + 595, t0 + 605, t0 + 30000},
        {"OnlyTheHour", {3, 7, 9, t0 + 36000, t0 + 36000, t0}, t0 + 36010, {4, 7, 9}, t0 + 36000, t0 + 36000, t0 + 36010},
        // 59 seconds roll over to 0 without touching the minutes, and likewise the minutes.
        {"SecondsWrap", {0, 5, 59, t0, t0 + 100, t0}, t0 + 20, {0, 5, 0}, t0 + 20, t0 + 100, t0},
        {"MinutesWrap", {0, 59, 30, t0 + 700, t0, t0}, t0 + 700, {0, 0, 30}, t0 + 700, t0 + 700, t0},
        {"HoursGoOnPast59", {59, 0, 0, t0 + 50000, t0 + 50000, t0}, t0 + 50000, {60, 0, 0}, t0 + 50000, t0 + 50000, t0 + 50000},
        {"HoursStopAtTheLimit", {INT_MAX, 0, 0, t0 + 50000, t0 + 50000, t0}, t0 + 50000, {INT_MAX, 0, 0}, t0 + 50000, t0 + 50000, t0 + 50000},
        // After a long stall each counter takes one step only; the overshoot is not carried.
        {"OneStepAfterAStall", {0, 0, 0, 0, 0, 0}, 10'000'000, {1, 1, 1}, 10'000'000, 10'000'000, 10'000'000},
        {"ReadingBeforeTheMarks", {0, 0, 0, t0, t0, t0}, -100000, {0, 0, 0}, t0, t0, t0},
        {"ExtremeReadings",
         {0, 0, 0, std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max()},
         std::numeric_limits<std::int64_t>::max(), {0, 1, 1}, std::numeric_limits<std::int64_t>::max(),
         std::numeric_limits<std::int64_t>::max(), std::numeric_limits<std::int64_t>::max()},
    };
    for (const AdvanceCase& c : cases) {
        ClockCounters counters = c.before;
        fastclock::advance_counters(counters, c.now);
        EXPECT_EQ(shown(counters), c.after) << c.name;
        EXPECT_EQ(counters.second_mark, c.second_mark) << c.name;
        EXPECT_EQ(counters.minute_mark, c.minute_mark) << c.name;
        EXPECT_EQ(counters.hour_mark, c.hour_mark) << c.name;
    }
}

TEST(AdvanceCounters, MinutesRunAheadOfSixtySeconds) {
    // Readings one tick apart: a second takes 11 ticks, a minute 601, so the minute comes
    // before the seconds have gone round once.
    ClockCounters counters;
    std::int64_t now = 0;
    while (counters.minutes == 0) fastclock::advance_counters(counters, ++now);
    EXPECT_EQ(now, 601);
    EXPECT_EQ(counters.seconds, 54);  // 601 ticks hold 54 whole steps of 11
}

TEST(DrawClock, WritesTheTextWithoutALineEnd) {
    testing_support::ScopedConsole console;
    fastclock::draw_clock(ClockCounters{});
    fastclock::draw_clock(ClockCounters{123, 5, 59, 0, 0, 0});
    EXPECT_EQ(console.output(), "0시  0분  0초123시  5분  59초");
}

#ifndef _WIN32  // there the console places the cursor itself, between writes
// On a terminal the cursor move and the text of a frame leave in one write, so a frame is
// never seen half drawn; where the terminal takes no escape sequences the move is a carriage
// return.
TEST(DrawClock, AFrameOnATerminalIsOneWrite) {
    for (const bool escapes : {true, false}) {
        testing_support::ScriptedCalls calls;
        const console::Encoding encoding = testing_support::console_encoding();
        const console::Session session("fastclock", {.input_calls = &calls, .output_calls = &calls, .input_terminal = true,
                                                     .output_terminal = true, .escapes = escapes, .typed = encoding,
                                                     .written = encoding});
        fastclock::draw_clock(ClockCounters{});
        fastclock::draw_clock(ClockCounters{1, 2, 3, 0, 0, 0});
        const std::string place = escapes ? "\x1b[11;11H" : "\r";
        EXPECT_EQ(calls.written, testing_support::on_console(place + "0시  0분  0초" + place + "1시  2분  3초"));
        EXPECT_EQ(calls.writes, 2);
    }
}
#endif

// The frames of a run through a pipe, where the cursor moves write nothing: one after another,
// with nothing between them or after the last.
std::vector<Shown> frames_of(const std::string& out) {
    const std::string units[] = {testing_support::on_console("시  "), testing_support::on_console("분  "),
                                 testing_support::on_console("초")};
    std::vector<Shown> frames;
    for (std::size_t at = 0; at < out.size();) {
        std::int32_t values[3] = {};
        for (int k = 0; k < 3; ++k) {
            const std::size_t end = std::min(out.find_first_not_of("0123456789", at), out.size());
            if (end == at || end - at > 9 || out.compare(end, units[k].size(), units[k]) != 0) {
                ADD_FAILURE() << "no frame at byte " << at << " of " << out.size();
                return frames;
            }
            values[k] = std::stoi(out.substr(at, end - at));
            at = end + units[k].size();
        }
        frames.push_back({values[0], values[1], values[2]});
    }
    return frames;
}

TEST(FastclockRun, DrawsEachChangeOnceThroughAPipe) {
    constexpr int run_ms = 1500;
    const auto result = testing_support::run_program(testing_support::program_path("fastclock"), "", run_ms);
    EXPECT_TRUE(result.timed_out) << "the clock has no end of its own";
    const std::vector<Shown> frames = frames_of(result.out);
    ASSERT_GE(frames.size(), 10u);
    EXPECT_EQ(frames.front(), (Shown{0, 0, 0}));
    // Seconds need more than 10 ms each, minutes more than 600 ms (with some slack for the
    // moments between the end of the run and the kill).
    constexpr int longest_ms = run_ms + 200;
    EXPECT_LE(frames.size(), static_cast<std::size_t>(1 + longest_ms / 11 + longest_ms / 601));
    for (std::size_t i = 1; i < frames.size(); ++i) {
        const Shown& a = frames[i - 1];
        const Shown& b = frames[i];
        EXPECT_NE(a, b) << "frame " << i << " repeats the one before";
        EXPECT_TRUE(b.seconds == a.seconds || b.seconds == (a.seconds + 1) % 60) << i;
        EXPECT_TRUE(b.minutes == a.minutes || b.minutes == (a.minutes + 1) % 60) << i;
        EXPECT_EQ(b.hours, 0) << i;
    }
    EXPECT_GE(frames.back().minutes, 1) << "a minute passes after 601 ms";
}

#ifndef _WIN32
TEST(FastclockTerminal, FirstFrameAtRow10Column10) {
    testing_support::PtySession session(testing_support::program_path("fastclock"));
    const std::string place = "\x1b[11;11H";
    ASSERT_TRUE(session.wait_for(place + testing_support::on_console("0시  0분  1초")));
    EXPECT_EQ(session.output().rfind(place + testing_support::on_console("0시  0분  0초") + place, 0), 0u)
        << "first the cursor goes to row 10, column 10, then the text; every frame places it anew";
    session.send_signal(SIGTERM);
    const int status = session.wait_exit();
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGTERM);
}

// Where the terminal takes no escape sequences each frame starts at the beginning of its line
// (an empty or unset TERM is read as dumb by the same code: Roster/TerminalType).
TEST(FastclockTerminal, PlainTerminalRedrawsOneLine) {
    testing_support::PtySession session(testing_support::program_path("fastclock"), "dumb");
    ASSERT_TRUE(session.wait_for("\r" + testing_support::on_console("0시  0분  1초")));
    EXPECT_TRUE(session.output().starts_with("\r" + testing_support::on_console("0시  0분  0초") + "\r"));
    EXPECT_EQ(session.output().find('\x1b'), std::string::npos);
    session.type("\x03");
    const int status = session.wait_exit();
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGINT);
}
#endif

}  // namespace
