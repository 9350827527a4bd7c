#pragma once
// Text is UTF-8 inside the programs; what reaches the console, and what comes from it, is in
// the console's own encoding, decided once when a program starts (posix.cpp, windows.cpp).

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace console {

enum class Encoding { utf8, cp949 };

// The console encoding that a character set's name means (as a locale or nl_langinfo names
// it): CP949, UHC and EUC-KR, in any case and with or without "-" or "_", mean CP949; any
// other name UTF-8.
Encoding encoding_of_charset(std::string_view charset);

// The length of the UTF-8 character whose first byte is `lead` (1 for a byte that starts none).
std::size_t utf8_length(unsigned char lead);
// The bytes of a CP949 two-byte character: a lead byte, then a trail byte.
inline bool cp949_lead(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }
inline bool cp949_trail(unsigned char byte) {
    return (byte >= 0x41 && byte <= 0x5A) || (byte >= 0x61 && byte <= 0x7A) || (byte >= 0x81 && byte <= 0xFE);
}

// UTF-8 <-> CP949 through the system's converter (iconv, or the Windows API), whole texts:
// nothing comes back for text that is invalid, or holds a character the other encoding lacks.
std::optional<std::string> to_cp949(std::string_view utf8);
std::optional<std::string> to_utf8(std::string_view cp949);

// What a word typed at a console of `encoding` is kept as (UTF-8), or nothing when it must be
// refused: not valid text in that encoding, a character that CP949 lacks (C1 controls among
// them), or a control character (0x00 to 0x1F, 0x7F), which would act on the terminal when the
// name is shown. A word typed on a CP949 console goes out again as the same bytes.
std::optional<std::string> stored_word(std::string_view typed, Encoding encoding);

}  // namespace console
