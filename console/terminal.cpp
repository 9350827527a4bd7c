#include "terminal.hpp"

#include <termios.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <iterator>

#include "output.hpp"

namespace console {
namespace {

// What a signal handler needs to give the terminal back while the layer has changed it:
// handlers can reach nothing else, hence this file-wide state, written only by Terminal while
// `mode_active` is 0.
struct {
    int fd = -1;
    termios saved{};
    termios raw{};
} saved_mode;
volatile std::sig_atomic_t mode_active = 0;
volatile std::sig_atomic_t resumed = 0;

// Ctrl-C, SIGTERM, SIGHUP, SIGQUIT: give the settings back, then die of the same signal.
void on_ending_signal(int signal_number) {
    if (mode_active) tcsetattr(saved_mode.fd, TCSANOW, &saved_mode.saved);
    std::signal(signal_number, SIG_DFL);
    raise(signal_number);  // delivered, with its default action, as soon as this handler returns
}

// Ctrl-Z: give the settings back, stop; on resumption take the layer's settings again.
void on_stop_signal(int) {
    const int saved_errno = errno;
    if (mode_active) tcsetattr(saved_mode.fd, TCSANOW, &saved_mode.saved);
    struct sigaction ours{};
    sigaction(SIGTSTP, nullptr, &ours);
    std::signal(SIGTSTP, SIG_DFL);
    sigset_t stop_set;
    sigemptyset(&stop_set);
    sigaddset(&stop_set, SIGTSTP);
    sigprocmask(SIG_UNBLOCK, &stop_set, nullptr);
    raise(SIGTSTP);  // the process stops here until SIGCONT
    sigprocmask(SIG_BLOCK, &stop_set, nullptr);
    sigaction(SIGTSTP, &ours, nullptr);
    if (mode_active) tcsetattr(saved_mode.fd, TCSANOW, &saved_mode.raw);
    resumed = 1;
    errno = saved_errno;
}

// A terminal's cursor-position report, ESC "[" row ";" column "R", at the start of `bytes`: its
// length (0 when there is none), row and column.
struct CursorReport {
    std::size_t length = 0;
    int row = 0;
    int column = 0;
};

CursorReport cursor_report(std::string_view bytes) {
    CursorReport report;
    int* field = &report.row;
    std::size_t digits = 0;
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        const char c = bytes[at];
        if (at < 2) {
            if (c != "\x1b["[at]) break;
        } else if (c >= '0' && c <= '9' && digits < 5) {
            *field = *field * 10 + (c - '0');
            ++digits;
        } else if (digits == 0 || c != (field == &report.row ? ';' : 'R')) {
            break;
        } else if (field == &report.row) {
            field = &report.column;
            digits = 0;
        } else {
            report.length = at + 1;
            break;
        }
    }
    return report;
}

constexpr int handled_signals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGTSTP};
struct sigaction previous_actions[std::size(handled_signals)]{};

}  // namespace

Terminal::Terminal(int fd, SystemCalls& calls, Encoding typed, bool for_run)
    : fd_(fd), calls_(calls), typed_(typed), for_run_(for_run) {}

Terminal::~Terminal() { leave(); }

void Terminal::enter() {
    if (held_ || tcgetattr(fd_, &saved_mode.saved) != 0) return;
    saved_mode.fd = fd_;
    saved_mode.raw = saved_mode.saved;
    // Keys one at a time, as they come, without the terminal's echo or line editing; Ctrl-V and
    // Ctrl-O reach the layer too (IEXTEN). ISIG stays: Ctrl-C, Ctrl-\ and Ctrl-Z act as always.
    saved_mode.raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | IEXTEN);
    saved_mode.raw.c_cc[VMIN] = 1;
    saved_mode.raw.c_cc[VTIME] = 0;
    for (std::size_t i = 0; i < std::size(handled_signals); ++i) {
        // A signal that the program was started to ignore (nohup, a background job) stays ignored.
        sigaction(handled_signals[i], nullptr, &previous_actions[i]);
        if (previous_actions[i].sa_handler == SIG_IGN) continue;
        struct sigaction action{};
        const bool stop = handled_signals[i] == SIGTSTP;
        action.sa_handler = stop ? on_stop_signal : on_ending_signal;
        sigemptyset(&action.sa_mask);
        // A read interrupted by a stop returns, so that the editor can draw its line again.
        action.sa_flags = stop ? 0 : SA_RESTART;
        sigaction(handled_signals[i], &action, nullptr);
    }
    held_ = true;
    mode_active = 1;
    tcsetattr(fd_, TCSANOW, &saved_mode.raw);
}

void Terminal::leave() {
    if (!held_) return;
    tcsetattr(saved_mode.fd, TCSANOW, &saved_mode.saved);
    mode_active = 0;
    held_ = false;
    for (std::size_t i = 0; i < std::size(handled_signals); ++i) sigaction(handled_signals[i], &previous_actions[i], nullptr);
}

bool Terminal::ready() { return !read_ahead_.empty() || calls_.wait(fd_, false, 0); }

int Terminal::columns() {
    const int count = calls_.columns(fd_);
    return count > 0 ? count : 80;
}

// Adds a byte to `key`: one read ahead, else one of the terminal's within `timeout_ms` (-1: no
// limit). The terminal is read a byte at a time: what follows a key or a line stays in the
// terminal for whatever reads next, the shell after the program included.
bool Terminal::next_byte(std::string& key, int timeout_ms) {
    if (!read_ahead_.empty()) {
        key.push_back(read_ahead_.front());
        read_ahead_.erase(0, 1);
        return true;
    }
    for (char byte;;) {
        if (resumed) {  // stopped and resumed since the last read: the screen may need drawing again
            resumed = 0;
            if (on_resume) on_resume();
        }
        if (timeout_ms >= 0 && !calls_.wait(fd_, false, timeout_ms)) return false;
        const long got = calls_.read(fd_, &byte, 1);
        if (got == 1) {
            key.push_back(byte);
            return true;
        }
        if (got < 0 && errno == EINTR) continue;
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && calls_.wait(fd_, false)) continue;
        if (got == 0) errno = 0;
        return false;
    }
}

bool Terminal::read_key(std::string& key) {
    // The bytes of one key come together; 50 ms is ample for the rest of a sequence to arrive,
    // and short enough that a lone Escape still feels immediate.
    constexpr int rest_of_key_ms = 50;
    constexpr std::size_t longest_key = 32;
    for (;;) {
        key.clear();
        if (!next_byte(key, -1)) return false;
        while (key.size() < longest_key && key_bytes_missing(key, typed_) > 0 && next_byte(key, rest_of_key_ms)) continue;
        // A report that came too late for its question is no key.
        if (late_reports_ == 0 || cursor_report(key).length != key.size()) return true;
        --late_reports_;
    }
}

int Terminal::measure_box(ConsoleOutput& output, std::string_view box) {
    // The character between two cursor-position requests: both reports come in one round trip.
    const Hold hold(*this);
    output.write_all("\x1b[6n" + std::string(box) + "\x1b[6n");
    // What else comes meanwhile was typed, and stays, in order, for the next prompts. A
    // terminal that has not answered within 250 ms may never: its reports are taken out of the
    // input if they come later.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(250);
    std::string got;
    std::string typed;
    CursorReport reports[2];
    int seen = 0;
    for (char buffer[256]; seen < 2;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !calls_.wait(fd_, false, static_cast<int>(left.count()))) break;
        const long count = calls_.read(fd_, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) break;  // the end of input or an error: the next read meets it
        got.append(buffer, static_cast<std::size_t>(count));
        // Reports cut by a read are found whole when the rest comes: all of it is looked at anew.
        seen = 0;
        typed.clear();
        for (std::size_t at = 0; at < got.size(); ++at) {
            if (seen < 2 && (reports[seen] = cursor_report(std::string_view(got).substr(at))).length > 0) {
                at += reports[seen++].length - 1;
            } else {
                typed += got[at];
            }
        }
    }
    read_ahead_ += typed;
    late_reports_ += 2 - seen;
    const int columns = reports[1].column - reports[0].column;
    return seen == 2 && reports[0].row == reports[1].row && (columns == 1 || columns == 2) ? columns : 0;
}

std::size_t key_bytes_missing(std::string_view bytes, Encoding encoding) {
    if (bytes.empty()) return 1;
    const auto first = static_cast<unsigned char>(bytes[0]);
    if (first == 0x1B) {  // Escape alone, or the start of a key's escape sequence
        if (bytes.size() == 1) return 1;
        if (bytes[1] == '[') {  // CSI: ends with a byte from '@' to '~'
            for (const char b : bytes.substr(2)) {
                if (b >= 0x40 && b <= 0x7E) return 0;
            }
            return 1;
        }
        if (bytes[1] == 'O') return bytes.size() >= 3 ? 0 : 3 - bytes.size();  // SS3: F1 to F4, keypad
        return 0;  // Alt with a key
    }
    // A character's length from its first byte: CP949's lead and trail byte, or UTF-8's, where
    // a byte that cannot continue the character ends it early (it is a key of its own).
    if (encoding == Encoding::cp949) return first >= 0x81 && first <= 0xFE && bytes.size() < 2 ? 1 : 0;
    const std::size_t length = first >= 0xF8 ? 1 : utf8_length(first);
    for (const char b : bytes.substr(1)) {
        if ((static_cast<unsigned char>(b) & 0xC0) != 0x80) return 0;
    }
    return length > bytes.size() ? length - bytes.size() : 0;
}

}  // namespace console
