// Console services on the Windows console: the command interpreter's cls and pause, the
// runtime's _getch and the console's cursor placement. Each acts outside the program's own
// output stream, so whatever that holds is written first. Results are ignored, as the callers
// expect nothing back.
#include <windows.h>
#include <conio.h>

#include <cstdlib>

#include "services.hpp"
#include "session.hpp"

namespace console {

void clear_screen() {
    flush_output();
    std::system("cls");
}

void pause_screen() {
    flush_output();
    std::system("pause");
}

void wait_key() {
    flush_output();
    _getch();
}

void move_cursor(std::int16_t column, std::int16_t row) {
    flush_output();
    SetConsoleCursorPosition(GetStdHandle(STD_OUTPUT_HANDLE), COORD{column, row});
}

}  // namespace console
