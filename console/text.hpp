#pragma once
// A piece of text to write: one of the program's own texts (a string literal, fixed when the
// program is built) or any other (a name, a prompt made at run time).

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace console {

class Text {
public:
    // One of the program's own texts. Made only at compile time, and only from text that is
    // itself a constant: the loop below reads the bytes then, which a buffer that could change
    // would not allow. So such a text is known again by where it lies, without its bytes
    // being compared, and whether it is ASCII (the same in every encoding) is known before the
    // program runs.
    template <std::size_t N>
    consteval Text(const char (&text)[N]) : data_(text), size_and_kind_((N - 1) | known_flag | ascii_flag) {
        for (std::size_t i = 0; i + 1 < N; ++i) {
            if (static_cast<unsigned char>(text[i]) >= 0x80) size_and_kind_ &= ~ascii_flag;
        }
    }
    // Any other text, read afresh every time it is written.
    Text(std::string_view text) : data_(text.data()), size_and_kind_(text.size()) {}
    Text(const std::string& text) : Text(std::string_view(text)) {}

    const char* data() const { return data_; }
    std::size_t size() const { return size_and_kind_ & ~(known_flag | ascii_flag); }
    bool known() const { return (size_and_kind_ & known_flag) != 0; }
    // All ASCII, as far as is known: a text not known says no.
    bool ascii() const { return (size_and_kind_ & ascii_flag) != 0; }
    operator std::string_view() const { return {data_, size()}; }

private:
    // The size and the two facts share a word, so that a text is passed in two registers.
    static constexpr std::size_t known_flag = std::size_t{1} << (sizeof(std::size_t) * 8 - 1);
    static constexpr std::size_t ascii_flag = known_flag >> 1;

    const char* data_;
    std::size_t size_and_kind_;
};

// Copies `size` bytes between buffers that do not overlap. Most pieces of text are 8 to 32
// bytes: those are copied inline, as two overlapping halves, instead of through a call.
inline void copy_bytes(char* to, const char* from, std::size_t size) {
    if (size >= 8 && size <= 16) {
        std::memcpy(to, from, 8);
        std::memcpy(to + size - 8, from + size - 8, 8);
    } else if (size > 16 && size <= 32) {
        std::memcpy(to, from, 16);
        std::memcpy(to + size - 16, from + size - 16, 16);
    } else {
        std::memcpy(to, from, size);
    }
}

}  // namespace console
