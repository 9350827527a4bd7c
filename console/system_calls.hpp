#pragma once
// The descriptor calls under standard input and output, behind one seam: tests hand in their
// own to feed interrupted calls, short writes, full or empty pipes and errors to the layer.

#include <cstddef>

#include "encoding.hpp"

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
    // When `fd` is a pipe, asks for one of at least 256 KiB (Linux); where the system has no
    // such request or refuses it, or `fd` is no pipe, nothing changes.
    virtual void widen_pipe(int fd);

    // The system's own calls.
    static SystemCalls& standard();

#ifdef _WIN32
    // Whether `fd` is a Windows console (NUL, which the runtime also calls a terminal, is not).
    static bool is_windows_console(int fd);
    // A Windows console's own calls, in UTF-16 whatever its code page: what they read comes as
    // UTF-8 (line ends as LF); what they write is in windows_console_encoding() (CR LF ends).
    static SystemCalls& windows_console();
    static Encoding windows_console_encoding();
#endif
};

}  // namespace console
