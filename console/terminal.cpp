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

// Continued after a stop that was not Ctrl-Z's (SIGSTOP): the shell may have put its own
// settings on the terminal meanwhile.
void on_continue(int) {
    const int saved_errno = errno;
    if (mode_active) tcsetattr(saved_mode.fd, TCSANOW, &saved_mode.raw);
    resumed = 1;
    errno = saved_errno;
}

constexpr int handled_signals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGTSTP, SIGCONT};
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
        const bool resume = handled_signals[i] == SIGCONT;
        action.sa_handler = stop ? on_stop_signal : resume ? on_continue : on_ending_signal;
        sigemptyset(&action.sa_mask);
        // A read interrupted by a stop returns, so that the editor can draw its line again.
        action.sa_flags = stop || resume ? 0 : SA_RESTART;
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

bool Terminal::ready() {
    // How much has come is asked once, and counted down: a paste is not asked about byte by byte.
    if (!read_ahead_.empty() || available_ > 0) return true;
    available_ = calls_.available(fd_);
    return available_ > 0;
}

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
            available_ = 0;  // the shell may have read from the terminal meanwhile
            if (on_resume) on_resume();
        }
        if (timeout_ms >= 0 && available_ == 0 && !calls_.wait(fd_, false, timeout_ms)) return false;
        const long got = calls_.read(fd_, &byte, 1);
        if (got == 1) {
            key.push_back(byte);
            if (available_ > 0) --available_;
            return true;
        }
        available_ = 0;
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
        std::size_t length = 0;
        while ((length = key_length(key, typed_)) == 0 && key.size() < longest_key && next_byte(key, rest_of_key_ms)) continue;
        // A byte that cannot belong to the key starts the next one.
        if (length > 0 && length < key.size()) {
            read_ahead_.insert(0, key, length);
            key.resize(length);
        }
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
    std::string typed;
    CursorReport reports[2];
    int seen = 0;
    // A byte at a time, so that nothing after the second report is taken from the terminal. The
    // end of input or an error ends the wait: the next read meets it.
    while (seen < 2) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !next_byte(typed, static_cast<int>(left.count()))) break;
        // A report ends with its "R" and starts at the last escape before it.
        const std::size_t start = typed.rfind('\x1b');
        if (typed.back() != 'R' || start == std::string::npos) continue;
        if (const CursorReport report = cursor_report(std::string_view(typed).substr(start)); report.length == typed.size() - start) {
            reports[seen++] = report;
            typed.resize(start);
        }
    }
    read_ahead_.insert(0, typed);  // before what was read ahead earlier and not taken
    late_reports_ += 2 - seen;
    const int columns = reports[1].column - reports[0].column;
    return seen == 2 && reports[0].row == reports[1].row && (columns == 1 || columns == 2) ? columns : 0;
}

std::size_t key_length(std::string_view bytes, Encoding encoding) {
    const auto byte = [bytes](std::size_t at) { return static_cast<unsigned char>(bytes[at]); };
    if (bytes.empty()) return 0;
    if (byte(0) == 0x1B) {
        if (bytes.size() == 1) return 0;
        if (bytes[1] == '[') {  // CSI: parameter and intermediate bytes, then one from '@' to '~'
            for (std::size_t at = 2; at < bytes.size(); ++at) {
                if (byte(at) >= 0x40 && byte(at) <= 0x7E) return at + 1;
                if (byte(at) < 0x20 || byte(at) > 0x3F) return at;  // cut short: a key without its end
            }
            return 0;
        }
        if (bytes[1] == 'O') return bytes.size() < 3 ? 0 : byte(2) >= 0x40 && byte(2) <= 0x7E ? 3 : 2;  // SS3
        if (byte(1) < 0x20 || byte(1) == 0x7F) return 1;  // Escape alone, then a key of its own
        if (byte(1) < 0x80) return 2;                     // Alt with a key
        const std::size_t character = key_length(bytes.substr(1), encoding);  // Alt with a character
        return character == 0 ? 0 : character + 1;
    }
    if (encoding == Encoding::cp949) {
        if (!cp949_lead(byte(0))) return 1;
        return bytes.size() < 2 ? 0 : cp949_trail(byte(1)) ? 2 : 1;
    }
    // UTF-8: a byte that cannot continue the character ends it early.
    const std::size_t length = byte(0) >= 0xC2 && byte(0) <= 0xF4 ? utf8_length(byte(0)) : 1;
    for (std::size_t at = 1; at < length; ++at) {
        if (at == bytes.size()) return 0;
        if ((byte(at) & 0xC0) != 0x80) return at;
    }
    return length;
}

}  // namespace console
