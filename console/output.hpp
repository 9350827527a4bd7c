#pragma once
// Standard output of every program: a buffered stream on file descriptor 1 that converts the
// programs' CP949 text for the console (in a UTF-8 build) and reports a failed write.

#include <array>
#include <memory>
#include <stdexcept>
#include <streambuf>
#include <string>

namespace console {

// Thrown, once, when standard output cannot be written (a full device, a closed pipe).
struct OutputFailed : std::runtime_error {
    OutputFailed() : std::runtime_error("standard output cannot be written") {}
};

class Cp949ToUtf8;

// A stream buffer writing to a file descriptor. Text is written as it is (CP949 build) or
// converted to UTF-8 (UTF-8 build). A failed write throws OutputFailed; after that the
// buffer drops whatever it is given, so a program that is already ending cannot fail twice.
class ConsoleOutput final : public std::streambuf {
public:
    explicit ConsoleOutput(int fd);
    ~ConsoleOutput() override;
    ConsoleOutput(const ConsoleOutput&) = delete;
    ConsoleOutput& operator=(const ConsoleOutput&) = delete;

    bool failed() const { return failed_; }

protected:
    int_type overflow(int_type ch) override;
    int sync() override;

private:
    void drain();
    void write_out(const char* data, std::size_t size);

    int fd_;
    // Not zero-filled: every program pays for the pages it touches at start-up, and a line
    // touches only the first of them.
    std::array<char, 1 << 16> buffer_;
#if CONSOLE_UTF8
    std::unique_ptr<Cp949ToUtf8> converter_;
    std::string converted_;
#endif
    bool failed_ = false;
};

// True when std::cout still writes to the process's standard output (not redirected by a test).
bool output_is_standard();

}  // namespace console
