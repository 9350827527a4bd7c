#include "input.hpp"

#include <iostream>
#include <limits>

#if CONSOLE_UTF8
#include "cp949.hpp"
#endif

namespace console {
namespace {

using traits = std::streambuf::traits_type;

constexpr std::string_view not_an_integer = "정수(-2147483648 ~ 2147483647)를 입력하세요.";
#if CONSOLE_UTF8
constexpr std::string_view unusable_character = "사용할 수 없는 문자가 있습니다. 다시 입력하세요.";
#endif

// White space as formatted extraction knows it in the "C" locale.
bool is_space(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// Skips white space; false when the input ends first.
bool skip_space(std::streambuf& in) {
    for (;;) {
        const auto c = in.sgetc();
        if (traits::eq_int_type(c, traits::eof())) return false;
        if (!is_space(c)) return true;
        in.sbumpc();
    }
}

void write_prompt(std::string_view prompt) {
    std::cout << prompt;
    std::cout.flush();  // the prompt must be on the screen before the program waits
}

void refuse(std::string_view message, std::streambuf& in) {
    std::cout << message << std::endl;
    discard_line(in);
}

}  // namespace

IntToken read_int_token(std::streambuf& in) {
    if (!skip_space(in)) return {Token::end, 0};

    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    bool negative = false;
    bool valid = true;
    bool any_digit = false;
    std::int64_t magnitude = 0;  // held at most at limit + 1, so it never overflows
    bool first = true;
    for (auto c = in.sgetc(); !traits::eq_int_type(c, traits::eof()) && !is_space(c); c = in.sgetc()) {
        in.sbumpc();
        if (first && (c == '+' || c == '-')) {
            negative = c == '-';
        } else if (c >= '0' && c <= '9') {
            any_digit = true;
            if (magnitude <= limit) magnitude = magnitude * 10 + (c - '0');
        } else {
            valid = false;
        }
        first = false;
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (!valid || !any_digit || value > std::numeric_limits<std::int32_t>::max() ||
        value < std::numeric_limits<std::int32_t>::min()) {
        return {Token::refused, 0};
    }
    return {Token::accepted, static_cast<std::int32_t>(value)};
}

bool read_word_token(std::streambuf& in, std::string& word) {
    word.clear();
    if (!skip_space(in)) return false;
    for (auto c = in.sgetc(); !traits::eq_int_type(c, traits::eof()) && !is_space(c); c = in.sgetc()) {
        word.push_back(traits::to_char_type(c));
        in.sbumpc();
    }
    return true;
}

void discard_line(std::streambuf& in) {
    for (auto c = in.sbumpc(); !traits::eq_int_type(c, traits::eof()) && c != '\n'; c = in.sbumpc()) {
    }
}

std::optional<std::int32_t> ask_choice(std::string_view prompt) {
    std::streambuf& in = *std::cin.rdbuf();
    for (;;) {
        write_prompt(prompt);
        const IntToken token = read_int_token(in);
        if (token.status == Token::accepted) return token.value;
        if (token.status == Token::end) return std::nullopt;
        refuse(not_an_integer, in);
    }
}

std::int32_t ask_int(std::string_view prompt) {
    if (const auto value = ask_choice(prompt)) return *value;
    throw EndOfInput();
}

std::string ask_word(std::string_view prompt) {
    std::streambuf& in = *std::cin.rdbuf();
    std::string word;
    for (;;) {
        write_prompt(prompt);
        if (!read_word_token(in, word)) throw EndOfInput();
#if CONSOLE_UTF8
        // Names are kept in CP949 like every other text; what CP949 cannot hold is refused.
        if (auto cp949 = utf8_to_cp949(word)) return std::move(*cp949);
        refuse(unusable_character, in);
#else
        return word;
#endif
    }
}

}  // namespace console
