// Standard output's own cost: the whole stream (buffer, encoding, a write whenever the buffer
// is full) into a descriptor that discards.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "console/output.hpp"
#include "sink.hpp"

namespace {

struct Text {
    std::vector<std::string> lines;
    std::string whole;  // the lines, each with its line end
};

Text make_text(std::vector<std::string> lines) {
    Text text{std::move(lines), {}};
    for (const std::string& line : text.lines) text.whole += line + '\n';
    return text;
}

// The multiplication table from 2 to 9: digits and blanks, a Korean word only in the header.
const Text& mostly_ascii() {
    static const Text text = [] {
        std::vector<std::string> lines;
        std::string header;
        for (int n = 2; n <= 9; ++n) header += "=======" + std::to_string(n) + "단=======\t";
        lines.push_back(header);
        for (int m = 1; m <= 9; ++m) {
            std::string line;
            for (int n = 2; n <= 9; ++n) {
                line += "    " + std::to_string(n) + " x " + std::to_string(m) + " = " + std::to_string(n * m) + "\t\t";
            }
            lines.push_back(line);
        }
        return make_text(std::move(lines));
    }();
    return text;
}

// The programs' messages: Hangul with a few blanks and signs.
const Text& mostly_korean() {
    static const Text text = make_text({
        "더이상 학생을 등록할 수 없습니다.",
        "삭제할 학생이 없습니다.",
        "해당 학생이 없습니다.",
        "가로 또는 세로가 1보다 작습니다.",
        "시작 단이 끝 단보다 큽니다.",
        "잘못 입력하셧습니다.(1~3)",
        "계속하려면 아무 키나 누르십시오 . . . ",
        "======학생관리 프로그램======",
        "=====공부 시간 관리 프로그램(1Day)=====",
    });
    return text;
}

// The three rows of a box 10000 cells wide: box-drawing characters, and blanks inside.
const Text& box_rows() {
    static const Text text = [] {
        constexpr int inner = 9998;
        std::string top = "┌";
        std::string middle = "│";
        std::string bottom = "└";
        for (int i = 0; i < inner; ++i) {
            top += "─";
            middle += "  ";
            bottom += "─";
        }
        return make_text({top + "┐", middle + "│", bottom + "┘"});
    }();
    return text;
}

double non_ascii_share(const std::string& text) {
    std::size_t high = 0;
    for (const char c : text) high += static_cast<unsigned char>(c) >= 0x80 ? 1 : 0;
    return static_cast<double>(high) / static_cast<double>(text.size());
}

void set_bytes(benchmark::State& state, std::size_t bytes) {
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}

// As the programs write into a pipe or a file: each line through the stream, ended with '\n'
// (nothing waits for it, so no flush), into a console of each encoding.
void console_output(benchmark::State& state, const Text& (*text_of)(), console::Encoding encoding) {
    const Text& text = text_of();
    bench::DevNull null;
    console::ConsoleOutput output(1, null, encoding);
    std::ostream out(&output);
    for (auto _ : state) {
        for (const std::string& line : text.lines) out << line << '\n';
    }
    out.flush();
    set_bytes(state, text.whole.size());
    state.counters["non_ascii"] = non_ascii_share(text.whole);
}
BENCHMARK_CAPTURE(console_output, mostly_ascii_utf8, mostly_ascii, console::Encoding::utf8);
BENCHMARK_CAPTURE(console_output, mostly_korean_utf8, mostly_korean, console::Encoding::utf8);
BENCHMARK_CAPTURE(console_output, box_rows_utf8, box_rows, console::Encoding::utf8);
BENCHMARK_CAPTURE(console_output, mostly_ascii_cp949, mostly_ascii, console::Encoding::cp949);
BENCHMARK_CAPTURE(console_output, mostly_korean_cp949, mostly_korean, console::Encoding::cp949);
BENCHMARK_CAPTURE(console_output, box_rows_cp949, box_rows, console::Encoding::cp949);

}  // namespace
