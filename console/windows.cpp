// The console layer's Windows side: the runtime's descriptor calls and a console's own output,
// CP949 for pipes and files with the system's conversions (through UTF-16), and the console
// services (the command interpreter's cls and pause, _getch, the console's cursor placement),
// each after what the program's own output holds is written.
#define NOMINMAX
#include <windows.h>
#include <conio.h>
#include <io.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <string>

#include "encoding.hpp"
#include "services.hpp"
#include "session.hpp"
#include "system_calls.hpp"

namespace console {
namespace {

HANDLE handle_of(int fd) { return reinterpret_cast<HANDLE>(_get_osfhandle(fd)); }

// The runtime's _read and _write take an unsigned count: at most 1 GiB a call.
unsigned count_of(std::size_t size) { return size > (1u << 30) ? (1u << 30) : static_cast<unsigned>(size); }

// The runtime's _write converts console output through its "C" locale (CP949 shows as Latin-1);
// WriteFile leaves the bytes to the console's code page, without text mode's CR before each LF.
class WindowsConsoleCalls final : public SystemCalls {
public:
    long write(int fd, const char* data, std::size_t size) override {
        const std::size_t taken = std::min<std::size_t>(size, 1u << 30);
        crlf_.clear();
        crlf_.reserve(taken + taken / 8);
        for (std::size_t i = 0; i < taken; ++i) {
            if (data[i] == '\n') crlf_.push_back('\r');
            crlf_.push_back(data[i]);
        }
        // A console takes all it is given or fails; the loop only guards against a short count.
        const char* next = crlf_.data();
        std::size_t left = crlf_.size();
        while (left > 0) {
            DWORD put = 0;
            const auto chunk = static_cast<DWORD>(std::min<std::size_t>(left, 1u << 30));
            if (!WriteFile(handle_of(fd), next, chunk, &put, nullptr) || put == 0) {
                errno = EIO;
                return -1;
            }
            next += put;
            left -= put;
        }
        return static_cast<long>(taken);
    }

private:
    std::string crlf_;  // kept between calls: a console session writes many short lines
};

constexpr UINT cp949 = 949;

std::optional<std::wstring> to_utf16(UINT code_page, std::string_view text) {
    if (text.empty()) return std::wstring();
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (length <= 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), length);
    return wide;
}

std::optional<std::string> from_utf16(UINT code_page, const std::wstring& wide) {
    if (wide.empty()) return std::string();
    const int size = static_cast<int>(wide.size());
    // A character the code page lacks must be refused, not replaced by a look-alike or "?".
    BOOL replaced = FALSE;
    BOOL* const check = code_page == CP_UTF8 ? nullptr : &replaced;
    const DWORD flags = code_page == CP_UTF8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    const int length = WideCharToMultiByte(code_page, flags, wide.data(), size, nullptr, 0, nullptr, check);
    if (length <= 0 || replaced) return std::nullopt;
    std::string text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(code_page, flags, wide.data(), size, text.data(), length, nullptr, nullptr);
    return text;
}

std::optional<std::string> convert(UINT from, UINT to, std::string_view text) {
    const auto wide = to_utf16(from, text);
    if (!wide) return std::nullopt;
    return from_utf16(to, *wide);
}

}  // namespace

long SystemCalls::read(int fd, char* data, std::size_t size) { return _read(fd, data, count_of(size)); }

long SystemCalls::write(int fd, const char* data, std::size_t size) { return _write(fd, data, count_of(size)); }

// Windows hands out no non-blocking standard streams, and has no pipe to widen.
bool SystemCalls::wait(int, bool) { return false; }

void SystemCalls::widen_pipe(int) {}

SystemCalls& SystemCalls::standard() {
    static SystemCalls calls;
    return calls;
}

bool SystemCalls::is_windows_console(int fd) {
    const HANDLE handle = handle_of(fd);
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

SystemCalls& SystemCalls::windows_console() {
    static WindowsConsoleCalls calls;
    return calls;
}

Encoding encoding_from_locale() { return Encoding::cp949; }

std::optional<std::string> to_cp949(std::string_view utf8, void**) { return convert(CP_UTF8, cp949, utf8); }

void close_converter(void*) {}

std::optional<std::string> to_utf8(std::string_view text) { return convert(cp949, CP_UTF8, text); }

void clear_screen() {
    flush_output();
    std::system("cls");
}

void pause_screen() {
    flush_output();
    std::system("pause");
}

void wait_key() {
    flush_output();
    _getch();
}

void move_cursor(std::int16_t column, std::int16_t row) {
    flush_output();
    SetConsoleCursorPosition(GetStdHandle(STD_OUTPUT_HANDLE), COORD{column, row});
}

}  // namespace console
