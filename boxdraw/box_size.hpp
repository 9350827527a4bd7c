#pragma once
// The size of the box to draw, in cells, and the drawing itself.

#include <cstdint>
#include <string_view>

namespace boxdraw {

struct BoxSize {
    std::int32_t width;   // cells on each line; written only by enter_size, at every attempt
    std::int32_t height;  // lines

    // Asks for the width and the height until both are at least 1; a refused pair is answered
    // with the message and a pause, and both values are asked again.
    void enter_size();
    // Writes the outline, `height` lines of `width` cells, each line ended.
    void draw_box() const;
    // The text of the cell in column x of row y: corners, edges, or two blanks inside.
    std::string_view cell(std::int32_t x, std::int32_t y) const;
};

// A row longer than this many cells is not prepared whole: its run of middle cells is written
// as a block of this many cells, repeated. The memory a box takes thus stays small whatever
// its width, while a row of ordinary width is still one copy of a prepared line.
inline constexpr std::int32_t max_prepared_cells = 32768;

}  // namespace boxdraw
