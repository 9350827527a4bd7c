// The integer and word token rules, each read checked against a plain reference: the token is
// the run of non-blank bytes after the blanks; an integer is an optional sign and digits only,
// from -2147483648 to 2147483647. The input reaches the rules through a stream buffer that
// hands it over in small pieces (the first byte picks their size), so a token that spans two
// refills is judged like any other.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <streambuf>
#include <string>
#include <string_view>

#include "console/input.hpp"

namespace {

using console::Token;

// Hands out its text `piece` bytes at a time and knows how much has been taken.
class Trickle final : public std::streambuf {
public:
    Trickle(std::string_view text, std::size_t piece) : text_(text), piece_(piece) {}
    std::size_t taken() const { return given_ - static_cast<std::size_t>(egptr() - gptr()); }

protected:
    int_type underflow() override {
        if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
        if (given_ == text_.size()) return traits_type::eof();
        const std::size_t size = std::min(piece_, text_.size() - given_);
        char* start = const_cast<char*>(text_.data()) + given_;  // read only: get area of a const text
        setg(start, start, start + size);
        given_ += size;
        return traits_type::to_int_type(*gptr());
    }

private:
    std::string_view text_;
    std::size_t piece_;
    std::size_t given_ = 0;
};

bool blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

[[noreturn]] void fail(const char* what, std::size_t at) {
    std::fprintf(stderr, "%s (reference position %zu)\n", what, at);
    std::abort();
}

// The reference: the next token of `text` from `at`, or nothing at the end; `at` moves past it.
std::optional<std::string_view> next_token(std::string_view text, std::size_t& at) {
    while (at < text.size() && blank(text[at])) ++at;
    if (at == text.size()) return std::nullopt;
    const std::size_t start = at;
    while (at < text.size() && !blank(text[at])) ++at;
    return text.substr(start, at - start);
}

std::optional<std::int32_t> as_integer(std::string_view token) {
    bool negative = false;
    if (!token.empty() && (token[0] == '+' || token[0] == '-')) {
        negative = token[0] == '-';
        token.remove_prefix(1);
    }
    if (token.empty()) return std::nullopt;
    for (char c : token) {
        if (c < '0' || c > '9') return std::nullopt;
    }
    while (token.size() > 1 && token[0] == '0') token.remove_prefix(1);
    if (token.size() > 10) return std::nullopt;
    std::int64_t magnitude = 0;
    for (char c : token) magnitude = magnitude * 10 + (c - '0');
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

// Integer prompts, as ask_int uses the rules: a refused token drops the rest of its line.
void check_integers(std::string_view text, std::size_t piece) {
    Trickle in(text, piece);
    std::size_t at = 0;
    for (;;) {
        const auto token = next_token(text, at);
        const console::IntToken got = console::read_int_token(in);
        if (!token) {
            if (got.status != Token::end) fail("integer read past the end", at);
            return;
        }
        const auto expected = as_integer(*token);
        if (expected) {
            if (got.status != Token::accepted) fail("a valid integer was refused", at);
            if (got.value != *expected) fail("wrong integer value", at);
        } else if (got.status != Token::refused) {
            fail("an invalid integer was not refused", at);
        }
        if (in.taken() != at) fail("the integer read did not stop right after its token", at);
        if (!expected) {
            console::discard_line(in);
            while (at < text.size() && text[at++] != '\n') {
            }
            if (in.taken() != at) fail("the rest of the line was not dropped up to its line end", at);
        }
    }
}

void check_words(std::string_view text, std::size_t piece) {
    Trickle in(text, piece);
    std::size_t at = 0;
    std::string word = "left over";
    for (;;) {
        const auto token = next_token(text, at);
        const bool got = console::read_word_token(in, word);
        if (!token) {
            if (got) fail("word read past the end", at);
            return;
        }
        if (!got || word != *token) fail("wrong word", at);
        if (in.taken() != at) fail("the word read did not stop right after its word", at);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t piece = data[0] % 16 + 1;
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    check_integers(text, piece);
    check_words(text, piece);
    return 0;
}
