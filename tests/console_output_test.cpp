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

#include "console/lines.hpp"
#include "console/output.hpp"
#include "console/session.hpp"
#include "support/console_text.hpp"
#include "support/scripted_calls.hpp"
#if CONSOLE_UTF8
#include <iconv.h>

#include <optional>

#include "console/cp949.hpp"
#endif

namespace {

// Reads everything a ConsoleOutput wrote into a pipe.
std::string through_pipe(const std::string& text, std::size_t chunk) {
    int fds[2];
    EXPECT_EQ(pipe(fds), 0);
    {
        console::ConsoleOutput output(fds[1], true);
        std::ostream out(&output);
        for (std::size_t i = 0; i < text.size(); i += chunk) {
            out << text.substr(i, chunk);
            out.flush();
        }
    }
    close(fds[1]);
    std::string result;
    char buffer[4096];
    for (ssize_t got; (got = read(fds[0], buffer, sizeof buffer)) > 0;) result.append(buffer, static_cast<std::size_t>(got));
    close(fds[0]);
    return result;
}

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
    const std::string text(1 << 20, 'x');  // far more than a pipe holds
    {
        console::ConsoleOutput output(pipe.write_end(), true);
        std::ostream out(&output);
        out.exceptions(std::ios::badbit);
        EXPECT_NO_THROW(out << text << std::flush);
    }
    EXPECT_EQ(pipe.count(), text.size());
}

TEST(ConsoleOutput, FailedWriteThrowsOnceThenDrops) {
    const int full = open("/dev/full", O_WRONLY);
    ASSERT_GE(full, 0);
    console::ConsoleOutput output(full, true);
    std::ostream out(&output);
    out.exceptions(std::ios::badbit);
    out << "line";
    EXPECT_THROW(out.flush(), console::OutputFailed);
    EXPECT_TRUE(output.failed());
    out.clear();
    EXPECT_NO_THROW(out << "more" << std::endl);
    close(full);
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
    console::ConsoleOutput output(1, false, calls);
    std::ostream out(&output);
    const std::string text = "line one\nline two\n";
    out << text;
    if (c.fails) {
        EXPECT_THROW(output.write_held(), console::OutputFailed);
        const int writes = calls.writes;
        out << "more";
        EXPECT_NO_THROW(output.write_held()) << "a failed output fails once";
        EXPECT_EQ(calls.writes, writes) << "and is not written to again";
        return;
    }
    output.write_held();
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

// On a terminal each line end writes at once; into a pipe or a file text is held until it
// fills the buffer or someone may be waiting for it.
TEST(ConsoleOutput, LineEndsWriteOnATerminalOnly) {
    for (const bool terminal : {true, false}) {
        testing_support::ScriptedCalls calls;
        console::ConsoleOutput output(1, terminal, calls);
        std::ostream out(&output);
        out << "one" << std::endl << "two" << std::endl;
        EXPECT_EQ(calls.writes, terminal ? 2 : 0) << terminal;
        output.write_held();
        EXPECT_EQ(calls.written, "one\ntwo\n");
        EXPECT_EQ(calls.widenings, 0) << "a short dialogue leaves a pipe as it is";
        // Far more than the buffer holds goes out in blocks, not a write a line.
        const std::string line(99, 'x');
        for (int i = 0; i < 10000; ++i) out << line << std::endl;
        output.write_held();
        EXPECT_EQ(calls.written.size(), 8 + 100 * 10000u);
        if (!terminal) {
            EXPECT_LT(calls.writes, 200) << "a write a line (10000) or more";
        }
        EXPECT_EQ(calls.widenings, terminal ? 0 : 1) << "bulk into a pipe asks once for a larger one";
    }
}

#ifdef F_SETPIPE_SZ
// The system's own request: a pipe that bulk output goes into ends up holding 256 KiB or more,
// unless the system allows no pipe that large.
TEST(ConsoleOutput, BulkOutputGetsALargerPipe) {
    SlowlyReadPipe pipe;
    const std::string text(1 << 20, 'x');
    {
        console::ConsoleOutput output(pipe.write_end(), false);
        std::ostream out(&output);
        out << text;
        output.write_held();
    }
    const int size = fcntl(pipe.write_end(), F_GETPIPE_SZ);
    EXPECT_EQ(pipe.count(), text.size());
    long most = 0;
    if (FILE* limit = std::fopen("/proc/sys/fs/pipe-max-size", "r")) {
        if (std::fscanf(limit, "%ld", &most) != 1) most = 0;
        std::fclose(limit);
    }
    if (most >= (1 << 18)) {
        EXPECT_GE(size, 1 << 18);
    }
}
#endif

// Numbers within a session are written as the standard stream writes them, flags and width
// included, whether through the stream or through lines built in memory.
TEST(Session, WritesIntegersAsTheStandardStreamDoes) {
    std::stringbuf captured;
    testing_support::TextInput no_input("");
    {
        const console::Session session(no_input.in, captured);
        std::cout << 0 << ' ' << -5 << ' ' << std::numeric_limits<std::int32_t>::min() << ' ' << 2147483647 << ' '
                  << std::hex << 255 << std::dec << ' ' << std::setw(4) << 7 << ' ' << std::showpos << 3 << std::noshowpos;
    }
    EXPECT_EQ(captured.str(), "0 -5 -2147483648 2147483647 ff    7 +3");

    // Lines built in memory write the same decimals, and nothing until they are written.
    captured.str("");
    {
        const console::Session session(no_input.in, captured);
        console::Lines lines;
        lines << "a " << 0 << ' ' << std::numeric_limits<std::int32_t>::min() << ' ' << 2147483647 << '\n';
        EXPECT_EQ(captured.str(), "");
        lines.write();
    }
    EXPECT_EQ(captured.str(), "a 0 -2147483648 2147483647\n");

    // Every length of number, on both sides of each edge where the digits are made differently,
    // and the values whose last digits rounding would get wrong.
    std::string expected;
    captured.str("");
    {
        const console::Session session(no_input.in, captured);
        console::Lines lines;
        for (const std::int64_t edge : {1LL, 10LL, 100LL, 1000LL, 10000LL, 100000LL, 1000000LL, 10000000LL, 100000000LL,
                                         1000000000LL, 1160872981LL, 2147483648LL}) {
            for (const std::int64_t value : {edge - 1, edge, edge + 1, -edge}) {
                if (value > std::numeric_limits<std::int32_t>::max()) continue;
                lines << static_cast<std::int32_t>(value) << ' ';
                expected += std::to_string(value) + ' ';
            }
            lines.write();
        }
    }
    EXPECT_EQ(captured.str(), expected);
}

// A block written many times over keeps its place behind what was written before it.
TEST(ConsoleOutput, RepeatedTextFollowsWhatIsHeld) {
    testing_support::ScriptedCalls calls;
    console::ConsoleOutput output(1, false, calls);
    std::ostream out(&output);
    out << "a\n";
    output.write_repeated("┌─\n", 3);
    out << "z\n";
    output.write_held();
    EXPECT_EQ(calls.written, testing_support::on_console("a\n┌─\n┌─\n┌─\nz\n"));
}

// A piece converted once is known again only while it is the same text: a string written
// again and again in the same place, its text changing, comes out as it is each time, through
// the stream and through lines gathered for the session's own output.
TEST(ConsoleOutput, KeptConversionsFollowTheText) {
    testing_support::ScriptedCalls calls;
    console::ConsoleOutput output(1, false, calls);
    testing_support::TextInput no_input("");
    std::string name = "\xB0\xA1\xB0\xA1 name";  // 가가
    std::string expected;
    {
        const console::Session session(no_input.in, output);
        for (int round = 0; round < 200; ++round) {
            name[1] = round % 2 == 0 ? '\xA1' : '\xA2';  // 가 or 각, in the same place
            std::cout << name << std::endl;
            console::Lines lines;
            lines << "학생 " << name << ' ' << round << '\n';
            lines.write();
            expected += name + "\n" + "학생 " + name + " " + std::to_string(round) + "\n";
        }
    }
    output.write_held();
    EXPECT_EQ(calls.written, testing_support::on_console(expected));
}

#if CONSOLE_UTF8
std::string convert(std::string_view cp949) {
    console::Cp949ToUtf8 converter;
    std::string out;
    converter.convert(cp949, out);
    converter.finish(out);
    return out;
}

TEST(Cp949ToUtf8, ConvertsKoreanAndKeepsAscii) {
    EXPECT_EQ(convert("abc 1"), "abc 1");
    EXPECT_EQ(convert("\xB0\xA1"), "\xEA\xB0\x80");                          // 가
    EXPECT_EQ(convert("\xC7\xD0\xBB\xFD!"), "\xED\x95\x99\xEC\x83\x9D!");  // 학생!
}

TEST(Cp949ToUtf8, BoxDrawingKeepsTwoColumns) {
    struct Case {
        const char* cp949;
        const char* utf8;
    };
    const Case cases[] = {
        {"\xA6\xA3", "\xE2\x94\x8C\xE2\x94\x80"},  // ┌ then ─
        {"\xA6\xA6", "\xE2\x94\x94\xE2\x94\x80"},  // └ then ─
        {"\xA6\xA1", "\xE2\x94\x80\xE2\x94\x80"},  // ─ then ─
        {"\xA6\xA4", "\xE2\x94\x90 "},             // ┐ then a blank
        {"\xA6\xA5", "\xE2\x94\x98 "},             // ┘ then a blank
        {"\xA6\xA2", "\xE2\x94\x82 "},             // │ then a blank
        {"\xA6\xA7", "\xE2\x94\x9C\xE2\x94\x80"},  // ├ runs right
        {"\xA6\xA9", "\xE2\x94\xA4 "},             // ┤ does not
        {"\xA6\xAC", "\xE2\x94\x81\xE2\x94\x80"},  // ━ heavy horizontal runs right
    };
    for (const Case& c : cases) EXPECT_EQ(convert(c.cp949), c.utf8) << c.cp949;
}

TEST(Cp949ToUtf8, AnySplitGivesTheSameBytes) {
    const std::string text = "\xA6\xA3\xA6\xA1 1 \xC7\xD0\xB3\xE2\xA6\xA4\nab\xB0\xA1";
    const std::string whole = convert(text);
    for (std::size_t split = 0; split <= text.size(); ++split) {
        console::Cp949ToUtf8 converter;
        std::string out;
        converter.convert(text.substr(0, split), out);
        converter.convert(text.substr(split), out);
        converter.finish(out);
        EXPECT_EQ(out, whole) << "split at " << split;
    }
    for (std::size_t chunk = 1; chunk <= 4; ++chunk) EXPECT_EQ(through_pipe(text, chunk), whole) << chunk;
}

TEST(Cp949ToUtf8, BrokenBytesBecomeReplacementCharacters) {
    const std::string fffd = "\xEF\xBF\xBD";
    EXPECT_EQ(convert("\x80"), fffd);
    EXPECT_EQ(convert("\xFF" "a"), fffd + "a");
    EXPECT_EQ(convert("\xB0" "\n"), fffd + "\n");  // a lead byte followed by a line end keeps the line end
    EXPECT_EQ(convert("a\xB0"), "a" + fffd);       // a lead byte with nothing after it
    EXPECT_EQ(convert("\xC9\xA1"), fffd);          // user-defined area, not mapped
}

TEST(Utf8ToCp949, ConvertsOrRefuses) {
    EXPECT_EQ(console::utf8_to_cp949("\xEA\xB0\x80" "a"), std::optional<std::string>("\xB0\xA1" "a"));
    EXPECT_EQ(console::utf8_to_cp949(""), std::optional<std::string>(""));
    EXPECT_EQ(console::utf8_to_cp949("\xC3"), std::nullopt);              // cut short
    EXPECT_EQ(console::utf8_to_cp949("\xED\xA0\x80"), std::nullopt);      // a surrogate
    EXPECT_EQ(console::utf8_to_cp949("\xF0\x9F\x98\x80"), std::nullopt);  // no CP949 form
}

// What the C library's iconv makes of one CP949 character, or nothing when it refuses it.
std::optional<std::string> iconv_utf8(iconv_t cd, std::string_view cp949) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(cp949.data());
    std::size_t in_left = cp949.size();
    char out[16];
    char* out_ptr = out;
    std::size_t out_left = sizeof out;
    if (iconv(cd, &in, &in_left, &out_ptr, &out_left) == static_cast<std::size_t>(-1) || in_left != 0) {
        return std::nullopt;
    }
    return std::string(out, sizeof out - out_left);
}

// The converter's own table must say what iconv says, for every lead and trail byte pair; a
// box-drawing character (U+2500..U+257F, E2 94 xx or E2 95 xx) then gets its one filler.
TEST(Cp949ToUtf8, AgreesWithIconvOnEveryTwoByteCharacter) {
    const iconv_t cd = iconv_open("UTF-8", "CP949");
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
    const std::string fffd = "\xEF\xBF\xBD";
    int mismatches = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x41; trail <= 0xFE; ++trail) {
            if ((trail > 0x5A && trail < 0x61) || (trail > 0x7A && trail < 0x81)) continue;  // not trail bytes
            const std::string pair = {static_cast<char>(lead), static_cast<char>(trail)};
            const std::string got = convert(pair);
            const std::string expected = iconv_utf8(cd, pair).value_or(fffd);
            const bool box = expected.size() == 3 && expected[0] == '\xE2' && (expected[1] == '\x94' || expected[1] == '\x95');
            const std::string rest = got.substr(0, expected.size()) == expected ? got.substr(expected.size()) : "mismatch";
            const bool ok = box ? (rest == " " || rest == "\xE2\x94\x80") : rest.empty();
            if (!ok && ++mismatches <= 10) ADD_FAILURE() << std::hex << lead << ' ' << trail;
        }
    }
    iconv_close(cd);
    EXPECT_EQ(mismatches, 0);
}

// Long texts, mostly ASCII with characters at every alignment and runs longer than any
// internal block, come out the same whole as byte by byte.
TEST(Cp949ToUtf8, LongTextsWholeOrByteByByte) {
    std::string text;
    for (int i = 0; i < 40; ++i) {
        text += std::string(static_cast<std::size_t>(i % 17), 'a') + "\xB0\xA1";  // 가 after 0 to 16 ASCII bytes
        for (int j = 0; j < i; ++j) text += "\xA6\xA1";                         // runs of ─, up to 39
        text += "\x80 ";                                                        // a broken byte
    }
    std::string whole;
    console::Cp949ToUtf8 at_once;
    at_once.convert(text, whole);
    at_once.finish(whole);

    std::string by_byte;
    console::Cp949ToUtf8 one_by_one;
    for (const char c : text) one_by_one.convert(std::string_view(&c, 1), by_byte);
    one_by_one.finish(by_byte);
    EXPECT_EQ(whole, by_byte);

    // ASCII around a character changes nothing of it, wherever it falls in a word of eight.
    for (std::size_t before = 0; before <= 17; ++before) {
        const std::string a(before, 'x');
        EXPECT_EQ(convert(a + "\xC7\xD0" + a), a + "\xED\x95\x99" + a) << before;
    }
}
#else
TEST(ConsoleOutput, WritesBytesUnchanged) {
    const std::string text = "\xA6\xA3\xA6\xA1 \xB0\xA1\x80\xFF\n";
    for (std::size_t chunk = 1; chunk <= 3; ++chunk) EXPECT_EQ(through_pipe(text, chunk), text);
}
#endif

}  // namespace
