#include <fcntl.h>
#include <gtest/gtest.h>
#include <pthread.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <deque>
#include <cstdint>
#include <iomanip>
#include <iostream>
#include <limits>
#include <memory>
#include <sstream>
#include <ostream>
#include <string>

#include "console/encoding.hpp"
#include "console/output.hpp"
#include "console/session.hpp"
#include "console/terminal.hpp"
#include "console/system_calls.hpp"
#include "support/console_text.hpp"
#include "support/iconv_text.hpp"
#include "support/scripted_calls.hpp"

#include <optional>

namespace {

// Reads a pipe to its end, slowly at first, counting the bytes.
void* count_slowly(void* fd) {
    usleep(100000);
    auto* count = new std::size_t(0);
    char buffer[4096];
    for (ssize_t got; (got = read(*static_cast<int*>(fd), buffer, sizeof buffer)) > 0;) *count += static_cast<std::size_t>(got);
    return count;
}

// A pipe whose reader counts what comes, slowly at first, on a thread of its own.
class SlowlyReadPipe {
public:
    SlowlyReadPipe() {
        EXPECT_EQ(pipe(fds_), 0);
        EXPECT_EQ(pthread_create(&reader_, nullptr, count_slowly, &fds_[0]), 0);
    }
    int write_end() const { return fds_[1]; }
    // Closes the writing end and returns how many bytes the reader counted.
    std::size_t count() {
        close(fds_[1]);
        void* counted = nullptr;
        pthread_join(reader_, &counted);
        std::unique_ptr<std::size_t> count(static_cast<std::size_t*>(counted));
        close(fds_[0]);
        return *count;
    }

private:
    int fds_[2] = {-1, -1};
    pthread_t reader_{};
};

TEST(ConsoleOutput, NonBlockingOutputWaitsForRoomInsteadOfFailing) {
    SlowlyReadPipe pipe;
    ASSERT_EQ(fcntl(pipe.write_end(), F_SETFL, O_NONBLOCK), 0);
    const std::string text(4 * console::ConsoleOutput::held_most, 'x');  // far more than a pipe holds
    {
        console::ConsoleOutput output(pipe.write_end(), console::SystemCalls::standard(), console::Encoding::utf8);
        std::ostream out(&output);
        out.exceptions(std::ios::badbit);
        EXPECT_NO_THROW(out << text << std::flush);
    }
    EXPECT_EQ(pipe.count(), text.size());
}

// Writing through the descriptor calls, each of which may fail or write less than asked.
struct WriteCase {
    const char* what;
    std::deque<int> write_faults;
    std::deque<int> wait_faults;
    std::size_t most_per_write;
    bool fails;
};

void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.what; }

class WriteFaults : public testing::TestWithParam<WriteCase> {};

TEST_P(WriteFaults, EveryByteOnceOrOneFailure) {
    const WriteCase& c = GetParam();
    testing_support::ScriptedCalls calls;
    calls.write_faults = c.write_faults;
    calls.wait_faults = c.wait_faults;
    calls.most_per_write = c.most_per_write;
    console::ConsoleOutput output(1, calls, testing_support::console_encoding());
    std::ostream out(&output);
    const std::string text = "line one\nline two\n";
    out << text;
    if (c.fails) {
        EXPECT_THROW(output.pubsync(), console::OutputFailed);
        const int writes = calls.writes;
        out << "more";
        EXPECT_NO_THROW(output.pubsync()) << "a failed output fails once";
        EXPECT_EQ(calls.writes, writes) << "and is not written to again";
        return;
    }
    output.pubsync();
    EXPECT_EQ(calls.written, text);
}

INSTANTIATE_TEST_SUITE_P(
    Output, WriteFaults,
    testing::Values(WriteCase{"interrupted", {EINTR, EINTR}, {}, 100, false},
                    WriteCase{"short writes", {}, {}, 3, false},
                    WriteCase{"full non-blocking pipe", {0, EAGAIN, 0, EAGAIN}, {}, 5, false},
                    WriteCase{"closed pipe", {EPIPE}, {}, 100, true},
                    WriteCase{"full device after a short write", {0, ENOSPC}, {}, 4, true},
                    WriteCase{"cannot wait for room", {EAGAIN}, {EBADF}, 100, true}));

// Text is held until someone may be waiting for it (a flush) or the buffer is full: far more
// than it holds goes out in blocks, not a write a line.
TEST(ConsoleOutput, HeldUntilFlushedOrFull) {
    testing_support::ScriptedCalls calls;
    console::ConsoleOutput output(1, calls, console::Encoding::utf8);
    std::ostream out(&output);
    out << "one\ntwo\n";
    EXPECT_EQ(calls.writes, 0);
    out.flush();
    EXPECT_EQ(calls.written, "one\ntwo\n");
    const std::string line(99, 'x');
    const std::size_t lines = 4 * console::ConsoleOutput::held_most / 100;
    for (std::size_t i = 0; i < lines; ++i) out << line << '\n';
    out.flush();
    EXPECT_EQ(calls.written.size(), 8 + 100 * lines);
    EXPECT_LE(calls.writes, 6);
}

// A character that a full buffer cuts in two leaves whole, in the console's encoding.
TEST(ConsoleOutput, CharactersCutByAFullBufferLeaveWhole) {
    for (const std::size_t back : {1u, 2u, 3u}) {
        testing_support::ScriptedCalls calls;
        console::ConsoleOutput output(1, calls, testing_support::console_encoding());
        std::ostream out(&output);
        const std::string text = std::string(console::ConsoleOutput::held_most - back, 'x') + "가┌─학생\n";
        out << text;
        out.flush();
        EXPECT_EQ(calls.written, testing_support::on_console(text)) << back;
    }
}

// The first box-drawing character is measured once, and drawn by the measurement itself; what
// it tells decides the filler of that character and of every one after it.
TEST(ConsoleOutput, FirstBoxDrawingCharacterIsMeasuredOnce) {
    struct Case {
        int columns;
        std::string_view shown;
    };
    const Case cases[] = {
        {1, "a[┌]─b──│ \n"},
        {2, "a[┌]b─│\n"},
        {0, "a[┌]─b──│ \n"},  // no answer: the filler
    };
    for (const Case& c : cases) {
        testing_support::ScriptedCalls calls;
        console::ConsoleOutput output(1, calls, console::Encoding::utf8, 0);
        int asked = 0;
        output.measure_box = [&](std::string_view box) {
            ++asked;
            calls.written += "[" + std::string(box) + "]";
            return c.columns;
        };
        std::ostream out(&output);
        out << "a┌b─" << std::flush << "│\n" << std::flush;
        EXPECT_EQ(calls.written, c.shown) << c.columns;
        EXPECT_EQ(asked, 1);
    }
}

// A terminal's answers to the measurement, as they come (whole, or a byte at a time): two
// cursor-position reports on one row, and whatever was typed before, between or after them,
// which stays for the next reads in order.
TEST(MeasureBox, ReadsTheTwoReportsAndKeepsWhatWasTyped) {
    struct Case {
        const char* what;
        std::string answers;
        int columns;
        std::string typed;
        int late;
    };
    const Case cases[] = {
        {"one column", "\x1b[3;5R\x1b[3;6R", 1, "", 0},
        {"two columns", "\x1b[3;5R\x1b[3;7R", 2, "", 0},
        {"no answer", "", 0, "", 2},
        {"one report only", "\x1b[3;5R", 0, "", 1},
        {"wrapped at the margin", "\x1b[3;80R\x1b[4;3R", 0, "", 0},
        {"two rows", "\x1b[3;5R\x1b[4;6R", 0, "", 0},
        {"three columns", "\x1b[3;5R\x1b[3;8R", 0, "", 0},
        {"typed around the reports", "x8\n\x1b[3;5Rab\x1b[3;7Rcd", 2, "x8\nabcd", 0},
        {"an escape typed first", "\x1b\x1b[3;5R\x1b[3;7R", 2, "\x1b", 0},
        {"garbage", "\x1b[3;5X\x1b[;7R", 0, "\x1b[3;5X\x1b[;7R", 2},
    };
    for (const Case& c : cases) {
        for (const std::size_t piece : {testing_support::ScriptedCalls::whole, std::size_t{1}}) {
            testing_support::ScriptedCalls calls(c.answers, piece);
            console::ConsoleOutput output(1, calls, console::Encoding::utf8);
            console::Terminal terminal(-1, calls, console::Encoding::utf8, false);
            EXPECT_EQ(terminal.measure_box(output, "┌"), c.columns) << c.what;
            EXPECT_EQ(calls.written, "\x1b[6n┌\x1b[6n") << c.what;
            EXPECT_EQ(terminal.late_reports(), c.late) << c.what;
            std::string rest;
            for (std::string key; terminal.read_key(key);) rest += key;
            EXPECT_EQ(rest, c.typed) << c.what;
        }
    }
}

// The question goes out whole through short and interrupted writes; what was typed meanwhile
// completes the next key without waiting on the terminal, and is all that key takes.
TEST(MeasureBox, QuestionWholeAndTypedAheadKeys) {
    testing_support::ScriptedCalls calls("\x1b[Ax\x1b[3;5R\x1b[3;7R");
    calls.most_per_write = 1;
    calls.write_faults = {EINTR, 0, EINTR};
    console::ConsoleOutput output(1, calls, console::Encoding::utf8);
    console::Terminal terminal(-1, calls, console::Encoding::utf8, false);
    EXPECT_EQ(terminal.measure_box(output, "┌"), 2);
    EXPECT_EQ(calls.written, "\x1b[6n┌\x1b[6n");
    calls.wait_faults.assign(8, ETIMEDOUT);  // the terminal has nothing more
    std::string key;
    ASSERT_TRUE(terminal.read_key(key));
    EXPECT_EQ(key, "\x1b[A");
    EXPECT_EQ(terminal.read_ahead(), "x");
}

// What standard output writes for `utf8` on a console of `encoding`; `output` keeps what its
// encoder has learnt from one text to the next.
std::string written(console::ConsoleOutput& output, testing_support::ScriptedCalls& calls, std::string_view utf8) {
    calls.written.clear();
    output.sputn(utf8.data(), static_cast<std::streamsize>(utf8.size()));
    output.pubsync();
    return calls.written;
}

std::string encoded(console::Encoding encoding, std::string_view utf8) {
    testing_support::ScriptedCalls calls;
    console::ConsoleOutput output(1, calls, encoding);
    return written(output, calls, utf8);
}

// On a UTF-8 console every box-drawing character keeps two columns with its filler, a name's
// included; nothing else changes.
TEST(ConsoleOutputEncoding, BoxDrawingKeepsTwoColumnsOnUtf8) {
    struct Case {
        std::string_view text;
        std::string_view shown;
    };
    const Case cases[] = {
        {"┌", "┌─"}, {"└", "└─"}, {"─", "──"}, {"┐", "┐ "}, {"┘", "┘ "}, {"│", "│ "},
        {"├", "├─"},  // runs right
        {"┤", "┤ "},  // does not
        {"━", "━─"},  // heavy horizontal runs right
        {"╋", "╋─"}, {"╳", "╳ "},  // the block's last rows: a heavy cross runs right, a diagonal does not
        {"가 abc 1\n", "가 abc 1\n"}, {"…", "…"},  // E2 80 A6: not box drawing
        {"a┌b┐\n", "a┌─b┐ \n"},
        {"┌─┐\n│", "┌───┐ \n│ "},  // a run, each with its own filler
    };
    for (const Case& c : cases) EXPECT_EQ(encoded(console::Encoding::utf8, c.text), c.shown) << c.text;
}

// On a CP949 console, text is its CP949 bytes; a character CP949 lacks, or one cut short,
// shows as "?".
TEST(ConsoleOutputEncoding, Cp949BytesOrAQuestionMark) {
    struct Case {
        std::string_view text;
        std::string_view shown;
    };
    const Case cases[] = {
        {"abc 1\n", "abc 1\n"},
        {"가", "\xB0\xA1"},
        {"학생!", "\xC7\xD0\xBB\xFD!"},
        {"┌─┐", "\xA6\xA3\xA6\xA1\xA6\xA4"},
        {"a\xF0\x9F\x98\x80" "b", "a?b"},   // U+1F600: beyond CP949
        {"\xE0\xB8\x81", "?"},               // Thai: not in CP949
        {"a\xEA\xB0", "a"},                  // cut short at the end: held for bytes still to come
        {"\xEA\xB0" "a", "??a"},             // and before ASCII
        {"\xC0\x80" "a", "??a"},             // an overlong NUL
        {"\xE0\x80\xB1", "???"},             // an overlong digit
        {"\xED\xA0\x80", "?"},               // a surrogate
        {"\xEA" "A\xB0", "?A?"},              // a lead byte before ASCII, then a continuation byte
        // the same amid longer text
        {"1234567\xEA\xB0" "abcdefgh가\xE0\xB8\x81xy\n", "1234567??abcdefgh\xB0\xA1?xy\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(encoded(console::Encoding::cp949, c.text), c.shown) << testing::PrintToString(std::string(c.text));
    }
}

// Each character of CP949, written as the programs hold it, reaches a CP949 console as its own
// two bytes, whichever characters the encoder met before it; the rows of the encoder's table
// are checked at every cell that a character fills.
TEST(ConsoleOutputEncoding, EveryCp949CharacterAsItsOwnBytes) {
    testing_support::ScriptedCalls calls;
    console::ConsoleOutput output(1, calls, console::Encoding::cp949);
    int characters = 0;
    int mismatches = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x41; trail <= 0xFE; ++trail) {
            const std::string pair = {static_cast<char>(lead), static_cast<char>(trail)};
            const auto utf8 = testing_support::iconv_text("UTF-8", "CP949", pair);
            if (!utf8) continue;
            ++characters;
            if (written(output, calls, *utf8) != pair && ++mismatches <= 10) ADD_FAILURE() << std::hex << lead << ' ' << trail;
        }
    }
    EXPECT_GT(characters, 17000);
    EXPECT_EQ(mismatches, 0);
}

// The character sets that mean a CP949 console, as systems name them; anything else is UTF-8.
TEST(ConsoleEncoding, Cp949ForItsNamesOnly) {
    using console::Encoding;
    const std::pair<const char*, Encoding> cases[] = {
        {"CP949", Encoding::cp949},  {"cp949", Encoding::cp949},  {"UHC", Encoding::cp949},
        {"uhc", Encoding::cp949},    {"EUC-KR", Encoding::cp949}, {"euc-kr", Encoding::cp949},
        {"eucKR", Encoding::cp949},  {"EUCKR", Encoding::cp949},  {"EUC_KR", Encoding::cp949},
        {"UTF-8", Encoding::utf8},   {"utf8", Encoding::utf8},    {"ANSI_X3.4-1968", Encoding::utf8},
        {"ISO-8859-1", Encoding::utf8}, {"CP9490", Encoding::utf8}, {"EUC-JP", Encoding::utf8},
        {"", Encoding::utf8},
    };
    for (const auto& [name, encoding] : cases) EXPECT_EQ(console::encoding_of_charset(name), encoding) << name;
}

TEST(Cp949Conversion, ConvertsOrRefuses) {
    using console::to_cp949;
    using console::to_utf8;
    EXPECT_EQ(to_cp949("가a"), std::optional<std::string>("\xB0\xA1" "a"));
    EXPECT_EQ(to_cp949(""), std::optional<std::string>(""));
    EXPECT_EQ(to_cp949("\xC3"), std::nullopt);              // cut short
    EXPECT_EQ(to_cp949("\xED\xA0\x80"), std::nullopt);      // a surrogate
    EXPECT_EQ(to_cp949("\xF0\x9F\x98\x80"), std::nullopt);  // no CP949 form
    EXPECT_EQ(to_utf8("\xB0\xA1" "a"), std::optional<std::string>("가a"));
    EXPECT_EQ(to_utf8("\xB0"), std::nullopt);       // a lead byte alone
    EXPECT_EQ(to_utf8("\xB0\x20"), std::nullopt);   // and one that is no trail byte
    EXPECT_EQ(to_utf8("\xC9\xA1"), std::nullopt);   // user-defined area, not mapped
}

}  // namespace
