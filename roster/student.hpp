#pragma once
// One student of the roster: the record, its entry dialogue and its card.

#include <cstdint>
#include <string>

namespace roster {

struct Student {
    std::string name;         // one word, as typed (UTF-8)
    std::int32_t age = 0;     // as typed, never checked
    std::int32_t gender = 0;  // 0 male, 1 female
    std::int32_t grade = 0;   // school year 1 to 3
    std::int32_t number = 0;  // slot position counted from 1, given by the roster

    // Asks for name, age, school year (until 1 to 3) and gender (until 0 or 1).
    void enter_details(std::int32_t slot_number);
    // Writes the five-line card and the empty line that closes it.
    void show_card() const;
    std::string get_name() const { return name; }
};

}  // namespace roster
