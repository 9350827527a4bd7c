#include "session.hpp"

#include <cerrno>
#include <cstring>
#include <iostream>

namespace console {

Session* Session::active_ = nullptr;

SystemCalls& SystemCalls::standard() {
    static SystemCalls calls;  // the system's own, as posix.cpp and windows.cpp define them
    return calls;
}

bool SystemCalls::cursor(int, int&, int&) { return false; }  // but a Windows console's own calls

Session::Session(std::string_view program, const Console& console)
    : program_(program),
      console_(console),
      output_(1, *console.output_calls, console.written, console.box_columns),
      input_(0, *console.input_calls, &output_) {
    if (active_) std::abort();  // one console, one session
    active_ = this;
    if (console.box_columns == 0)
        output_.measure_box = [this](std::string_view box) { return measure_box(input_, *console_.output_calls, box); };
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
