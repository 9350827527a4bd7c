#include "console_text.hpp"

#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <utility>

#include "iconv_text.hpp"

namespace testing_support {
namespace {

// Deliberately simple and separate from the programs' encoder: whole text at once, and the
// filler rule spelled out for the box-drawing characters the programs use.
std::string to_cp949(std::string_view utf8) {
    auto cp949 = iconv_text("CP949", "UTF-8", utf8);
    if (!cp949) throw std::runtime_error("text has no CP949 form");
    return std::move(*cp949);
}

std::string with_box_fillers(std::string_view utf8) {
    constexpr std::string_view runs_right[] = {"┌", "└", "─", "├", "┬", "┴", "┼"};
    constexpr std::string_view stops[] = {"┐", "┘", "│", "┤"};
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        const std::string_view ch = utf8.substr(i, length);
        out.append(ch);
        i += length;
        for (auto box : runs_right) {
            if (ch == box) out.append("─");
        }
        for (auto box : stops) {
            if (ch == box) out.append(" ");
        }
    }
    return out;
}

}  // namespace

console::Encoding console_encoding() {
    const char* locale = std::getenv("LC_ALL");
    return locale != nullptr && std::strstr(locale, "CP949") != nullptr ? console::Encoding::cp949
                                                                        : console::Encoding::utf8;
}

std::string on_console(std::string_view text) {
    return console_encoding() == console::Encoding::cp949 ? to_cp949(text) : with_box_fillers(text);
}

std::string typed(std::string_view text) {
    return console_encoding() == console::Encoding::cp949 ? to_cp949(text) : std::string(text);
}

}  // namespace testing_support
