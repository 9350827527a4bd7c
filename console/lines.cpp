#include "lines.hpp"

#include <charconv>

#include "session.hpp"

namespace console {

Lines::Lines() {
#if CONSOLE_UTF8
    converting_ = Session::current().console_output();
#endif
}

Lines& Lines::operator<<(std::int32_t value) {
    constexpr std::size_t most_digits = 11;  // "-2147483648"
    if (capacity - size_ < most_digits) pass_on(nullptr, 0);
    const auto [end, error] = std::to_chars(text_.data() + size_, text_.data() + size_ + most_digits, value);
    (void)error;  // eleven places hold every 32-bit value; digits are the same in every encoding
    size_ = static_cast<std::size_t>(end - text_.data());
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
