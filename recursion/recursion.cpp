#include "recursion.hpp"

#include <iostream>
#include <string_view>

#include "console/input.hpp"
#include "console/services.hpp"

namespace recursion {

std::int32_t digit_accumulator = 0;

std::int32_t sum_to(std::int32_t n) {
    if (n == 0) return 0;
    return sum_to(n - 1) + n;
}

void append_base2_digits(std::int32_t n) {
    if (n == 1) {
        digit_accumulator = digit_accumulator * 10 + 1;
        return;
    }
    append_base2_digits(n / 2);
    digit_accumulator = digit_accumulator * 10 + n % 2;
}

namespace {

// Asks until the answer lies in [smallest, largest]; outside it the range is named and the
// same prompt comes again, because the recursions would never stop or their results overflow.
std::int32_t ask_in_range(std::string_view prompt, std::int32_t smallest, std::int32_t largest) {
    for (;;) {
        const std::int32_t value = console::ask_int(prompt);
        if (value >= smallest && value <= largest) return value;
        std::cout << smallest << " ~ " << largest << " 사이의 정수를 입력하세요.\n";
    }
}

}  // namespace

void run() {
    const std::int32_t n = ask_in_range("1.정수 입력 : ", smallest_sum_term, largest_sum_term);
    const std::int32_t sum = sum_to_on_deep_stack(n);
    std::cout << "1 ~ " << n << " : " << sum << '\n';

    const std::int32_t m = ask_in_range("2.정수 입력 : ", smallest_digit_source, largest_digit_source);
    append_base2_digits(m);
    std::cout << m << " -> " << digit_accumulator << '\n';
    console::wait_key();
}

}  // namespace recursion
