#pragma once
// The last step of the one-shot programs at a terminal: after their last text they wait for
// one key, without echo, and end on it with status 0, leaving the terminal as they found it.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <string>
#include <string_view>

#include "support/pty.hpp"

namespace testing_support {

// The settings a program finds on a fresh test terminal, read while cat (which changes
// nothing) waits on it.
inline termios fresh_terminal_settings() {
    PtySession cat("/bin/cat");
    return cat.settings();
}

inline void expect_ends_on_one_key(PtySession& session, const termios& before, std::string_view last_text) {
    ASSERT_TRUE(session.wait_for(last_text));
    EXPECT_EQ(session.wait_exit(300), -1) << "the program ended without a key";
    EXPECT_FALSE(same_settings(before, session.settings())) << "no echo and no line editing while it waits";
    session.type("\x1b[A");  // an arrow key: three bytes, one key
    const int status = session.wait_exit();
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(session.output().ends_with(last_text)) << "nothing is written after the last text";
    EXPECT_TRUE(same_settings(before, session.settings()));
}

}  // namespace testing_support
