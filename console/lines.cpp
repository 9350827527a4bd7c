#include "lines.hpp"


#include "session.hpp"

namespace console {

Lines::Lines() {
#if CONSOLE_UTF8
    converting_ = Session::current().console_output();
#endif
}

namespace {

// "00" to "99": two digits at a time.
constexpr std::array<char, 200> digit_pairs = [] {
    std::array<char, 200> pairs{};
    for (int i = 0; i < 100; ++i) {
        pairs[static_cast<std::size_t>(2 * i)] = static_cast<char>('0' + i / 10);
        pairs[static_cast<std::size_t>(2 * i + 1)] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}();

}  // namespace

Lines& Lines::operator<<(std::int32_t value) {
    // The digits are made from the right, two at a time, at the end of the first half of a
    // scratch buffer, and its first half's worth copied from the first of them at once (the
    // bytes after the number are written over by what comes next).
    constexpr std::size_t half = 16;
    if (capacity - size_ < half) pass_on(nullptr, 0);
    std::array<char, 2 * half> scratch;
    char* first = scratch.data() + half;
    std::uint32_t rest = value < 0 ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
    while (rest >= 100) {
        first -= 2;
        std::memcpy(first, digit_pairs.data() + 2 * (rest % 100), 2);
        rest /= 100;
    }
    if (rest >= 10) {
        first -= 2;
        std::memcpy(first, digit_pairs.data() + 2 * rest, 2);
    } else {
        *--first = static_cast<char>('0' + rest);
    }
    if (value < 0) *--first = '-';
    std::memcpy(text_.data() + size_, first, half);
    size_ += static_cast<std::size_t>(scratch.data() + half - first);
    return *this;
}

#if CONSOLE_UTF8
Lines& Lines::converted_piece(const char* data, std::size_t size) {
    const std::string_view utf8 = converting_->converted(data, size);
    return append(utf8.data(), utf8.size());
}

Lines& Lines::known_piece(Text text) {
    const std::string_view utf8 = converting_->converted(text);
    return append(utf8.data(), utf8.size());
}
#endif

void Lines::put(std::string_view bytes) {
#if CONSOLE_UTF8
    if (converting_) {
        converting_->put_converted(bytes);
        return;
    }
#endif
    Session::current().write(bytes);
}

Lines& Lines::pass_on(const char* data, std::size_t size) {
    put(std::string_view(text_.data(), size_));
    size_ = 0;
    if (size <= capacity) {
        if (size > 0) std::memcpy(text_.data(), data, size);
        size_ = size;
    } else {
        put(std::string_view(data, size));
    }
    return *this;
}

void Lines::write() {
    put(std::string_view(text_.data(), size_));
    size_ = 0;
    Session::current().end_lines();
}

}  // namespace console
