#pragma once
// A piece of text to write: one of the program's own texts (a string literal, fixed when the
// program is built) or any other (a name, a prompt made at run time).

#include <cstddef>
#include <cstdint>
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

}  // namespace console
