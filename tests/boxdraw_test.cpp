// The box drawer's cell rules, its entry dialogue and its drawing, in-process.
#include <gtest/gtest.h>
#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <psapi.h>
#else
#include <sys/resource.h>
#endif

#include <cstdint>
#include <iostream>
#include <limits>
#include <streambuf>
#include <string>

#include "box_size.hpp"
#include "support/capture.hpp"
#include "support/console_text.hpp"

namespace {

using boxdraw::BoxSize;
using testing_support::ScopedConsole;

constexpr std::int32_t max32 = std::numeric_limits<std::int32_t>::max();

struct DrawCase {
    std::int32_t width;
    std::int32_t height;
    const char* expected;
};

void PrintTo(const DrawCase& c, std::ostream* os) { *os << c.width << 'x' << c.height; }

class Draw : public testing::TestWithParam<DrawCase> {};

TEST_P(Draw, WritesTheOutlineLineByLine) {
    const DrawCase& c = GetParam();
    ScopedConsole console;
    const BoxSize box{c.width, c.height};
    box.draw_box();
    EXPECT_EQ(console.output(), c.expected);
}

// 1x1, 3x1, 1x3, 2x2, 4x3 and 5x4 are drawn by the program's own table (boxdraw_process_test.cpp).
INSTANTIATE_TEST_SUITE_P(Examples, Draw,
                         testing::Values(DrawCase{2, 1, "┌┐\n"}, DrawCase{1, 2, "┌\n└\n"}, DrawCase{0, 5, ""},
                                         DrawCase{5, -1, ""}));

// The box as the rules give it, cell by cell.
std::string by_the_rules(const BoxSize& box) {
    std::string out;
    for (std::int32_t y = 0; y < box.height; ++y) {
        for (std::int32_t x = 0; x < box.width; ++x) out += box.cell(x, y);
        out += '\n';
    }
    return out;
}

TEST(Draw, RowsWiderThanOnePreparedLineMatchTheRules) {
    constexpr std::int32_t block = boxdraw::max_prepared_cells;
    for (const std::int32_t width : {block + 1, block + 2, block + 3, 2 * block + 2, 3 * block + 7}) {
        ScopedConsole console;
        const BoxSize box{width, 4};
        box.draw_box();
        EXPECT_TRUE(console.output() == by_the_rules(box)) << "width " << width;
        // Edges of three-byte characters, the inner rows blank between two of them.
        const auto w = static_cast<std::size_t>(width);
        EXPECT_EQ(console.output().size(), 2 * (3 * w + 1) + 2 * (2 * w + 3)) << "width " << width;
    }
}

// Counts what is written and keeps only the start and the end of lines, so that a box of
// many gigabytes can be checked. The first and the last line of a box have one length, the
// lines between another.
class LineCounter : public std::streambuf {
public:
    LineCounter(std::uint64_t edge_length, std::uint64_t inner_length) : edge_(edge_length), inner_(inner_length) {}

    std::uint64_t bytes = 0;
    std::uint64_t lines = 0;
    std::uint64_t edge_lines = 0;     // lines as long as the first and the last
    std::uint64_t wrong_lengths = 0;  // lines of neither length
    std::string first_starts;         // the first two characters of each of the first three lines
    std::string last_end;             // the last six bytes (two characters) of the most recent line

protected:
    std::streamsize xsputn(const char* data, std::streamsize count) override {
        std::string_view rest(data, static_cast<std::size_t>(count));
        while (!rest.empty()) {
            const std::size_t newline = rest.find('\n');
            take_text(rest.substr(0, newline));
            if (newline == std::string_view::npos) break;
            end_line();
            rest.remove_prefix(newline + 1);
        }
        return count;
    }
    int_type overflow(int_type ch) override {
        if (traits_type::eq_int_type(ch, traits_type::eof())) return traits_type::not_eof(ch);
        const char c = traits_type::to_char_type(ch);
        xsputn(&c, 1);
        return ch;
    }

private:
    void take_text(std::string_view text) {
        bytes += text.size();
        for (std::size_t i = 0; lines < 3 && characters_ < 2 && i < text.size(); ++characters_) {
            const std::size_t length = static_cast<unsigned char>(text[i]) < 0x80 ? 1 : 3;
            first_starts += text.substr(i, length);
            i += length;
        }
        tail_ += text.substr(text.size() > 6 ? text.size() - 6 : 0);
        if (tail_.size() > 6) tail_.erase(0, tail_.size() - 6);
        in_line_ += text.size();
    }
    void end_line() {
        ++bytes;
        ++lines;
        if (in_line_ == edge_) {
            ++edge_lines;
        } else if (in_line_ != inner_) {
            ++wrong_lengths;
        }
        last_end = tail_;
        tail_.clear();
        in_line_ = 0;
        characters_ = 0;
    }

    std::uint64_t edge_;
    std::uint64_t inner_;
    std::uint64_t in_line_ = 0;
    std::uint64_t characters_ = 0;
    std::string tail_;
};

long peak_memory_kib() {
#ifdef _WIN32
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<long>(counters.PeakWorkingSetSize / 1024);
#else
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
#endif
}

TEST(Draw, WidestBoxIsStreamedInSmallMemory) {
    const std::uint64_t w = max32;
    LineCounter counter(3 * w, 2 * w + 2);
    std::streambuf* const saved = std::cout.rdbuf(&counter);
    const BoxSize box{max32, 3};
    box.draw_box();
    std::cout.rdbuf(saved);

    EXPECT_EQ(counter.lines, 3u);
    EXPECT_EQ(counter.edge_lines, 2u);
    EXPECT_EQ(counter.wrong_lengths, 0u);
    EXPECT_EQ(counter.bytes, 2 * (3 * w + 1) + 2 * w + 3);
    EXPECT_EQ(counter.first_starts, "┌─│ └─");
    EXPECT_EQ(counter.last_end, "─┘");
    EXPECT_LT(peak_memory_kib(), 64 * 1024) << "a row of 4 GiB must not be held in memory";
}

TEST(Draw, TallBoxKeepsMemoryFlat) {
    LineCounter counter(9, 8);
    // Standard output as a session writes it, into the counter.
    struct IntoCounter final : console::SystemCalls {
        explicit IntoCounter(std::streambuf& to) : counter(to) {}
        long write(int, const char* data, std::size_t size) override {
            counter.sputn(data, static_cast<std::streamsize>(size));
            return static_cast<long>(size);
        }
        std::streambuf& counter;
    } calls(counter);
    {
        const console::Session session("boxdraw", {.input_calls = &calls, .output_calls = &calls, .box_columns = 2});
        const BoxSize box{3, 2'000'000};
        box.draw_box();
        std::cout.flush();
    }
    EXPECT_EQ(counter.lines, 2'000'000u);
    EXPECT_EQ(counter.edge_lines, 2u);
    EXPECT_EQ(counter.wrong_lengths, 0u);
    EXPECT_EQ(counter.first_starts, "┌─│ │ ");
    EXPECT_EQ(counter.last_end, "─┘");
    EXPECT_LT(peak_memory_kib(), 64 * 1024);
}

TEST(EnterSize, AsksBothValuesBeforeJudgingAndPausesAfterEachRefusal) {
    ScopedConsole console("0\n5\n5 0\n-1 -1\n3 2\nleft");
    BoxSize box{};
    box.enter_size();
    const std::string prompts = "가로 입력 : 세로 단 입력 : ";
    const std::string refusal = "가로 또는 세로가 1보다 작습니다.\n" + std::string(testing_support::captured_pause_line);
    EXPECT_EQ(console.output(), prompts + refusal + prompts + refusal + prompts + refusal + prompts);
    EXPECT_EQ(box.width, 3);
    EXPECT_EQ(box.height, 2);
    EXPECT_EQ(console.rest(), "\nleft") << "nothing is read after the accepted pair";
}

}  // namespace
