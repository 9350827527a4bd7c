// The roster at a terminal: screen clearing, and the terminal types that take no escape
// sequences. Its pause is one of the key waits in key_wait_fault_test.cpp.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <string>

#include "support/console_text.hpp"
#include "support/process.hpp"
#include "support/pty.hpp"

namespace {

using testing_support::on_console;
using testing_support::PtySession;
using testing_support::same_settings;

constexpr std::string_view clear = "\x1b[H\x1b[2J\x1b[3J";
const std::string menu_prompt = on_console("   (학생 수 : 0)\r\n입력 : ");
const std::string pause_prompt = on_console("계속하려면 아무 키나 누르십시오 . . . ");

// Brings the roster to the pause after choice 2 (an empty listing); `before` gets the
// terminal's settings as they were at the menu prompt.
void reach_pause(PtySession& session, termios& before) {
    ASSERT_TRUE(session.wait_for(menu_prompt));
    before = session.settings();
    session.type("2\n");
    ASSERT_TRUE(session.wait_for(pause_prompt));
    session.drain(150);
}

// Answers the menu with 8 and expects a normal end with the settings given back.
void quit_normally(PtySession& session, const termios& before) {
    session.type("8\n");
    const int status = session.wait_exit();
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(same_settings(before, session.settings()));
}

TEST(RosterTerminal, ClearsTheScreenBeforeTheMenuAndAfterTheChoice) {
    PtySession session(testing_support::program_path("roster"));
    termios before{};
    ASSERT_NO_FATAL_FAILURE(reach_pause(session, before));
    const std::string& out = session.output();
    EXPECT_EQ(out.rfind(std::string(clear), 0), 0u) << "the first thing written clears the screen";
    const auto after_choice = out.find("2\r\n");
    ASSERT_NE(after_choice, std::string::npos);
    EXPECT_EQ(out.substr(after_choice + 3, clear.size() + pause_prompt.size()), std::string(clear) + pause_prompt);
    session.type("x");
    ASSERT_TRUE(session.wait_for(menu_prompt, 5000));
    ASSERT_NO_FATAL_FAILURE(quit_normally(session, before));
}

// Terminals that take no escape sequences (TERM dumb, empty or unset) get plain text: nothing
// is cleared, but the pause still waits for one key. An ordinary terminal is still cleared.
class TerminalType : public testing::TestWithParam<const char*> {};

TEST_P(TerminalType, EscapesOnlyWhereTheTerminalTakesThem) {
    const char* term = GetParam();
    const bool takes_escapes = term != nullptr && std::string_view(term) != "" && std::string_view(term) != "dumb";
    PtySession session(testing_support::program_path("roster"), term);
    termios before{};
    ASSERT_NO_FATAL_FAILURE(reach_pause(session, before));
    EXPECT_EQ(session.output().find(menu_prompt, session.output().find(pause_prompt)), std::string::npos)
        << "the program went on without a key";
    session.type("x");
    ASSERT_TRUE(session.wait_for(menu_prompt, 5000));
    ASSERT_NO_FATAL_FAILURE(quit_normally(session, before));
    EXPECT_EQ(session.output().find('\x1b') != std::string::npos, takes_escapes);
    EXPECT_EQ(session.output().starts_with(clear), takes_escapes);
}

INSTANTIATE_TEST_SUITE_P(Roster, TerminalType, testing::Values("dumb", "", nullptr, "xterm-256color"),
                         [](const testing::TestParamInfo<const char*>& param_info) {
                             const char* term = param_info.param;
                             return std::string(!term ? "Unset" : !*term ? "Empty" : *term == 'd' ? "Dumb" : "Xterm");
                         });

}  // namespace
