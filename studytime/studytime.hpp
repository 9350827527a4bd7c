#pragma once
// The study-time log's menu: register a time, or leave with the total on a screen of its own.

#include <cstdint>

#include "study_time.hpp"

namespace studytime {

// Counts one registration: the total takes the added time and the day advances by one, both or
// neither. False, with both unchanged, when the new total or the next day cannot be held.
bool register_time(StudyTime& total, std::int32_t& day, std::int32_t hours, std::int32_t minutes);

// The whole program: the menu until the user chooses to leave (choice 2 or the end of input).
void run();

}  // namespace studytime
