#pragma once
// A length of study time in whole hours and minutes.

#include <cstdint>
#include <optional>

namespace studytime {

struct StudyTime {
    std::int32_t hours = 0;
    std::int32_t minutes = 0;  // below 60 after every add_time; a negative sum stays negative

    // This time plus `hours` and `minutes`. Whole hours are carried out of the minute sum only
    // when it reaches 60; nothing is borrowed when it is negative. Nothing is returned when the
    // result cannot be held in 32-bit hours and minutes: the caller keeps what it had.
    std::optional<StudyTime> add_time(std::int32_t hours, std::int32_t minutes) const;
};

}  // namespace studytime
