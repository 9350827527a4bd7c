// boxdraw at a terminal: after the box the program waits for one key, then ends cleanly.
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

TEST(BoxdrawTerminal, EndsOnlyAfterOneKey) {
    PtySession session(testing_support::program_path("boxdraw"));
    ASSERT_TRUE(session.wait_for(on_console("가로 입력 : ")));
    const termios before = session.settings();
    session.type("3\n");
    ASSERT_TRUE(session.wait_for(on_console("세로 단 입력 : ")));
    session.type("2\n");
    ASSERT_TRUE(session.wait_for(on_console("┌─┐\r\n└─┘\r\n")));
    EXPECT_EQ(session.wait_exit(300), -1) << "the program ended before a key";
    EXPECT_FALSE(same_settings(before, session.settings())) << "no echo and no line editing while it waits";

    session.type(testing_support::typed("가"));  // one Korean syllable, several bytes, one key
    const int status = session.wait_exit();
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(same_settings(before, session.settings()));
}

}  // namespace
