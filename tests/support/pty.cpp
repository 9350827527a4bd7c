#include "pty.hpp"

#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <chrono>
#include <cstring>
#include <stdexcept>

namespace testing_support {
namespace {

// The child side: start the program in a process group of its own, in the foreground, and
// end as it ends (same exit status, or the same signal).
// True when /proc says the process is stopped.
bool stopped(pid_t pid) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%d/stat", static_cast<int>(pid));
    FILE* file = std::fopen(path, "r");
    if (!file) return false;
    char line[512] = {};
    const bool got = std::fgets(line, sizeof line, file) != nullptr;
    std::fclose(file);
    const char* state = got ? std::strrchr(line, ')') : nullptr;
    return state && state[1] == ' ' && state[2] == 'T';
}

[[noreturn]] void run_shell(const std::string& path, const char* term, int report_fd) {
    signal(SIGTTOU, SIG_IGN);
    if (term) {
        setenv("TERM", term, 1);
    } else {
        unsetenv("TERM");
    }
    const pid_t program = fork();
    if (program == 0) {
        setpgid(0, 0);
        tcsetpgrp(0, getpid());
        for (int s : {SIGPIPE, SIGINT, SIGTSTP, SIGTTOU, SIGHUP, SIGTERM}) signal(s, SIG_DFL);
        execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    setpgid(program, program);
    tcsetpgrp(0, program);
    (void)!write(report_fd, &program, sizeof program);
    close(report_fd);
    signal(SIGHUP, SIG_IGN);
    signal(SIGINT, SIG_IGN);
    int status = 0;
    while (waitpid(program, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFSIGNALED(status)) {
        signal(WTERMSIG(status), SIG_DFL);
        kill(getpid(), WTERMSIG(status));
    }
    _exit(WIFEXITED(status) ? WEXITSTATUS(status) : 126);
}

}  // namespace

PtySession::PtySession(const std::string& path, const char* term, int box_columns) : box_columns_(box_columns) {
    winsize size{};
    size.ws_row = 40;
    size.ws_col = 120;
    int report[2];
    if (pipe(report) != 0) throw std::runtime_error("pipe");
    pid_ = forkpty(&master_, nullptr, nullptr, &size);
    if (pid_ < 0) throw std::runtime_error("forkpty");
    if (pid_ == 0) {
        close(report[0]);
        run_shell(path, term, report[1]);
    }
    close(report[1]);
    if (read(report[0], &program_, sizeof program_) != static_cast<ssize_t>(sizeof program_)) {
        close(report[0]);
        throw std::runtime_error("the program did not start");
    }
    close(report[0]);
}

PtySession::~PtySession() {
    if (!exited_) {
        kill(program_, SIGKILL);
        kill(pid_, SIGKILL);
        int status = 0;
        waitpid(pid_, &status, 0);
    }
    if (master_ >= 0) close(master_);
}

void PtySession::type(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t put = write(master_, bytes.data(), bytes.size());
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) throw std::runtime_error("write to the terminal failed");
        bytes.remove_prefix(static_cast<std::size_t>(put));
    }
}

bool PtySession::read_some(int timeout_ms) {
    pollfd request{master_, POLLIN, 0};
    const int ready = poll(&request, 1, timeout_ms);
    if (ready <= 0) return false;
    char buffer[4096];
    const ssize_t got = read(master_, buffer, sizeof buffer);
    if (got <= 0) return false;  // EIO once the program has gone
    output_.append(buffer, static_cast<std::size_t>(got));
    for (std::size_t at; box_columns_ != 0 && (at = output_.find("\x1b[6n", asked_to_)) != std::string::npos;) {
        asked_to_ = at + 4;
        const bool second = requests_++ % 2 == 1;
        // A negative count: the character wrapped at the right margin to the next row.
        type(box_columns_ < 0 ? (second ? "\x1b[4;3R" : "\x1b[3;80R")
                              : "\x1b[3;" + std::to_string(5 + (second ? box_columns_ : 0)) + "R");
    }
    return true;
}

bool PtySession::wait_for(std::string_view needle, int timeout_ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    std::size_t found;
    while ((found = output_.find(needle, matched_to_)) == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        if (!read_some(static_cast<int>(left.count()))) {
            if (std::chrono::steady_clock::now() >= deadline) return false;
            usleep(1000);
        }
    }
    matched_to_ = found + needle.size();
    return true;
}

void PtySession::drain(int period_ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(period_ms);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return;
        if (!read_some(static_cast<int>(left.count()))) usleep(1000);
    }
}

termios PtySession::settings() const {
    termios t{};
    if (tcgetattr(master_, &t) != 0) throw std::runtime_error("tcgetattr");
    return t;
}

void PtySession::send_signal(int signal_number) { kill(program_, signal_number); }

int PtySession::wait_exit(int timeout_ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            exited_ = true;
            read_some(0);
            return status;
        }
        if (std::chrono::steady_clock::now() >= deadline) return -1;
        read_some(5);
    }
}

bool PtySession::wait_stopped(int timeout_ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
        if (stopped(program_)) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        read_some(5);
    }
}

bool same_settings(const termios& a, const termios& b) {
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag && a.c_lflag == b.c_lflag &&
           std::memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0;
}

}  // namespace testing_support
