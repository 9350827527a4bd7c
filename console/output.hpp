#pragma once
// Standard output of every program: a buffered stream on a file descriptor that holds the
// programs' UTF-8 text and puts it into the console's encoding as it leaves.

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <streambuf>
#include <string_view>

#include "encoding.hpp"
#include "system_calls.hpp"

namespace console {

// Thrown, once, when standard output cannot be written (a full device, a closed pipe).
struct OutputFailed : std::runtime_error {
    explicit OutputFailed(int error_number) : std::runtime_error("standard output cannot be written"), error(error_number) {}
    int error;  // the errno of the failed write
};

// A stream buffer writing to a file descriptor. On a terminal every line end (a flush of the
// stream) writes at once. Into a pipe or a file the text is held and written in large blocks,
// and whoever knows that someone may be waiting for it (a read of standard input, a key wait,
// a clock frame, the end of the program) calls write_held(). A failed write throws
// OutputFailed; after that the buffer drops whatever it is given, so it fails only once.
class ConsoleOutput final : public std::streambuf {
public:
    ConsoleOutput(int fd, bool terminal, Encoding encoding, SystemCalls& calls = SystemCalls::standard());

    // Writes everything held, now.
    void write_held();
    // Writes what is held, then `text` (whole characters) `times` times over, encoded once.
    void write_repeated(std::string_view text, std::uint64_t times);
    bool failed() const { return failed_; }

protected:
    int_type overflow(int_type ch) override;
    std::streamsize xsputn(const char* data, std::streamsize size) override;
    int sync() override;

private:
    // Writes `size` bytes, all of it or throws.
    void write_out(const char* data, std::size_t size);

    int fd_;
    bool terminal_;
    SystemCalls& calls_;
    ConsoleEncoder encoder_;
    // Enough that bulk output is written seldom; no more, as each page costs a fault when first
    // touched (and the encoded copy as many again). Not zero-filled, so only used pages count.
    static constexpr std::size_t held_most = 1 << 18;
    std::unique_ptr<char[]> buffer_;
    bool failed_ = false;
    bool widened_ = false;  // the pipe has been asked to grow, once
};

}  // namespace console
