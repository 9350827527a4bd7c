#include "cp949.hpp"

#include <iconv.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <iterator>
#include <cstdint>
#include <cstring>
#include <stdexcept>

namespace console {
namespace {

constexpr std::string_view replacement = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

bool failed(iconv_t cd) { return cd == reinterpret_cast<iconv_t>(-1); }

bool is_lead(unsigned char b) { return b >= 0x81 && b <= 0xFE; }
bool is_trail(unsigned char b) {
    return (b >= 0x41 && b <= 0x5A) || (b >= 0x61 && b <= 0x7A) || (b >= 0x81 && b <= 0xFE);
}

// Box-drawing block U+2500..U+257F: bit set where the character's stroke reaches the right
// edge of its cell (names with RIGHT or HORIZONTAL, diagonals excluded).
constexpr std::uint64_t right_stroke_low = 0xfffff00ff0f0f333ULL;
constexpr std::uint64_t right_stroke_high = 0x54413ff1c71d3fffULL;

// How many bytes at the start of `text` are ASCII; eight at a time, since most output is.
std::size_t ascii_prefix(const char* text, std::size_t size) {
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text + i, sizeof word);
        if ((word & 0x8080808080808080ULL) != 0) break;
    }
    while (i < size && static_cast<unsigned char>(text[i]) < 0x80) ++i;
    return i;
}

// The filler that keeps a box-drawing character two columns wide, or nothing for any other.
std::string_view filler_after(std::string_view utf8) {
    // U+2500..U+257F is E2 94 80 .. E2 95 BF.
    if (utf8.size() != 3 || static_cast<unsigned char>(utf8[0]) != 0xE2) return {};
    const auto second = static_cast<unsigned char>(utf8[1]);
    if (second != 0x94 && second != 0x95) return {};
    const unsigned offset = (second - 0x94u) * 64u + (static_cast<unsigned char>(utf8[2]) & 0x3Fu);
    const std::uint64_t word = offset < 64 ? right_stroke_low : right_stroke_high;
    return ((word >> (offset % 64)) & 1u) != 0 ? std::string_view("\xE2\x94\x80") : std::string_view(" ");
}

// Copies a character's cell, all eight bytes at once; the bytes past its size are written
// over by what follows, or lie past the end of the converted text.
char* put_cell(char* out, const Cp949ToUtf8::Cell& cell) {
    static_assert(sizeof(Cp949ToUtf8::Cell) == 8);
    std::memcpy(out, &cell, sizeof cell);
    return out + (cell.size & ~Cp949ToUtf8::lead_only);
}

char* put_replacement(char* out) { return out + replacement.copy(out, replacement.size()); }

// Runs iconv over a whole, complete input; false on any invalid or unmappable sequence.
bool convert_all(iconv_t cd, std::string_view in, char* out, std::size_t& out_size) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* in_ptr = const_cast<char*>(in.data());  // iconv's signature; the input is not changed
    std::size_t in_left = in.size();
    char* out_ptr = out;
    std::size_t out_left = out_size;
    if (iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left) == static_cast<std::size_t>(-1) || in_left != 0) {
        return false;
    }
    if (iconv(cd, nullptr, nullptr, &out_ptr, &out_left) == static_cast<std::size_t>(-1)) return false;
    out_size = static_cast<std::size_t>(out_ptr - out);
    return true;
}

// Every character of the programs' own texts, converted when they were built (see
// make_text_table.cpp), sorted by code: those never need the C library's converter.
struct KnownCharacter {
    std::uint16_t code;
    const char* utf8;
};
constexpr KnownCharacter known_characters[] = {
#include "program_text_table.inc"
};

std::optional<std::string_view> known_utf8(unsigned char lead, unsigned char trail) {
    const auto code = static_cast<std::uint16_t>(lead << 8 | trail);
    const auto* found = std::lower_bound(std::begin(known_characters), std::end(known_characters), code,
                                         [](const KnownCharacter& known, std::uint16_t wanted) { return known.code < wanted; });
    if (found == std::end(known_characters) || found->code != code) return std::nullopt;
    return std::string_view(found->utf8);
}

}  // namespace

void* open_cp949(const char* to, const char* from) {
    for (const char* name : {"CP949", "UHC"}) {
        const bool to_cp949 = std::strcmp(to, "CP949") == 0;
        const iconv_t cd = iconv_open(to_cp949 ? name : to, to_cp949 ? from : name);
        if (!failed(cd)) return cd;
    }
    return reinterpret_cast<void*>(-1);
}

Cp949ToUtf8::~Cp949ToUtf8() {
    if (descriptor_) iconv_close(static_cast<iconv_t>(descriptor_));
}

const Cp949ToUtf8::Cell& Cp949ToUtf8::fill(unsigned char lead, unsigned char trail) {
    auto& row = rows_[lead];
    if (!row) row = std::make_unique<Row>();
    Cell& entry = (*row)[trail];

    char out[4];
    std::string_view utf8 = replacement;  // a pair that is no character
    if (!is_lead(lead) || !is_trail(trail)) {
        entry.size = lead_only;  // the lead byte alone is broken; the next byte starts afresh
    } else if (const auto known = known_utf8(lead, trail)) {
        utf8 = *known;
    } else {
        if (!descriptor_) {
            const auto cd = static_cast<iconv_t>(open_cp949("UTF-8", "CP949"));
            if (failed(cd)) throw std::runtime_error("iconv cannot convert CP949 to UTF-8");
            descriptor_ = cd;
        }
        const char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        std::size_t size = sizeof out;
        if (convert_all(static_cast<iconv_t>(descriptor_), std::string_view(in, 2), out, size)) {
            utf8 = std::string_view(out, size);
        }
    }
    const std::string_view filler = filler_after(utf8);
    utf8.copy(entry.bytes.data(), utf8.size());
    filler.copy(entry.bytes.data() + utf8.size(), filler.size());
    entry.size = static_cast<std::uint8_t>(entry.size | (utf8.size() + filler.size()));
    return entry;
}

void Cp949ToUtf8::convert(std::string_view in, std::string& out) {
    const std::size_t old_size = out.size();
    out.resize(old_size + most_converted(in.size()));
    out.resize(old_size + convert(in, out.data() + old_size));
}

std::size_t Cp949ToUtf8::convert(std::string_view in, char* const out) {
    char* put = out;
    const char* p = in.data();
    const char* const end = p + in.size();
    if (pending_lead_ >= 0 && p != end) {
        const Cell& held = cell(static_cast<unsigned char>(pending_lead_), static_cast<unsigned char>(*p));
        pending_lead_ = -1;
        put = put_cell(put, held);
        p += (held.size & lead_only) != 0 ? 0 : 1;
    }
    while (p != end) {
        // ASCII goes through as it is, eight bytes at a time, each word copied whole before it
        // is checked: the first byte at or above 0x80 ends the run, and only the bytes before
        // it count (the rest are written over).
        if (static_cast<unsigned char>(*p) < 0x80) {
            while (end - p >= 8) {
                std::uint64_t word;
                std::memcpy(&word, p, sizeof word);
                std::memcpy(put, &word, sizeof word);
                const std::uint64_t high = word & 0x8080808080808080ULL;
                if (high == 0) {
                    p += 8;
                    put += 8;
                    continue;
                }
                const auto ascii = static_cast<std::size_t>(
                    (std::endian::native == std::endian::little ? std::countr_zero(high) : std::countl_zero(high)) / 8);
                p += ascii;
                put += ascii;
                break;
            }
            while (p != end && static_cast<unsigned char>(*p) < 0x80) *put++ = *p++;
            if (p == end) break;
        }
        const auto lead = static_cast<unsigned char>(*p);
        if (end - p == 1) {
            if (is_lead(lead)) {
                pending_lead_ = lead;  // its second byte comes with the next call
            } else {
                put = put_replacement(put);
            }
            break;
        }
        const Cell& pair = cell(lead, static_cast<unsigned char>(p[1]));
        put = put_cell(put, pair);
        p += (pair.size & lead_only) != 0 ? 1 : 2;
    }
    return static_cast<std::size_t>(put - out);
}

void Cp949ToUtf8::finish(std::string& out) {
    if (pending_lead_ >= 0) out.append(replacement);
    pending_lead_ = -1;
}

std::optional<std::string> utf8_to_cp949(std::string_view utf8) {
    if (ascii_prefix(utf8.data(), utf8.size()) == utf8.size()) return std::string(utf8);  // the same in both
    const auto cd = static_cast<iconv_t>(open_cp949("CP949", "UTF-8"));
    if (failed(cd)) throw std::runtime_error("iconv cannot convert UTF-8 to CP949");
    // No character grows from UTF-8 to CP949: one byte stays one, two or more become two.
    std::string out(utf8.size(), '\0');
    std::size_t size = out.size();
    const bool ok = convert_all(cd, utf8, out.data(), size);
    iconv_close(cd);
    if (!ok) return std::nullopt;
    out.resize(size);
    return out;
}

}  // namespace console
