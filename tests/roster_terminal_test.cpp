// The roster at a terminal: screen clearing, the terminal types that take no escape sequences,
// and editing a name. Its pause is one of the key waits in key_wait_fault_test.cpp.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <csignal>

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

// The settings a program finds on a fresh terminal: those of one on which cat is running.
termios fresh_settings() { return PtySession("/bin/cat").settings(); }

// Brings the roster to the pause after choice 2 (an empty listing).
void reach_pause(PtySession& session) {
    ASSERT_TRUE(session.wait_for(menu_prompt));
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

// Terminals that take no escape sequences (TERM dumb, empty or unset) get plain text: nothing
// is cleared, but the pause still waits for one key. An ordinary terminal is still cleared.
class TerminalType : public testing::TestWithParam<const char*> {};

TEST_P(TerminalType, EscapesOnlyWhereTheTerminalTakesThem) {
    const char* term = GetParam();
    const bool takes_escapes = term != nullptr && std::string_view(term) != "" && std::string_view(term) != "dumb";
    const termios before = fresh_settings();
    PtySession session(testing_support::program_path("roster"), term);
    ASSERT_NO_FATAL_FAILURE(reach_pause(session));
    EXPECT_EQ(session.output().find(menu_prompt, session.output().find(pause_prompt)), std::string::npos)
        << "the program went on without a key";
    session.type("x");
    ASSERT_TRUE(session.wait_for(menu_prompt, 5000));
    ASSERT_NO_FATAL_FAILURE(quit_normally(session, before));
    EXPECT_EQ(session.output().find('\x1b') != std::string::npos, takes_escapes);
    EXPECT_EQ(session.output().starts_with(clear), takes_escapes);
    // The choice is echoed (by the layer where it edits answers, else by the terminal), then
    // the screen is cleared again.
    EXPECT_NE(session.output().find("2\r\n" + std::string(takes_escapes ? clear : "") + pause_prompt), std::string::npos);
}

// Editing a name at a terminal: typed ahead at the pause, the name shows at its prompt; Ctrl-Z
// gives the terminal back and fg draws the prompt and the line again; Ctrl-C while editing
// ends the program with the settings given back.
TEST(RosterEditing, TypedAheadStopResumeAndInterrupt) {
    const termios before = fresh_settings();
    PtySession session(testing_support::program_path("roster"));
    ASSERT_NO_FATAL_FAILURE(reach_pause(session));
    session.type("x1\n" + testing_support::typed("홍길"));
    ASSERT_TRUE(session.wait_for(on_console("이름 : 홍길"))) << "typed ahead, not shown at its prompt";
    session.drain(100);
    session.type("\x1a");
    ASSERT_TRUE(session.wait_stopped());
    EXPECT_TRUE(same_settings(before, session.settings())) << "stopped: the shell gets its settings back";
    session.send_signal(SIGCONT);
    ASSERT_TRUE(session.wait_for("\r" + on_console("이름 : 홍길") + "\x1b[K")) << "not drawn again on resumption";
    session.type(testing_support::typed("\x7f순"));
    ASSERT_TRUE(session.wait_for("\r\x1b[7C" + on_console("홍순") + "\x1b[K")) << "a whole syllable erased";
    EXPECT_FALSE(same_settings(before, session.settings())) << "resumed: the layer's mode again";
    session.type("\x03");
    const int status = session.wait_exit();
    ASSERT_TRUE(WIFSIGNALED(status)) << status;
    EXPECT_EQ(WTERMSIG(status), SIGINT);
    EXPECT_TRUE(same_settings(before, session.settings()));
}

INSTANTIATE_TEST_SUITE_P(Roster, TerminalType, testing::Values("dumb", "", nullptr, "xterm-256color"),
                         [](const testing::TestParamInfo<const char*>& param_info) {
                             const char* term = param_info.param;
                             return std::string(!term ? "Unset" : !*term ? "Empty" : *term == 'd' ? "Dumb" : "Xterm");
                         });

}  // namespace
