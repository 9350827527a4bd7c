// The console layer's Linux and macOS side: the descriptor calls, the console's encoding from
// the user's locale with the C library's iconv, and the console services. On a pipe or a file
// there is no screen to clear and no key to wait for: only the pause prompt's text is written.
// Escape sequences go into the output like any text, so a clock frame leaves in one write.
#include <fcntl.h>
#include <iconv.h>
#include <langinfo.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <csignal>
#include <initializer_list>
#include <iostream>
#include <string>
#include <string_view>

#include "encoding.hpp"
#include "services.hpp"
#include "session.hpp"
#include "system_calls.hpp"

namespace console {
namespace {

const auto no_descriptor = reinterpret_cast<iconv_t>(-1);

std::optional<std::string> convert(bool to_cp949, std::string_view in, void** kept = nullptr) {
    // glibc and GNU libiconv know the code page as "CP949"; others (FreeBSD's, macOS's from 14)
    // may know only its other name, "UHC". EUC-KR is no substitute: it lacks 8822 syllables.
    iconv_t cd = kept != nullptr && *kept != nullptr ? static_cast<iconv_t>(*kept) : no_descriptor;
    for (const char* name : {"CP949", "UHC"}) {
        if (cd == no_descriptor) cd = to_cp949 ? iconv_open(name, "UTF-8") : iconv_open("UTF-8", name);
    }
    if (cd == no_descriptor) return std::nullopt;
    // No character grows by more than half again: CP949's two bytes become three of UTF-8.
    std::string out(in.size() * 3 / 2 + 4, '\0');
    char* in_ptr = const_cast<char*>(in.data());  // iconv's signature; the input is not changed
    std::size_t in_left = in.size();
    char* out_ptr = out.data();
    std::size_t out_left = out.size();
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    const bool converted = iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left) != static_cast<std::size_t>(-1) &&
                           iconv(cd, nullptr, nullptr, &out_ptr, &out_left) != static_cast<std::size_t>(-1);
    if (kept != nullptr) *kept = cd;
    else iconv_close(cd);
    if (!converted) return std::nullopt;
    out.resize(out.size() - out_left);
    return out;
}

// What a signal handler needs to give the terminal back while a key wait has changed it:
// handlers can reach nothing else, hence this file-wide state, written only by KeyMode while
// `key_wait_active` is 0.
struct KeyWait {
    int fd = -1;
    termios saved{};
    termios raw{};
};
KeyWait key_wait;
volatile std::sig_atomic_t key_wait_active = 0;

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

constexpr int handled_signals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGTSTP};

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
        key_wait_active = 1;
        tcsetattr(fd, TCSANOW, &key_wait.raw);
    }

    ~KeyMode() {
        if (!key_wait_active) return;
        tcsetattr(key_wait.fd, TCSANOW, &key_wait.saved);
        key_wait_active = 0;
        for (std::size_t i = 0; i < std::size(handled_signals); ++i) sigaction(handled_signals[i], &previous_[i], nullptr);
    }

    KeyMode(const KeyMode&) = delete;
    KeyMode& operator=(const KeyMode&) = delete;

private:
    struct sigaction previous_[std::size(handled_signals)]{};
};

// Waits up to `milliseconds` for more bytes; false when none come.
bool more_bytes_within(int fd, int milliseconds) {
    pollfd request{fd, POLLIN, 0};
    int ready;
    while ((ready = poll(&request, 1, milliseconds)) < 0 && errno == EINTR) {
    }
    return ready > 0;
}

constexpr std::string_view pause_prompt = "계속하려면 아무 키나 누르십시오 . . . ";

// Waits for one key press on the terminal that standard input is, once everything written so
// far is on the screen, and consumes all of its bytes, without echo; the terminal's settings
// come back however the wait ends. The key never reaches the input buffer; what that buffer
// already holds (answers typed ahead) stays for the next prompt.
void key_from_terminal() {
    Session& session = Session::current();
    if (!session.input_is_terminal()) return;
    session.flush();
    // The bytes of one key come together; 50 ms is ample for the rest of a sequence to arrive,
    // and short enough that a lone Escape still feels immediate.
    constexpr int rest_of_key_ms = 50;
    constexpr std::size_t longest_key = 32;
    const KeyMode mode(0);
    char buffer[longest_key];
    ssize_t got;
    while ((got = ::read(0, buffer, sizeof buffer)) < 0 && errno == EINTR) {
    }
    if (got <= 0) return;  // end of the terminal (hang-up) or an error: there is no key to wait for
    std::string key(buffer, static_cast<std::size_t>(got));
    while (key.size() < longest_key) {
        const std::size_t missing = key_bytes_missing(key, session.encoding());
        if (missing == 0 || !more_bytes_within(0, rest_of_key_ms)) break;
        got = ::read(0, buffer, std::min(missing, sizeof buffer));
        if (got <= 0) break;
        key.append(buffer, static_cast<std::size_t>(got));
    }
}

}  // namespace

long SystemCalls::read(int fd, char* data, std::size_t size) { return ::read(fd, data, size); }

long SystemCalls::write(int fd, const char* data, std::size_t size) { return ::write(fd, data, size); }

bool SystemCalls::wait(int fd, bool for_output) {
    pollfd ready{fd, static_cast<short>(for_output ? POLLOUT : POLLIN), 0};
    int result;
    while ((result = poll(&ready, 1, -1)) < 0 && errno == EINTR) {
    }
    return result >= 0;
}

void SystemCalls::widen_pipe(int fd) {
#ifdef F_SETPIPE_SZ
    struct stat status;
    if (fstat(fd, &status) != 0 || !S_ISFIFO(status.st_mode)) return;
    // 1 MiB is what an unprivileged process may ask for by default (/proc/sys/fs/pipe-max-size).
    for (const int wanted : {1 << 20, 1 << 18}) {
        const int now = fcntl(fd, F_GETPIPE_SZ);
        if (now < 0 || now >= wanted || fcntl(fd, F_SETPIPE_SZ, wanted) >= 0) return;
    }
#endif
    (void)fd;
}

SystemCalls& SystemCalls::standard() {
    static SystemCalls calls;
    return calls;
}

Encoding encoding_from_locale() {
    // A name that says UTF-8, and the C locale, mean UTF-8 without loading the locale's tables
    // (a tenth of a small program's memory); so does a locale that is not installed.
    const char* name = nullptr;
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        if ((name = std::getenv(variable)) != nullptr && *name != '\0') break;
    }
    std::string_view locale = name != nullptr ? name : "";
    locale = locale.substr(0, locale.find('@'));
    std::string charset;
    for (const char c : locale.substr(std::min(locale.find('.'), locale.size()))) {
        if (c != '-' && c != '.') charset.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    }
    if (locale.empty() || locale == "C" || locale == "POSIX" || charset == "UTF8") return Encoding::utf8;
    if (std::setlocale(LC_CTYPE, "") == nullptr) return Encoding::utf8;
    return encoding_of_charset(nl_langinfo(CODESET));
}

std::optional<std::string> to_cp949(std::string_view utf8, void** kept) { return convert(true, utf8, kept); }

void close_converter(void* kept) {
    if (kept != nullptr) iconv_close(static_cast<iconv_t>(kept));
}

std::optional<std::string> to_utf8(std::string_view cp949) { return convert(false, cp949); }

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
    std::size_t length = 1;
    if (encoding == Encoding::cp949) {
        length = first >= 0x81 && first <= 0xFE ? 2 : 1;
    } else if (first >= 0xC0 && first < 0xF8) {
        length = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : 2;
    }
    return length > bytes.size() ? length - bytes.size() : 0;
}

void clear_screen() {
    // Home, erase the screen, erase the scroll-back.
    if (Session::current().output_takes_escapes()) std::cout << "\x1b[H\x1b[2J\x1b[3J";
}

void pause_screen() {
    std::cout << pause_prompt;
    key_from_terminal();
    std::cout << std::endl;
}

void wait_key() { key_from_terminal(); }

void move_cursor(std::int16_t column, std::int16_t row) {
    const Session& session = Session::current();
    if (session.output_takes_escapes()) {
        std::cout << "\x1b[" << row + 1 << ';' << column + 1 << 'H';
    } else if (session.output_is_terminal()) {
        std::cout << '\r';  // the one cursor move every terminal understands
    }
}

}  // namespace console
