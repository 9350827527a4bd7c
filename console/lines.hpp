#pragma once
// Lines of text gathered in memory and written to standard output in one piece: a whole menu
// screen or a student's card. A `<<` on a standard stream passes the stream's machinery (a
// sentry, a virtual call, a flush at every std::endl), which for a menu drawn hundreds of
// thousands of times through a pipe was most of a program's time; here a piece of text is a
// copy into a buffer on the stack, and the stream buffer is called once a screen. On a
// terminal the whole piece shows at once, when it is written.
//
// In the UTF-8 build the pieces are gathered already converted, each of the programs' texts
// converted once by the output and then copied (see ConsoleOutput::converted).

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "text.hpp"

namespace console {

class ConsoleOutput;

class Lines {
public:
    Lines();
    Lines(const Lines&) = delete;
    Lines& operator=(const Lines&) = delete;

    Lines& operator<<(Text text) {
#if CONSOLE_UTF8
        if (converting_ && !text.ascii()) return text.known() ? known_piece(text) : converted_piece(text.data(), text.size());
#endif
        return append(text.data(), text.size());
    }
    Lines& operator<<(char c) {
#if CONSOLE_UTF8
        if (converting_ && static_cast<unsigned char>(c) >= 0x80) return converted_piece(&c, 1);
#endif
        return append(&c, 1);
    }
    // In decimal, as a standard stream writes it.
    Lines& operator<<(std::int32_t value);

    // Writes the lines to standard output and ends them as std::endl does; empties the piece.
    void write();

private:
    static constexpr std::size_t capacity = 1024;  // a screen or a card, with room to spare

    // Bytes as they are to be written.
    Lines& append(const char* data, std::size_t size) {
        if (size > capacity - size_) return pass_on(data, size);
        copy_bytes(text_.data() + size_, data, size);
        size_ += size;
        return *this;
    }
    // What does not fit (a very long name): what is gathered, then `data`, go to the output,
    // which on a terminal still holds them until write().
    Lines& pass_on(const char* data, std::size_t size);
    void put(std::string_view bytes);

    std::array<char, capacity> text_;  // not zero-filled
    std::size_t size_ = 0;
#if CONSOLE_UTF8
    Lines& converted_piece(const char* data, std::size_t size);
    Lines& known_piece(Text text);
    ConsoleOutput* converting_;  // the output whose conversion the gathered bytes have had
#endif
};

}  // namespace console
