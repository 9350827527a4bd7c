// The programs' UTF-8 text put into the console's encoding as standard output writes it, fed
// the fuzzer's bytes in pieces, each written out at once (the first byte picks the console,
// the second the size of the pieces). Checked for any bytes: on a UTF-8 console the output is
// the text with one filler, "─" or a blank, after each box-drawing character and nothing else
// changed (but for a character cut short at the very end, never written); on a CP949 console
// every character written is valid CP949, and for text whose characters CP949 all has, the
// bytes are what iconv makes of it. Valid text comes out the same however it is cut.
#include <cstddef>
#include <cstdint>
#include <iconv.h>
#include <ostream>
#include <string>
#include <string_view>

#include "console/output.hpp"
#include "fuzz/valid_text.hpp"
#include "tests/support/scripted_calls.hpp"

namespace {

// What standard output writes for `text` cut into pieces of `piece` bytes, each written at once.
std::string written(std::string_view text, std::size_t piece, console::Encoding encoding) {
    testing_support::ScriptedCalls calls;
    {
        console::ConsoleOutput output(1, true, encoding, calls);
        std::ostream out(&output);
        for (std::size_t at = 0; at < text.size(); at += piece) out << text.substr(at, piece) << std::flush;
        output.write_held();
    }
    return calls.written;
}

std::string iconv_cp949(std::string_view text) {
    static const iconv_t cd = iconv_open("CP949", "UTF-8");
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::string out(text.size() + 8, '\0');
    char* in = const_cast<char*>(text.data());  // iconv's signature; the text is not changed
    std::size_t in_left = text.size();
    char* put = out.data();
    std::size_t out_left = out.size();
    iconv(cd, &in, &in_left, &put, &out_left);
    out.resize(out.size() - out_left);
    return out;
}

// The output without the filler that follows each box-drawing character (U+2500 to U+257F,
// E2 94 xx or E2 95 xx), checking that each filler is there and is "─" or a blank.
std::string without_fillers(const std::string& utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        out += utf8[i];
        if (utf8[i] != '\xE2' || i + 2 >= utf8.size() || (utf8[i + 1] != '\x94' && utf8[i + 1] != '\x95')) continue;
        out.append(utf8, i + 1, 2);
        i += 3;
        if (utf8.compare(i, 3, "─") == 0) {
            i += 2;
        } else if (i >= utf8.size() || utf8[i] != ' ') {
            fuzzing::fail("a box-drawing character without its filler", utf8, i);
        }
    }
    return out;
}

// `text` without a character cut short at its very end, which never completes and so is never
// written: its lead byte announces more continuation bytes (10xxxxxx) than follow it.
std::string_view without_cut_end(std::string_view text) {
    for (std::size_t back = 1; back <= 3 && back <= text.size(); ++back) {
        const auto b = static_cast<unsigned char>(text[text.size() - back]);
        if ((b & 0xC0) == 0x80) continue;
        const std::size_t needs = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        return needs > back ? text.substr(0, text.size() - back) : text;
    }
    return text;
}

// Every character of CP949 `text` is one that iconv knows.
bool valid_cp949(std::string_view text) {
    static const iconv_t cd = iconv_open("UTF-8", "CP949");
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(text.data());
    std::size_t in_left = text.size();
    std::string out(text.size() * 2 + 8, '\0');
    char* put = out.data();
    std::size_t out_left = out.size();
    return iconv(cd, &in, &in_left, &put, &out_left) != static_cast<std::size_t>(-1) && in_left == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const auto encoding = data[0] & 1 ? console::Encoding::cp949 : console::Encoding::utf8;
    const std::size_t piece = data[1] % 8 + 1;
    const std::string_view text(reinterpret_cast<const char*>(data) + 2, size - 2);
    const bool valid = fuzzing::valid_utf8(text);

    const std::string whole = written(text, text.size() + 1, encoding);
    if (valid && written(text, piece, encoding) != whole) fuzzing::fail("cut text written differently", whole, 0);
    if (encoding == console::Encoding::utf8) {
        if (without_fillers(whole) != without_cut_end(text)) fuzzing::fail("text changed on a UTF-8 console", whole, 0);
        return 0;
    }
    if (!valid_cp949(whole)) fuzzing::fail("output that is not CP949", whole, 0);
    if (valid && fuzzing::cp949_prefix(text) == text.size() && whole != iconv_cp949(text)) {
        fuzzing::fail("CP949 written differently from iconv", whole, 0);
    }
    return 0;
}
