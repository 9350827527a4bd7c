#include "valid_text.hpp"

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace fuzzing {

namespace {

// Whether iconv converts all of UTF-8 `text` to CP949.
bool all_in_cp949(std::string_view text) {
    static const iconv_t cd = iconv_open("CP949", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) fail("iconv cannot convert to CP949", text, 0);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(text.data());  // iconv's signature; the text is not changed
    std::size_t in_left = text.size();
    char buffer[4096];
    while (in_left > 0) {
        char* out = buffer;
        std::size_t out_left = sizeof buffer;
        if (iconv(cd, &in, &in_left, &out, &out_left) == static_cast<std::size_t>(-1) && errno != E2BIG) return false;
    }
    return true;
}

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
