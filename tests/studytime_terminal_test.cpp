// studytime at a terminal: the screens are cleared and the exit screen waits for a key.
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

TEST(StudytimeTerminal, ExitScreenIsClearedAndWaitsForAKey) {
    const termios before = PtySession("/bin/cat").settings();
    PtySession session(testing_support::program_path("studytime"));
    const std::string prompt = on_console("2.종료\r\n              입력 : ");
    ASSERT_TRUE(session.wait_for(prompt));
    EXPECT_EQ(session.output().rfind(std::string(clear), 0), 0u) << "the menu starts on a cleared screen";

    session.type("2\n");
    const std::string exit_screen = std::string(clear) + on_console("총 공부 시간 : 0 : 0\r\n계속하려면 아무 키나 누르십시오 . . . ");
    ASSERT_TRUE(session.wait_for(exit_screen));
    EXPECT_EQ(session.wait_exit(300), -1) << "the program ended before a key";

    session.type("q");
    const int status = session.wait_exit();
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(same_settings(before, session.settings()));
}

}  // namespace
