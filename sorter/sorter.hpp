#pragma once
// Five integers read from the user, listed before and after an ascending exchange sort.

#include <cstddef>
#include <cstdint>
#include <span>

namespace sorter {

inline constexpr std::size_t number_count = 5;

using Numbers = std::span<std::int32_t, number_count>;
using ConstNumbers = std::span<const std::int32_t, number_count>;

// The listing block: a rule, one line per number ("k번째 정수 : value"), a rule and an empty line.
void print_numbers(ConstNumbers numbers);
// Sorts into ascending order in place: four passes, ten comparisons, equal values never swapped.
void exchange_sort(Numbers numbers);
// The whole program: five prompts, the two listings, then one key.
void run();

}  // namespace sorter
