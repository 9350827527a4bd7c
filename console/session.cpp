#include "session.hpp"

#include <cerrno>
#include <cstring>
#include <iostream>

#ifndef _WIN32
#include <langinfo.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <clocale>
#endif

namespace console {

Session* Session::active_ = nullptr;

#ifndef _WIN32
namespace {

// The console's encoding, from the user's locale (LC_ALL, then LC_CTYPE, then LANG). Only
// LC_CTYPE is taken from the user, so numbers are written alike everywhere.
Encoding encoding_from_locale() {
    const char* name = nullptr;
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        if ((name = std::getenv(variable)) != nullptr && *name != '\0') break;
    }
    const std::string_view locale = name != nullptr ? name : "";
    // No locale, C and POSIX, and one whose name gives a character set other than CP949's,
    // are UTF-8 consoles whether or not the locale is installed: its tables need not be loaded
    // (a tenth of a small program's memory).
    const std::size_t dot = std::min(locale.find('.'), locale.size());
    const std::string_view named = locale.substr(dot).substr(0, locale.substr(dot).find('@'));
    if (locale.empty() || locale == "C" || locale == "POSIX" ||
        (named.size() > 1 && encoding_of_charset(named.substr(1)) == Encoding::utf8)) {
        return Encoding::utf8;
    }
    if (std::setlocale(LC_CTYPE, "") == nullptr) return Encoding::utf8;  // not installed
    return encoding_of_charset(nl_langinfo(CODESET));
}

}  // namespace

Console standard_console() {
    Console console;
    console.input_terminal = isatty(0) == 1;
    console.output_terminal = isatty(1) == 1;
    // Terminals that take no escape sequences (Emacs' shell, IDE consoles) say so with TERM
    // unset, empty or "dumb", as the usual terminal libraries read it.
    const char* type = std::getenv("TERM");
    console.escapes = console.output_terminal && type != nullptr && *type != '\0' && std::strcmp(type, "dumb") != 0;
    console.typed = console.written = encoding_from_locale();
    // Input and output are one terminal when they are one device: answers are edited there, and a
    // UTF-8 one is asked at the first box-drawing character how wide it draws it (one column or
    // two, as it is set).
    struct stat in{};
    struct stat out{};
    console.edits = console.escapes && console.input_terminal && fstat(0, &in) == 0 && fstat(1, &out) == 0 &&
                    in.st_rdev == out.st_rdev;
    if (console.edits && console.written == Encoding::utf8) console.box_columns = 0;
    return console;
}

#endif

Session::Session(std::string_view program, const Console& console)
    : program_(program),
      console_(console),
      output_(1, *console.output_calls, console.written, console.box_columns),
      input_(0, *console.input_calls, &output_) {
    if (active_) std::abort();  // one console, one session
    active_ = this;
#ifdef _WIN32
    if (console.box_columns == 0)
        output_.measure_box = [this](std::string_view box) { return measure_box(input_, *console_.output_calls, box); };
#else
    if (console.input_terminal) terminal_.emplace(0, *console.input_calls, console.typed, console.edits);
    if (terminal_ && console.edits) input_.read_lines_from(&editor_.emplace(*terminal_, output_));
    if (terminal_ && console.box_columns == 0)
        output_.measure_box = [this](std::string_view box) { return terminal_->measure_box(output_, box); };
#endif
    old_cin_ = std::cin.rdbuf(&input_);
    old_cout_ = std::cout.rdbuf(&output_);
    old_exceptions_ = std::cout.exceptions();
    std::cin.clear();
    std::cout.clear();
    // A failed write surfaces as an exception that ends the program with a failure status.
    std::cout.exceptions(std::ios::badbit);
#ifdef SIGPIPE
    // A closed pipe is reported as a failed write instead of killing the program silently.
    old_sigpipe_ = std::signal(SIGPIPE, SIG_IGN);
#endif
}

Session::~Session() {
    active_ = nullptr;
    std::cout.clear();
    std::cout.exceptions(old_exceptions_);
    std::cout.rdbuf(old_cout_);
    std::cin.rdbuf(old_cin_);
    std::cin.clear();
#ifdef SIGPIPE
    if (old_sigpipe_ != SIG_ERR) std::signal(SIGPIPE, old_sigpipe_);
#endif
}

int Session::run(void (*body)()) {
    int status = 0;
    try {
        try {
            body();
        } catch (const EndOfInput&) {
            status = 1;
            std::cout << '\n';
        } catch (const InputFailed& failure) {
            status = 1;
            std::cerr << program_ << ": standard input: " << std::strerror(failure.error) << std::endl;
            std::cout << '\n';
        }
        std::cout.flush();
        return status;
    } catch (const OutputFailed& failure) {
        std::cout.exceptions(std::ios::goodbit);  // std::cerr flushes std::cout first: let it fail quietly
        // A reader that has gone wants no more, as with every other tool in a pipeline.
        if (failure.error != EPIPE) std::cerr << program_ << ": standard output: " << std::strerror(failure.error) << std::endl;
        return 1;
    } catch (const std::ios_base::failure&) {
        return 1;
    }
}

int run(std::string_view program, void (*body)()) {
    Session session(program, standard_console());
    return session.run(body);
}

}  // namespace console
