#include "encoding.hpp"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cstring>

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

// How many of the eight bytes of `word`, in memory order, are ASCII before the first that is not.
std::size_t ascii_bytes(std::uint64_t word) {
    const std::uint64_t high = word & 0x8080808080808080ULL;
    if (high == 0) return 8;
    return static_cast<std::size_t>(std::endian::native == std::endian::little ? std::countr_zero(high)
                                                                              : std::countl_zero(high)) / 8;
}

// How many bytes at the start of `text` are ASCII, the same in both encodings; most text is,
// so eight bytes are looked at together.
std::size_t ascii_prefix(std::string_view text) {
    std::size_t i = 0;
    for (std::uint64_t word; i + 8 <= text.size(); i += 8) {
        std::memcpy(&word, text.data() + i, 8);
        if (const std::size_t ascii = ascii_bytes(word); ascii < 8) return i + ascii;
    }
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
    return encoding_ == Encoding::utf8 ? with_fillers(utf8) : as_cp949(utf8);
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

std::string_view ConsoleEncoder::as_cp949(std::string_view utf8) {
    std::size_t i = ascii_prefix(utf8);
    if (i == utf8.size()) return utf8;
    // No character is longer in CP949 than in UTF-8, and ASCII is copied eight bytes at a time:
    // eight to spare. Only grown, never shrunk: each growth fills.
    if (out_.size() < utf8.size() + 8) out_.resize(utf8.size() + 8);
    char* put = std::copy_n(utf8.data(), i, out_.data());
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            // ASCII, the same in CP949. Its runs between Korean words are short: a word of eight
            // bytes is copied whole, and only its ASCII ones are kept.
            if (i + 8 > utf8.size()) {
                *put++ = utf8[i++];
                continue;
            }
            std::uint64_t word;
            std::memcpy(&word, utf8.data() + i, 8);
            std::memcpy(put, &word, 8);
            const std::size_t ascii = ascii_bytes(word);
            i += ascii;
            put += ascii;
            continue;
        }
        // The character's code point, from its lead byte and its continuation bytes (10xxxxxx);
        // a form longer than it needs (overlong) is no character.
        const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(utf8[i + k]); };
        const auto continued = [&](std::size_t k) { return (byte(k) & 0xC0) == 0x80; };
        std::uint32_t code_point = 0;
        std::size_t length = 1;
        bool whole = false;
        if (lead >= 0xE0 && lead <= 0xEF && i + 2 < utf8.size()) {  // Hangul and the box: most text
            length = 3;
            code_point = (lead & 0x0Fu) << 12 | (byte(1) & 0x3Fu) << 6 | (byte(2) & 0x3Fu);
            whole = continued(1) && continued(2) && code_point >= 0x800;
        } else if (lead >= 0xC2 && lead <= 0xDF && i + 1 < utf8.size()) {
            length = 2;
            code_point = (lead & 0x1Fu) << 6 | (byte(1) & 0x3Fu);
            whole = continued(1);
        } else if (lead >= 0xF0 && lead <= 0xF4 && i + 3 < utf8.size()) {
            length = 4;
            code_point = (lead & 0x07u) << 18 | (byte(1) & 0x3Fu) << 12 | (byte(2) & 0x3Fu) << 6 | (byte(3) & 0x3Fu);
            whole = continued(1) && continued(2) && continued(3) && code_point >= 0x10000;
        }
        // CP949 has nothing beyond the first 65536 code points.
        std::uint16_t form = no_form;
        if (whole && code_point <= 0xFFFF) {
            const Row* row = rows_[code_point >> 8].get();
            form = row != nullptr ? (*row)[code_point & 0xFF] : 0;
            if (form == 0) form = learn(code_point, utf8.substr(i, length));
        }
        if (form == no_form) {
            *put++ = '?';
            i += whole ? length : 1;
            continue;
        }
        *put++ = static_cast<char>(form >> 8);
        *put++ = static_cast<char>(form & 0xFF);
        i += length;
    }
    return {out_.data(), static_cast<std::size_t>(put - out_.data())};
}

std::uint16_t ConsoleEncoder::learn(std::uint32_t code_point, std::string_view utf8) {
    auto& row = rows_[code_point >> 8];
    if (!row) row = std::make_unique<Row>();
    std::uint16_t& form = (*row)[code_point & 0xFF];
    const auto cp949 = to_cp949(utf8, &converter_);
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>((*cp949)[k]); };
    form = cp949 && cp949->size() == 2 ? static_cast<std::uint16_t>(byte(0) << 8 | byte(1)) : no_form;
    return form;
}

std::optional<std::string> stored_word(std::string_view typed, Encoding encoding) {
    // ASCII is the same in both encodings, and no byte of a two-byte CP949 character is below 0x41.
    for (const char c : typed) {
        if (is_control(static_cast<unsigned char>(c))) return std::nullopt;
    }
    if (ascii_prefix(typed) == typed.size()) return std::string(typed);
    std::optional<std::string> utf8;
    if (encoding == Encoding::cp949) {
        // Kept only when it would go out again as the very bytes typed.
        utf8 = to_utf8(typed);
        if (!utf8 || to_cp949(*utf8) != typed) return std::nullopt;
    } else {
        // Kept as CP949 gives it back, so that a word compares and shows as on a CP949 console.
        const auto cp949 = to_cp949(typed);
        if (!cp949) return std::nullopt;
        utf8 = to_utf8(*cp949);
        if (!utf8) return std::nullopt;
    }
    // U+0080..U+009F are C2 80..C2 9F.
    for (std::size_t i = 0; i + 1 < utf8->size(); ++i) {
        if ((*utf8)[i] == '\xC2' && static_cast<unsigned char>((*utf8)[i + 1]) <= 0x9F) return std::nullopt;
    }
    return utf8;
}

}  // namespace console
