#include "encoding.hpp"

#include <cctype>

namespace console {
namespace {

// Box-drawing block U+2500..U+257F (E2 94 80 .. E2 95 BF): bit set where the character's stroke
// runs on to the right edge of its cell (names with RIGHT or HORIZONTAL, diagonals excluded).
// Such a character is followed by "─" on a UTF-8 console, any other by a blank.
constexpr std::uint64_t right_stroke_low = 0xfffff00ff0f0f333ULL;
constexpr std::uint64_t right_stroke_high = 0x54413ff1c71d3fffULL;

std::string_view filler_after_box(unsigned char second, unsigned char third) {
    const unsigned offset = (second - 0x94u) * 64u + (third & 0x3Fu);
    const std::uint64_t word = offset < 64 ? right_stroke_low : right_stroke_high;
    return ((word >> (offset % 64)) & 1u) != 0 ? std::string_view("─") : std::string_view(" ");
}

// How many bytes the UTF-8 character that starts with `lead` has; 0 for a byte that starts none.
std::size_t utf8_length(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

// How many bytes at the start of `text` are ASCII, the same in both encodings.
std::size_t ascii_prefix(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && static_cast<unsigned char>(text[i]) < 0x80) ++i;
    return i;
}

bool is_control(unsigned char b) { return b < 0x20 || b == 0x7F; }

}  // namespace

Encoding encoding_of_charset(std::string_view charset) {
    std::string name;
    for (const char c : charset) {
        if (c != '-' && c != '_') name.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    }
    return name == "CP949" || name == "UHC" || name == "EUCKR" ? Encoding::cp949 : Encoding::utf8;
}

std::string_view ConsoleEncoder::encoded(std::string_view utf8) {
    return encoding_ == Encoding::utf8 ? with_fillers(utf8) : to_cp949(utf8);
}

std::string_view ConsoleEncoder::with_fillers(std::string_view utf8) {
    std::size_t at = utf8.find('\xE2');
    if (at == std::string_view::npos) return utf8;
    out_.clear();
    std::size_t from = 0;
    for (; at != std::string_view::npos; at = utf8.find('\xE2', at + 1)) {
        if (at + 2 >= utf8.size() || (utf8[at + 1] != '\x94' && utf8[at + 1] != '\x95')) continue;
        at += 2;
        out_.append(utf8.substr(from, at + 1 - from));
        out_.append(filler_after_box(static_cast<unsigned char>(utf8[at - 1]), static_cast<unsigned char>(utf8[at])));
        from = at + 1;
    }
    out_.append(utf8.substr(from));
    return out_;
}

std::string_view ConsoleEncoder::to_cp949(std::string_view utf8) {
    std::size_t i = ascii_prefix(utf8);
    if (i == utf8.size()) return utf8;
    out_.assign(utf8.substr(0, i));
    while (i < utf8.size()) {
        const std::size_t ascii = ascii_prefix(utf8.substr(i));
        out_.append(utf8.substr(i, ascii));
        i += ascii;
        if (i == utf8.size()) break;
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = utf8_length(lead);
        std::uint32_t code_point = lead & (0x7Fu >> length);
        bool whole = length > 1 && i + length <= utf8.size();
        for (std::size_t k = 1; whole && k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            whole = (next & 0xC0) == 0x80;
            code_point = code_point << 6 | (next & 0x3Fu);
        }
        // An overlong form is no character: the table must only ever learn the real ones.
        constexpr std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        whole = whole && code_point >= least[length];
        // CP949 has nothing beyond the first 65536 code points.
        const std::uint16_t form = whole && code_point <= 0xFFFF ? cp949_of(code_point, utf8.substr(i, length)) : no_form;
        if (form == no_form) {
            out_.push_back('?');
            i += whole ? length : 1;
            continue;
        }
        out_.push_back(static_cast<char>(form >> 8));
        out_.push_back(static_cast<char>(form & 0xFF));
        i += length;
    }
    return out_;
}

std::uint16_t ConsoleEncoder::cp949_of(std::uint32_t code_point, std::string_view utf8) {
    auto& row = rows_[code_point >> 8];
    if (!row) row = std::make_unique<std::array<std::uint16_t, 256>>();
    std::uint16_t& form = (*row)[code_point & 0xFF];
    if (form == 0) {
        const auto cp949 = converter_.to_cp949(utf8);
        form = cp949 && cp949->size() == 2
                   ? static_cast<std::uint16_t>(static_cast<unsigned char>((*cp949)[0]) << 8 |
                                                static_cast<unsigned char>((*cp949)[1]))
                   : no_form;
    }
    return form;
}

std::optional<std::string> stored_word(std::string_view typed, Encoding encoding) {
    // ASCII is the same in both encodings, and no byte of a two-byte CP949 character is below 0x41.
    for (const char c : typed) {
        if (is_control(static_cast<unsigned char>(c))) return std::nullopt;
    }
    Cp949Converter converter;
    std::optional<std::string> utf8;
    if (encoding == Encoding::cp949) {
        // Kept only when it would go out again as the very bytes typed.
        utf8 = converter.to_utf8(typed);
        if (!utf8 || converter.to_cp949(*utf8) != typed) return std::nullopt;
    } else {
        // Kept as CP949 gives it back, so that a word compares and shows as on a CP949 console.
        const auto cp949 = converter.to_cp949(typed);
        if (!cp949) return std::nullopt;
        utf8 = converter.to_utf8(*cp949);
        if (!utf8) return std::nullopt;
    }
    // U+0080..U+009F are C2 80..C2 9F.
    for (std::size_t i = 0; i + 1 < utf8->size(); ++i) {
        if ((*utf8)[i] == '\xC2' && static_cast<unsigned char>((*utf8)[i + 1]) <= 0x9F) return std::nullopt;
    }
    return utf8;
}

}  // namespace console
