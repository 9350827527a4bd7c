#pragma once
// Runs a built program on a pseudo-terminal, as if a person sat at a terminal.

#include <sys/types.h>
#include <termios.h>

#include <string>
#include <string_view>

namespace testing_support {

class PtySession {
public:
    // Starts `path` with the terminal as its standard input, output and error, as the
    // foreground job of a small job-control shell, so that Ctrl-Z can stop it as at a real
    // terminal (a session leader's own group would be orphaned, and never stop).
    // The terminal's type is `term` (TERM), or unset when it is null. Like a terminal, it
    // answers each cursor-position request (ESC "[6n") with a report, as if a character written
    // between two requests took `box_columns` columns; with 0 it never answers, and with -1 the
    // character wraps at the right margin.
    explicit PtySession(const std::string& path, const char* term = "xterm", int box_columns = 1);
    ~PtySession();
    PtySession(const PtySession&) = delete;
    PtySession& operator=(const PtySession&) = delete;

    // Types `bytes` at the terminal.
    void type(std::string_view bytes);
    // Reads until `needle` appears after the end of the previous match (expect-style, so the
    // same text drawn again is waited for anew); false on timeout.
    bool wait_for(std::string_view needle, int timeout_ms = 10000);
    // Reads whatever comes within `period`.
    void drain(int period_ms);
    // Everything the program has written so far.
    const std::string& output() const { return output_; }
    // The terminal's settings as the program would find them now.
    termios settings() const;
    void send_signal(int signal_number);
    // Waits for the program to end; returns the raw wait status, or -1 on timeout.
    int wait_exit(int timeout_ms = 10000);
    // Waits until the program is stopped (Ctrl-Z); false on timeout.
    bool wait_stopped(int timeout_ms = 10000);
    pid_t pid() const { return program_; }

private:
    bool read_some(int timeout_ms);

    int master_ = -1;
    pid_t pid_ = -1;      // the shell, whose exit mirrors the program's
    pid_t program_ = -1;
    bool exited_ = false;
    std::string output_;
    std::size_t matched_to_ = 0;
    int box_columns_;
    std::size_t asked_to_ = 0;  // the output is searched for requests from here on
    int requests_ = 0;
};

// The settings that matter to a user, compared field by field.
bool same_settings(const termios& a, const termios& b);

}  // namespace testing_support
