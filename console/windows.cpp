// The console layer's Windows side: pipes and files through the runtime's calls, in CP949 with
// the system's conversions; a console through its own calls, in UTF-16 whatever its code page;
// and the console services (cls, pause, _getwch, the cursor), each after what is held is written.
#define NOMINMAX
#include <windows.h>
#include <conio.h>
#include <io.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <iostream>
#include <string>

#include "encoding.hpp"
#include "services.hpp"
#include "session.hpp"
#include "system_calls.hpp"

namespace console {
namespace {

constexpr UINT cp949 = 949;

HANDLE handle_of(int fd) { return reinterpret_cast<HANDLE>(_get_osfhandle(fd)); }

// The runtime's _read and _write take an unsigned count: at most 1 GiB a call.
unsigned count_of(std::size_t size) { return size > (1u << 30) ? (1u << 30) : static_cast<unsigned>(size); }

// `strict`: text that is not valid in the code page is refused; else it becomes U+FFFD.
std::optional<std::wstring> to_utf16(UINT code_page, std::string_view text, bool strict = true) {
    if (text.empty()) return std::wstring();
    const int size = static_cast<int>(text.size());
    const DWORD flags = strict ? MB_ERR_INVALID_CHARS : 0;
    const int length = MultiByteToWideChar(code_page, flags, text.data(), size, nullptr, 0);
    if (length <= 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(code_page, flags, text.data(), size, wide.data(), length);
    return wide;
}

// `strict`: a character the code page lacks (or a lone half of a UTF-16 pair) is refused, not
// replaced by a look-alike, "?" or U+FFFD.
std::optional<std::string> from_utf16(UINT code_page, const std::wstring& wide, bool strict = true) {
    if (wide.empty()) return std::string();
    const int size = static_cast<int>(wide.size());
    BOOL replaced = FALSE;
    BOOL* const check = code_page == CP_UTF8 || !strict ? nullptr : &replaced;
    const DWORD flags = !strict ? 0 : code_page == CP_UTF8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
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

// What the layer writes to a console: CP949 where its code page is 949, else UTF-8.
Encoding console_encoding() { return GetConsoleOutputCP() == cp949 ? Encoding::cp949 : Encoding::utf8; }

// Whether `fd` is a console (NUL, which the runtime also calls a terminal, is not).
bool is_console(int fd) {
    const HANDLE handle = handle_of(fd);
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

// A console's own calls: text goes in and out as UTF-16, so the Korean shows and is typed in a
// console of any code page (the runtime's _read and _write would pass bytes in the code page).
class WindowsConsoleCalls final : public SystemCalls {
public:
    // What is typed, as UTF-8, line ends as LF. Ctrl-Z (then Enter) ends the input, as the
    // runtime's text mode has it.
    long read(int fd, char* data, std::size_t size) override {
        while (typed_.empty() && !ended_) {
            wchar_t wide[4096];
            DWORD got = 0;
            if (!ReadConsoleW(handle_of(fd), wide, 4096, &got, nullptr)) {
                errno = EIO;
                return -1;
            }
            std::wstring line = carried_ + std::wstring(wide, got);
            carried_.clear();
            if (const auto end = line.find(L'\x1A'); end != std::wstring::npos) {
                line.erase(end);
                ended_ = true;
            }
            // A character of two UTF-16 units cut at the end of the buffer waits for its second.
            if (!line.empty() && line.back() >= 0xD800 && line.back() < 0xDC00) {
                carried_ = line.back();
                line.pop_back();
            }
            std::erase(line, L'\r');
            typed_ = from_utf16(CP_UTF8, line, false).value_or("");  // a name CP949 lacks is refused later
            ended_ = ended_ || got == 0;
        }
        const std::size_t count = std::min(size, typed_.size());
        std::copy_n(typed_.data(), count, data);
        typed_.erase(0, count);
        return static_cast<long>(count);
    }

    long write(int fd, const char* data, std::size_t size) override {
        const auto wide = to_utf16(encoding_ == Encoding::cp949 ? cp949 : CP_UTF8, {data, size}, false).value_or(L"");
        crlf_.clear();
        for (const wchar_t c : wide) {
            if (c == L'\n') crlf_.push_back(L'\r');
            crlf_.push_back(c);
        }
        // A console takes all it is given or fails; older ones take at most some 64 KB a call.
        for (std::size_t done = 0; done < crlf_.size();) {
            DWORD put = 0;
            const auto chunk = static_cast<DWORD>(std::min<std::size_t>(crlf_.size() - done, 8192));
            if (!WriteConsoleW(handle_of(fd), crlf_.data() + done, chunk, &put, nullptr) || put == 0) {
                errno = EIO;
                return -1;
            }
            done += put;
        }
        return static_cast<long>(size);
    }

    bool cursor(int fd, int& column, int& row) override {
        CONSOLE_SCREEN_BUFFER_INFO info;
        if (!GetConsoleScreenBufferInfo(handle_of(fd), &info)) return false;
        column = info.dwCursorPosition.X;
        row = info.dwCursorPosition.Y;
        return true;
    }

    const Encoding encoding_ = console_encoding();  // of what the layer writes here

private:
    std::string typed_;     // read from the console and not yet taken
    std::wstring carried_;  // the first half of a character cut by a full read
    bool ended_ = false;
    std::wstring crlf_;     // kept between calls: a console session writes many short lines
};

}  // namespace

// The one console's calls; its tests name it too.
SystemCalls& console_calls() {
    static WindowsConsoleCalls calls;
    return calls;
}

long SystemCalls::read(int fd, char* data, std::size_t size) { return _read(fd, data, count_of(size)); }

long SystemCalls::write(int fd, const char* data, std::size_t size) { return _write(fd, data, count_of(size)); }

// Windows hands out no non-blocking standard streams.
bool SystemCalls::wait(int, bool, int) { return false; }

// Answers are edited by the console itself.
int SystemCalls::columns(int) { return 0; }
std::size_t SystemCalls::available(int) { return 0; }

std::optional<std::string> to_cp949(std::string_view utf8) { return convert(CP_UTF8, cp949, utf8); }

std::optional<std::string> to_utf8(std::string_view text) { return convert(cp949, CP_UTF8, text); }

Console standard_console() {
    Console console;
    console.input_terminal = is_console(0);
    console.output_terminal = is_console(1);
    if (console.input_terminal) console.input_calls = &console_calls();
    if (console.output_terminal) console.output_calls = &console_calls();
    // A console's calls give what is typed as UTF-8; pipes and files are CP949.
    console.typed = console.input_terminal ? Encoding::utf8 : Encoding::cp949;
    console.written = console.output_terminal ? console_encoding() : Encoding::cp949;
    // Another code page than 949 draws box-drawing characters as wide as its font has them.
    if (console.output_terminal && console.written == Encoding::utf8) console.box_columns = 0;
    return console;
}

int measure_box(ConsoleInput&, SystemCalls& calls, std::string_view box) {
    int column[2] = {0, 0};
    int row[2] = {0, 0};
    const bool before = calls.cursor(1, column[0], row[0]);
    const bool written = calls.write(1, box.data(), box.size()) == static_cast<long>(box.size());
    if (!before || !written || !calls.cursor(1, column[1], row[1]) || row[0] != row[1]) return 0;
    return column[1] - column[0] == 1 || column[1] - column[0] == 2 ? column[1] - column[0] : 0;
}

void clear_screen() {
    std::cout.flush();
    std::system("cls");
}

void pause_screen() {
    std::cout.flush();
    std::system("pause");
}

void wait_key() {
    std::cout.flush();
    // An arrow or a function key comes as two codes, 0 or 0xE0 first: both are taken.
    const wint_t key = _getwch();
    if (key == 0 || key == 0xE0) _getwch();
}

void move_cursor(std::int16_t column, std::int16_t row) {
    std::cout.flush();
    SetConsoleCursorPosition(GetStdHandle(STD_OUTPUT_HANDLE), COORD{column, row});
}

}  // namespace console
