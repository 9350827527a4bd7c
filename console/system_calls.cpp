#include "system_calls.hpp"

#include <cerrno>
#include <initializer_list>

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace console {
namespace {

#ifdef _WIN32
// The runtime's _read and _write take an unsigned count: at most 1 GiB a call.
unsigned windows_count(std::size_t size) { return size > (1u << 30) ? (1u << 30) : static_cast<unsigned>(size); }
#endif

}  // namespace

long SystemCalls::read(int fd, char* data, std::size_t size) {
#ifdef _WIN32
    return _read(fd, data, windows_count(size));
#else
    return ::read(fd, data, size);
#endif
}

long SystemCalls::write(int fd, const char* data, std::size_t size) {
#ifdef _WIN32
    return _write(fd, data, windows_count(size));
#else
    return ::write(fd, data, size);
#endif
}

bool SystemCalls::wait(int fd, bool for_output) {
#ifdef _WIN32
    // Windows hands out no non-blocking standard streams; a call that asks to be retried later
    // is a failure there.
    (void)fd;
    (void)for_output;
    return false;
#else
    pollfd ready{fd, static_cast<short>(for_output ? POLLOUT : POLLIN), 0};
    for (;;) {
        if (poll(&ready, 1, -1) >= 0) return true;
        if (errno != EINTR) return false;
    }
#endif
}

bool SystemCalls::widen_pipe(int fd) {
#ifdef F_SETPIPE_SZ
    struct stat status;
    if (fstat(fd, &status) != 0 || !S_ISFIFO(status.st_mode)) return false;
    // 1 MiB is what an unprivileged process may ask for by default (/proc/sys/fs/pipe-max-size).
    for (const int wanted : {1 << 20, 1 << 18}) {
        const int now = fcntl(fd, F_GETPIPE_SZ);
        if (now < 0) return false;
        if (now >= wanted || fcntl(fd, F_SETPIPE_SZ, wanted) >= 0) return true;
    }
    return false;
#else
    (void)fd;
    return false;
#endif
}

SystemCalls& SystemCalls::standard() {
    static SystemCalls calls;
    return calls;
}

}  // namespace console
