// The programs' UTF-8 text put into the console's encoding as standard output writes it, fed
// the fuzzer's bytes in pieces, each flushed at once (the first byte picks the console, the
// second the size of the pieces). Checked for any bytes: on a UTF-8 console the output is the
// text with one filler, "─" or a blank, after each box-drawing character and nothing else
// changed, but for a character cut short at the very end, which never completes and so is
// never written; on a CP949 console every character written is valid CP949, and for text whose
// characters CP949 all has, the bytes are what iconv makes of it. Valid text comes out the
// same however it is cut.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "console/output.hpp"
#include "fuzz/valid_text.hpp"
#include "tests/support/iconv_text.hpp"
#include "tests/support/scripted_calls.hpp"

namespace {

// What standard output writes for `text` cut into pieces of `piece` bytes, each flushed at once.
std::string written(std::string_view text, std::size_t piece, console::Encoding encoding) {
    testing_support::ScriptedCalls calls;
    {
        console::ConsoleOutput output(1, calls, encoding);
        std::ostream out(&output);
        for (std::size_t at = 0; at < text.size(); at += piece) out << text.substr(at, piece) << std::flush;
    }
    return calls.written;
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

// Whether `tail` is the beginning of one well-formed character, and no more: some bytes to
// come complete it, and it is not whole already. Told by trying the completions on the strict
// UTF-8 check: only the first byte added can be narrowed (after E0, ED, F0 or F4), any
// continuation byte serves after it.
bool unfinished_character(std::string_view tail) {
    if (fuzzing::valid_utf8(tail)) return false;
    for (std::size_t more = 1; tail.size() + more <= 4; ++more) {
        for (int first = 0x80; first <= 0xBF; ++first) {
            std::string whole(tail);
            whole += static_cast<char>(first);
            whole.append(more - 1, '\x80');
            if (!fuzzing::valid_utf8(whole)) continue;
            // One character: none of its shorter beginnings is valid text by itself.
            bool one = true;
            for (std::size_t length = 1; one && length < whole.size(); ++length) {
                one = !fuzzing::valid_utf8(std::string_view(whole).substr(0, length));
            }
            if (one) return true;
        }
    }
    return false;
}

// Valid text followed by a character cut short: the valid text; otherwise nothing.
std::optional<std::string_view> before_cut_end(std::string_view text) {
    for (std::size_t back = 1; back <= 3 && back <= text.size(); ++back) {
        const std::string_view head = text.substr(0, text.size() - back);
        if (unfinished_character(text.substr(head.size())) && fuzzing::valid_utf8(head)) return head;
    }
    return std::nullopt;
}

void check_utf8(std::string_view text, const std::string& whole) {
    const std::string shown = without_fillers(whole);
    if (fuzzing::valid_utf8(text)) {
        if (shown != text) fuzzing::fail("valid text changed on a UTF-8 console", whole, 0);
        return;
    }
    if (const auto head = before_cut_end(text)) {
        if (shown != *head) fuzzing::fail("a character cut short at the end not held back, or more held", whole, 0);
        return;
    }
    // Broken text passes unchanged; at most the bytes of one character can be held at its end,
    // never an ASCII byte (a line end must come out).
    if (text.substr(0, shown.size()) != shown) fuzzing::fail("broken text changed on a UTF-8 console", whole, 0);
    const std::string_view held = text.substr(shown.size());
    if (held.size() > 3) fuzzing::fail("more than a character held back at the end", whole, 0);
    for (const char c : held) {
        if (static_cast<unsigned char>(c) < 0x80) fuzzing::fail("an ASCII byte held back at the end", whole, 0);
    }
}

void check_cp949(std::string_view text, const std::string& whole) {
    if (!testing_support::iconv_text("UTF-8", "CP949", whole)) fuzzing::fail("output that is not CP949", whole, 0);
    // What is written is the valid text, without a character cut short at its end.
    std::optional<std::string_view> kept = before_cut_end(text);
    if (fuzzing::valid_utf8(text)) kept = text;
    if (kept && fuzzing::cp949_prefix(*kept) == kept->size() &&
        std::optional<std::string>(whole) != testing_support::iconv_text("CP949", "UTF-8", *kept)) {
        fuzzing::fail("CP949 written differently from iconv", whole, 0);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const auto encoding = data[0] & 1 ? console::Encoding::cp949 : console::Encoding::utf8;
    const std::size_t piece = data[1] % 8 + 1;
    const std::string_view text(reinterpret_cast<const char*>(data) + 2, size - 2);

    const std::string whole = written(text, text.size() + 1, encoding);
    if (fuzzing::valid_utf8(text) && written(text, piece, encoding) != whole) {
        fuzzing::fail("cut text written differently", whole, 0);
    }
    if (encoding == console::Encoding::utf8) {
        check_utf8(text, whole);
    } else {
        check_cp949(text, whole);
    }
    return 0;
}
