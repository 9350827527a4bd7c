#include "encoding.hpp"

#include <algorithm>
#include <cctype>

#ifndef _WIN32
#include <iconv.h>
#endif

namespace console {
#ifndef _WIN32
namespace {

std::optional<std::string> convert(bool to_cp949, std::string_view in) {
    // glibc and GNU libiconv know the code page as "CP949"; others (FreeBSD's, macOS's from 14)
    // may know only its other name, "UHC". EUC-KR is no substitute: it lacks 8822 syllables.
    const auto none = reinterpret_cast<iconv_t>(-1);
    iconv_t cd = none;
    for (const char* name : {"CP949", "UHC"}) {
        if (cd == none) cd = to_cp949 ? iconv_open(name, "UTF-8") : iconv_open("UTF-8", name);
    }
    if (cd == none) return std::nullopt;
    // No character grows by more than half again: CP949's two bytes become three of UTF-8.
    std::string out(in.size() * 3 / 2 + 4, '\0');
    char* in_ptr = const_cast<char*>(in.data());  // iconv's signature; the input is not changed
    std::size_t in_left = in.size();
    char* out_ptr = out.data();
    std::size_t out_left = out.size();
    const bool converted = iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left) != static_cast<std::size_t>(-1) &&
                           iconv(cd, nullptr, nullptr, &out_ptr, &out_left) != static_cast<std::size_t>(-1);
    iconv_close(cd);
    if (!converted) return std::nullopt;
    out.resize(out.size() - out_left);
    return out;
}

}  // namespace

std::optional<std::string> to_cp949(std::string_view utf8) { return convert(true, utf8); }

std::optional<std::string> to_utf8(std::string_view cp949) { return convert(false, cp949); }

#endif


Encoding encoding_of_charset(std::string_view charset) {
    std::string name;
    for (const char c : charset) {
        if (c != '-' && c != '_') name.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    }
    return name == "CP949" || name == "UHC" || name == "EUCKR" ? Encoding::cp949 : Encoding::utf8;
}

std::size_t utf8_length(unsigned char lead) { return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1; }

std::optional<std::string> stored_word(std::string_view typed, Encoding encoding) {
    // ASCII is the same in both encodings, and no byte of a two-byte CP949 character is below 0x41.
    const auto control = [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; };
    if (std::any_of(typed.begin(), typed.end(), control)) return std::nullopt;
    if (std::all_of(typed.begin(), typed.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) return std::string(typed);
    // Kept only when it would go out again as the very bytes typed (CP949), or as CP949 gives it
    // back (UTF-8), so that a word compares and shows as on a CP949 console.
    const auto cp949 = encoding == Encoding::cp949 ? std::optional<std::string>(typed) : to_cp949(typed);
    auto utf8 = cp949 ? to_utf8(*cp949) : std::nullopt;
    if (!utf8 || to_cp949(*utf8) != cp949) return std::nullopt;
    // Windows' code page 949 has the byte 0x80 for U+0080, a C1 control: refused like the others.
    for (std::size_t at = utf8->find('\xC2'); at != std::string::npos; at = utf8->find('\xC2', at + 1)) {
        if (static_cast<unsigned char>((*utf8)[at + 1]) <= 0x9F) return std::nullopt;
    }
    return utf8;
}

}  // namespace console
