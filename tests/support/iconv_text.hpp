#pragma once
// A reference converter for tests and fuzz targets: the C library's iconv, kept apart from the
// console layer's own conversion so that each can be checked against the other.

#include <optional>
#include <string>
#include <string_view>

namespace testing_support {

// `text`, in the encoding iconv calls `from`, converted whole into `to`; nothing when iconv
// refuses any of it (a broken or unfinished character, or one that `to` lacks).
std::optional<std::string> iconv_text(const char* to, const char* from, std::string_view text);

}  // namespace testing_support
