#pragma once
// Every answer the programs read: integers and, in the roster, single words.
//
// An answer is the next token: white space (line ends included) is skipped and the token ends
// before the next. An integer token is decimal digits with an optional sign, within 32 bits; any
// other is refused whole: a message ends the line, the rest of the line is dropped and the same
// prompt comes again. At the end of input the prompts throw EndOfInput; ask_choice does not.

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <string_view>

#include "system_calls.hpp"

namespace console {

struct EndOfInput : std::runtime_error {
    EndOfInput() : std::runtime_error("end of input") {}
};

// Standard input could not be read (a directory, an I/O error): not the end of input.
struct InputFailed : std::runtime_error {
    explicit InputFailed(int error_number) : std::runtime_error("standard input cannot be read"), error(error_number) {}
    int error;  // the errno of the failed read
};

// Where a terminal's answers come from when the layer edits them (editor.hpp): a line at a time.
class LineSource {
public:
    // The next line's bytes, without its line end; false at the end of input.
    virtual bool read_line(std::string& line) = 0;

protected:
    ~LineSource() = default;
};

// Standard input as the programs read it, in blocks. An interrupted read is tried again, a
// descriptor in non-blocking mode is waited on, any other failed read throws InputFailed.
// Before every read the tied output writes what it holds: a prompt is never held back. Given
// `lines`, the input is what they give instead, each line with its line end.
class ConsoleInput final : public std::streambuf {
public:
    ConsoleInput(int fd, SystemCalls& calls, std::streambuf* tied = nullptr, LineSource* lines = nullptr)
        : fd_(fd), calls_(calls), tied_(tied), lines_(lines) {}
    ConsoleInput(const ConsoleInput&) = delete;
    ConsoleInput& operator=(const ConsoleInput&) = delete;

    // The bytes read and not yet taken, reading more when none are left; empty at the end.
    std::string_view peek() {
        if (gptr() == egptr() && traits_type::eq_int_type(underflow(), traits_type::eof())) return {};
        return {gptr(), static_cast<std::size_t>(egptr() - gptr())};
    }
    // Takes `count` bytes of what peek() showed.
    void take(std::size_t count) { setg(eback(), gptr() + count, egptr()); }
    void read_lines_from(LineSource* lines) { lines_ = lines; }

protected:
    int_type underflow() override;

private:
    int fd_;
    SystemCalls& calls_;
    std::streambuf* tied_;
    LineSource* lines_;
    std::string line_;                  // the edited line being read
    std::array<char, 1 << 16> buffer_;  // not zero-filled, like the output's
};

// Writes `prompt` (no line end) and reads an integer; throws EndOfInput at the end of input.
std::int32_t ask_int(std::string_view prompt);
// The same at a menu, where the end of input means "quit": nothing is returned then.
std::optional<std::int32_t> ask_choice(std::string_view prompt);
// Writes `prompt` and reads one word, kept as UTF-8 (see stored_word in encoding.hpp);
// throws EndOfInput at the end of input.
std::string ask_word(std::string_view prompt);

// The token rules themselves, on any console input.
enum class Token { accepted, refused, end };
struct IntToken {
    Token status;
    std::int32_t value;
};
// Reads the next token and judges it as an integer. Memory does not grow with the token.
IntToken read_int_token(ConsoleInput& in);
// Reads the next token as a word; false at the end of input.
bool read_word_token(ConsoleInput& in, std::string& word);
// Drops what is left of the current input line, its line end included.
void discard_line(ConsoleInput& in);

}  // namespace console
