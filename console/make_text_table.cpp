// Build tool of the UTF-8 console: reads the programs' UTF-8 sources and writes, as C++ table
// rows, the UTF-8 form of every CP949 character they hold, sorted by CP949 code. The programs'
// own texts are thus converted when they are built, and the C library's converter is loaded
// only for a character that comes from elsewhere (what a user typed).
//
//   make_text_table OUTPUT SOURCE...
#include <iconv.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>

namespace {

std::size_t utf8_length(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

std::string hex_bytes(const std::string& bytes) {
    std::string out;
    char cell[8];
    for (const char c : bytes) {
        std::snprintf(cell, sizeof cell, "\\x%02X", static_cast<unsigned>(static_cast<unsigned char>(c)));
        out += cell;
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_text_table OUTPUT SOURCE...\n");
        return 2;
    }
    // "UHC" is the code page's other name, for an iconv that lacks "CP949" (see cp949.hpp).
    iconv_t cd = iconv_open("CP949", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) cd = iconv_open("UHC", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        std::perror("make_text_table: iconv_open CP949");
        return 1;
    }
    std::map<unsigned, std::string> table;  // CP949 code -> UTF-8 bytes
    for (int i = 2; i < argc; ++i) {
        std::ifstream file(argv[i], std::ios::binary);
        if (!file) {
            std::fprintf(stderr, "make_text_table: cannot read %s\n", argv[i]);
            return 1;
        }
        const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t length = utf8_length(static_cast<unsigned char>(text[at]));
            if (length == 0 || at + length > text.size()) {
                ++at;
                continue;
            }
            std::string utf8 = text.substr(at, length);
            at += length;
            char out[8];
            char* in_ptr = utf8.data();
            std::size_t in_left = utf8.size();
            char* out_ptr = out;
            std::size_t out_left = sizeof out;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            // A character CP949 lacks (in a comment, say) is no program text: left out.
            if (iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left) == static_cast<std::size_t>(-1)) continue;
            if (out_ptr - out != 2) continue;
            const unsigned code = static_cast<unsigned>(static_cast<unsigned char>(out[0])) << 8 |
                                  static_cast<unsigned char>(out[1]);
            table.emplace(code, std::move(utf8));
        }
    }
    iconv_close(cd);

    std::ostringstream rows;
    rows << "// Made by make_text_table from the programs' sources; rows of {CP949 code, UTF-8}.\n";
    for (const auto& [code, utf8] : table) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "0x%04X", code);
        rows << "{" << hex << ", \"" << hex_bytes(utf8) << "\"},\n";
    }
    std::ofstream output(argv[1], std::ios::binary | std::ios::trunc);
    output << rows.str();
    return output ? 0 : 1;
}
