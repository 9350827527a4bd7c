#include "valid_text.hpp"

#include <cstdio>
#include <cstdlib>

#include "tests/support/iconv_text.hpp"

namespace fuzzing {

namespace {

bool all_in_cp949(std::string_view text) { return testing_support::iconv_text("CP949", "UTF-8", text).has_value(); }

}  // namespace

std::size_t cp949_prefix(std::string_view text) {
    if (all_in_cp949(text)) return text.size();
    // Where it fails: one character at a time.
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        const std::size_t length = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        if (!all_in_cp949(text.substr(i, length))) return i;
        i += length;
    }
    return text.size();
}

bool valid_utf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        std::size_t length;
        char32_t code;
        if (b < 0x80) {
            ++i;
            continue;
        } else if (b >= 0xC2 && b <= 0xDF) {
            length = 2;
            code = b & 0x1Fu;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3;
            code = b & 0x0Fu;
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4;
            code = b & 0x07u;
        } else {
            return false;
        }
        if (text.size() - i < length) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto c = static_cast<unsigned char>(text[i + k]);
            if ((c & 0xC0u) != 0x80u) return false;
            code = (code << 6) | (c & 0x3Fu);
        }
        const char32_t smallest = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
        if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        i += length;
    }
    return true;
}

void fail(const char* what, std::string_view text, std::size_t offset) {
    std::fprintf(stderr, "%s at byte %zu of %zu:", what, offset, text.size());
    const std::size_t from = offset > 16 ? offset - 16 : 0;
    for (std::size_t i = from; i < text.size() && i < offset + 16; ++i) {
        std::fprintf(stderr, i == offset ? " [%02X]" : " %02X", static_cast<unsigned char>(text[i]));
    }
    std::fprintf(stderr, "\n");
    std::abort();
}

}  // namespace fuzzing
