#pragma once
// Lines of text built in memory and written to standard output in one piece: a whole menu
// screen or a student's card. Each `<<` on a standard stream passes the stream's machinery
// (a sentry, a virtual call, a flush at every std::endl), which for a menu drawn hundreds of
// thousands of times through a pipe was most of a program's time. On a terminal the piece
// shows at once, every line end in it written as it is given.

#include <cstdint>
#include <string>
#include <string_view>

namespace console {

class Lines {
public:
    Lines() { text_.reserve(512); }  // a screen or a card at once, not grown piece by piece

    Lines& operator<<(std::string_view text) {
        text_.append(text);
        return *this;
    }
    Lines& operator<<(char c) {
        text_.push_back(c);
        return *this;
    }
    // In decimal, as a standard stream writes it.
    Lines& operator<<(std::int32_t value);

    // Writes the lines to standard output and ends them as std::endl does; empties the piece.
    void write();

private:
    std::string text_;
};

}  // namespace console
