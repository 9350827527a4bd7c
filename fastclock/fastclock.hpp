#pragma once
// A clock running about a hundred times faster than real time, drawn at one console position.

#include <cstdint>

namespace fastclock {

// Readings are milliseconds of the monotonic clock (see stopwatch.hpp).
struct ClockCounters {
    std::int32_t hours = 0;    // counts up without wrapping
    std::int32_t minutes = 0;  // 0 to 59
    std::int32_t seconds = 0;  // 0 to 59
    std::int64_t second_mark = 0;  // reading at which seconds last advanced
    std::int64_t minute_mark = 0;  // reading at which minutes last advanced
    std::int64_t hour_mark = 0;    // reading at which hours last advanced
};

// Each counter advances once its mark is more than this many milliseconds behind the reading.
inline constexpr std::int64_t second_threshold = 10;
inline constexpr std::int64_t minute_threshold = 600;
inline constexpr std::int64_t hour_threshold = 36000;

// Where the text is drawn, counted from 0 at the top left.
inline constexpr std::int16_t clock_column = 10;
inline constexpr std::int16_t clock_row = 10;

// Places the cursor and writes "H시  M분  S초", with no line end.
void draw_clock(const ClockCounters& counters);
// Advances, by one step each, the counters whose threshold `now` has passed, and sets their
// marks to `now`. The three thresholds are independent of one another.
void advance_counters(ClockCounters& counters, std::int64_t now);

// The whole program: draws and advances until the process is stopped from outside.
[[noreturn]] void run();

}  // namespace fastclock
