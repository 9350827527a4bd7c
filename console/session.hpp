#pragma once
// The console of one run of a program: its standard input and output, and what they are.

#include <csignal>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "input.hpp"
#include "output.hpp"
#ifndef _WIN32
#include "editor.hpp"
#include "terminal.hpp"
#endif

namespace console {

// What a session's streams are: the process's own (standard_console), or a test's.
struct Console {
    SystemCalls* input_calls = &SystemCalls::standard();
    SystemCalls* output_calls = &SystemCalls::standard();
    bool input_terminal = false;
    bool output_terminal = false;
    bool escapes = false;  // the output terminal takes escape sequences
    // Standard input and output are one terminal that takes escape sequences: the layer edits
    // the answers typed there (Linux, macOS).
    bool edits = false;
    Encoding typed = Encoding::utf8;    // what is read comes in this encoding
    Encoding written = Encoding::utf8;  // and what is written goes in this one
    // The columns the console gives a box-drawing character: 1 (each gets a filler), 2, or 0:
    // ask the console at the first one (measure_box).
    int box_columns = 1;
};

// The process's standard streams, as this platform finds them (session.cpp, windows.cpp).
Console standard_console();

#ifdef _WIN32
// Writes `box`, a box-drawing character, to the console and finds out how many columns it took:
// 1 or 2, 0 when it cannot tell (a terminal is asked through its Terminal instead).
int measure_box(ConsoleInput& input, SystemCalls& calls, std::string_view box);
#endif

// Made where every program starts (console::run), a session puts its stream buffers under
// std::cin and std::cout, has a failed write throw (a closed pipe included), and gives all of
// that back when it ends. One is open at a time.
class Session {
public:
    Session(std::string_view program, const Console& console);
    ~Session();

    static Session& current() {
        if (!active_) std::abort();  // a program has a session from its start to its end
        return *active_;
    }

    // Runs a program's dialogue and returns its exit status: 0 when it ends as the program
    // means to; 1 when the input ends before its task is done (after a line end), or standard
    // input or output fails (said on standard error, but for a pipe whose reader has gone).
    int run(void (*body)());

    ConsoleInput& input() { return input_; }
    const Console& console() const { return console_; }
#ifndef _WIN32
    // Standard input's terminal, where it is one.
    Terminal* terminal() { return terminal_ ? &*terminal_ : nullptr; }
#endif

private:
    std::string program_;
    Console console_;
    ConsoleOutput output_;
#ifndef _WIN32
    std::optional<Terminal> terminal_;
    std::optional<LineEditor> editor_;
#endif
    ConsoleInput input_;
    std::streambuf* old_cin_;
    std::streambuf* old_cout_;
    std::ios_base::iostate old_exceptions_;
    void (*old_sigpipe_)(int) = SIG_ERR;

    static Session* active_;
};

// Runs `body`, a program's dialogue, in a session over the process's standard streams and
// returns the exit status (see Session::run); `program` names it in messages.
int run(std::string_view program, void (*body)());

}  // namespace console
