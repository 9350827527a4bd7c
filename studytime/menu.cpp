#include "studytime.hpp"

#include <iostream>
#include <limits>

#include "console/input.hpp"
#include "console/services.hpp"

namespace studytime {
namespace {

constexpr std::int32_t register_choice = 1;
constexpr std::int32_t exit_choice = 2;

void draw_menu(const StudyTime& total, std::int32_t day) {
    console::clear_screen();
    std::cout << " 총 공부 시간 : " << total.hours << " : " << total.minutes << "\n"
                 "=====공부 시간 관리 프로그램(" << day << "Day)=====\n"
                 "              1.시간 등록\n"
                 "              2.종료\n";
}

void show_exit_screen(const StudyTime& total) {
    console::clear_screen();
    std::cout << "총 공부 시간 : " << total.hours << " : " << total.minutes << '\n';
    console::pause_screen();
}

}  // namespace

bool register_time(StudyTime& total, std::int32_t& day, std::int32_t hours, std::int32_t minutes) {
    if (day == std::numeric_limits<std::int32_t>::max()) return false;
    const auto sum = total.add_time(hours, minutes);
    if (!sum) return false;
    total = *sum;
    ++day;
    return true;
}

void run() {
    StudyTime total{0, 0};
    std::int32_t day = 1;
    for (;;) {
        draw_menu(total, day);
        const std::int32_t choice = console::ask_choice("              입력 : ").value_or(exit_choice);
        if (choice == exit_choice) {
            show_exit_screen(total);
            return;
        }
        if (choice != register_choice) continue;
        const std::int32_t hours = console::ask_int("시간 : ");
        const std::int32_t minutes = console::ask_int("분 : ");
        if (!register_time(total, day, hours, minutes)) {
            std::cout << "더할 수 없습니다. 총 공부 시간이 범위를 벗어납니다.\n";
            console::pause_screen();
        }
    }
}

}  // namespace studytime
