#include "input.hpp"

#include <cerrno>
#include <cstring>
#include <iostream>
#include <limits>

#include "output.hpp"
#include "session.hpp"

namespace console {
namespace {

constexpr std::string_view not_an_integer = "정수(-2147483648 ~ 2147483647)를 입력하세요.";
constexpr std::string_view unusable_character = "사용할 수 없는 문자가 있습니다. 다시 입력하세요.";

// White space as formatted extraction knows it in the "C" locale: blank, \t \n \v \f \r.
bool is_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Skips white space; false when the input ends first.
bool skip_space(ConsoleInput& in) {
    for (;;) {
        const std::string_view waiting = in.peek();
        if (waiting.empty()) return false;
        std::size_t i = 0;
        while (i < waiting.size() && is_space(waiting[i])) ++i;
        in.take(i);
        if (i < waiting.size()) return true;
    }
}

// Where the token that starts `text` ends: the first white space, or the end of `text`. White
// space is all at or below a blank, so eight bytes at a time are passed over while none is.
std::size_t token_end(std::string_view text) {
    constexpr std::uint64_t ones = 0x0101010101010101ULL;
    std::size_t i = 0;
    for (std::uint64_t word; i + 8 <= text.size(); i += 8) {
        std::memcpy(&word, text.data() + i, sizeof word);
        if (((word - ones * 0x21) & ~word & ones * 0x80) != 0) break;  // a byte below 0x21
    }
    while (i < text.size() && !is_space(text[i])) ++i;
    return i;
}

// Hands the next token to `each` piece by piece, as far as it has been read, and takes it; the
// white space after it stays unread.
template <class Each>
void take_token(ConsoleInput& in, Each&& each) {
    for (;;) {
        const std::string_view waiting = in.peek();
        if (waiting.empty()) return;
        const std::size_t end = token_end(waiting);
        each(waiting.substr(0, end));
        in.take(end);
        if (end < waiting.size()) return;
    }
}

// Judges an integer token fed in pieces.
class IntJudge {
public:
    void feed(std::string_view piece) {
        std::size_t i = 0;
        if (first_ && !piece.empty()) {
            first_ = false;
            if (piece[0] == '+' || piece[0] == '-') {
                negative_ = piece[0] == '-';
                i = 1;
            }
        }
        if (!valid_) return;
        // Locals, not members, in the loop: the bytes are chars, which may alias anything, so
        // members would be stored and loaded again at every byte of a long token.
        bool any_digit = any_digit_;
        std::int64_t magnitude = magnitude_;
        for (; i < piece.size(); ++i) {
            const char c = piece[i];
            if (c < '0' || c > '9') {
                valid_ = false;
                return;
            }
            any_digit = true;
            magnitude = magnitude * 10 + (c - '0');
            if (magnitude > limit) {  // too large whatever follows: the rest need not be judged
                valid_ = false;
                return;
            }
        }
        any_digit_ = any_digit;
        magnitude_ = magnitude;
    }

    IntToken verdict() const {
        const std::int64_t value = negative_ ? -magnitude_ : magnitude_;
        if (!valid_ || !any_digit_ || value > std::numeric_limits<std::int32_t>::max() ||
            value < std::numeric_limits<std::int32_t>::min()) {
            return {Token::refused, 0};
        }
        return {Token::accepted, static_cast<std::int32_t>(value)};
    }

private:
    static constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    bool first_ = true;
    bool negative_ = false;
    bool valid_ = true;
    bool any_digit_ = false;
    std::int64_t magnitude_ = 0;  // at most limit while the token can still be accepted
};

void write_prompt(Session& session, std::string_view prompt) {
    session.write(prompt);
    // On a terminal the prompt shows at once; into a pipe the read that waits for the answer
    // writes it.
    if (session.output_is_terminal()) session.flush();
}

// Out of line: the prompts' common path then needs none of the registers this one saves.
void refuse(Session& session, std::string_view message) {
    session.write(message);
    std::cout << std::endl;
    discard_line(session.input());
}

}  // namespace

ConsoleInput::ConsoleInput(int fd, SystemCalls& calls) : fd_(fd), calls_(calls) {}

ConsoleInput::int_type ConsoleInput::underflow() {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    if (tied_) tied_->write_held();
    for (;;) {
        const long got = calls_.read(fd_, buffer_.data(), buffer_.size());
        if (got > 0) {
            setg(buffer_.data(), buffer_.data(), buffer_.data() + got);
            return traits_type::to_int_type(*gptr());
        }
        if (got == 0) return traits_type::eof();
        if (errno == EINTR) continue;
        if ((errno == EAGAIN || errno == EWOULDBLOCK) && calls_.wait(fd_, false)) continue;
        throw InputFailed(errno);
    }
}

namespace {

// Any token, read piece by piece as far as it goes.
IntToken judged_in_pieces(ConsoleInput& in) {
    if (!skip_space(in)) return {Token::end, 0};
    IntJudge judge;
    take_token(in, [&](std::string_view piece) { judge.feed(piece); });
    return judge.verdict();
}

}  // namespace

IntToken read_int_token(ConsoleInput& in) {
    // Most tokens are a few digits, wholly read already and followed by white space: judged in
    // one pass, without the general path's pieces. A sign and up to nine digits cannot leave
    // 32 bits, so they are added up without further checks.
    const std::string_view waiting = in.peek();
    if (waiting.empty()) return {Token::end, 0};  // not asked again: on a terminal, one Ctrl-D ends the input
    const char* const begin = waiting.data();
    const char* const end = begin + waiting.size();
    const char* p = begin;
    // Every white space byte is at or below a blank, and no digit is: one comparison passes a digit.
    while (p != end && static_cast<unsigned char>(*p) <= ' ' && is_space(*p)) ++p;
    if (p != end) {
        const char* const digits = p + (*p == '+' || *p == '-');
        const char* const last = end - digits > 9 ? digits + 9 : end;
        const char* q = digits;
        std::int32_t magnitude = 0;
        for (; q < last; ++q) {
            const auto digit = static_cast<unsigned char>(*q - '0');
            if (digit > 9) break;
            magnitude = magnitude * 10 + digit;
        }
        if (q != digits && q != end && is_space(*q)) {
            in.take(static_cast<std::size_t>(q - begin));
            return {Token::accepted, *p == '-' ? -magnitude : magnitude};
        }
    }
    in.take(static_cast<std::size_t>(p - begin));
    return judged_in_pieces(in);
}

bool read_word_token(ConsoleInput& in, std::string& word) {
    word.clear();
    if (!skip_space(in)) return false;
    take_token(in, [&](std::string_view piece) { word.append(piece); });
    return true;
}

void discard_line(ConsoleInput& in) {
    for (;;) {
        const std::string_view waiting = in.peek();
        if (waiting.empty()) return;
        const auto* line_end = static_cast<const char*>(std::memchr(waiting.data(), '\n', waiting.size()));
        if (line_end) {
            in.take(static_cast<std::size_t>(line_end - waiting.data()) + 1);
            return;
        }
        in.take(waiting.size());
    }
}

std::optional<std::int32_t> ask_choice(std::string_view prompt) {
    Session& session = Session::current();
    for (;;) {
        write_prompt(session, prompt);
        const IntToken token = read_int_token(session.input());
        if (token.status == Token::accepted) return token.value;
        if (token.status == Token::end) return std::nullopt;
        refuse(session, not_an_integer);
    }
}

std::int32_t ask_int(std::string_view prompt) {
    if (const auto value = ask_choice(prompt)) return *value;
    throw EndOfInput();
}

std::string ask_word(std::string_view prompt) {
    Session& session = Session::current();
    std::string word;
    for (;;) {
        write_prompt(session, prompt);
        if (!read_word_token(session.input(), word)) throw EndOfInput();
        if (auto stored = stored_word(word, session.encoding())) return std::move(*stored);
        refuse(session, unusable_character);
    }
}

}  // namespace console
