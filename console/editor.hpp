#pragma once
// The answer being typed at a terminal, edited by the layer as a Windows console edits it:
// whole characters and their columns in the console's encoding, the arrows, Home and End, the
// kill keys, and the lines entered earlier in this run. The line never wraps: it scrolls
// sideways within what is left of the row after the prompt.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "encoding.hpp"
#include "input.hpp"

namespace console {

class ConsoleOutput;
class Terminal;

// One character of typed text at the start of `bytes`, in the console's encoding: its length
// in bytes, its columns, whether it is shown as typed (false: it is not a valid character, or
// would act on the terminal, and shows as "?" on one column), and whether it is a control
// character (C0, DEL, C1). `box_columns` is what a box-drawing character takes here (1 or 2).
struct TypedCharacter {
    std::size_t length;
    int columns;
    bool shown;
    bool control = false;
};
TypedCharacter typed_character(std::string_view bytes, Encoding encoding, int box_columns);

class LineEditor final : public LineSource {
public:
    LineEditor(Terminal& terminal, ConsoleOutput& output);

    // Edits one line after what the program wrote last (its prompt) until Enter, and gives its
    // bytes without the line end; false at the end of input (Ctrl-D on an empty line, or the
    // terminal's end). Throws InputFailed when the terminal cannot be read.
    bool read_line(std::string& line) override;

    // The newest lines entered, at most this many.
    static constexpr std::size_t history_most = 50;

private:
    enum class Step { edit, enter, end };
    Step apply(std::string_view key);
    Step control(unsigned char byte);
    void escape(std::string_view key);
    void insert(std::string_view character);
    void erase(std::size_t from, std::size_t to);
    void move_to(std::size_t at);
    void recall(std::size_t index);
    std::size_t next(std::size_t at) const;
    std::vector<std::size_t> starts() const;
    std::size_t previous(std::size_t at) const;
    std::size_t word_back(std::size_t at) const;
    std::size_t word_forward(std::size_t at) const;
    TypedCharacter character_at(std::size_t at) const;
    void resize();   // the terminal's width now; the line is drawn again where it changed
    void measure();  // the room left after the prompt
    void draw();     // the whole visible line, into pending_
    void flush(bool now = true);  // what the keys did to the screen, in one write (or the next)

    Terminal& terminal_;
    ConsoleOutput& output_;

    std::string line_;
    std::size_t cursor_ = 0;  // a byte offset at a character's start
    bool overwrite_ = false;
    std::vector<std::string> history_;
    std::size_t recalled_ = 0;  // history_.size(): the line being typed
    std::string typed_line_;    // that line, while an earlier one is shown

    // The screen: the line shows from its character at first_, from column start_ on, in
    // room_ columns (the last column of the row is kept free).
    std::string prompt_;  // as it shows, in the program's text
    int width_ = 0;
    std::size_t first_ = 0;
    int start_ = 0;
    int room_ = 0;
    int cursor_column_ = 0;  // where the cursor stands, counted from start_
    bool drawn_ = true;      // the screen shows the line as it is
    bool end_whole_ = true;  // the line ends with a whole character (or is empty)
    bool prompt_again_ = false;
    std::string pending_;    // bytes for the screen, written before the next wait
};

}  // namespace console
