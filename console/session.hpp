#pragma once
// The console of one run of a program: its standard input and output, and what they are.

#include <cstdint>
#include <optional>
#include <streambuf>
#include <string>
#include <string_view>

#include "encoding.hpp"
#include "input.hpp"
#include "output.hpp"

namespace console {

// What a session's streams are, as it finds out for the process's own.
struct Terminals {
    bool input = false;
    bool output = false;
    bool escapes = false;  // the output terminal takes escape sequences
    Encoding encoding = Encoding::utf8;
};

// Made where every program starts (console::run), a session puts the console layer's own
// stream buffers under std::cin and std::cout, has a failed write throw and a closed pipe
// report a failed write instead of killing the program, and gives all of that back when it
// ends. Whether standard input and output are terminals, whether the terminal takes escape
// sequences, and the console's encoding are found out here, once; everything else asks the
// session.
class Session {
public:
    // The process's standard input and output (descriptors 0 and 1). `program` names the
    // program in the messages on standard error.
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
    // the shell's prompt starts on a line of its own), when standard input cannot be read or
    // standard output cannot be written (both said on standard error, but for a pipe whose
    // reader has gone).
    int run(void (*body)());

    ConsoleInput& input() { return *input_; }
    // Writes `text` to standard output, as std::cout would.
    void write(std::string_view text) { output_->sputn(text.data(), static_cast<std::streamsize>(text.size())); }
    // Writes what the output holds, now: someone may be waiting for it.
    void flush();
    // Writes `text` `times` times over, encoded once (see ConsoleOutput::write_repeated).
    void write_repeated(std::string_view text, std::uint64_t times);

    bool input_is_terminal() const { return terminals_.input; }
    bool output_is_terminal() const { return terminals_.output; }
    // A terminal whose TERM is unset, empty or "dumb" takes no escape sequences.
    bool output_takes_escapes() const { return terminals_.output && terminals_.escapes; }
    Encoding encoding() const { return terminals_.encoding; }

private:
    void install(std::streambuf& output);
    [[noreturn]] static void no_session();

    std::string program_;
    Terminals terminals_;
    std::optional<ConsoleOutput> own_output_;
    std::optional<ConsoleInput> own_input_;
    ConsoleInput* input_;
    std::streambuf* output_;
    ConsoleOutput* console_output_ = nullptr;

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
// written at its end like any other; into a pipe or a file in blocks of many lines.
void write_lines(std::string_view line, std::uint64_t count);

}  // namespace console
