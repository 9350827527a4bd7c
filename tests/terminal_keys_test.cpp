// Where a key ends, and the terminal asked how wide it draws a box-drawing character.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <csignal>
#include <iterator>
#include <span>
#include <string>

#include "console/terminal.hpp"
#include "support/console_text.hpp"
#include "support/process.hpp"
#include "support/pty.hpp"

namespace {

using testing_support::on_console;
using testing_support::PtySession;

TEST(KeyLength, KnowsWhereAKeyEnds) {
    struct Case {
        std::string_view bytes;
        std::size_t length;  // 0: more to come
        console::Encoding encoding = console::Encoding::utf8;
    };
    using console::Encoding;
    const Case cases[] = {
        {"a", 1},
        {"\n", 1},
        {"\x1b", 0},            // Escape alone: wait briefly for a sequence
        {"\x1b[", 0},
        {"\x1b[A", 3},          // arrow up
        {"\x1b[1;5", 0},
        {"\x1b[1;5C", 6},       // Ctrl-arrow
        {"\x1b[15~", 5},        // F5
        {"\x1b[1\r", 3},        // cut short: the line end is a key of its own
        {"\x1bO", 0},
        {"\x1bOP", 3},          // F1
        {"\x1bO\r", 2},
        {"\x1b" "a", 2},        // Alt-a
        {"\x1b\x1b[", 1},       // Escape, then a sequence
        {"\x1b\r", 1},          // Escape, then Enter
        {"\x1b\xEA\xB0", 0},    // Alt with a syllable, whole
        {"\x1b\xEA\xB0\x80", 4},
        {"\xEA", 0},             // first byte of a Korean syllable in UTF-8
        {"\xEA\xB0", 0},
        {"\xEA\xB0\x80", 3},
        {"\xF0\x9F", 0},
        {"\xFF", 1},
        {"\xEA" "a", 1},        // a byte that cannot continue the character is a key of its own
        {"\xEA\xB0\x1b", 2},
        {"\xB0", 0, Encoding::cp949},      // a lead byte of CP949: its trail byte follows
        {"\xB0\xA1", 2, Encoding::cp949},  // 가
        {"\x81\x41", 2, Encoding::cp949},  // the lowest lead and trail bytes
        {"\xFE\xFE", 2, Encoding::cp949},  // and the highest
        {"\xB0\x1b", 1, Encoding::cp949},  // no trail byte
        {"\xB0\x7F", 1, Encoding::cp949},
        {"\x80", 1, Encoding::cp949},      // no lead byte
        {"\xFF", 1, Encoding::cp949},
        {"\x1b\xB0\xA1", 3, Encoding::cp949},
    };
    for (const Case& c : cases) EXPECT_EQ(console::key_length(c.bytes, c.encoding), c.length) << testing::PrintToString(std::string(c.bytes));
}

}  // namespace

namespace {

constexpr std::string_view question = "\x1b[6n";
bool utf8_console() { return testing_support::console_encoding() == console::Encoding::utf8; }

// A 2 by 2 box on terminals that answer the question in every way: the first character is drawn
// between the two requests, and the filler follows it and every other one unless the terminal
// said two columns. A CP949 console is never asked.
TEST(BoxWidth, TheTerminalsAnswerDecidesTheFiller) {
    struct Case {
        const char* what;
        int answers;  // as PtySession takes it
        bool filler;
    };
    const Case cases[] = {{"one column", 1, true}, {"two columns", 2, false}, {"no answer", 0, true}, {"wrapped", -1, true}};
    // A CP949 console is never asked, whatever the terminal would answer: one terminal shows it.
    for (const Case& c : std::span(cases, utf8_console() ? std::size(cases) : 1)) {
        PtySession session(testing_support::program_path("boxdraw"), "xterm", c.answers);
        const auto asked = std::chrono::steady_clock::now();
        session.type("2 2\n");
        ASSERT_TRUE(session.wait_for(utf8_console() && !c.filler ? "└┘\r\n" : on_console("└┘\r\n"))) << c.what;
        EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(2)) << c.what;
        const std::string& out = session.output();
        const std::string drawn = !utf8_console() ? on_console("┌┐\r\n└┘\r\n")
                                  : c.filler      ? "\x1b[6n┌\x1b[6n─┐ \r\n└─┘ \r\n"
                                                  : "\x1b[6n┌\x1b[6n┐\r\n└┘\r\n";
        EXPECT_TRUE(out.ends_with(drawn)) << c.what << ": " << testing::PrintToString(out);
        EXPECT_EQ(out.find(question), out.rfind(question, out.size() - drawn.size())) << "asked once, before the frame";
        session.type("x");
        const int status = session.wait_exit();
        ASSERT_TRUE(WIFEXITED(status)) << c.what;
        EXPECT_EQ(WEXITSTATUS(status), 0) << c.what;
    }
}

// Reports that come after the question was given up on are taken out of the input wherever they
// come: at a key wait they are no key, at a prompt no answer.
TEST(BoxWidth, LateReportsAreNeverAKeyOrAnAnswer) {
    if (!utf8_console()) GTEST_SKIP() << "a CP949 console is never asked";
    const std::string reports = "\x1b[3;5R\x1b[3;6R";
    for (const bool at_the_key : {true, false}) {
        PtySession session(testing_support::program_path("roster"), "xterm", 0);
        session.type("3\n");
        ASSERT_TRUE(session.wait_for(on_console("계속하려면 아무 키나 누르십시오 . . . ")));
        session.drain(100);
        session.type(at_the_key ? reports + "x" : "x");
        ASSERT_TRUE(session.wait_for(on_console("입력 : ")));
        session.type(at_the_key ? "8\n" : reports + "8\n");
        const int status = session.wait_exit();
        ASSERT_TRUE(WIFEXITED(status)) << at_the_key;
        EXPECT_EQ(WEXITSTATUS(status), 0) << at_the_key;
        EXPECT_EQ(session.output().find(on_console("정수(")), std::string::npos) << "a late report was read as an answer";
    }
}

// What is typed before the reports arrive stays, in order, for the key wait and the prompts
// after it; a hang-up during the question ends the program with the terminal given back.
TEST(BoxWidth, TypedAheadOfTheReportsIsKept) {
    if (!utf8_console()) GTEST_SKIP() << "a CP949 console is never asked";
    const termios before = PtySession("/bin/cat").settings();
    PtySession session(testing_support::program_path("roster"), "xterm", 0);
    session.type("3\n");
    ASSERT_TRUE(session.wait_for(std::string(question)) && session.wait_for(std::string(question)));
    session.type("x8\n\x1b[3;5R\x1b[3;7R");
    const int status = session.wait_exit();
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the key and the choice typed before the reports were lost";
    EXPECT_NE(session.output().find("┌\x1b[6n─────1 학년─────┐\r\n"), std::string::npos) << "two columns: no filler";
    EXPECT_TRUE(testing_support::same_settings(before, session.settings()));

    PtySession hung_up(testing_support::program_path("boxdraw"), "xterm", 0);
    hung_up.type("2 2\n");
    ASSERT_TRUE(hung_up.wait_for(std::string(question)));
    hung_up.send_signal(SIGHUP);
    const int ended = hung_up.wait_exit();
    ASSERT_TRUE(WIFSIGNALED(ended));
    EXPECT_EQ(WTERMSIG(ended), SIGHUP);
    EXPECT_TRUE(testing_support::same_settings(before, hung_up.settings()));
}

}  // namespace
