#pragma once
// Standard output of every program: a buffered stream on a file descriptor that converts the
// programs' CP949 text for the console (in a UTF-8 build) and reports a failed write.

#include <array>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <string_view>

#include "system_calls.hpp"

namespace console {

// Thrown, once, when standard output cannot be written (a full device, a closed pipe).
struct OutputFailed : std::runtime_error {
    OutputFailed() : std::runtime_error("standard output cannot be written") {}
};

class Cp949ToUtf8;

// A stream buffer writing to a file descriptor. Text is written as it is (CP949 build) or
// converted to UTF-8 (UTF-8 build).
//
// On a terminal every line end (a flush of the stream) writes at once, so a person sees each
// line as it is made. Into a pipe or a file a line end writes nothing: the text is held and
// written in large blocks, and whoever knows that someone may be waiting for it (a read of
// standard input, a key wait, a clock frame, the end of the program) calls write_held().
//
// A failed write throws OutputFailed; after that the buffer drops whatever it is given, so a
// program that is already ending cannot fail twice.
class ConsoleOutput final : public std::streambuf {
public:
    ConsoleOutput(int fd, bool terminal, SystemCalls& calls = SystemCalls::standard());
    ~ConsoleOutput() override;
    ConsoleOutput(const ConsoleOutput&) = delete;
    ConsoleOutput& operator=(const ConsoleOutput&) = delete;

    // Writes everything held, now.
    void write_held();
    // Writes what is held, then `text` `times` times over, converted once (text of whole
    // characters, as a block of whole lines is).
    void write_repeated(std::string_view text, std::uint64_t times);
    bool failed() const { return failed_; }

protected:
    int_type overflow(int_type ch) override;
    std::streamsize xsputn(const char* data, std::streamsize size) override;
    int sync() override;

private:
    void write_out(const char* data, std::size_t size);

    int fd_;
    bool terminal_;
    SystemCalls& calls_;
    // Not zero-filled: every program pays for the pages it touches at start-up, and a short
    // dialogue touches only the first of them.
    std::array<char, 1 << 16> buffer_;
#if CONSOLE_UTF8
    std::unique_ptr<Cp949ToUtf8> converter_;
    std::unique_ptr<char[]> converted_;  // room for a whole buffer's conversion, made when first needed
    std::string repeated_;
#endif
    bool failed_ = false;
};

}  // namespace console
