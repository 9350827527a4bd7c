#include "roster.hpp"

#include <iostream>
#include <string>

#include "console/input.hpp"
#include "console/services.hpp"

namespace roster {
namespace {

constexpr std::int32_t quit_choice = 8;

void draw_menu(const Roster& roster) {
    std::cout << "======학생관리 프로그램======\n"
                 "      1.학생 등록\n"
                 "      2.학생 목록<번호순>\n"
                 "      3.학생 목록<학년순>\n"
                 "      4.학생 검색\n"
                 "      5.학년 검색\n"
                 "      6.마지막 학생 삭제\n"
                 "      7.학생 전체 삭제\n"
                 "      8.종료\n"
                 "   (학생 수 : "
              << roster.count << ")\n";
}

void list_grade_or_say_none(const Roster& roster, std::int32_t grade) {
    if (!roster.list_grade(grade)) std::cout << grade << "학년 학생이 없습니다.\n";
}

}  // namespace

void run() {
    Roster roster;
    std::string search_name;
    for (;;) {
        console::clear_screen();
        draw_menu(roster);
        const std::int32_t choice = console::ask_choice("입력 : ").value_or(quit_choice);
        console::clear_screen();
        switch (choice) {
        case 1:
            if (!roster.register_next()) std::cout << "더이상 학생을 등록할 수 없습니다.\n";
            break;
        case 2:
            roster.list_all();
            break;
        case 3:
            for (std::int32_t grade = 1; grade <= 3; ++grade) list_grade_or_say_none(roster, grade);
            break;
        case 4:
            search_name = console::ask_word("이름 입력 : ");
            if (!roster.find_by_name(search_name)) std::cout << "해당 학생이 없습니다.\n";
            break;
        case 5:
            list_grade_or_say_none(roster, console::ask_int("학년 입력 : "));
            break;
        case 6:
            roster.delete_last();
            break;
        case 7:
            roster.delete_all();
            break;
        case quit_choice:
            return;
        default:
            break;
        }
        console::pause_screen();
    }
}

}  // namespace roster
