#pragma once
// The recursive sum 1 + ... + n and the recursive base-2 digit builder.

#include <cstdint>

namespace recursion {

// The ranges in which the recursions reach their stopping case and the results fit 32 bits.
inline constexpr std::int32_t smallest_sum_term = 0;
inline constexpr std::int32_t largest_sum_term = 65535;
inline constexpr std::int32_t smallest_digit_source = 1;
inline constexpr std::int32_t largest_digit_source = 1023;

// Receives the base-2 digits, one decimal digit each; 0 when the program starts, never reset.
extern std::int32_t digit_accumulator;

// 1 + 2 + ... + n, one call per term. Needs smallest_sum_term <= n <= largest_sum_term; n calls
// nest below the first, so large n needs a deep stack (see sum_to_on_deep_stack).
std::int32_t sum_to(std::int32_t n);
// Appends the base-2 digits of n to digit_accumulator, most significant first. Needs
// smallest_digit_source <= n <= largest_digit_source and an accumulator that still has room.
void append_base2_digits(std::int32_t n);

// sum_to(n), run on a stack that holds the deepest served recursion in every build.
std::int32_t sum_to_on_deep_stack(std::int32_t n);

// The whole program: both prompts with their results, then one key.
void run();

}  // namespace recursion
