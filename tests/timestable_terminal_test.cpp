// timestable at a terminal: after the table the program waits for one key, then ends cleanly.
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

TEST(TimestableTerminal, EndsOnlyAfterOneKey) {
    PtySession session(testing_support::program_path("timestable"));
    ASSERT_TRUE(session.wait_for(on_console("시작 단 입력 : ")));
    const termios before = session.settings();
    session.type("4 4\n");
    ASSERT_TRUE(session.wait_for("    4 x 9 = 36\t\t\r\n"));
    EXPECT_EQ(session.wait_exit(300), -1) << "the program ended before a key";
    EXPECT_FALSE(same_settings(before, session.settings())) << "no echo and no line editing while it waits";

    session.type("\x1b[B");  // an arrow key is one key too
    const int status = session.wait_exit();
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(same_settings(before, session.settings()));
    EXPECT_EQ(session.output().find("[B"), std::string::npos) << "the key was echoed";
}

}  // namespace
