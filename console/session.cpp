#include "session.hpp"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <utility>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace console {
namespace {

#ifdef _WIN32
bool is_terminal(int fd) { return SystemCalls::is_windows_console(fd); }  // not _isatty: NUL is none
// A console is read and written through its own calls, in UTF-16 whatever its code page; pipes
// and files keep the runtime's text mode, in CP949.
SystemCalls& calls_for(bool terminal) { return terminal ? SystemCalls::windows_console() : SystemCalls::standard(); }
Encoding typed_encoding(bool terminal) { return terminal ? Encoding::utf8 : encoding_from_locale(); }
Encoding written_encoding(bool terminal, Encoding) {
    return terminal ? SystemCalls::windows_console_encoding() : encoding_from_locale();
}
#else
bool is_terminal(int fd) { return isatty(fd) == 1; }
SystemCalls& calls_for(bool) { return SystemCalls::standard(); }
Encoding typed_encoding(bool) { return encoding_from_locale(); }
Encoding written_encoding(bool, Encoding typed) { return typed; }  // the locale's, both ways
#endif

// Terminals that take no escape sequences (Emacs' shell, IDE run consoles, a pty with no
// terminal type) say so with TERM unset, empty or "dumb", as the usual terminal libraries read it.
bool terminal_takes_escapes() {
    const char* type = std::getenv("TERM");
    return type != nullptr && *type != '\0' && std::strcmp(type, "dumb") != 0;
}

}  // namespace

Session* Session::active_ = nullptr;

Session::Session(std::string_view program)
    : program_(program), terminals_{is_terminal(0), is_terminal(1), terminal_takes_escapes(), typed_encoding(is_terminal(0))} {
    own_output_.emplace(1, terminals_.output, written_encoding(terminals_.output, terminals_.encoding),
                        calls_for(terminals_.output));
    input_ = &own_input_.emplace(0, calls_for(terminals_.input));
    input_->tie(&*own_output_);
    install(*own_output_);
#ifdef SIGPIPE
    // A closed pipe is reported as a failed write instead of killing the program silently.
    old_sigpipe_ = std::signal(SIGPIPE, SIG_IGN);
#endif
}

Session::Session(ConsoleInput& input, std::streambuf& output, Terminals terminals, std::string_view program)
    : program_(program), terminals_(terminals), input_(&input) {
    install(output);
}

void Session::install(std::streambuf& output) {
    output_ = &output;
    console_output_ = dynamic_cast<ConsoleOutput*>(&output);
    outer_ = std::exchange(active_, this);
    old_cin_ = std::cin.rdbuf(input_);
    old_cout_ = std::cout.rdbuf(output_);
    old_exceptions_ = std::cout.exceptions();
    std::cin.clear();
    std::cout.clear();
    // A failed write surfaces as an exception that ends the program with a failure status.
    std::cout.exceptions(std::ios::badbit);
}

Session::~Session() {
    active_ = outer_;
    std::cout.clear();
    std::cout.exceptions(old_exceptions_);
    std::cout.rdbuf(old_cout_);
    std::cin.rdbuf(old_cin_);
    std::cin.clear();
#ifdef SIGPIPE
    if (own_output_ && old_sigpipe_ != SIG_ERR) std::signal(SIGPIPE, old_sigpipe_);
#endif
}

void Session::flush() {
    if (console_output_ != nullptr) console_output_->write_held();
    else output_->pubsync();
}

int Session::run(void (*body)()) {
    int status = 0;
    try {
        try {
            body();
        } catch (const EndOfInput&) {
            status = 1;
            std::cout << std::endl;
        } catch (const InputFailed& failure) {
            status = 1;
            std::cerr << program_ << ": standard input: " << std::strerror(failure.error) << std::endl;
            std::cout << std::endl;
        }
        flush();
        return status;
    } catch (const OutputFailed& failure) {
        // A reader that has gone wants no more, as with every other tool in a pipeline.
        if (failure.error != EPIPE) std::cerr << program_ << ": standard output: " << std::strerror(failure.error) << std::endl;
        return 1;
    } catch (const std::ios_base::failure&) {
        return 1;
    }
}

int run(std::string_view program, void (*body)()) {
    if (Session::open()) return Session::current().run(body);
    Session session(program);
    return session.run(body);
}

void flush_output() { Session::current().flush(); }

void write_lines(std::string_view line, std::uint64_t count) {
    Session& session = Session::current();
    if (session.output_is_terminal()) {
        for (std::uint64_t i = 0; i < count; ++i) std::cout << line << std::endl;
        return;
    }
    // About 64 KiB of whole lines, encoded once and written as often as they fit in the count,
    // then the rest.
    const std::size_t with_end = line.size() + 1;
    const std::uint64_t per_block = std::max<std::uint64_t>(1, std::min<std::uint64_t>(count, (1u << 16) / with_end));
    std::string block;
    for (std::uint64_t i = 0; i < per_block; ++i) block.append(line).push_back('\n');
    if (session.console_output_ != nullptr) session.console_output_->write_repeated(block, count / per_block);
    else for (std::uint64_t i = 0; i < count / per_block; ++i) std::cout << block;
    std::cout.write(block.data(), static_cast<std::streamsize>(count % per_block * with_end)) << std::flush;
}

}  // namespace console
