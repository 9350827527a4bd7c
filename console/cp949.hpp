#pragma once
// CP949 <-> UTF-8 for consoles that do not use code page 949.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace console {

// Converts a CP949 byte stream to UTF-8 chunk by chunk. A two-byte character whose bytes
// arrive in separate chunks is held back until its second byte comes, so it is converted whole.
//
// A UTF-8 terminal draws box-drawing characters one column wide where a code-page-949 console
// draws them two wide; each one is therefore followed by a filler ("─" when its stroke runs on
// to the right, a blank otherwise), so frames keep their shape and width.
//
// Each distinct character is converted by the C library's iconv once, and its UTF-8 bytes,
// filler included, are kept a row of characters at a time, because the same few characters
// repeat endlessly (a box drawn line by line, the menus). iconv is opened at the first
// character that needs it, so output that stays ASCII never loads a converter.
class Cp949ToUtf8 {
public:
    Cp949ToUtf8() = default;
    ~Cp949ToUtf8();
    Cp949ToUtf8(const Cp949ToUtf8&) = delete;
    Cp949ToUtf8& operator=(const Cp949ToUtf8&) = delete;

    // Appends the UTF-8 form of `in` to `out`; a trailing lead byte waits for the next call.
    void convert(std::string_view in, std::string& out);
    // The same into `out`, which has room for most_converted(in.size()) bytes; returns how
    // many it wrote.
    std::size_t convert(std::string_view in, char* out);
    // The most bytes that converting `size` bytes can give: a byte becomes at most three
    // (a broken one U+FFFD), a character of two at most six (three and a filler of three),
    // and a held lead byte adds one character; a character's cell is copied whole, so a few
    // bytes beyond the end may be written over.
    static constexpr std::size_t most_converted(std::size_t size) { return 3 * size + 16; }
    // No lead byte is waiting for its second byte.
    bool idle() const { return pending_lead_ < 0; }
    // Ends the stream: a lead byte still waiting becomes U+FFFD.
    void finish(std::string& out);

    // What a lead byte and the byte after it become: a character's UTF-8 bytes and filler,
    // copied as one 8-byte word, and how many of the two bytes that takes.
    struct Cell {
        std::array<char, 7> bytes{};
        std::uint8_t size = 0;  // bytes written, and lead_only when the second byte is not taken
    };
    static constexpr std::uint8_t lead_only = 0x80;  // not a pair: U+FFFD, the second byte read again

private:
    // Indexed by the bytes themselves, every trail byte included, so the conversion loop
    // checks nothing before it looks a pair up; a row is made at its lead byte's first sight.
    using Row = std::array<Cell, 256>;

    const Cell& cell(unsigned char lead, unsigned char trail) {
        // Kept small, so that it is inlined into the conversion loop; a first sight goes to fill.
        if (const Row* row = rows_[lead].get()) {
            const Cell& entry = (*row)[trail];
            if (entry.size != 0) return entry;
        }
        return fill(lead, trail);
    }
    const Cell& fill(unsigned char lead, unsigned char trail);

    void* descriptor_ = nullptr;  // iconv_t once opened, kept out of the header
    std::array<std::unique_ptr<Row>, 256> rows_{};
    int pending_lead_ = -1;
};

// An iconv descriptor between CP949 and `other` (one direction or the other), or (iconv_t)-1.
// glibc and GNU libiconv (macOS up to 13) know the code page as "CP949"; others, FreeBSD's
// iconv among them (macOS from 14), may know it only as "UHC", its other name, tried next.
// EUC-KR is no substitute: it lacks the 8822 syllables CP949 adds.
void* open_cp949(const char* to, const char* from);

// The CP949 form of UTF-8 text, or nothing when the text is not valid UTF-8 or holds a
// character that CP949 lacks.
std::optional<std::string> utf8_to_cp949(std::string_view utf8);

}  // namespace console
