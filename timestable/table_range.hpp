#pragma once
// The range of times tables to print, from `first` to `last`, each between 2 and 9.

#include <cstdint>
#include <string_view>

namespace timestable {

struct TableRange {
    std::int32_t first;  // written only by enter_range, at every attempt
    std::int32_t last;

    // Asks for the first and the last table until 2 <= first <= last <= 9; a refused pair is
    // answered with its message and a pause, and both values are asked again.
    void enter_range();
    // The header line and one line for each multiplier 1 to 9, one cell per table.
    void print_table() const;
    // Why this pair cannot be printed: the message of the first failed test, or empty.
    std::string_view range_problem() const;
};

}  // namespace timestable
