#include "sorter.hpp"

#include <iostream>
#include <memory>
#include <string>
#include <utility>

#include "console/input.hpp"
#include "console/services.hpp"

namespace sorter {
namespace {

constexpr const char* rule = "====================";

std::string position_label(std::size_t index) { return std::to_string(index + 1) + "번째 정수 : "; }

}  // namespace

void print_numbers(ConstNumbers numbers) {
    std::cout << rule << '\n';
    for (std::size_t i = 0; i < numbers.size(); ++i) std::cout << position_label(i) << numbers[i] << '\n';
    std::cout << rule << "\n\n";
}

void exchange_sort(Numbers numbers) {
    for (std::size_t i = 0; i + 1 < numbers.size(); ++i) {
        for (std::size_t j = i + 1; j < numbers.size(); ++j) {
            // The values themselves are compared: a difference of two 32-bit values can overflow.
            if (numbers[i] > numbers[j]) std::swap(numbers[i], numbers[j]);
        }
    }
}

void run() {
    // Owned by a unique_ptr so that the array is released also when the input ends early.
    const std::unique_ptr<std::int32_t[]> storage(new std::int32_t[number_count]);
    const Numbers numbers(storage.get(), number_count);

    for (std::size_t i = 0; i < number_count; ++i) numbers[i] = console::ask_int(position_label(i));
    std::cout << "오름차순 정렬전\n";
    print_numbers(numbers);
    exchange_sort(numbers);
    std::cout << "오름차순 정렬후\n";
    print_numbers(numbers);
    console::wait_key();
}

}  // namespace sorter
