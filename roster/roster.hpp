#pragma once
// The roster's one store, ten student slots filled from the front, and the program around it.

#include <array>
#include <cstdint>
#include <string>

#include "student.hpp"

namespace roster {

struct Roster {
    static constexpr std::int32_t capacity = 10;

    std::int32_t count = 0;  // slots 0 .. count-1 are in use, in order of registration
    std::array<Student, capacity> students{};

    // Runs the entry dialogue in the next free slot; false, with nothing written, when full.
    bool register_next();
    // The cards of all students, in slot order.
    void list_all() const;
    // A boxed block with the cards of one school year; true when it held a card.
    bool list_grade(std::int32_t grade) const;
    // The card of the first student with exactly this name; true when there was one.
    bool find_by_name(std::string name) const;
    // Removes the most recent student, showing its card, or says there is none.
    void delete_last();
    void delete_all();
};

// The roster program: menu, chosen operation, pause, until the user quits (choice 8 or the
// end of input).
void run();

}  // namespace roster
