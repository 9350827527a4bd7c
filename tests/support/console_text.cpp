#include "console_text.hpp"

#include <iconv.h>

#include <stdexcept>

namespace testing_support {
#if CONSOLE_UTF8
namespace {

// Deliberately simple and separate from the program's converter: whole text at once, and a
// filler rule spelled out for the box-drawing characters the programs use.
std::string to_utf8(std::string_view cp949) {
    iconv_t cd = iconv_open("UTF-8", "CP949");
    if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open");
    std::string out(cp949.size() * 2 + 4, '\0');
    char* in_ptr = const_cast<char*>(cp949.data());
    std::size_t in_left = cp949.size();
    char* out_ptr = out.data();
    std::size_t out_left = out.size();
    const auto rc = iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left);
    iconv_close(cd);
    if (rc == static_cast<std::size_t>(-1)) throw std::runtime_error("expected text is not CP949");
    out.resize(out.size() - out_left);
    return out;
}

std::string with_box_fillers(const std::string& utf8) {
    // UTF-8 bytes spelled out: plain literals in this file are compiled to CP949.
    constexpr std::string_view horizontal = "\xE2\x94\x80";                                  // ─
    static constexpr std::string_view runs_right[] = {"\xE2\x94\x8C", "\xE2\x94\x94", horizontal,  // ┌ └ ─
                                                      "\xE2\x94\x9C", "\xE2\x94\xAC",              // ├ ┬
                                                      "\xE2\x94\xB4", "\xE2\x94\xBC"};             // ┴ ┼
    static constexpr std::string_view stops[] = {"\xE2\x94\x90", "\xE2\x94\x98",                  // ┐ ┘
                                                 "\xE2\x94\x82", "\xE2\x94\xA4"};                 // │ ┤
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        const std::string_view ch(utf8.data() + i, length);
        out.append(ch);
        i += length;
        for (auto box : runs_right) {
            if (ch == box) out.append(horizontal);
        }
        for (auto box : stops) {
            if (ch == box) out.append(" ");
        }
    }
    return out;
}

}  // namespace
#endif

std::string on_console(std::string_view cp949_text) {
#if CONSOLE_UTF8
    return with_box_fillers(to_utf8(cp949_text));
#else
    return std::string(cp949_text);
#endif
}

}  // namespace testing_support
