#pragma once
// The terminal underneath the POSIX console services.

#include <cstddef>
#include <string_view>

namespace console {

// Waits for one key press on the terminal `fd` and consumes all of its bytes, without echo.
// The terminal's settings are given back afterwards, and also when a signal ends or stops the
// program while it waits.
void read_key(int fd);

// How many more bytes the key that starts with `bytes` needs: the rest of an escape sequence
// (arrow and function keys) or of a multi-byte character. 0 when it is complete.
std::size_t key_bytes_missing(std::string_view bytes);

}  // namespace console
