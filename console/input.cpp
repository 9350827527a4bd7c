#include "input.hpp"

#include <algorithm>
#include <cerrno>
#include <iostream>
#include <limits>

#include "session.hpp"

namespace console {
namespace {

constexpr std::string_view not_an_integer = "정수(-2147483648 ~ 2147483647)를 입력하세요.";
constexpr std::string_view unusable_character = "사용할 수 없는 문자가 있습니다. 다시 입력하세요.";

// White space as formatted extraction knows it in the "C" locale: blank, \t \n \v \f \r.
bool is_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Takes the bytes for which `keep` holds, handing each run of them, as far as it has been
// read, to `each`: memory does not grow with a long run. True when a byte that ends the run is
// next (it stays unread), false when the input ends first.
template <class Keep, class Each>
bool take_while(ConsoleInput& in, Keep keep, Each each) {
    for (std::string_view waiting; !(waiting = in.peek()).empty();) {
        std::size_t end = 0;
        while (end < waiting.size() && keep(waiting[end])) ++end;
        each(waiting.substr(0, end));
        in.take(end);
        if (end < waiting.size()) return true;
    }
    return false;
}

bool skip_space(ConsoleInput& in) { return take_while(in, is_space, [](std::string_view) {}); }

template <class Each>
void take_token(ConsoleInput& in, Each each) { take_while(in, [](char c) { return !is_space(c); }, each); }

void write_prompt(const Session& session, std::string_view prompt) {
    std::cout << prompt;
    // On a terminal the prompt shows at once; into a pipe the read waiting for the answer writes it.
    if (session.console().output_terminal) std::cout.flush();
}

void refuse(Session& session, std::string_view message) {
    std::cout << message << '\n';
    discard_line(session.input());
}

}  // namespace

ConsoleInput::int_type ConsoleInput::underflow() {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    if (tied_) tied_->pubsync();
    if (lines_) {
        if (!lines_->read_line(line_)) return traits_type::eof();
        line_ += '\n';
        setg(line_.data(), line_.data(), line_.data() + line_.size());
        return traits_type::to_int_type(*gptr());
    }
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

IntToken read_int_token(ConsoleInput& in) {
    if (!skip_space(in)) return {Token::end, 0};
    // Digits after an optional sign, counted up while the value can still fit; a longer token
    // is refused whatever follows, and read to its end.
    constexpr std::int64_t most = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    bool first = true;
    bool negative = false;
    bool valid = true;
    bool digits = false;
    std::int64_t magnitude = 0;
    take_token(in, [&](std::string_view piece) {
        if (first && (piece[0] == '+' || piece[0] == '-')) {
            negative = piece[0] == '-';
            piece.remove_prefix(1);
        }
        first = false;
        for (std::size_t i = 0; valid && i < piece.size(); ++i) {
            const char c = piece[i];
            valid = c >= '0' && c <= '9' && (magnitude = magnitude * 10 + (c - '0')) <= most;
            digits = true;
        }
    });
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (!valid || !digits || value > most - 1) return {Token::refused, 0};
    return {Token::accepted, static_cast<std::int32_t>(value)};
}

bool read_word_token(ConsoleInput& in, std::string& word) {
    word.clear();
    if (!skip_space(in)) return false;
    take_token(in, [&](std::string_view piece) { word.append(piece); });
    return true;
}

void discard_line(ConsoleInput& in) {
    if (take_while(in, [](char c) { return c != '\n'; }, [](std::string_view) {})) in.take(1);
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
        if (auto stored = stored_word(word, session.console().typed)) return std::move(*stored);
        refuse(session, unusable_character);
    }
}

}  // namespace console
