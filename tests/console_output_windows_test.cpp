// Standard output of the Windows build into pipes and files: the programs' text goes out in
// CP949, each line end as CR LF. (What a console shows is checked in Wine's console, by
// windows_console_test.sh.)
#include <fcntl.h>
#include <gtest/gtest.h>
#include <io.h>

#include <deque>
#include <ostream>
#include <string>

#include "console/output.hpp"
#include "console/session.hpp"
#include "support/scripted_calls.hpp"

namespace console {
SystemCalls& console_calls();  // a console's own calls (windows.cpp)
}

namespace {

// A pipe whose writing end is in text mode, like standard output, and whose reading end shows
// the bytes as they are.
struct TextPipe {
    TextPipe() {
        EXPECT_EQ(_pipe(fds, 1 << 16, _O_TEXT), 0);
        _setmode(fds[0], _O_BINARY);
    }
    ~TextPipe() {
        for (int fd : fds) {
            if (fd >= 0) _close(fd);
        }
    }
    TextPipe(const TextPipe&) = delete;
    TextPipe& operator=(const TextPipe&) = delete;

    void close_end(int which) {
        _close(fds[which]);
        fds[which] = -1;
    }
    std::string read_all() {
        std::string result;
        char buffer[4096];
        for (int got; (got = _read(fds[0], buffer, sizeof buffer)) > 0;) result.append(buffer, static_cast<std::size_t>(got));
        return result;
    }

    int fds[2] = {-1, -1};
};

std::string through_text_pipe(const std::string& text, std::size_t chunk) {
    TextPipe pipe;
    {
        console::ConsoleOutput output(pipe.fds[1], console::SystemCalls::standard(), console::Encoding::cp949);
        std::ostream out(&output);
        for (std::size_t i = 0; i < text.size(); i += chunk) {
            out << text.substr(i, chunk);
            out.flush();
        }
    }
    pipe.close_end(1);
    return pipe.read_all();
}

TEST(ConsoleOutput, WritesBytesUnchangedWithCrLfLineEnds) {
    // Box drawing and a syllable, the end-of-file mark of text mode and a lone carriage return:
    // CP949 bytes, and line ends of two bytes, however the text was split.
    const std::string text = "┌─ 가\n\x1A\r.\n\n";
    const std::string expected = "\xA6\xA3\xA6\xA1 \xB0\xA1\r\n\x1A\r.\r\n\r\n";
    for (std::size_t chunk = 1; chunk <= 4; ++chunk) EXPECT_EQ(through_text_pipe(text, chunk), expected) << chunk;
}

// A pipe is no console: the console's own calls fail on it, and that is reported as any failed write.
TEST(ConsoleOutput, ConsoleCallsReportAFailedWrite) {
    TextPipe pipe;
    pipe.close_end(0);
    console::ConsoleOutput output(pipe.fds[1], console::console_calls(), console::Encoding::cp949);
    std::ostream out(&output);
    out.exceptions(std::ios::badbit);
    out << "line\n";
    EXPECT_THROW(out.flush(), console::OutputFailed);
}

TEST(ConsoleOutput, FailedWriteThrowsOnceThenDrops) {
    TextPipe pipe;
    pipe.close_end(0);  // nobody reads: every write fails
    console::ConsoleOutput output(pipe.fds[1], console::SystemCalls::standard(), console::Encoding::cp949);
    std::ostream out(&output);
    out.exceptions(std::ios::badbit);
    out << "line";
    EXPECT_THROW(out.flush(), console::OutputFailed);
    EXPECT_TRUE(output.failed());
    out.clear();
    EXPECT_NO_THROW(out << "more" << std::endl);
}

// At a console of a code page other than 949, the console's cursor before and after the first
// box-drawing character tells how wide its font draws it; a failed call tells nothing.
TEST(MeasureBox, TheConsolesCursorTellsTheColumns) {
    struct Case {
        std::deque<int> columns;  // the cursor's column at each call; -1 fails the call
        int measured;
    };
    const Case cases[] = {{{5, 6}, 1}, {{5, 7}, 2}, {{5, 5}, 0}, {{-1}, 0}, {{5, -1}, 0}};
    for (const Case& c : cases) {
        testing_support::ScriptedCalls calls;
        calls.cursor_columns = c.columns;
        console::ConsoleInput input(0, calls);
        EXPECT_EQ(console::measure_box(input, calls, "┌"), c.measured) << c.columns.size();
        EXPECT_EQ(calls.written, "┌") << "the character is drawn once, measured or not";
    }
}

}  // namespace
