#pragma once
// A person at a terminal, for the line editor: keys typed in bursts (a key, or a paste, that
// arrives at once, the next only once the program waits for it), a terminal of a chosen width,
// and the row the terminal shows for what the program writes.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "console/encoding.hpp"
#include "console/system_calls.hpp"

namespace testing_support {

class Keyboard final : public console::SystemCalls {
public:
    Keyboard(std::vector<std::string> bursts, int width) : bursts_(std::move(bursts)), width_(width) {
        if (bursts_.empty()) bursts_.emplace_back();
    }

    long read(int, char* data, std::size_t size) override {
        if (at_ == bursts_[burst_].size() && burst_ + 1 < bursts_.size()) {
            ++burst_;
            at_ = 0;
            if (burst_ == resize_at_) width_ = new_width_;
        }
        const std::size_t count = std::min(size, bursts_[burst_].size() - at_);
        bursts_[burst_].copy(data, count, at_);
        at_ += count;
        return static_cast<long>(count);
    }
    // Ready while the burst lasts; a wait with no limit lasts until the next one.
    bool wait(int, bool for_output, int timeout_ms) override {
        return for_output || timeout_ms < 0 || at_ < bursts_[burst_].size();
    }
    long write(int, const char* data, std::size_t size) override {
        writes.emplace_back(data, size);
        written.append(data, size);
        return static_cast<long>(size);
    }
    int columns(int) override { return width_; }
    std::size_t available(int) override { return bursts_[burst_].size() - at_; }
    // The terminal resized, once all typed so far has been read.
    void resize_after(std::size_t bursts, int width) {
        resize_at_ = bursts;
        new_width_ = width;
    }

    std::vector<std::string> writes;
    std::string written;

private:
    std::vector<std::string> bursts_;
    std::size_t burst_ = 0;
    std::size_t at_ = 0;
    int width_;
    std::size_t resize_at_ = 0;
    int new_width_ = 0;
};

// One row of a terminal `width` columns wide, as the programs' bytes leave it: characters,
// carriage return, line feed (a new, empty row, the old one kept in `rows`), and the editor's sequences ESC "[" n "C",
// "D" and "K". A character is as wide as the caller says (-1: no character); one that is
// none, or drawn past the last column but one, is counted as a fault.
class ScreenRow {
public:
    using Columns = std::function<int(std::string_view character, std::size_t& length)>;
    ScreenRow(int width, Columns columns) : width_(width), columns_(std::move(columns)), cells_(static_cast<std::size_t>(width)) {}

    void show(std::string_view bytes) {
        for (std::size_t at = 0; at < bytes.size();) {
            const char c = bytes[at];
            if (c == '\r' || c == '\n') {
                if (c == '\n') {
                    rows.push_back(text());
                    std::fill(cells_.begin(), cells_.end(), std::string());
                }
                cursor_ = 0;
                ++at;
            } else if (c == '\x1b') {
                std::size_t end = at + 2;
                int count = 0;
                while (end < bytes.size() && bytes[end] >= '0' && bytes[end] <= '9') count = count * 10 + (bytes[end++] - '0');
                if (end >= bytes.size() || bytes[at + 1] != '[') {
                    ++faults;
                    return;
                }
                count = std::max(count, 1);
                if (bytes[end] == 'C') cursor_ = std::min(width_ - 1, cursor_ + count);
                else if (bytes[end] == 'D') cursor_ = std::max(0, cursor_ - count);
                else if (bytes[end] == 'K') std::fill(cells_.begin() + cursor_, cells_.end(), std::string());
                else ++faults;
                at = end + 1;
            } else {
                std::size_t length = 1;
                const int wide = columns_(bytes.substr(at), length);
                if (wide < 0 || cursor_ + wide > width_ - 1) ++faults;  // the last column is kept free
                if (wide >= 0 && cursor_ + wide <= width_) put(bytes.substr(at, length), wide);
                at += length;
            }
        }
    }

    // The row's text, blanks at its end left out; the cursor's column.
    std::string text() const {
        std::string row;
        for (const std::string& cell : cells_) row += cell.empty() ? " " : cell == continued ? "" : cell;
        return row.substr(0, row.find_last_not_of(' ') + 1);
    }
    int cursor() const { return cursor_; }
    std::vector<std::string> rows;  // as they were when a line feed left them
    int faults = 0;

private:
    static constexpr std::string_view continued = "\x01";

    void put(std::string_view character, int wide) {
        if (wide == 0) {  // joins the character before the cursor
            int before = cursor_ - 1;
            if (before > 0 && cells_[static_cast<std::size_t>(before)] == continued) --before;
            if (before < 0) {
                ++faults;
            } else {
                cells_[static_cast<std::size_t>(before)] += character;
            }
            return;
        }
        for (int k = 0; k < wide; ++k) split_at(cursor_ + k);
        cells_[static_cast<std::size_t>(cursor_)] = character;
        if (wide == 2) cells_[static_cast<std::size_t>(cursor_ + 1)] = continued;
        cursor_ += wide;
    }
    // Overwriting either half of a wide character leaves a blank in the other.
    void split_at(int column) {
        auto& cell = cells_[static_cast<std::size_t>(column)];
        if (cell == continued) cells_[static_cast<std::size_t>(column - 1)] = " ";
        if (cell != continued && column + 1 < width_ && cells_[static_cast<std::size_t>(column + 1)] == continued)
            cells_[static_cast<std::size_t>(column + 1)] = " ";
        cell.clear();
    }

    int width_;
    Columns columns_;
    std::vector<std::string> cells_;
    int cursor_ = 0;
};

}  // namespace testing_support
