#include "student.hpp"

#include <iostream>

#include "console/input.hpp"

namespace roster {

void Student::enter_details(std::int32_t slot_number) {
    number = slot_number;
    std::cout << number << "번 학생 정보\n";
    name = console::ask_word("이름 : ");
    age = console::ask_int("나이 : ");
    for (;;) {
        grade = console::ask_int("학년 : ");
        if (grade >= 1 && grade <= 3) break;
        std::cout << "잘못 입력하셧습니다.(1~3)\n";
    }
    for (;;) {
        gender = console::ask_int("성별(남자 0,여자 1) : ");
        if (gender == 0 || gender == 1) break;
        std::cout << "잘못 입력하셧습니다.(0,1)\n";
    }
}

void Student::show_card() const {
    std::cout << "    ====" << number << "번 학생====\n"
                 "    이름 : " << name << "\n"
                 "    나이 : " << age << "\n"
                 "    성별 : " << (gender == 0 ? "남자" : "여자") << "\n"
                 "    학년 : " << grade << "\n"
                 "\n";
}

}  // namespace roster
