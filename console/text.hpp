#pragma once
// One of a program's own texts: a string literal, fixed when the program is built.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace console {

class Text {
public:
    // Made only at compile time, and only from text that is itself a constant: the loop below
    // reads the bytes then, which a buffer that could change would not allow. So a text is
    // known again by where it lies, without its bytes being compared, and whether it is ASCII
    // (the same in every encoding) is known before the program runs.
    template <std::size_t N>
    consteval Text(const char (&text)[N]) : data_(text), size_(N - 1) {
        static_assert(N - 1 <= UINT32_MAX);
        for (std::size_t i = 0; i + 1 < N; ++i) {
            if (static_cast<unsigned char>(text[i]) >= 0x80) ascii_ = false;
        }
    }

    const char* data() const { return data_; }
    std::size_t size() const { return size_; }
    bool ascii() const { return ascii_; }
    operator std::string_view() const { return {data_, size_}; }

private:
    // Sixteen bytes in all, so that a text is passed in two registers.
    const char* data_;
    std::uint32_t size_;
    bool ascii_ = true;
};

}  // namespace console
