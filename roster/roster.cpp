#include "roster.hpp"

#include <iostream>

namespace roster {

bool Roster::register_next() {
    if (count >= capacity) return false;
    students[static_cast<std::size_t>(count)].enter_details(count + 1);
    ++count;
    return true;
}

void Roster::list_all() const {
    for (std::int32_t slot = 0; slot < count; ++slot) students[static_cast<std::size_t>(slot)].show_card();
}

bool Roster::list_grade(std::int32_t grade) const {
    std::cout << "┌─────" << grade << " 학년─────┐\n";
    bool shown = false;
    for (std::int32_t slot = 0; slot < count; ++slot) {
        const Student& student = students[static_cast<std::size_t>(slot)];
        if (student.grade == grade) {
            student.show_card();
            shown = true;
        }
    }
    std::cout << "└─────────────┘\n";
    return shown;
}

bool Roster::find_by_name(std::string name) const {
    for (std::int32_t slot = 0; slot < count; ++slot) {
        const Student& student = students[static_cast<std::size_t>(slot)];
        if (student.get_name() == name) {
            student.show_card();
            return true;
        }
    }
    return false;
}

void Roster::delete_last() {
    if (count >= 1) {
        --count;
        students[static_cast<std::size_t>(count)].show_card();
        std::cout << "삭제 완료\n";
    } else {
        std::cout << "삭제할 학생이 없습니다.\n";
    }
}

void Roster::delete_all() { count = 0; }

}  // namespace roster
