#include "box_size.hpp"

#include <algorithm>
#include <iostream>
#include <string>
#include <utility>

#include "console/input.hpp"
#include "console/services.hpp"

namespace boxdraw {
namespace {

void write(std::string_view text) { std::cout.write(text.data(), static_cast<std::streamsize>(text.size())); }

// One kind of row (top, middle or bottom): the cell texts depend on the row only through
// whether it is the first or the last, so each kind is built once and written for every row of
// that kind. A row wider than max_prepared_cells is written as its first cell, a block of
// middle cells as often as it takes, and its last cell: a box of any size takes little memory.
class PreparedRow {
public:
    PreparedRow(const BoxSize& box, std::int32_t y) : head_(box.cell(0, y)) {
        if (box.width == 1) return;
        const std::int32_t middle_cells = box.width - 2;
        const std::string_view middle = box.cell(1, y);
        for (std::int32_t i = 0; i < std::min(middle_cells, max_prepared_cells); ++i) block_.append(middle);
        if (middle_cells <= max_prepared_cells) {
            head_.append(std::exchange(block_, {}));
        } else {
            blocks_ = middle_cells / max_prepared_cells;
            rest_ = static_cast<std::size_t>(middle_cells % max_prepared_cells) * middle.size();
        }
        tail_ = box.cell(box.width - 1, y);
    }

    void write_row() const {
        write(head_);
        for (std::int32_t i = 0; i < blocks_; ++i) write(block_);
        write(std::string_view(block_).substr(0, rest_));
        write(tail_);
        std::cout << '\n';
    }

    // The same row `count` times: rows of ordinary width as a block of whole lines, built once.
    void write_rows(std::int32_t count) const {
        if (blocks_ > 0) {
            for (std::int32_t i = 0; i < count; ++i) write_row();
            return;
        }
        const std::string line = head_ + std::string(tail_) + '\n';
        const auto per_block = static_cast<std::int32_t>(std::max<std::size_t>(1, (std::size_t{1} << 16) / line.size()));
        std::string lines;
        for (std::int32_t i = 0; i < std::min(count, per_block); ++i) lines.append(line);
        for (std::int32_t i = 0; i < count / per_block; ++i) write(lines);
        write(std::string_view(lines).substr(0, static_cast<std::size_t>(count % per_block) * line.size()));
    }

private:
    std::string head_;            // the first cell, and the middle ones of a row of ordinary width
    std::string block_;           // max_prepared_cells middle cells, for a very wide row only
    std::int32_t blocks_ = 0;     // how often the whole block is written
    std::size_t rest_ = 0;        // and the bytes of it that end the run of middle cells
    std::string_view tail_;       // the last cell
};

}  // namespace

std::string_view BoxSize::cell(std::int32_t x, std::int32_t y) const {
    const bool top = y == 0;
    const bool bottom = y == height - 1;
    const bool left = x == 0;
    const bool right = x == width - 1;
    if (top && left) return "┌";
    if (top && right) return "┐";
    if (bottom && left) return "└";
    if (bottom && right) return "┘";
    if (top || bottom) return "─";
    if (left || right) return "│";
    return "  ";
}

void BoxSize::enter_size() {
    for (;;) {
        // Both answers are read before either is judged.
        width = console::ask_int("가로 입력 : ");
        height = console::ask_int("세로 단 입력 : ");
        if (width >= 1 && height >= 1) return;
        std::cout << "가로 또는 세로가 1보다 작습니다.\n";
        console::pause_screen();
    }
}

void BoxSize::draw_box() const {
    if (width < 1 || height < 1) return;
    PreparedRow(*this, 0).write_row();
    if (height > 2) PreparedRow(*this, 1).write_rows(height - 2);
    if (height > 1) PreparedRow(*this, height - 1).write_row();
}

}  // namespace boxdraw
