#include <gtest/gtest.h>

#include "console/services.hpp"

namespace {

TEST(KeyBytesMissing, KnowsWhereAKeyEnds) {
    struct Case {
        std::string_view bytes;
        std::size_t missing;
        console::Encoding encoding = console::Encoding::utf8;
    };
    using console::Encoding;
    const Case cases[] = {
        {"a", 0},
        {"\n", 0},
        {"\x1b", 1},             // Escape alone: wait briefly for a sequence
        {"\x1b[", 1},
        {"\x1b[A", 0},           // arrow up
        {"\x1b[1;5", 1},
        {"\x1b[1;5C", 0},        // Ctrl-arrow
        {"\x1b[15~", 0},         // F5
        {"\x1bO", 1},
        {"\x1bOP", 0},           // F1
        {"\x1b" "a", 0},         // Alt-a
        {"\xEA", 2},             // first byte of a Korean syllable in UTF-8
        {"\xEA\xB0", 1},
        {"\xEA\xB0\x80", 0},
        {"\xC3", 1},
        {"\xF0\x9F", 2},
        {"\xFF", 0},
        {"\xB0", 1, Encoding::cp949},      // a lead byte of CP949: its trail byte follows
        {"\xB0\xA1", 0, Encoding::cp949},  // 가
        {"\x81", 1, Encoding::cp949},      // the lowest lead byte
        {"\xFE", 1, Encoding::cp949},      // and the highest
        {"\x80", 0, Encoding::cp949},      // no lead byte
        {"\xFF", 0, Encoding::cp949},
        {"\xEA", 1, Encoding::cp949},      // a UTF-8 lead byte is a CP949 lead byte of two
        {"\x1b[A", 0, Encoding::cp949},
        {"\x1b[", 1, Encoding::cp949},
    };
    for (const Case& c : cases) EXPECT_EQ(console::key_bytes_missing(c.bytes, c.encoding), c.missing) << testing::PrintToString(std::string(c.bytes));
}

}  // namespace
