#pragma once
// The descriptor calls under standard input and output, behind one seam: programs use the
// system's own, and tests hand in theirs to feed interrupted calls, short writes, a full or
// empty non-blocking pipe and errors to the console layer inside one process.

#include <cstddef>

namespace console {

class SystemCalls {
public:
    virtual ~SystemCalls() = default;

    // As read(2) and write(2): the count of bytes moved, 0 at the end of input, or -1 with errno.
    virtual long read(int fd, char* data, std::size_t size);
    virtual long write(int fd, const char* data, std::size_t size);
    // Blocks until `fd` is ready for reading (or for writing, with `for_output`), as poll(2) does
    // for a descriptor in non-blocking mode; false, with errno, when it cannot wait.
    virtual bool wait(int fd, bool for_output);
    // When `fd` is a pipe, asks for a larger one (Linux): a writer that is not much faster than
    // its reader otherwise stops at every 64 KiB until the reader has woken up and made room.
    // True when the pipe now holds at least 256 KiB; false where the system has no such
    // request or refuses it, or `fd` is no pipe.
    virtual bool widen_pipe(int fd);

    // The system's own calls.
    static SystemCalls& standard();

#ifdef _WIN32
    // Whether `fd` is a Windows console (NUL, which the runtime also calls a terminal, is not).
    static bool is_windows_console(int fd);
    // Output to a Windows console: the bytes go to the console's own byte interface unchanged,
    // so its code page decides how they show, each line end as CR LF like the runtime's text
    // mode. Reading and waiting are the system's own.
    static SystemCalls& windows_console();
#endif
};

}  // namespace console
