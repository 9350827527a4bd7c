#pragma once
// Text is UTF-8 inside the programs; what reaches the console, and what comes from it, is in
// the console's own encoding, decided once when a program starts. Linux and macOS follow the
// user's locale (LC_ALL, then LC_CTYPE, then LANG): CP949, UHC or EUC-KR get CP949 bytes,
// anything else (C, no locale, one not installed) UTF-8. Only LC_CTYPE is taken from the user,
// so numbers are written alike everywhere. Windows: CP949 for pipes and files; a console is
// read and written as UTF-16 (windows.cpp), the layer's side in CP949 or UTF-8 (session.cpp).

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace console {

enum class Encoding { utf8, cp949 };

// The console encoding that a locale's character set (as nl_langinfo(CODESET) names it) means.
Encoding encoding_of_charset(std::string_view charset);

// This process's console encoding: the user's locale on POSIX; on Windows CP949, that of pipes
// and files.
Encoding encoding_from_locale();

// UTF-8 <-> CP949 through the system's converter (the C library's iconv, or the Windows API),
// whole texts: nothing comes back when the text is not valid in its encoding or holds a
// character that the other lacks. With `kept` (null at first), it stays open between calls.
std::optional<std::string> to_cp949(std::string_view utf8, void** kept = nullptr);
std::optional<std::string> to_utf8(std::string_view cp949);
void close_converter(void* kept);

// Puts the programs' UTF-8 text into the console's encoding.
class ConsoleEncoder {
public:
    explicit ConsoleEncoder(Encoding encoding) : encoding_(encoding) {}
    ~ConsoleEncoder() { close_converter(converter_); }

    // The console's form of `utf8`: `utf8` itself when nothing changes, or a view of this
    // encoder's buffer, valid until the next call. A UTF-8 terminal draws box-drawing characters
    // one column wide, a code-page-949 console two: on UTF-8 each gets a filler. A broken
    // character, or one that CP949 lacks, becomes "?" in CP949.
    std::string_view encoded(std::string_view utf8);

private:
    std::string_view with_fillers(std::string_view utf8);
    std::string_view as_cp949(std::string_view utf8);
    // The CP949 bytes of a character not met before (or no_form), from the system's converter, kept.
    std::uint16_t learn(std::uint32_t code_point, std::string_view utf8);

    Encoding encoding_;
    std::string out_;
    // CP949 forms by code point (0: not yet asked, no_form: CP949 lacks it), in rows of 256 made
    // as needed: a dialogue's characters then lie in a few pages, and pages first touched cost
    // a program time at start.
    static constexpr std::uint16_t no_form = 0xFFFF;
    using Row = std::array<std::uint16_t, 256>;
    std::array<std::unique_ptr<Row>, 256> rows_;
    void* converter_ = nullptr;  // the system's, opened at the first character learned
};

// What a word typed at a console of `encoding` is kept as (UTF-8), or nothing when it must be
// refused: not valid text in that encoding, a character that CP949 lacks, or a control
// character (0x00 to 0x1F, 0x7F, U+0080 to U+009F), which would act on the terminal when the
// name is shown. A word typed on a CP949 console goes out again as the same bytes.
std::optional<std::string> stored_word(std::string_view typed, Encoding encoding);

}  // namespace console
