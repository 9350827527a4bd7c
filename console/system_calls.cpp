// The seam's own calls: the system's, on Linux and macOS (windows.cpp has the Windows ones).
#include "system_calls.hpp"

#ifndef _WIN32
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace console {

SystemCalls& SystemCalls::standard() {
    static SystemCalls calls;
    return calls;
}

bool SystemCalls::cursor(int, int&, int&) { return false; }  // but a Windows console's own calls

#ifndef _WIN32
long SystemCalls::read(int fd, char* data, std::size_t size) { return ::read(fd, data, size); }

long SystemCalls::write(int fd, const char* data, std::size_t size) { return ::write(fd, data, size); }

int SystemCalls::columns(int fd) {
    winsize size{};
    return ioctl(fd, TIOCGWINSZ, &size) == 0 ? size.ws_col : 0;
}

std::size_t SystemCalls::available(int fd) {
    int count = 0;
    if (ioctl(fd, FIONREAD, &count) == 0) return count > 0 ? static_cast<std::size_t>(count) : 0;
    return wait(fd, false, 0) ? 1 : 0;
}

bool SystemCalls::wait(int fd, bool for_output, int timeout_ms) {
    pollfd ready{fd, static_cast<short>(for_output ? POLLOUT : POLLIN), 0};
    int result;
    while ((result = poll(&ready, 1, timeout_ms)) < 0 && errno == EINTR) continue;
    return result > 0;
}

#endif

}  // namespace console
