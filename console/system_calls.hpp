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

    // The system's own calls.
    static SystemCalls& standard();
};

}  // namespace console
