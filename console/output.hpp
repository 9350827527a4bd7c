#pragma once
// Standard output of every program: a buffered stream on a file descriptor that converts the
// programs' CP949 text for the console (in a UTF-8 build) and reports a failed write.

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <string_view>

#include "system_calls.hpp"
#include "text.hpp"
#if CONSOLE_UTF8
#include "cp949.hpp"
#endif

namespace console {

// Thrown, once, when standard output cannot be written (a full device, a closed pipe).
struct OutputFailed : std::runtime_error {
    OutputFailed() : std::runtime_error("standard output cannot be written") {}
};

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
    // A line end, as std::endl's flush is (sync, without the virtual call).
    void end_lines() {
        if (terminal_) write_held();
    }
    // Writes what is held, then `text` `times` times over, converted once (text of whole
    // characters, as a block of whole lines is).
    void write_repeated(std::string_view text, std::uint64_t times);
    bool failed() const { return failed_; }

#if CONSOLE_UTF8
    // What `size` bytes of CP949 text at `data` become, as the stream would convert them next;
    // the view lasts until the next call. A piece of text written again and again (the
    // programs' own texts, a name on a card) is converted once and found again by where it
    // lies, then checked byte for byte, since a string may hold new text at the same place.
    std::string_view converted(const char* data, std::size_t size);
    // The same for one of the programs' own texts, whose bytes never change: found again by
    // where it lies and how long it is, without comparing its bytes.
    std::string_view converted(Text text) {
        if (pieces_ && converter_->idle()) [[likely]] {
            const Converted* const ways = pieces_->data() + 2 * set_of(text.data());
            for (int way = 0; way < 2; ++way) {
                if (ways[way].source == text.data() && ways[way].text.size() == text.size()) return ways[way].utf8;
            }
        }
        return converted_known(text);
    }
    // Takes text already converted (by converted()) as if it had been written.
    void put_converted(std::string_view utf8) {
        if (utf8.size() <= held_capacity - held_size_ && !failed_) [[likely]] {
            copy_bytes(held_.get() + held_size_, utf8.data(), utf8.size());
            held_size_ += utf8.size();
            return;
        }
        put_converted_after_write(utf8);
    }
#endif
    // Writes `text`, as the stream would, without its virtual calls in the common case; one
    // of the program's own texts with no conversion to redo.
    void put(Text text) {
#if CONSOLE_UTF8
        if (text.known() && converter_->idle()) {
            put_converted(text.ascii() ? std::string_view(text) : converted(text));
            return;
        }
#else
        if (held_if_room(text.data(), text.size())) return;
#endif
        xsputn(text.data(), static_cast<std::streamsize>(text.size()));
    }

protected:
    int_type overflow(int_type ch) override;
    std::streamsize xsputn(const char* data, std::streamsize size) override;
    int sync() override;

private:
    // Writes `size` bytes, all of them or throws; `held`: text the program made, not repeated.
    void write_out(const char* data, std::size_t size, bool held);

    int fd_;
    bool terminal_;
    SystemCalls& calls_;
    // Text is held until this much has come, or someone may be waiting for it. Held long, a
    // program that writes a lot writes seldom: through a pipe, 1 MiB blocks took a sixth less
    // time than 64 KiB blocks. The buffer is allocated, not zero-filled, so that a dialogue
    // pays only for the pages it uses.
    static constexpr std::size_t held_most = 1 << 20;
#if CONSOLE_UTF8
    // Text is converted as it comes and held in its UTF-8 form; there is no put area, so every
    // piece passes xsputn or overflow. It is converted at most this much at a time, and held
    // until there is no room for the next conversion.
    static constexpr std::size_t convert_at_once = 1 << 13;
    static constexpr std::size_t held_capacity = held_most + Cp949ToUtf8::most_converted(convert_at_once);

    void put_converted_after_write(std::string_view utf8);
    void convert_in(std::string_view text);
    char* room(std::size_t size);

    struct Converted {
        const char* source = nullptr;  // none: this way is empty
        std::string text;
        std::string utf8;
    };
    // The place's bits mixed (Fibonacci hashing) pick one of 256 sets of two.
    static std::size_t set_of(const char* place) {
        return static_cast<std::size_t>((reinterpret_cast<std::uintptr_t>(place) * 0x9E3779B97F4A7C15ULL) >> 56);
    }
    const std::string& kept(const char* data, std::size_t size);
    const std::string& converted_once(const char* data, std::size_t size);
    std::string_view converted_known(Text text);

    std::unique_ptr<Cp949ToUtf8> converter_;
    std::unique_ptr<char[]> held_;
    std::size_t held_size_ = 0;
    std::unique_ptr<std::array<Converted, 512>> pieces_;  // made at the first piece kept
    int pieces_converted_ = 0;  // before pieces_ was made
    std::string scratch_;       // a piece converted once only
    std::string repeated_;
#else
    // Copies `size` bytes into the put area when they fit; false, copying nothing, otherwise.
    bool held_if_room(const char* data, std::size_t size) {
        if (size > static_cast<std::size_t>(epptr() - pptr())) return false;
        copy_bytes(pptr(), data, size);
        pbump(static_cast<int>(size));
        return true;
    }

    std::unique_ptr<char[]> buffer_;  // the put area
#endif
    bool failed_ = false;
    bool widened_ = false;    // the pipe has been asked to grow, once
    bool wide_pipe_ = false;  // and it did
};

}  // namespace console
