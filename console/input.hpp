#pragma once
// Every answer the programs read: integers and, in the roster, single words.
//
// An answer is the next token of standard input: leading white space (line ends included) is
// skipped and the token ends before the next white space, so several answers may share a line.
// An integer token must be all decimal digits, with an optional sign, within 32 bits; any other
// token is refused whole: a message ends the line, the rest of that input line is dropped and
// the same prompt is written again. At the end of input the prompt functions throw EndOfInput,
// which unwinds to the program's main (see run.hpp); a menu asks with ask_choice instead.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <string_view>

namespace console {

struct EndOfInput : std::runtime_error {
    EndOfInput() : std::runtime_error("end of input") {}
};

// Writes `prompt` (no line end) and reads an integer; throws EndOfInput at the end of input.
std::int32_t ask_int(std::string_view prompt);
// The same at a menu, where the end of input means "quit": nothing is returned then.
std::optional<std::int32_t> ask_choice(std::string_view prompt);
// Writes `prompt` and reads one word, stored in CP949; throws EndOfInput at the end of input.
std::string ask_word(std::string_view prompt);

// The token rules themselves, on any stream buffer; the functions above apply them to std::cin.
enum class Token { accepted, refused, end };

struct IntToken {
    Token status;
    std::int32_t value;
};

// Reads the next token and judges it as an integer. Memory does not grow with the token.
IntToken read_int_token(std::streambuf& in);
// Reads the next token as a word; false at the end of input.
bool read_word_token(std::streambuf& in, std::string& word);
// Drops what is left of the current input line, its line end included.
void discard_line(std::streambuf& in);

}  // namespace console
