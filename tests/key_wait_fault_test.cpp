// Every key wait of the programs, at a terminal: the program waits without echo until one key,
// then ends or goes on; Ctrl-C, SIGTERM and SIGHUP during the wait end the program by that
// signal and leave the terminal's settings exactly as they were before it started; Ctrl-Z stops
// it with the settings given back and resumption takes the wait up again; an arrow key or a
// Korean syllable is one key, whose bytes never reach what reads the terminal next (the
// program's next prompt, or the shell after the program's last key); and what is typed after
// the key, in the same breath, stays for whatever reads next.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>

#include "support/console_text.hpp"
#include "support/process.hpp"
#include "support/pty.hpp"

namespace {

using testing_support::on_console;
using testing_support::PtySession;
using testing_support::same_settings;

const std::string pause_prompt = "계속하려면 아무 키나 누르십시오 . . . ";

struct KeyWait {
    const char* name;
    const char* program;
    std::string typed;    // typed at the start, up to the wait
    std::string waiting;  // the text on the terminal when the program waits for the key
    // A pause within the dialogue: what to type at the next prompt, and the text of the final
    // key wait that follows (empty where the answer ends the program). Empty for the
    // program's last key.
    std::string next_prompt = {};
    std::string answer = {};
    std::string last_wait = {};
};

void PrintTo(const KeyWait& w, std::ostream* os) { *os << w.name; }

// Texts as the terminal shows them: the programs' line ends arrive as CR LF.
const KeyWait last_keys[] = {
    {"SorterLastKey", "sorter", "5 4 3 2 1\n", "5번째 정수 : 5\r\n====================\r\n\r\n"},
    {"RecursionLastKey", "recursion", "3 3\n", "3 -> 11\r\n"},
    {"SumcallsLastKey", "sumcalls", "", "Q1(5,10) : 45\r\n"},
    {"TimestableLastKey", "timestable", "4 4\n", "    4 x 9 = 36\t\t\r\n"},
    {"BoxdrawLastKey", "boxdraw", "2 2\n", "└┘\r\n"},
    // The exit screen is a screen of its own: cleared first.
    {"StudytimeExitPause", "studytime", "2\n", "2\r\n\x1b[H\x1b[2J\x1b[3J총 공부 시간 : 0 : 0\r\n" + pause_prompt},
};
const KeyWait pauses[] = {
    {"TimestablePause", "timestable", "1 5\n", "시작 단이 2보다 작거나 9보다 큽니다.\r\n" + pause_prompt, "시작 단 입력 : ",
     "3 4\n", "    4 x 9 = 36\t\t\r\n"},
    {"BoxdrawPause", "boxdraw", "0 1\n", "가로 또는 세로가 1보다 작습니다.\r\n" + pause_prompt, "가로 입력 : ", "2 2\n",
     "└┘\r\n"},
    {"RosterPause", "roster", "2\n", pause_prompt, "입력 : ", "8\n"},
    {"StudytimePause", "studytime", "1\n2147483647 0\n1\n1 0\n", "범위를 벗어납니다.\r\n" + pause_prompt, "입력 : ", "2\n",
     "총 공부 시간 : 2147483647 : 0\r\n" + pause_prompt},
};

// The settings a program finds on a fresh terminal: those of a terminal on which cat, which
// changes nothing, is running.
termios fresh_settings() {
    PtySession cat("/bin/cat");
    return cat.settings();
}

// Types one key's bytes in two writes a little apart, as a slow terminal or a network
// connection delivers them: the wait must still take them as one key.
void type_split(PtySession& session, std::string_view key) {
    session.type(key.substr(0, 1));
    usleep(10000);
    session.type(key.substr(1));
}

class KeyWaitTest : public testing::TestWithParam<KeyWait> {
protected:
    // Starts the program and brings it to its key wait.
    void start(PtySession& session) {
        const KeyWait& w = GetParam();
        session.type(w.typed);
        ASSERT_TRUE(session.wait_for(on_console(w.waiting))) << "the program did not reach its key wait";
        session.drain(100);
        ASSERT_FALSE(same_settings(before_, session.settings())) << "no key mode while it waits";
    }

    // After the key: the rest of the dialogue up to the normal end.
    void finish(PtySession& session) {
        const KeyWait& w = GetParam();
        if (!w.answer.empty()) {
            ASSERT_TRUE(session.wait_for(on_console(w.next_prompt)));
            session.type(w.answer);
        }
        if (!w.last_wait.empty()) {
            ASSERT_TRUE(session.wait_for(on_console(w.last_wait)));
            session.drain(100);
            type_split(session, testing_support::typed("가"));
        }
        const int status = session.wait_exit();
        ASSERT_TRUE(WIFEXITED(status)) << status;
        EXPECT_EQ(WEXITSTATUS(status), 0);
        EXPECT_TRUE(same_settings(before_, session.settings()));
    }

    const termios before_ = fresh_settings();
};

// Every key wait: signals and stops.
class KeyWaitFault : public KeyWaitTest {};

TEST_P(KeyWaitFault, EndingSignalsGiveTheSettingsBack) {
    for (const int signal_number : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal_number);
        PtySession session(testing_support::program_path(GetParam().program));
        ASSERT_NO_FATAL_FAILURE(start(session));
        if (signal_number == SIGINT) {
            session.type("\x03");  // Ctrl-C at the keyboard
        } else {
            session.send_signal(signal_number);
        }
        const int status = session.wait_exit();
        ASSERT_TRUE(WIFSIGNALED(status)) << "ended by the signal, status " << status;
        EXPECT_EQ(WTERMSIG(status), signal_number);
        EXPECT_TRUE(same_settings(before_, session.settings()));
    }
}

TEST_P(KeyWaitFault, StopAndResumeKeepTheWait) {
    PtySession session(testing_support::program_path(GetParam().program));
    ASSERT_NO_FATAL_FAILURE(start(session));
    const termios waiting = session.settings();
    session.type("\x1a");  // Ctrl-Z at the keyboard
    ASSERT_TRUE(session.wait_stopped());
    EXPECT_TRUE(same_settings(before_, session.settings())) << "stopped: the shell gets its settings back";
    session.send_signal(SIGCONT);
    session.drain(200);
    EXPECT_TRUE(same_settings(waiting, session.settings())) << "resumed: the key wait goes on";
    EXPECT_EQ(session.wait_exit(100), -1) << "resumption alone is not a key";
    type_split(session, "\x1b[A");
    finish(session);
}

// A pause within the dialogue: the key's bytes must not reach the next prompt, which then
// takes its answer as if nothing else had been typed.
class PauseKey : public KeyWaitTest {};

TEST_P(PauseKey, KeyBytesNeverReachTheNextPrompt) {
    const KeyWait& w = GetParam();
    PtySession session(testing_support::program_path(w.program));
    ASSERT_NO_FATAL_FAILURE(start(session));
    type_split(session, "\x1b[A");
    finish(session);
    EXPECT_EQ(session.output().find(on_console("정수(")), std::string::npos) << "a byte of the key reached the prompt";
}

// The key and the next answers in one write, as typed fast or pasted: the key is taken, and the
// answers reach the prompts that follow.
TEST_P(PauseKey, AnswersTypedWithTheKeyAreKept) {
    const KeyWait& w = GetParam();
    PtySession session(testing_support::program_path(w.program));
    ASSERT_NO_FATAL_FAILURE(start(session));
    session.type("x" + w.answer);
    if (!w.last_wait.empty()) {
        ASSERT_TRUE(session.wait_for(on_console(w.last_wait))) << "the answers typed with the key were lost";
        session.drain(100);
        session.type("y");
    }
    const int status = session.wait_exit();
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(same_settings(before_, session.settings()));
}

// The program's last key: nothing of it may be left for the shell. A small script runs the
// program, then reads what the terminal still holds and shows it in hexadecimal.
class LeftoverProbe {
public:
    explicit LeftoverProbe(const std::string& program) {
        char name[] = "/tmp/key_wait_probe_XXXXXX";
        const int fd = mkstemp(name);
        if (fd < 0) throw std::runtime_error("mkstemp");
        path_ = name;
        const std::string script = "#!/bin/sh\n'" + program +
                                   "'\nstatus=$?\nstty -icanon -echo min 0 time 3\n"
                                   "printf '[left:'; od -An -tx1 | tr -d ' \\n'; printf ':%s]' \"$status\"\n";
        const bool written = write(fd, script.data(), script.size()) == static_cast<ssize_t>(script.size());
        close(fd);
        if (!written || chmod(name, 0700) != 0) throw std::runtime_error("probe script");
    }
    ~LeftoverProbe() { std::remove(path_.c_str()); }
    LeftoverProbe(const LeftoverProbe&) = delete;
    LeftoverProbe& operator=(const LeftoverProbe&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

class LastKey : public KeyWaitTest {};

// The program waits at its last text, without echo or line editing, and one key (a syllable
// arriving in two pieces) ends it with status 0, writing nothing more but a pause's line end.
TEST_P(LastKey, EndsOnOneWholeKey) {
    const KeyWait& w = GetParam();
    PtySession session(testing_support::program_path(w.program));
    session.type(w.typed);
    ASSERT_TRUE(session.wait_for(on_console(w.waiting)));
    EXPECT_EQ(session.wait_exit(300), -1) << "the program ended without a key";
    EXPECT_FALSE(same_settings(before_, session.settings())) << "no echo and no line editing while it waits";
    type_split(session, testing_support::typed("가"));
    const int status = session.wait_exit();
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 0);
    const std::string after = w.waiting.ends_with(pause_prompt) ? "\r\n" : "";
    EXPECT_TRUE(session.output().ends_with(on_console(w.waiting) + after)) << "something was written after the key";
    EXPECT_TRUE(same_settings(before_, session.settings()));
}

// Nor may the key take what was typed after it: that stays for the shell.
TEST_P(LastKey, KeyBytesNeverReachTheShell) {
    const KeyWait& w = GetParam();
    const std::string korean_key = testing_support::typed("가");
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"\x1b[A", ""}, {korean_key, ""}, {"x8\n", "380a"}};
    for (const auto& [key, left] : cases) {
        LeftoverProbe probe(testing_support::program_path(w.program));
        PtySession session(probe.path());
        session.type(w.typed);
        ASSERT_TRUE(session.wait_for(on_console(w.waiting)));
        session.drain(100);
        if (left.empty()) {
            type_split(session, key);
        } else {
            session.type(key);  // the key and what follows it, in one write
        }
        ASSERT_TRUE(session.wait_for("[left:"));
        ASSERT_TRUE(session.wait_for("]"));
        const std::string& out = session.output();
        const std::string report = out.substr(out.rfind("[left:"));
        EXPECT_EQ(report, "[left:" + std::string(left) + ":0]") << "left over after the program ended (hex), then its status";
        session.wait_exit();
    }
}

std::string name_of(const testing::TestParamInfo<KeyWait>& param_info) { return param_info.param.name; }

INSTANTIATE_TEST_SUITE_P(LastKeys, KeyWaitFault, testing::ValuesIn(last_keys), name_of);
INSTANTIATE_TEST_SUITE_P(Pauses, KeyWaitFault, testing::ValuesIn(pauses), name_of);
INSTANTIATE_TEST_SUITE_P(Pauses, PauseKey, testing::ValuesIn(pauses), name_of);
INSTANTIATE_TEST_SUITE_P(LastKeys, LastKey, testing::ValuesIn(last_keys), name_of);

}  // namespace
