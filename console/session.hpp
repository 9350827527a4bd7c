#pragma once
// The console of one run of a program: its standard input and output, and what they are.

#include <cstdint>
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
};

// Made where every program starts (console::run), a session puts the console layer's own
// stream buffers under std::cin and std::cout, has a failed write throw and a closed pipe
// report a failed write instead of killing the program, and gives all of that back when it
// ends. Whether standard input and output are terminals, and whether the terminal takes
// escape sequences, is found out here, once; everything else asks the session.
class Session {
public:
    // The process's standard input and output (descriptors 0 and 1). `program` names the
    // program in the message about unreadable input.
    explicit Session(std::string_view program);
    // Streams handed in by a caller (tests, fuzz targets), by default no terminal.
    Session(ConsoleInput& input, std::streambuf& output, Terminals terminals = {}, std::string_view program = "test");
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // The open session; a program has one from the start of its dialogue to its end.
    static Session& current() {
        if (!active_) no_session();
        return *active_;
    }
    static bool open() { return active_ != nullptr; }

    // Runs a program's dialogue and returns its exit status: 0 when it ends as the program
    // means to; 1 when the input ends before its task is done (a line end is written first, so
    // the shell's prompt starts on a line of its own), when standard input cannot be read (also
    // said on standard error) or when standard output cannot be written.
    int run(void (*body)());

    ConsoleInput& input() { return *input_; }
    // The layer's own output buffer, when standard output is one (made here or handed in).
    ConsoleOutput* console_output() { return console_output_; }
    // Writes `text` to standard output straight into its stream buffer, past the standard
    // stream's machinery, which the menus and prompts cost more than their text did.
    void write(Text text) {
        if (console_output_) {
            console_output_->put(text);
            return;
        }
        output_->sputn(text.data(), static_cast<std::streamsize>(text.size()));
    }
    // Ends lines written so, as std::endl's flush does: on a terminal they are written now.
    void end_lines() {
        if (console_output_) {
            console_output_->end_lines();
        } else {
            output_->pubsync();
        }
    }
    // Writes what the output holds, now: someone may be waiting for it.
    void flush();
    // Writes `text` `times` times over (see ConsoleOutput::write_repeated).
    void write_repeated(std::string_view text, std::uint64_t times);

    bool input_is_terminal() const { return input_terminal_; }
    bool output_is_terminal() const { return output_terminal_; }
    // A terminal whose TERM is unset, empty or "dumb" takes no escape sequences.
    bool output_takes_escapes() const { return output_escapes_; }

private:
    void install(std::streambuf& output);
    [[noreturn]] static void no_session();

    std::string program_;
    std::optional<ConsoleOutput> own_output_;
    std::optional<ConsoleInput> own_input_;
    ConsoleInput* input_;
    std::streambuf* output_;
    ConsoleOutput* console_output_ = nullptr;
    bool input_terminal_ = false;
    bool output_terminal_ = false;
    bool output_escapes_ = false;

    // What the session replaced, given back at its end.
    Session* outer_;
    std::streambuf* old_cin_ = nullptr;
    std::streambuf* old_cout_ = nullptr;
    std::ios_base::iostate old_exceptions_{};
#ifndef _WIN32
    bool restore_sigpipe_ = false;
    void (*old_sigpipe_)(int) = nullptr;
#endif

    static Session* active_;
};

// Writes what standard output holds, now (the open session's flush).
void flush_output();

// Writes `line` and a line end, `count` times over: on a terminal a line at a time, each
// written at its end like any other; into a pipe or a file in blocks of many lines, which saves
// a stream operation a line where a program writes the same line again and again.
void write_lines(std::string_view line, std::uint64_t count);

}  // namespace console
