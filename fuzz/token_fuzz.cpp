// The integer and word token rules, each read checked against a plain reference: the token is
// the run of non-blank bytes after the blanks; an integer is an optional sign and digits only,
// from -2147483648 to 2147483647. The input reaches the rules through a stream buffer that
// hands it over in small pieces (the first byte picks their size), so a token that spans two
// refills is judged like any other. Words are judged as typed at a UTF-8 or a CP949 console.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "console/encoding.hpp"
#include "console/input.hpp"
#include "fuzz/valid_text.hpp"
#include "tests/support/iconv_text.hpp"
#include "tests/support/scripted_calls.hpp"

namespace {

using console::Token;

// The text handed out `piece` bytes a read, and how much of it the rules have taken.
struct Trickle {
    Trickle(std::string_view text, std::size_t piece) : source(std::string(text), piece) {}
    std::size_t taken() { return source.calls.given() - static_cast<std::size_t>(source.in.in_avail()); }

    testing_support::TextInput source;
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
        const console::IntToken got = console::read_int_token(in.source.in);
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
            console::discard_line(in.source.in);
            while (at < text.size() && text[at++] != '\n') {
            }
            if (in.taken() != at) fail("the rest of the line was not dropped up to its line end", at);
        }
    }
}

// The reference word rule: text valid in the console's encoding, without control characters
// (below U+0020, U+007F to U+009F), every character of which CP949 has; kept as UTF-8, in the
// form CP949 gives back, and on a CP949 console only when it goes out as the bytes typed.
std::optional<std::string> reference_stored_word(std::string_view word, console::Encoding encoding) {
    std::optional<std::string> utf8(word);
    if (encoding == console::Encoding::cp949) {
        utf8 = testing_support::iconv_text("UTF-8", "CP949", word);
        if (!utf8 || testing_support::iconv_text("CP949", "UTF-8", *utf8) != std::optional<std::string>(word)) return std::nullopt;
    } else {
        const auto cp949 = testing_support::iconv_text("CP949", "UTF-8", word);
        if (!fuzzing::valid_utf8(word) || !cp949) return std::nullopt;
        utf8 = testing_support::iconv_text("UTF-8", "CP949", *cp949);
    }
    const std::string_view text = *utf8;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        std::uint32_t code = length == 1 ? lead : lead & (0x7Fu >> length);
        for (std::size_t k = 1; k < length; ++k) code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3Fu);
        if (code < 0x20 || (code >= 0x7F && code <= 0x9F)) return std::nullopt;
        i += length;
    }
    return utf8;
}

void check_words(std::string_view text, std::size_t piece, console::Encoding encoding) {
    Trickle in(text, piece);
    std::size_t at = 0;
    std::string word = "left over";
    for (;;) {
        const auto token = next_token(text, at);
        const bool got = console::read_word_token(in.source.in, word);
        if (!token) {
            if (got) fail("word read past the end", at);
            return;
        }
        if (!got || word != *token) fail("wrong word", at);
        if (console::stored_word(word, encoding) != reference_stored_word(word, encoding)) fail("word kept or refused against the rule", at);
        if (in.taken() != at) fail("the word read did not stop right after its word", at);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte: the size of the pieces, and the console the words are typed at.
    const std::size_t piece = data[0] % 16 + 1;
    const auto encoding = data[0] & 0x10 ? console::Encoding::cp949 : console::Encoding::utf8;
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    check_integers(text, piece);
    check_words(text, piece, encoding);
    return 0;
}
