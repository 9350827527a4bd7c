// Console services on the Windows console: the command interpreter's cls and pause, the
// runtime's _getch and the console's cursor placement. Results are ignored, as the callers
// expect nothing back.
#include <windows.h>
#include <conio.h>

#include <cstdlib>
#include <iostream>

#include "services.hpp"

namespace console {

void clear_screen() {
    std::cout.flush();
    std::system("cls");
}

void pause_screen() {
    std::cout.flush();
    std::system("pause");
}

void wait_key() {
    std::cout.flush();
    _getch();
}

void move_cursor(std::int16_t column, std::int16_t row) {
    std::cout.flush();
    SetConsoleCursorPosition(GetStdHandle(STD_OUTPUT_HANDLE), COORD{column, row});
}

}  // namespace console
