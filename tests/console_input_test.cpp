#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "console/input.hpp"
#include "support/capture.hpp"

namespace {

using console::IntToken;
using console::Token;
using testing_support::ScopedConsole;

constexpr std::string_view refusal = "정수(-2147483648 ~ 2147483647)를 입력하세요.\n";

struct TokenCase {
    std::string input;
    Token status;
    std::int32_t value;
    std::string rest;  // what the next read sees
};

void PrintTo(const TokenCase& c, std::ostream* os) { *os << testing::PrintToString(c.input.substr(0, 24)); }

class IntTokenTest : public testing::TestWithParam<TokenCase> {};

TEST_P(IntTokenTest, JudgesTheWholeToken) {
    const TokenCase& c = GetParam();
    std::stringbuf in(c.input);
    const IntToken token = console::read_int_token(in);
    EXPECT_EQ(token.status, c.status) << c.input;
    if (c.status == Token::accepted) {
        EXPECT_EQ(token.value, c.value);
    }
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(&in), {}), c.rest);
}

INSTANTIATE_TEST_SUITE_P(
    Tokens, IntTokenTest,
    testing::Values(TokenCase{"42", Token::accepted, 42, ""}, TokenCase{"  \n\t 7\n", Token::accepted, 7, "\n"},
                    TokenCase{"+7 8", Token::accepted, 7, " 8"}, TokenCase{"-0", Token::accepted, 0, ""},
                    TokenCase{"2147483647", Token::accepted, 2147483647, ""},
                    TokenCase{"-2147483648", Token::accepted, -2147483647 - 1, ""},
                    TokenCase{"0002147483647", Token::accepted, 2147483647, ""},
                    TokenCase{"2147483648", Token::refused, 0, ""}, TokenCase{"-2147483649", Token::refused, 0, ""},
                    TokenCase{"99999999999999999999999", Token::refused, 0, ""},
                    TokenCase{"12abc rest", Token::refused, 0, " rest"}, TokenCase{"3.5", Token::refused, 0, ""},
                    TokenCase{"abc", Token::refused, 0, ""}, TokenCase{"+", Token::refused, 0, ""},
                    TokenCase{"-", Token::refused, 0, ""}, TokenCase{"--5", Token::refused, 0, ""},
                    TokenCase{"5-", Token::refused, 0, ""}, TokenCase{std::string("1\0" "2", 3), Token::refused, 0, ""},
                    TokenCase{"", Token::end, 0, ""}, TokenCase{" \n\n \t", Token::end, 0, ""}));

TEST(IntToken, LongTokenIsRefusedWhole) {
    std::stringbuf in(std::string(1 << 20, '7') + "\n5");
    EXPECT_EQ(console::read_int_token(in).status, Token::refused);
    const IntToken next = console::read_int_token(in);
    EXPECT_EQ(next.status, Token::accepted);
    EXPECT_EQ(next.value, 5);
}

TEST(WordToken, EndsBeforeWhiteSpace) {
    std::stringbuf in("  Kim Lee\nPark");
    std::string word;
    ASSERT_TRUE(console::read_word_token(in, word));
    EXPECT_EQ(word, "Kim");
    ASSERT_TRUE(console::read_word_token(in, word));
    EXPECT_EQ(word, "Lee");
    ASSERT_TRUE(console::read_word_token(in, word));
    EXPECT_EQ(word, "Park");
    EXPECT_FALSE(console::read_word_token(in, word));
}

TEST(AskInt, RefusedTokenDropsTheRestOfItsLineAndAsksAgain) {
    ScopedConsole console("12abc 99 98\n  x\n-3 4");
    EXPECT_EQ(console::ask_int("수 : "), -3);
    EXPECT_EQ(console.output(), "수 : " + std::string(refusal) + "수 : " + std::string(refusal) + "수 : ");
    EXPECT_EQ(console.rest(), " 4");
}

TEST(AskInt, SeveralAnswersOnOneLineAnswerPromptsInTurn) {
    ScopedConsole console("3 4\n");
    EXPECT_EQ(console::ask_int("a : "), 3);
    EXPECT_EQ(console::ask_int("b : "), 4);
    EXPECT_EQ(console.output(), "a : b : ");
}

TEST(AskInt, EndOfInputThrows) {
    ScopedConsole console("  \n");
    EXPECT_THROW(console::ask_int("a : "), console::EndOfInput);
    ScopedConsole refused_then_end("abc");
    EXPECT_THROW(console::ask_int("a : "), console::EndOfInput);
    EXPECT_EQ(refused_then_end.output(), "a : " + std::string(refusal) + "a : ");
}

TEST(AskChoice, EndOfInputIsNoChoice) {
    ScopedConsole console("");
    EXPECT_EQ(console::ask_choice("입력 : "), std::nullopt);
    EXPECT_EQ(console.output(), "입력 : ");
}

TEST(AskWord, ReadsOneWordAndLeavesTheRest) {
    ScopedConsole console("\n Hong Gil\n");
    EXPECT_EQ(console::ask_word("이름 : "), "Hong");
    EXPECT_EQ(console.rest(), " Gil\n");
    ScopedConsole empty(" \n");
    EXPECT_THROW(console::ask_word("이름 : "), console::EndOfInput);
}

#if CONSOLE_UTF8
TEST(AskWord, Utf8WordIsStoredInCp949) {
    ScopedConsole console("\xED\x99\x8D\xEA\xB8\xB8\xEB\x8F\x99\n");  // 홍길동 in UTF-8
    EXPECT_EQ(console::ask_word("이름 : "), "홍길동");               // the literal is CP949
}

TEST(AskWord, WordCp949CannotHoldIsRefused) {
    const std::string message = "사용할 수 없는 문자가 있습니다. 다시 입력하세요.\n";
    // Invalid UTF-8, then an emoji (not in CP949), then a good word.
    ScopedConsole console("\xFF\xFE rest of line\n\xF0\x9F\x98\x80\nKim");
    EXPECT_EQ(console::ask_word("이름 : "), "Kim");
    EXPECT_EQ(console.output(), "이름 : " + message + "이름 : " + message + "이름 : ");
}
#endif

}  // namespace
