// The console layer's Linux and macOS side: the descriptor calls, the console's encoding from
// the user's locale with the C library's iconv, and the console services. Escape sequences go
// into the output like any text, so a clock frame leaves in one write.
#include <iconv.h>
#include <langinfo.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <clocale>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <iterator>

#include "services.hpp"
#include "session.hpp"

namespace console {
namespace {

std::optional<std::string> convert(bool to_cp949, std::string_view in) {
    // glibc and GNU libiconv know the code page as "CP949"; others (FreeBSD's, macOS's from 14)
    // may know only its other name, "UHC". EUC-KR is no substitute: it lacks 8822 syllables.
    const auto none = reinterpret_cast<iconv_t>(-1);
    iconv_t cd = none;
    for (const char* name : {"CP949", "UHC"}) {
        if (cd == none) cd = to_cp949 ? iconv_open(name, "UTF-8") : iconv_open("UTF-8", name);
    }
    if (cd == none) return std::nullopt;
    // No character grows by more than half again: CP949's two bytes become three of UTF-8.
    std::string out(in.size() * 3 / 2 + 4, '\0');
    char* in_ptr = const_cast<char*>(in.data());  // iconv's signature; the input is not changed
    std::size_t in_left = in.size();
    char* out_ptr = out.data();
    std::size_t out_left = out.size();
    const bool converted = iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left) != static_cast<std::size_t>(-1) &&
                           iconv(cd, nullptr, nullptr, &out_ptr, &out_left) != static_cast<std::size_t>(-1);
    iconv_close(cd);
    if (!converted) return std::nullopt;
    out.resize(out.size() - out_left);
    return out;
}

// The console's encoding, from the user's locale (LC_ALL, then LC_CTYPE, then LANG). Only
// LC_CTYPE is taken from the user, so numbers are written alike everywhere.
Encoding encoding_from_locale() {
    const char* name = nullptr;
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        if ((name = std::getenv(variable)) != nullptr && *name != '\0') break;
    }
    const std::string_view locale = name != nullptr ? name : "";
    // No locale, C and POSIX, and one whose name gives a character set other than CP949's,
    // are UTF-8 consoles whether or not the locale is installed: its tables need not be loaded
    // (a tenth of a small program's memory).
    const std::size_t dot = std::min(locale.find('.'), locale.size());
    const std::string_view named = locale.substr(dot).substr(0, locale.substr(dot).find('@'));
    if (locale.empty() || locale == "C" || locale == "POSIX" ||
        (named.size() > 1 && encoding_of_charset(named.substr(1)) == Encoding::utf8)) {
        return Encoding::utf8;
    }
    if (std::setlocale(LC_CTYPE, "") == nullptr) return Encoding::utf8;  // not installed
    return encoding_of_charset(nl_langinfo(CODESET));
}

// What a signal handler needs to give the terminal back while the layer has changed it:
// handlers can reach nothing else, hence this file-wide state, written only by TerminalMode
// while `mode_active` is 0.
struct {
    int fd = -1;
    termios saved{};
    termios raw{};
} saved_mode;
volatile std::sig_atomic_t mode_active = 0;

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
    errno = saved_errno;
}

constexpr int handled_signals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGTSTP};

// Non-canonical input without echo, for a key wait or the terminal's answer to a question; the
// terminal's settings and the signal dispositions come back however it ends.
class TerminalMode {
public:
    explicit TerminalMode(int fd) {
        if (tcgetattr(fd, &saved_mode.saved) != 0) return;
        saved_mode.fd = fd;
        saved_mode.raw = saved_mode.saved;
        saved_mode.raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);  // ISIG stays: Ctrl-C still works
        saved_mode.raw.c_cc[VMIN] = 1;
        saved_mode.raw.c_cc[VTIME] = 0;
        for (std::size_t i = 0; i < std::size(handled_signals); ++i) {
            // A signal that the program was started to ignore (nohup, a background job) stays ignored.
            sigaction(handled_signals[i], nullptr, &previous_[i]);
            if (previous_[i].sa_handler == SIG_IGN) continue;
            struct sigaction action{};
            action.sa_handler = handled_signals[i] == SIGTSTP ? on_stop_signal : on_ending_signal;
            sigemptyset(&action.sa_mask);
            action.sa_flags = SA_RESTART;
            sigaction(handled_signals[i], &action, nullptr);
        }
        mode_active = 1;
        tcsetattr(fd, TCSANOW, &saved_mode.raw);
    }

    ~TerminalMode() {
        if (!mode_active) return;
        tcsetattr(saved_mode.fd, TCSANOW, &saved_mode.saved);
        mode_active = 0;
        for (std::size_t i = 0; i < std::size(handled_signals); ++i) sigaction(handled_signals[i], &previous_[i], nullptr);
    }

    TerminalMode(const TerminalMode&) = delete;
    TerminalMode& operator=(const TerminalMode&) = delete;

private:
    struct sigaction previous_[std::size(handled_signals)]{};
};

// Adds a byte of the terminal to `key` within `timeout_ms` (-1: no limit); false when none comes.
bool read_byte(ConsoleInput& input, std::string& key, int timeout_ms) {
    for (char byte;;) {
        if (input.typed_ahead.empty() && timeout_ms >= 0 && !input.calls().wait(input.fd(), false, timeout_ms)) return false;
        const long got = input.read_more(&byte, 1);
        if (got == 1) {
            key.push_back(byte);
            return true;
        }
        if (got == 0 || errno != EINTR) return false;
    }
}

constexpr std::string_view pause_prompt = "계속하려면 아무 키나 누르십시오 . . . ";

// Waits for one key press on the terminal, once all written is on the screen, and consumes its
// bytes and nothing after them: what was typed after it stays for the next prompts.
void key_from_terminal() {
    Session& session = Session::current();
    if (!session.console().input_terminal) return;
    std::cout.flush();
    ConsoleInput& input = session.input();
    // The bytes of one key come together; 50 ms is ample for the rest of a sequence to arrive,
    // and short enough that a lone Escape still feels immediate.
    constexpr int rest_of_key_ms = 50;
    constexpr std::size_t longest_key = 32;
    const TerminalMode mode(input.fd());
    for (std::string key;; key.clear()) {
        if (!read_byte(input, key, -1)) return;  // end of the terminal (hang-up) or an error
        while (key.size() < longest_key && key_bytes_missing(key, session.console().typed) > 0 &&
               read_byte(input, key, rest_of_key_ms)) continue;
        // A report that came too late for its question is no key.
        if (input.late_reports == 0 || cursor_report(key).length != key.size()) return;
        --input.late_reports;
    }
}

}  // namespace

long SystemCalls::read(int fd, char* data, std::size_t size) { return ::read(fd, data, size); }

long SystemCalls::write(int fd, const char* data, std::size_t size) { return ::write(fd, data, size); }

bool SystemCalls::wait(int fd, bool for_output, int timeout_ms) {
    pollfd ready{fd, static_cast<short>(for_output ? POLLOUT : POLLIN), 0};
    int result;
    while ((result = poll(&ready, 1, timeout_ms)) < 0 && errno == EINTR) continue;
    return result > 0;
}

std::optional<std::string> to_cp949(std::string_view utf8) { return convert(true, utf8); }

std::optional<std::string> to_utf8(std::string_view cp949) { return convert(false, cp949); }

Console standard_console() {
    Console console;
    console.input_terminal = isatty(0) == 1;
    console.output_terminal = isatty(1) == 1;
    // Terminals that take no escape sequences (Emacs' shell, IDE consoles) say so with TERM
    // unset, empty or "dumb", as the usual terminal libraries read it.
    const char* type = std::getenv("TERM");
    console.escapes = console.output_terminal && type != nullptr && *type != '\0' && std::strcmp(type, "dumb") != 0;
    console.typed = console.written = encoding_from_locale();
    // A UTF-8 terminal draws box-drawing characters one column wide or two, as it is set: it is
    // asked at the first, where it can answer through standard input.
    struct stat in{};
    struct stat out{};
    if (console.escapes && console.input_terminal && console.written == Encoding::utf8 && fstat(0, &in) == 0 &&
        fstat(1, &out) == 0 && in.st_rdev == out.st_rdev) {
        console.box_columns = 0;
    }
    return console;
}

int measure_box(ConsoleInput& input, SystemCalls& calls, std::string_view box) {
    // The character between two cursor-position requests: both reports come in one round trip.
    const TerminalMode mode(input.fd());
    const std::string question = "\x1b[6n" + std::string(box) + "\x1b[6n";
    if (calls.write(1, question.data(), question.size()) != static_cast<long>(question.size())) return 0;
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
        if (left.count() <= 0 || !calls.wait(input.fd(), false, static_cast<int>(left.count()))) break;
        const long count = calls.read(input.fd(), buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) break;  // the end of input or an error: the next prompt meets it
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
    input.typed_ahead += typed;
    input.late_reports += 2 - seen;
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
        if (bytes[1] == 'O') return bytes.size() >= 3 ? 0 : 3 - bytes.size();  // SS3: F1 to F4
        return 0;  // Alt with a key
    }
    // A character's length from its first byte: CP949's lead and trail byte, or UTF-8's.
    const std::size_t length = encoding == Encoding::cp949 ? (first >= 0x81 && first <= 0xFE ? 2 : 1)
                                                           : (first >= 0xF8 ? 1 : utf8_length(first));
    return length > bytes.size() ? length - bytes.size() : 0;
}

void clear_screen() {
    // Home, erase the screen, erase the scroll-back.
    if (Session::current().console().escapes) std::cout << "\x1b[H\x1b[2J\x1b[3J";
}

void pause_screen() {
    std::cout << pause_prompt;
    key_from_terminal();
    std::cout << '\n';
}

void wait_key() { key_from_terminal(); }

void move_cursor(std::int16_t column, std::int16_t row) {
    const Console& console = Session::current().console();
    if (console.escapes) {
        std::cout << "\x1b[" << row + 1 << ';' << column + 1 << 'H';
    } else if (console.output_terminal) {
        std::cout << '\r';  // the one cursor move every terminal understands
    }
}

}  // namespace console
