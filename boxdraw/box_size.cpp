#include "box_size.hpp"

#include <iostream>
#include <optional>
#include <string>

#include "console/input.hpp"
#include "console/services.hpp"
#include "console/session.hpp"

namespace boxdraw {
namespace {

std::streamsize stream_size(std::size_t size) { return static_cast<std::streamsize>(size); }

// One kind of row (top, middle or bottom): the cell texts depend on the row only through
// whether it is the first or the last, so each kind is built once and written for every row
// of that kind.
class PreparedRow {
public:
    PreparedRow(const BoxSize& box, std::int32_t y) {
        head_.assign(box.cell(0, y));
        if (box.width == 1) return;
        const std::string_view last = box.cell(box.width - 1, y);
        const std::int32_t middle_cells = box.width - 2;
        if (middle_cells == 0) {
            head_.append(last);
            return;
        }
        const std::string_view middle = box.cell(1, y);
        if (middle_cells <= max_prepared_cells) {
            for (std::int32_t i = 0; i < middle_cells; ++i) head_.append(middle);
            head_.append(last);
            return;
        }
        for (std::int32_t i = 0; i < max_prepared_cells; ++i) block_.append(middle);
        full_blocks_ = middle_cells / max_prepared_cells;
        rest_bytes_ = static_cast<std::size_t>(middle_cells % max_prepared_cells) * middle.size();
        tail_ = last;
    }

    void write(std::ostream& out) const {
        out.write(head_.data(), stream_size(head_.size()));
        if (full_blocks_ > 0) {
            for (std::int32_t i = 0; i < full_blocks_; ++i) out.write(block_.data(), stream_size(block_.size()));
            out.write(block_.data(), stream_size(rest_bytes_));
            out.write(tail_.data(), stream_size(tail_.size()));
        }
        out << '\n';
    }

    // The same row `count` times: a whole prepared row goes out as lines in blocks (see
    // write_lines); a very wide one is long enough to be written row by row.
    void write_repeated(std::ostream& out, std::int32_t count) const {
        if (full_blocks_ == 0) {
            console::write_lines(head_, static_cast<std::uint64_t>(count));
            return;
        }
        for (std::int32_t i = 0; i < count; ++i) write(out);
    }

private:
    std::string head_;          // the whole row, or for a very wide one its first cell
    std::string block_;         // max_prepared_cells middle cells, for a very wide row only
    std::int32_t full_blocks_ = 0;
    std::size_t rest_bytes_ = 0;  // the part of a block that ends the run of middle cells
    std::string_view tail_;     // the last cell of a very wide row
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
    const PreparedRow top(*this, 0);
    std::optional<PreparedRow> middle;
    std::optional<PreparedRow> bottom;
    if (height > 2) middle.emplace(*this, 1);
    if (height > 1) bottom.emplace(*this, height - 1);

    top.write(std::cout);
    if (middle) middle->write_repeated(std::cout, height - 2);
    if (bottom) bottom->write(std::cout);
}

}  // namespace boxdraw
