#include "lines.hpp"

#include <charconv>
#include <iostream>

namespace console {

Lines& Lines::operator<<(std::int32_t value) {
    char digits[12];
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
    (void)error;  // twelve places hold every 32-bit value
    text_.append(digits, end);
    return *this;
}

void Lines::write() {
    std::cout.write(text_.data(), static_cast<std::streamsize>(text_.size()));
    std::cout.flush();
    text_.clear();
}

}  // namespace console
