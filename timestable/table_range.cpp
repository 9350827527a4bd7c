#include "table_range.hpp"

#include <iostream>

#include "console/input.hpp"
#include "console/services.hpp"

namespace timestable {

std::string_view TableRange::range_problem() const {
    if (first < 2 || first > 9) return "시작 단이 2보다 작거나 9보다 큽니다.";
    if (last < 2 || last > 9) return "끝 단이 2보다 작거나 9보다 큽니다.";
    if (first > last) return "시작 단이 끝 단보다 큽니다.";
    return {};
}

void TableRange::enter_range() {
    for (;;) {
        // Both answers are read before either is judged.
        first = console::ask_int("시작 단 입력 : ");
        last = console::ask_int("끝 단 입력 : ");
        const std::string_view problem = range_problem();
        if (problem.empty()) return;
        std::cout << problem << '\n';
        console::pause_screen();
    }
}

void TableRange::print_table() const {
    // Only a range that enter_range accepts has a table; this also keeps the loops and the
    // products far from the ends of the integer range.
    if (!range_problem().empty()) return;
    for (std::int32_t n = first; n <= last; ++n) std::cout << "=======" << n << "단=======\t";
    std::cout << '\n';
    for (std::int32_t m = 1; m <= 9; ++m) {
        for (std::int32_t n = first; n <= last; ++n) std::cout << "    " << n << " x " << m << " = " << n * m << "\t\t";
        std::cout << '\n';
    }
}

}  // namespace timestable
