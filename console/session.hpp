#pragma once
// The console of one run of a program: its standard input and output, and what they are.

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <streambuf>
#include <string>
#include <string_view>

#include "input.hpp"
#include "output.hpp"

namespace console {

// What a session's streams are, as it finds out for the process's own.
struct Terminals {
    bool input = false;
    bool output = false;
    bool escapes = false;  // the output terminal takes escape sequences
    // What is typed comes in this encoding; output goes in it too, but to a Windows console.
    Encoding encoding = Encoding::utf8;
};

// Made where every program starts (console::run), a session puts the layer's stream buffers
// under std::cin and std::cout, has a failed write throw (a closed pipe included), and gives
// all of that back when it ends. Whether the streams are terminals, whether the terminal takes
// escape sequences, and the console's encoding are found out here, once.
class Session {
public:
    explicit Session(std::string_view program);  // the process's own; `program` names it in messages
    // Streams handed in by a caller (tests, fuzz targets), by default no terminal.
    Session(ConsoleInput& input, std::streambuf& output, Terminals terminals = {}, std::string_view program = "test");
    ~Session();

    static Session& current() {
        if (!active_) std::abort();  // a program has a session from its start to its end
        return *active_;
    }
    static bool open() { return active_ != nullptr; }

    // Runs a program's dialogue and returns its exit status: 0 when it ends as the program
    // means to; 1 when the input ends before its task is done (after a line end), or standard
    // input or output fails (said on standard error, but for a pipe whose reader has gone).
    int run(void (*body)());

    ConsoleInput& input() { return *input_; }
    // Writes what the output holds, now: someone may be waiting for it.
    void flush();

    bool input_is_terminal() const { return terminals_.input; }
    bool output_is_terminal() const { return terminals_.output; }
    bool output_takes_escapes() const { return terminals_.output && terminals_.escapes; }
    Encoding encoding() const { return terminals_.encoding; }

private:
    friend void write_lines(std::string_view line, std::uint64_t count);
    void install(std::streambuf& output);

    std::string program_;
    Terminals terminals_;
    std::optional<ConsoleOutput> own_output_;
    std::optional<ConsoleInput> own_input_;
    ConsoleInput* input_;
    std::streambuf* output_ = nullptr;
    ConsoleOutput* console_output_ = nullptr;
    Session* outer_ = nullptr;  // what the session replaced, given back at its end, as these are
    std::streambuf* old_cin_ = nullptr;
    std::streambuf* old_cout_ = nullptr;
    std::ios_base::iostate old_exceptions_{};
    void (*old_sigpipe_)(int) = nullptr;

    static Session* active_;
};

// Runs `body`, a program's dialogue, in a console session over the process's standard input
// and output and returns the exit status (see Session::run); `program` names it in messages.
// Where a session is already open (a harness running main in-process), the body runs in it.
int run(std::string_view program, void (*body)());

// Writes what standard output holds, now (the open session's flush).
void flush_output();

// Writes `line` and a line end, `count` times over: on a terminal a line at a time, each
// written at its end like any other; into a pipe or a file in blocks of many lines.
void write_lines(std::string_view line, std::uint64_t count);

}  // namespace console
