// Key waits on a POSIX terminal: termios, poll(2) and the signals SIGINT, SIGTERM, SIGHUP,
// SIGQUIT and SIGTSTP, all of which macOS has with the same meanings; nothing here is Linux's
// alone.
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <string>

#include "terminal.hpp"

namespace console {
namespace {

// What a signal handler needs to give the terminal back while a key wait has changed it.
// Signal handlers can reach nothing else, hence this one piece of file-wide state; it is
// written only by KeyMode, while `key_wait_active` tells the handlers whether it is valid.
struct KeyWait {
    int fd = -1;
    termios saved{};
    termios raw{};
};
KeyWait key_wait;
volatile std::sig_atomic_t key_wait_active = 0;

constexpr int ending_signals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// Ctrl-C, SIGTERM, SIGHUP, SIGQUIT: give the settings back, then die of the same signal.
void on_ending_signal(int signal_number) {
    if (key_wait_active) tcsetattr(key_wait.fd, TCSANOW, &key_wait.saved);
    struct sigaction default_action{};
    default_action.sa_handler = SIG_DFL;
    sigaction(signal_number, &default_action, nullptr);
    raise(signal_number);  // delivered, with its default action, as soon as this handler returns
}

// Ctrl-Z: give the settings back, stop; on resumption take the key-wait settings again.
void on_stop_signal(int) {
    const int saved_errno = errno;
    if (key_wait_active) tcsetattr(key_wait.fd, TCSANOW, &key_wait.saved);

    struct sigaction action{};
    action.sa_handler = SIG_DFL;
    struct sigaction ours{};
    sigaction(SIGTSTP, &action, &ours);
    sigset_t stop_set;
    sigemptyset(&stop_set);
    sigaddset(&stop_set, SIGTSTP);
    sigprocmask(SIG_UNBLOCK, &stop_set, nullptr);
    raise(SIGTSTP);  // the process stops here until SIGCONT
    sigprocmask(SIG_BLOCK, &stop_set, nullptr);
    sigaction(SIGTSTP, &ours, nullptr);

    if (key_wait_active) tcsetattr(key_wait.fd, TCSANOW, &key_wait.raw);
    errno = saved_errno;
}

// Non-canonical input without echo for the length of one key wait; the terminal's own
// settings and the previous signal dispositions come back when it ends, however it ends.
class KeyMode {
public:
    explicit KeyMode(int fd) {
        if (tcgetattr(fd, &key_wait.saved) != 0) return;
        key_wait.fd = fd;
        key_wait.raw = key_wait.saved;
        key_wait.raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);  // ISIG stays: Ctrl-C still works
        key_wait.raw.c_cc[VMIN] = 1;
        key_wait.raw.c_cc[VTIME] = 0;

        for (std::size_t i = 0; i < std::size(ending_signals); ++i) {
            install(ending_signals[i], on_ending_signal, previous_[i]);
        }
        install(SIGTSTP, on_stop_signal, previous_[std::size(ending_signals)]);
        key_wait_active = 1;
        active_ = true;
        tcsetattr(fd, TCSANOW, &key_wait.raw);
    }

    ~KeyMode() {
        if (!active_) return;
        tcsetattr(key_wait.fd, TCSANOW, &key_wait.saved);
        key_wait_active = 0;
        for (std::size_t i = 0; i < std::size(ending_signals); ++i) {
            sigaction(ending_signals[i], &previous_[i], nullptr);
        }
        sigaction(SIGTSTP, &previous_[std::size(ending_signals)], nullptr);
    }

    KeyMode(const KeyMode&) = delete;
    KeyMode& operator=(const KeyMode&) = delete;

private:
    // A signal that the program was started to ignore (nohup, a background job) stays ignored.
    static void install(int signal_number, void (*handler)(int), struct sigaction& previous) {
        sigaction(signal_number, nullptr, &previous);
        if (previous.sa_handler == SIG_IGN) return;
        struct sigaction action{};
        action.sa_handler = handler;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(signal_number, &action, nullptr);
    }

    struct sigaction previous_[std::size(ending_signals) + 1]{};
    bool active_ = false;
};

// Waits up to `milliseconds` for more bytes; false when none come.
bool more_bytes_within(int fd, int milliseconds) {
    pollfd request{fd, POLLIN, 0};
    for (;;) {
        const int ready = poll(&request, 1, milliseconds);
        if (ready < 0 && errno == EINTR) continue;
        return ready > 0;
    }
}

}  // namespace

std::size_t key_bytes_missing(std::string_view bytes, Encoding encoding) {
    if (bytes.empty()) return 1;
    const auto first = static_cast<unsigned char>(bytes[0]);
    if (first == 0x1B) {  // Escape alone, or the start of a key's escape sequence
        if (bytes.size() == 1) return 1;
        if (bytes[1] == '[') {  // CSI: ends with a byte from '@' to '~'
            for (std::size_t i = 2; i < bytes.size(); ++i) {
                const auto b = static_cast<unsigned char>(bytes[i]);
                if (b >= 0x40 && b <= 0x7E) return 0;
            }
            return 1;
        }
        if (bytes[1] == 'O') return bytes.size() >= 3 ? 0 : 3 - bytes.size();  // SS3: F1 to F4
        return 0;  // Alt with a key
    }
    std::size_t length = 1;  // a character's length from its first byte
    if (encoding == Encoding::cp949) {
        length = first >= 0x81 && first <= 0xFE ? 2 : 1;  // a lead byte and its trail byte
    } else if (first >= 0xF0 && first < 0xF8) {
        length = 4;
    } else if (first >= 0xE0) {
        length = first < 0xF0 ? 3 : 1;
    } else if (first >= 0xC0) {
        length = 2;
    }
    return length > bytes.size() ? length - bytes.size() : 0;
}

void read_key(int fd, Encoding encoding) {
    // The bytes of one key come together; 50 ms is ample for the rest of a sequence to arrive,
    // and short enough that a lone Escape still feels immediate.
    constexpr int rest_of_key_ms = 50;
    constexpr std::size_t longest_key = 32;

    KeyMode mode(fd);
    char buffer[longest_key];
    std::string key;
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0) {
            key.assign(buffer, static_cast<std::size_t>(got));
            break;
        }
        if (got < 0 && errno == EINTR) continue;
        return;  // end of the terminal (hang-up) or an error: there is no key to wait for
    }
    while (key.size() < longest_key) {
        const std::size_t missing = key_bytes_missing(key, encoding);
        if (missing == 0 || !more_bytes_within(fd, rest_of_key_ms)) break;
        const ssize_t got = ::read(fd, buffer, std::min(missing, sizeof buffer));
        if (got <= 0) break;
        key.append(buffer, static_cast<std::size_t>(got));
    }
}

}  // namespace console
