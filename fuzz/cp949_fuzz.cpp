// The CP949 to UTF-8 output conversion, fed the fuzzer's bytes in pieces of every size
// (empty ones included): the bytes out are the same however the text is cut, always valid
// UTF-8, and for valid CP949 (the text up to its first broken character) they are what iconv
// makes of it, each box-drawing character followed by its one filler.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iconv.h>
#include <string>
#include <string_view>

#include "console/cp949.hpp"
#include "fuzz/valid_text.hpp"

namespace {

std::string convert_whole(std::string_view text) {
    console::Cp949ToUtf8 converter;
    std::string out;
    converter.convert(text, out);
    converter.finish(out);
    return out;
}

// Cuts `text` where `cuts` says: each byte of it is the size of the next piece, 0 to 7.
std::string convert_in_pieces(std::string_view text, std::string_view cuts) {
    console::Cp949ToUtf8 converter;
    std::string out;
    std::size_t at = 0;
    for (std::size_t i = 0; at < text.size(); ++i) {
        const std::size_t piece = cuts.empty() ? 1 : static_cast<unsigned char>(cuts[i % cuts.size()]) % 8u;
        const std::size_t size = std::min(piece, text.size() - at);
        converter.convert(text.substr(at, size), out);
        at += size;
        if (piece == 0 && i % cuts.size() == cuts.size() - 1 && at < text.size()) {
            converter.convert(text.substr(at, 1), out);  // a pattern of empty pieces alone would never end
            ++at;
        }
    }
    converter.finish(out);
    return out;
}

// iconv's UTF-8 for a valid CP949 text.
std::string iconv_utf8(std::string_view text) {
    static const iconv_t cd = iconv_open("UTF-8", "CP949");
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::string out(text.size() * 2 + 8, '\0');  // a CP949 byte never needs more than 2 UTF-8 bytes
    char* in = const_cast<char*>(text.data());  // iconv's signature; the text is not changed
    std::size_t in_left = text.size();
    char* put = out.data();
    std::size_t out_left = out.size();
    iconv(cd, &in, &in_left, &put, &out_left);
    out.resize(out.size() - out_left);
    return out;
}

// The converted text without the filler that follows each box-drawing character (U+2500 to
// U+257F, E2 94 xx or E2 95 xx), checking that each filler is there and is "─" or a blank.
std::string without_fillers(const std::string& utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const bool box = utf8.size() - i >= 3 && static_cast<unsigned char>(utf8[i]) == 0xE2 &&
                         (static_cast<unsigned char>(utf8[i + 1]) == 0x94 || static_cast<unsigned char>(utf8[i + 1]) == 0x95);
        if (!box) {
            out.push_back(utf8[i++]);
            continue;
        }
        out.append(utf8, i, 3);
        i += 3;
        if (utf8.compare(i, 3, "\xE2\x94\x80") == 0) {
            i += 3;
        } else if (i < utf8.size() && utf8[i] == ' ') {
            i += 1;
        } else {
            fuzzing::fail("box-drawing character without its filler", utf8, i);
        }
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first byte tells how many of the following bytes describe the cuts.
    if (size == 0) return 0;
    const std::string_view all(reinterpret_cast<const char*>(data), size);
    const std::size_t cut_bytes = std::min<std::size_t>(static_cast<unsigned char>(all[0]) % 8u, size - 1);
    const std::string_view cuts = all.substr(1, cut_bytes);
    const std::string_view text = all.substr(1 + cut_bytes);

    const std::string whole = convert_whole(text);
    if (!fuzzing::valid_utf8(whole)) fuzzing::fail("converted text is not valid UTF-8", whole, 0);
    const std::string pieces = convert_in_pieces(text, cuts);
    if (pieces != whole) {
        std::size_t differ = 0;
        while (differ < pieces.size() && differ < whole.size() && pieces[differ] == whole[differ]) ++differ;
        fuzzing::fail("cutting the text changed the bytes out", pieces, differ);
    }
    // The valid part of the text, up to its first broken character, converts as iconv has it.
    const std::string_view valid = text.substr(0, fuzzing::valid_cp949_prefix(text));
    const std::string valid_whole = convert_whole(valid);
    if (without_fillers(valid_whole) != iconv_utf8(valid)) {
        fuzzing::fail("valid CP949 converted differently from iconv", valid_whole, 0);
    }
    return 0;
}
