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

// Writes the decimal digits of `n` at `out` and returns their end. The digits come two at a
// time from a fixed-point fraction, n divided by a power of ten with 32 bits after the point:
// each pair is the whole part, and multiplying what is after the point by 100 brings up the
// next (no division, one multiplication a pair). The multipliers are rounded up so that every
// 32-bit value comes out exact; a test compares them with the standard library's digits at
// the edges of each range.
char* decimal_digits(char* out, std::uint32_t n) {
    const auto pair = [&](std::uint64_t fraction) {
        std::memcpy(out, digit_pairs.data() + 2 * (fraction >> 32), 2);
        out += 2;
    };
    const auto first = [&](std::uint64_t fraction) {  // one digit or two
        const auto whole = static_cast<std::uint32_t>(fraction >> 32);
        if (whole < 10) {
            *out++ = static_cast<char>('0' + whole);
        } else {
            std::memcpy(out, digit_pairs.data() + 2 * whole, 2);
            out += 2;
        }
    };
    const auto next = [](std::uint64_t fraction) { return (fraction & 0xFFFFFFFFu) * 100; };
    if (n < 100) {
        first(std::uint64_t{n} << 32);
    } else if (n < 10000) {
        const std::uint64_t y = std::uint64_t{n} * 42949673;  // 2^32 / 10^2, rounded up
        first(y);
        pair(next(y));
    } else if (n < 1000000) {
        std::uint64_t y = std::uint64_t{n} * 429497;  // 2^32 / 10^4, rounded up
        first(y);
        for (int i = 0; i < 2; ++i) pair(y = next(y));
    } else if (n < 100000000) {
        std::uint64_t y = (std::uint64_t{n} * 281474978) >> 16;  // 2^48 / 10^6, rounded up
        first(y);
        for (int i = 0; i < 3; ++i) pair(y = next(y));
    } else {
        // The first one or two digits apart, then eight, leading zeros included; the fraction
        // of a small remainder is rounded up too, or 1 would come out as 0.
        const std::uint32_t high = n / 100000000;
        first(std::uint64_t{high} << 32);
        std::uint64_t y = ((std::uint64_t{n - high * 100000000} * 281474978) >> 16) + 1;
        pair(y);
        for (int i = 0; i < 3; ++i) pair(y = next(y));
    }
    return out;
}

}  // namespace

Lines& Lines::operator<<(std::int32_t value) {
    constexpr std::size_t most = 11;  // "-2147483648"
    if (capacity - size_ < most) pass_on(nullptr, 0);
    char* out = text_.data() + size_;
    std::uint32_t magnitude = static_cast<std::uint32_t>(value);
    if (value < 0) {
        *out++ = '-';
        magnitude = 0u - magnitude;
    }
    size_ = static_cast<std::size_t>(decimal_digits(out, magnitude) - text_.data());
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
