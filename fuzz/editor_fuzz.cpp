// The line editor fed the fuzzer's bytes as keys: the first byte picks the console (UTF-8 or
// CP949), the second the terminal's width (2 to 200 columns), the third how many bytes arrive
// together (1 to 8, as keys typed or a paste). Checked for any keys: nothing is drawn past the
// last column but one; the row at each Enter shows the prompt and a run of the line's
// characters, none of them cut; every answer holds only bytes that were typed (a tab as a
// blank) and no control character; and valid text without an escape or a control character
// but the line ends answers exactly the lines typed, in order.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "console/editor.hpp"
#include "console/output.hpp"
#include "console/terminal.hpp"
#include "fuzz/valid_text.hpp"
#include "tests/support/iconv_text.hpp"
#include "tests/support/keyboard.hpp"

namespace {

// The line as the editor shows it: each character as typed, or "?".
std::string shown(std::string_view line, console::Encoding encoding) {
    std::string out;
    for (std::size_t at = 0; at < line.size();) {
        const console::TypedCharacter c = console::typed_character(line.substr(at), encoding, 1);
        out += c.shown ? line.substr(at, c.length) : "?";
        at += c.length;
    }
    return out;
}

std::array<std::size_t, 256> counts(std::string_view bytes) {
    std::array<std::size_t, 256> count{};
    for (const char c : bytes) ++count[static_cast<unsigned char>(c == '\t' ? ' ' : c)];
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    const auto encoding = data[0] & 1 ? console::Encoding::cp949 : console::Encoding::utf8;
    const int width = data[1] % 199 + 2;
    const std::size_t together = data[2] % 8 + 1;
    const std::string_view keys(reinterpret_cast<const char*>(data) + 3, size - 3);
    std::vector<std::string> bursts;
    for (std::size_t at = 0; at < keys.size(); at += together) bursts.emplace_back(keys.substr(at, together));

    // A prompt where it fits, in the console's encoding as the program's text would be.
    const std::string_view prompt = width > 9 ? "이름 : " : "";
    testing_support::Keyboard keyboard(bursts, width);
    console::Terminal terminal(-1, keyboard, encoding, true);
    console::ConsoleOutput output(1, keyboard, encoding);
    console::LineEditor editor(terminal, output);
    std::ostream out(&output);
    std::vector<std::string> answers;
    std::string line;
    const auto enters = static_cast<std::size_t>(std::count(keys.begin(), keys.end(), '\n') + std::count(keys.begin(), keys.end(), '\r'));
    for (;;) {
        out << prompt << std::flush;
        if (!editor.read_line(line)) break;
        answers.push_back(line);
        if (answers.size() > enters) fuzzing::fail("more answers than line ends typed", line, 0);
    }

    testing_support::ScreenRow row(width, [encoding](std::string_view bytes, std::size_t& length) {
        const console::TypedCharacter c = console::typed_character(bytes, encoding, 1);
        length = c.length;
        return bytes[0] == '?' || c.shown ? c.columns : -1;
    });
    row.show(keyboard.written);
    if (row.faults > 0) fuzzing::fail("drawn past the last column but one, or a character cut", keyboard.written, 0);
    const std::string on_screen_prompt = output.console_form(prompt);
    const auto typed = counts(keys);
    for (std::size_t k = 0; k < answers.size(); ++k) {
        const std::string& answer = answers[k];
        const auto used = counts(answer);
        for (std::size_t b = 0; b < 256; ++b) {
            if (used[b] > typed[b]) fuzzing::fail("a byte in the answer that was not typed", answer, 0);
            if (used[b] > 0 && (b < 0x20 || b == 0x7F)) fuzzing::fail("a control character in the answer", answer, 0);
        }
        const std::string& drawn = row.rows.at(k);
        if (drawn.substr(0, std::min(drawn.size(), on_screen_prompt.size())) != on_screen_prompt.substr(0, drawn.size()) ||
            shown(answer, encoding).find(drawn.substr(std::min(drawn.size(), on_screen_prompt.size()))) == std::string::npos) {
            fuzzing::fail("the row at Enter is not the prompt and a run of the line", drawn, 0);
        }
    }
    const bool plain = std::none_of(keys.begin(), keys.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return (b < 0x20 && c != '\n' && c != '\r') || b == 0x7F || c == '\x1b';
    });
    if (plain) {
        // Valid text without C1 controls (which are not inserted) answers as it was typed.
        std::vector<std::string> lines;
        std::string current;
        for (const char c : keys) {
            if (c == '\n' || c == '\r') {
                lines.push_back(current);
                current.clear();
            } else {
                current += c;
            }
        }
        const bool c1 = keys.find('\xC2') != std::string_view::npos;  // C2 80 to C2 9F, and a few more
        const bool valid = encoding == console::Encoding::utf8 ? fuzzing::valid_utf8(keys) && !c1
                                                               : testing_support::iconv_text("UTF-8", "CP949", keys).has_value();
        if (valid && lines != answers) fuzzing::fail("plain keys answered other lines than typed", keys, 0);
    }
    return 0;
}
