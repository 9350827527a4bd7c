#include "fastclock.hpp"

#include <iostream>
#include <limits>

#include "console/services.hpp"
#include "stopwatch.hpp"

namespace fastclock {
namespace {

// True when `now` is more than `threshold` after `mark`. A reading before its mark (which
// a monotonic clock never gives) passes nothing; the difference is taken unsigned so that
// no pair of readings can overflow.
bool passed(std::int64_t now, std::int64_t mark, std::int64_t threshold) {
    return now > mark && static_cast<std::uint64_t>(now) - static_cast<std::uint64_t>(mark) >
                             static_cast<std::uint64_t>(threshold);
}

std::int32_t next_on_dial(std::int32_t value) { return value + 1 == 60 ? 0 : value + 1; }

bool same_text(const ClockCounters& a, const ClockCounters& b) {
    return a.hours == b.hours && a.minutes == b.minutes && a.seconds == b.seconds;
}

}  // namespace

void draw_clock(const ClockCounters& counters) {
    console::move_cursor(clock_column, clock_row);
    std::cout << counters.hours << "시  " << counters.minutes << "분  " << counters.seconds << "초";
    // Frames are drawn only when the text changes, so this one must not wait for the next; the
    // cursor move and the text leave in one write.
    std::cout.flush();
}

void advance_counters(ClockCounters& counters, std::int64_t now) {
    if (passed(now, counters.second_mark, second_threshold)) {
        counters.seconds = next_on_dial(counters.seconds);
        counters.second_mark = now;
    }
    if (passed(now, counters.minute_mark, minute_threshold)) {
        counters.minutes = next_on_dial(counters.minutes);
        counters.minute_mark = now;
    }
    if (passed(now, counters.hour_mark, hour_threshold)) {
        // Hours never wrap; at the 32-bit limit (some 2400 years on) they stay there.
        if (counters.hours < std::numeric_limits<std::int32_t>::max()) ++counters.hours;
        counters.hour_mark = now;
    }
}

void run() {
    const Stopwatch stopwatch;
    ClockCounters counters;
    counters.second_mark = stopwatch.elapsed_ms();
    counters.minute_mark = stopwatch.elapsed_ms();
    counters.hour_mark = stopwatch.elapsed_ms();

    // A busy loop: the counters' resolution rests on reading the clock as often as possible.
    // The text is drawn only when it changes (the first frame always), not millions of times
    // a second.
    draw_clock(counters);
    ClockCounters shown = counters;
    for (;;) {
        advance_counters(counters, stopwatch.elapsed_ms());
        if (!same_text(counters, shown)) {
            draw_clock(counters);
            shown = counters;
        }
    }
}

}  // namespace fastclock
