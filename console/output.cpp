#include "output.hpp"

#include <cerrno>
#include <csignal>
#include <iostream>

#if CONSOLE_UTF8
#include "cp949.hpp"
#endif

#ifdef _WIN32
#include <io.h>
#else
#include <poll.h>
#include <unistd.h>
#endif

namespace console {

ConsoleOutput::ConsoleOutput(int fd) : fd_(fd) {
#if CONSOLE_UTF8
    converter_ = std::make_unique<Cp949ToUtf8>();
#endif
    setp(buffer_.data(), buffer_.data() + buffer_.size());
}

ConsoleOutput::~ConsoleOutput() = default;

void ConsoleOutput::write_out(const char* data, std::size_t size) {
    while (size > 0 && !failed_) {
#ifdef _WIN32
        const int chunk = size > (1u << 30) ? (1 << 30) : static_cast<int>(size);
        const long written = _write(fd_, data, static_cast<unsigned>(chunk));
#else
        const ssize_t written = ::write(fd_, data, size);
#endif
        if (written < 0 && errno == EINTR) continue;
#ifndef _WIN32
        // A descriptor inherited in non-blocking mode: a full pipe is a reason to wait, not a failure.
        if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd ready{fd_, POLLOUT, 0};
            if (poll(&ready, 1, -1) >= 0 || errno == EINTR) continue;
        }
#endif
        if (written <= 0) {
            failed_ = true;
            throw OutputFailed();
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

void ConsoleOutput::drain() {
    const auto size = static_cast<std::size_t>(pptr() - pbase());
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    if (failed_ || size == 0) return;
#if CONSOLE_UTF8
    converted_.clear();
    converter_->convert(std::string_view(buffer_.data(), size), converted_);
    write_out(converted_.data(), converted_.size());
#else
    write_out(buffer_.data(), size);
#endif
}

ConsoleOutput::int_type ConsoleOutput::overflow(int_type ch) {
    drain();
    if (!traits_type::eq_int_type(ch, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(ch);
        pbump(1);
    }
    return traits_type::not_eof(ch);
}

int ConsoleOutput::sync() {
    drain();
    return 0;
}

namespace {

// Standard output is set up before main runs, from here, so that no program can skip it.
// The buffer is never destroyed: std::cout is flushed after static objects are gone.
struct OutputSetup {
    OutputSetup() {
        static ConsoleOutput* const output = new ConsoleOutput(1);
        standard = output;
        std::cout.rdbuf(output);
        // A failed write surfaces as an exception that ends the program with a failure status.
        std::cout.exceptions(std::ios::badbit);
#ifdef SIGPIPE
        // A closed pipe is reported as a failed write instead of killing the program silently.
        std::signal(SIGPIPE, SIG_IGN);
#endif
    }
    std::streambuf* standard = nullptr;
};

const OutputSetup& setup() {
    static const OutputSetup instance;
    return instance;
}

const OutputSetup& installed_at_startup = setup();

}  // namespace

bool output_is_standard() { return std::cout.rdbuf() == setup().standard; }

}  // namespace console

// Named by the build for every program, so the linker always takes this file in.
extern "C" {
extern const int console_output_installed;
const int console_output_installed = 1;
}
