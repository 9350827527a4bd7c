// The console's encoding from the user's locale, and the C library's iconv between UTF-8 and CP949.
#include <iconv.h>
#include <langinfo.h>

#include <clocale>
#include <cstring>

#include "encoding.hpp"

namespace console {
namespace {

const auto no_descriptor = reinterpret_cast<iconv_t>(-1);

// glibc and GNU libiconv know the code page as "CP949"; others, FreeBSD's iconv among them
// (macOS from 14), may know it only by its other name, "UHC". EUC-KR is no substitute: it lacks
// the 8822 syllables that CP949 adds.
iconv_t open_cp949(bool to_cp949) {
    for (const char* name : {"CP949", "UHC"}) {
        const iconv_t cd = to_cp949 ? iconv_open(name, "UTF-8") : iconv_open("UTF-8", name);
        if (cd != no_descriptor) return cd;
    }
    return no_descriptor;
}

std::optional<std::string> convert(void*& descriptor, bool to_cp949, std::string_view in) {
    if (descriptor == nullptr) descriptor = open_cp949(to_cp949);
    const auto cd = static_cast<iconv_t>(descriptor);
    if (cd == no_descriptor) return std::nullopt;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    // No character grows by more than half again: CP949's two bytes become three of UTF-8.
    std::string out(in.size() * 3 / 2 + 4, '\0');
    char* in_ptr = const_cast<char*>(in.data());  // iconv's signature; the input is not changed
    std::size_t in_left = in.size();
    char* out_ptr = out.data();
    std::size_t out_left = out.size();
    if (iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left) == static_cast<std::size_t>(-1) ||
        iconv(cd, nullptr, nullptr, &out_ptr, &out_left) == static_cast<std::size_t>(-1)) {
        return std::nullopt;
    }
    out.resize(out.size() - out_left);
    return out;
}

}  // namespace

Encoding encoding_from_locale() {
    // A locale that is not installed leaves LC_CTYPE "C", whose character set is ASCII: UTF-8.
    if (std::setlocale(LC_CTYPE, "") == nullptr) return Encoding::utf8;
    return encoding_of_charset(nl_langinfo(CODESET));
}

Cp949Converter::~Cp949Converter() {
    for (void* descriptor : {to_cp949_, to_utf8_}) {
        if (descriptor != nullptr && static_cast<iconv_t>(descriptor) != no_descriptor) {
            iconv_close(static_cast<iconv_t>(descriptor));
        }
    }
}

std::optional<std::string> Cp949Converter::to_cp949(std::string_view utf8) { return convert(to_cp949_, true, utf8); }

std::optional<std::string> Cp949Converter::to_utf8(std::string_view cp949) { return convert(to_utf8_, false, cp949); }

}  // namespace console
