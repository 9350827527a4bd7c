#pragma once
// Strict checks of encoded text, independent of the console layer's own converter.

#include <cstddef>
#include <string_view>

namespace fuzzing {

// The length of the longest prefix of UTF-8 `text` whose every character CP949 has (as iconv
// knows it); text.size() when all of it does.
std::size_t cp949_prefix(std::string_view text);

// True when `text` is well-formed UTF-8: no stray or missing continuation bytes, no overlong
// forms, no surrogates, nothing above U+10FFFF.
bool valid_utf8(std::string_view text);

// Stops the fuzzer with `what` and a hex dump of the text around `offset`.
[[noreturn]] void fail(const char* what, std::string_view text, std::size_t offset);

}  // namespace fuzzing
