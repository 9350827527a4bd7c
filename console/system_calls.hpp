#pragma once
// The descriptor calls under standard input and output, behind one seam: tests hand in their
// own to feed interrupted calls, short writes, full or empty pipes, errors, a terminal's
// answers and a console's cursor to the layer.

#include <cstddef>

namespace console {

class SystemCalls {
public:
    virtual ~SystemCalls() = default;

    // As read(2) and write(2): the count of bytes moved, 0 at the end of input, or -1 with errno.
    virtual long read(int fd, char* data, std::size_t size);
    virtual long write(int fd, const char* data, std::size_t size);
    // Waits until `fd` is ready for reading (or for writing, with `for_output`), at most
    // `timeout_ms` (-1: as long as it takes). False when it is not ready in time, or when it
    // cannot wait (with errno).
    virtual bool wait(int fd, bool for_output, int timeout_ms = -1);
    // Where console `fd` has its cursor, as a Windows console keeps it; false where it cannot
    // tell (a terminal is asked through its input instead).
    virtual bool cursor(int fd, int& column, int& row);
    // How many columns terminal `fd` has, as the system tells it now; 0 where it cannot tell.
    virtual int columns(int fd);
    // How many bytes can be read from `fd` now without waiting (at least 1 where it cannot tell
    // how many but some can).
    virtual std::size_t available(int fd);

    // The system's own calls.
    static SystemCalls& standard();
};

}  // namespace console
