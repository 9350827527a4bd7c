// The console services on Linux and macOS. Escape sequences go into the output like any text,
// so a clock frame leaves in one write.
#include "services.hpp"

#include <iostream>
#include <string>

#include "session.hpp"

namespace console {
namespace {

constexpr std::string_view pause_prompt = "계속하려면 아무 키나 누르십시오 . . . ";

// Waits for one key press on the terminal, once all written is on the screen, and consumes its
// bytes and nothing after them: what was typed after it stays for the next prompts.
void key_from_terminal() {
    Terminal* terminal = Session::current().terminal();
    if (!terminal) return;
    std::cout.flush();
    const Terminal::Hold hold(*terminal);
    std::string key;
    terminal->read_key(key);  // false: the end of the terminal (hang-up) or an error, ignored
}

}  // namespace

void clear_screen() {
    // Home, erase the screen, erase the scroll-back.
    if (Session::current().console().escapes) std::cout << "\x1b[H\x1b[2J\x1b[3J";
}

void pause_screen() {
    std::cout << pause_prompt;
    key_from_terminal();
    std::cout << '\n';
}

void wait_key() { key_from_terminal(); }

void move_cursor(std::int16_t column, std::int16_t row) {
    const Console& console = Session::current().console();
    if (console.escapes) {
        std::cout << "\x1b[" << row + 1 << ';' << column + 1 << 'H';
    } else if (console.output_terminal) {
        std::cout << '\r';  // the one cursor move every terminal understands
    }
}

}  // namespace console
