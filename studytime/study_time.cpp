#include "study_time.hpp"

#include <limits>

namespace studytime {
namespace {

bool fits(std::int64_t value) {
    return value >= std::numeric_limits<std::int32_t>::min() && value <= std::numeric_limits<std::int32_t>::max();
}

}  // namespace

std::optional<StudyTime> StudyTime::add_time(std::int32_t added_hours, std::int32_t added_minutes) const {
    // Two 32-bit values and a carry of at most 2^26 hours cannot overflow 64 bits.
    const std::int64_t minute_sum = std::int64_t{minutes} + added_minutes;
    std::int64_t hour_sum = std::int64_t{hours} + added_hours;
    std::int64_t minute_result = minute_sum;
    if (minute_sum >= 60) {
        hour_sum += minute_sum / 60;
        minute_result = minute_sum % 60;
    }
    if (!fits(hour_sum) || !fits(minute_result)) return std::nullopt;
    return StudyTime{static_cast<std::int32_t>(hour_sum), static_cast<std::int32_t>(minute_result)};
}

}  // namespace studytime
