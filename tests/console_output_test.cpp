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
#include "support/console_text.hpp"
#include "support/scripted_calls.hpp"

#include <iconv.h>

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
    const std::string text(1 << 20, 'x');  // far more than a pipe holds
    {
        console::ConsoleOutput output(pipe.write_end(), true, console::Encoding::utf8);
        std::ostream out(&output);
        out.exceptions(std::ios::badbit);
        EXPECT_NO_THROW(out << text << std::flush);
    }
    EXPECT_EQ(pipe.count(), text.size());
}

TEST(ConsoleOutput, FailedWriteThrowsOnceThenDrops) {
    const int full = open("/dev/full", O_WRONLY);
    ASSERT_GE(full, 0);
    console::ConsoleOutput output(full, true, console::Encoding::utf8);
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
    console::ConsoleOutput output(1, false, testing_support::console_encoding(), calls);
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
        console::ConsoleOutput output(1, terminal, console::Encoding::utf8, calls);
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
        console::ConsoleOutput output(pipe.write_end(), false, console::Encoding::utf8);
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
// included: the user's locale does not reach them.
TEST(Session, WritesIntegersAsTheStandardStreamDoes) {
    std::stringbuf captured;
    testing_support::TextInput no_input("");
    {
        const console::Session session(no_input.in, captured);
        std::cout << 0 << ' ' << -5 << ' ' << std::numeric_limits<std::int32_t>::min() << ' ' << 2147483647 << ' '
                  << std::hex << 255 << std::dec << ' ' << std::setw(4) << 7 << ' ' << std::showpos << 3 << std::noshowpos;
    }
    EXPECT_EQ(captured.str(), "0 -5 -2147483648 2147483647 ff    7 +3");
}

// A block written many times over keeps its place behind what was written before it.
TEST(ConsoleOutput, RepeatedTextFollowsWhatIsHeld) {
    testing_support::ScriptedCalls calls;
    console::ConsoleOutput output(1, false, testing_support::console_encoding(), calls);
    std::ostream out(&output);
    out << "a\n";
    output.write_repeated("┌─\n", 3);
    out << "z\n";
    output.write_held();
    EXPECT_EQ(calls.written, testing_support::on_console("a\n┌─\n┌─\n┌─\nz\n"));
}

// A character that a full buffer cuts in two leaves whole, in the console's encoding.
TEST(ConsoleOutput, CharactersCutByAFullBufferLeaveWhole) {
    for (const std::size_t before : {(1u << 20) - 1, (1u << 20) - 2, (1u << 20) - 3}) {
        testing_support::ScriptedCalls calls;
        console::ConsoleOutput output(1, false, testing_support::console_encoding(), calls);
        std::ostream out(&output);
        const std::string text = std::string(before, 'x') + "가┌─학생\n";
        out << text;
        output.write_held();
        EXPECT_EQ(calls.written, testing_support::on_console(text)) << before;
    }
}

std::string encoded(console::Encoding encoding, std::string_view utf8) {
    console::ConsoleEncoder encoder(encoding);
    return std::string(encoder.encoded(utf8));
}

// On a UTF-8 console every box-drawing character keeps two columns with its filler, a name's
// included; nothing else changes.
TEST(ConsoleEncoder, BoxDrawingKeepsTwoColumnsOnUtf8) {
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
    };
    for (const Case& c : cases) EXPECT_EQ(encoded(console::Encoding::utf8, c.text), c.shown) << c.text;
}

// On a CP949 console, text is its CP949 bytes; a character CP949 lacks, or one cut short,
// shows as "?".
TEST(ConsoleEncoder, Cp949BytesOrAQuestionMark) {
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
        {"a\xEA\xB0", "a??"},                // cut short at the end: a "?" for each byte
        {"\xEA\xB0" "a", "??a"},             // and before ASCII
        {"\xC0\x80" "a", "??a"},             // an overlong NUL
        {"\xE0\x80\xB1", "???"},             // an overlong digit
        {"\xED\xA0\x80", "?"},               // a surrogate
        // the same amid longer text, which is taken eight bytes at a time
        {"1234567\xEA\xB0" "abcdefgh가\xE0\xB8\x81xy\n", "1234567??abcdefgh\xB0\xA1?xy\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(encoded(console::Encoding::cp949, c.text), c.shown) << testing::PrintToString(std::string(c.text));
    }
}

// What the C library's iconv makes of `in`, or nothing when it refuses it.
std::optional<std::string> iconv_whole(const char* to, const char* from, std::string_view in) {
    const iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    char* in_ptr = const_cast<char*>(in.data());
    std::size_t in_left = in.size();
    char out[16];
    char* out_ptr = out;
    std::size_t out_left = sizeof out;
    const bool ok = iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left) != static_cast<std::size_t>(-1) && in_left == 0;
    iconv_close(cd);
    if (!ok) return std::nullopt;
    return std::string(out, sizeof out - out_left);
}

// Each character of CP949, written as the programs hold it, reaches a CP949 console as its own
// two bytes, whichever characters the encoder met before it; the rows of the encoder's table
// are checked at every cell that a character fills.
TEST(ConsoleEncoder, EveryCp949CharacterAsItsOwnBytes) {
    console::ConsoleEncoder encoder(console::Encoding::cp949);
    int characters = 0;
    int mismatches = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x41; trail <= 0xFE; ++trail) {
            const std::string pair = {static_cast<char>(lead), static_cast<char>(trail)};
            const auto utf8 = iconv_whole("UTF-8", "CP949", pair);
            if (!utf8) continue;
            ++characters;
            if (encoder.encoded(*utf8) != pair && ++mismatches <= 10) ADD_FAILURE() << std::hex << lead << ' ' << trail;
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
