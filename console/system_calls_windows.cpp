// Standard output on a Windows console. The C runtime's _write hands console output to the
// console after converting it through the runtime's own "C" locale, and a code-page-949 console
// then shows CP949 text as Latin-1. WriteFile on the console's handle leaves the bytes to the
// console's code page. It also bypasses the runtime's text mode, so the CR before each LF is
// added here.
#define NOMINMAX
#include <windows.h>
#include <io.h>

#include <algorithm>
#include <cerrno>
#include <string>

#include "system_calls.hpp"

namespace console {
namespace {

HANDLE handle_of(int fd) { return reinterpret_cast<HANDLE>(_get_osfhandle(fd)); }

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

}  // namespace

bool SystemCalls::is_windows_console(int fd) {
    const HANDLE handle = handle_of(fd);
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

SystemCalls& SystemCalls::windows_console() {
    static WindowsConsoleCalls calls;
    return calls;
}

}  // namespace console
