// Console services on Linux and macOS terminals. On a pipe or a file there is no screen to
// clear and no key to wait for: only the pause prompt's text is written, so that a log of the
// dialogue still shows where the program paused.
#include <iostream>
#include <string>

#include "services.hpp"
#include "terminal.hpp"

namespace console {
namespace {

constexpr std::string_view pause_prompt = "계속하려면 아무 키나 누르십시오 . . . ";

}  // namespace

void clear_screen() {
    std::cout.flush();
    if (!output_is_terminal()) return;
    // Home, erase the screen, erase the scroll-back.
    std::cout << "\x1b[H\x1b[2J\x1b[3J";
    std::cout.flush();
}

void pause_screen() {
    std::cout << pause_prompt;
    std::cout.flush();
    if (input_is_terminal()) read_key(0);
    std::cout << std::endl;
}

void wait_key() {
    std::cout.flush();
    if (input_is_terminal()) read_key(0);
}

void move_cursor(std::int16_t column, std::int16_t row) {
    std::cout.flush();
    if (!output_is_terminal()) return;
    std::cout << "\x1b[" << row + 1 << ';' << column + 1 << 'H';
    std::cout.flush();
}

}  // namespace console
