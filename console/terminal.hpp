#pragma once
// The terminal underneath the POSIX console services.

#include <cstddef>
#include <string_view>

#include "encoding.hpp"

namespace console {

// Waits for one key press on the terminal `fd`, whose keys come in `encoding`, and consumes all
// of its bytes, without echo.
// The terminal's settings are given back afterwards, and also when a signal ends or stops the
// program while it waits.
void read_key(int fd, Encoding encoding);

// How many more bytes the key that starts with `bytes` needs: the rest of an escape sequence
// (arrow and function keys) or of a character of several bytes in `encoding`. 0 when it is
// complete.
std::size_t key_bytes_missing(std::string_view bytes, Encoding encoding);

}  // namespace console
