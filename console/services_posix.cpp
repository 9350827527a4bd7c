// Console services on Linux and macOS terminals. On a pipe or a file there is no screen to
// clear and no key to wait for: only the pause prompt's text is written, so that a log of the
// dialogue still shows where the program paused. The session knows, from the start, whether
// each stream is a terminal and whether the terminal takes escape sequences.
//
// The escape sequences go into the output like any text, behind what was written before them,
// so a clock frame (the cursor move and its text) leaves in one write.
#include <iostream>
#include <string_view>

#include "services.hpp"
#include "session.hpp"
#include "terminal.hpp"

namespace console {
namespace {

constexpr std::string_view pause_prompt = "계속하려면 아무 키나 누르십시오 . . . ";

// Waits for one key on the terminal that standard input is, once everything written so far
// is on the screen. The key never reaches the input buffer; what that buffer already holds
// (answers typed ahead) stays for the next prompt.
void key_from_terminal() {
    Session& session = Session::current();
    if (!session.input_is_terminal()) return;
    session.flush();
    read_key(0, session.encoding());
}

}  // namespace

void clear_screen() {
    // Home, erase the screen, erase the scroll-back.
    if (Session::current().output_takes_escapes()) std::cout << "\x1b[H\x1b[2J\x1b[3J";
}

void pause_screen() {
    std::cout << pause_prompt;
    key_from_terminal();
    std::cout << std::endl;
}

void wait_key() { key_from_terminal(); }

void move_cursor(std::int16_t column, std::int16_t row) {
    const Session& session = Session::current();
    if (session.output_takes_escapes()) {
        std::cout << "\x1b[" << row + 1 << ';' << column + 1 << 'H';
    } else if (session.output_is_terminal()) {
        std::cout << '\r';  // the one cursor move every terminal understands
    }
}

}  // namespace console
