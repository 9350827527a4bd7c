#include <gtest/gtest.h>

#include <cctype>
#include <cerrno>
#include <deque>
#include <optional>
#include <ostream>
#include <sstream>
#include <vector>
#include <string>

#include "console/encoding.hpp"
#include "console/input.hpp"
#include "console/output.hpp"
#include "support/capture.hpp"
#include "support/scripted_calls.hpp"

namespace {

using console::IntToken;
using console::Token;
using testing_support::ScopedConsole;
using testing_support::TextInput;


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
    // Whole, and a byte a time: a token split across reads is judged alike.
    for (const std::size_t piece : {TextInput::whole(), std::size_t{1}}) {
        TextInput text(c.input, piece);
        const IntToken token = console::read_int_token(text.in);
        EXPECT_EQ(token.status, c.status) << c.input;
        if (c.status == Token::accepted) {
            EXPECT_EQ(token.value, c.value);
        }
        EXPECT_EQ(text.rest(), c.rest);
    }
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
    TextInput text(std::string(1 << 20, '7') + "\n5");
    EXPECT_EQ(console::read_int_token(text.in).status, Token::refused);
    const IntToken next = console::read_int_token(text.in);
    EXPECT_EQ(next.status, Token::accepted);
    EXPECT_EQ(next.value, 5);
}

TEST(WordToken, EndsBeforeWhiteSpace) {
    TextInput text("  Kim Lee\nPark", 2);
    std::string word;
    ASSERT_TRUE(console::read_word_token(text.in, word));
    EXPECT_EQ(word, "Kim");
    ASSERT_TRUE(console::read_word_token(text.in, word));
    EXPECT_EQ(word, "Lee");
    ASSERT_TRUE(console::read_word_token(text.in, word));
    EXPECT_EQ(word, "Park");
    EXPECT_FALSE(console::read_word_token(text.in, word));
}

// The prompts as a dialogue meets them: integers, a menu's choice (where the end of input is
// no choice) and words, with what each is answered, what is written, and what is left unread.
enum class Ask { integer, choice, word };

struct AskCase {
    const char* what;
    std::string input;
    std::vector<Ask> asks;
    std::vector<std::string> answers;  // "end" where the input ended
    std::string output;
    std::string rest;
};

void PrintTo(const AskCase& c, std::ostream* os) { *os << c.what; }

class Asking : public testing::TestWithParam<AskCase> {};

TEST_P(Asking, AnswersWritesAndLeaves) {
    const AskCase& c = GetParam();
    ScopedConsole console(c.input);
    std::vector<std::string> answers;
    for (const Ask ask : c.asks) {
        try {
            if (ask == Ask::integer) answers.push_back(std::to_string(console::ask_int("a : ")));
            if (ask == Ask::choice) {
                const auto choice = console::ask_choice("입력 : ");
                answers.push_back(choice ? std::to_string(*choice) : "end");
            }
            if (ask == Ask::word) answers.push_back(console::ask_word("이름 : "));
        } catch (const console::EndOfInput&) {
            answers.push_back("end");
        }
    }
    EXPECT_EQ(answers, c.answers);
    EXPECT_EQ(console.output(), c.output);
    EXPECT_EQ(console.rest(), c.rest);
}

const std::string refused = "정수(-2147483648 ~ 2147483647)를 입력하세요.\n";
const std::string unusable = "사용할 수 없는 문자가 있습니다. 다시 입력하세요.\n";

INSTANTIATE_TEST_SUITE_P(
    Prompts, Asking,
    testing::Values(
        AskCase{"refused tokens drop their lines", "12abc 99 98\n  x\n-3 4", {Ask::integer}, {"-3"},
                "a : " + refused + "a : " + refused + "a : ", " 4"},
        AskCase{"answers on one line", "3 4\n", {Ask::integer, Ask::integer}, {"3", "4"}, "a : a : ", "\n"},
        AskCase{"end of input", "  \n", {Ask::integer}, {"end"}, "a : ", ""},
        AskCase{"refused, then the end", "abc", {Ask::integer}, {"end"}, "a : " + refused + "a : ", ""},
        AskCase{"no choice at the end", "", {Ask::choice}, {"end"}, "입력 : ", ""},
        AskCase{"a refused choice is asked again", "x\n2", {Ask::choice}, {"2"}, "입력 : " + refused + "입력 : ", ""},
        AskCase{"one word, the rest left", "\n Hong Gil\n", {Ask::word}, {"Hong"}, "이름 : ", " Gil\n"},
        AskCase{"no word at the end", " \n", {Ask::word}, {"end"}, "이름 : ", ""},
        AskCase{"a Korean word is kept as UTF-8", testing_support::typed("홍길동\n"), {Ask::word}, {"홍길동"}, "이름 : ", "\n"},
        // Invalid in either encoding, then an emoji (not in CP949), then a good word.
        AskCase{"words CP949 cannot hold", "\xFF\xFE rest of line\n\xF0\x9F\x98\x80\nKim", {Ask::word}, {"Kim"},
                "이름 : " + unusable + "이름 : " + unusable + "이름 : ", ""},
        AskCase{"a refused word drops its line", "K\x1b[2Jim rest\nLee", {Ask::word}, {"Lee"},
                "이름 : " + unusable + "이름 : ", ""}),
    [](const testing::TestParamInfo<AskCase>& param) {
        std::string name;  // "a refused word" -> "ARefusedWord"
        for (const char* c = param.param.what; *c != '\0'; ++c) {
            if (std::isalnum(static_cast<unsigned char>(*c))) name += name.empty() || c[-1] == ' ' ? static_cast<char>(std::toupper(*c)) : *c;
        }
        return name;
    });

// What a word typed at the name prompts becomes: kept (as UTF-8) or refused. A name is written
// back on the cards, so nothing in it may act on the terminal or pair with the bytes after it,
// and a CP949 console must get back the very bytes that were typed.
TEST(StoredWord, KeepsPlainTextAndRefusesWhatCouldActOnTheConsole) {
    using console::Encoding;
    struct Case {
        const char* what;
        Encoding console;
        std::string typed;
        std::optional<std::string> stored;
    };
    const std::vector<Case> cases = {
        {"ascii", Encoding::utf8, "Kim", "Kim"},
        {"ascii", Encoding::cp949, "Kim", "Kim"},
        {"escape sequence", Encoding::utf8, "K\x1b]0;pwned\x07im", std::nullopt},
        {"escape alone", Encoding::cp949, "\x1b", std::nullopt},
        {"nul", Encoding::utf8, std::string("a\0b", 3), std::nullopt},
        {"bell", Encoding::cp949, "a\x07", std::nullopt},
        {"delete", Encoding::utf8, "a\x7f", std::nullopt},
        {"backspace", Encoding::cp949, "\x08", std::nullopt},
        {"korean", Encoding::utf8, "홍길동", "홍길동"},
        {"korean", Encoding::cp949, "\xC8\xAB\xB1\xE6\xB5\xBF", "홍길동"},
        {"box drawing", Encoding::utf8, "┌─", "┌─"},
        {"c1 control U+0085", Encoding::utf8, "a\xC2\x85", std::nullopt},
        {"c1 control U+009F", Encoding::utf8, "\xC2\x9F", std::nullopt},
        {"cut character", Encoding::utf8, "\xED\x99", std::nullopt},
        {"no CP949 form", Encoding::utf8, "\xE0\xB8\x81", std::nullopt},  // Thai
        {"CP949 pair of C2 85", Encoding::cp949, "\xC2\x85", "\xED\x98\x9A"},  // a syllable, not a C1 control
        {"trail byte in the ascii range", Encoding::cp949, "\xB0\x41", "\xEC\xBA\x9A"},
        {"lead byte at the end", Encoding::cp949, "Kim\xB0", std::nullopt},
        {"trail byte out of range", Encoding::cp949, "\xB0\x20x", std::nullopt},
        {"lead byte before a control", Encoding::cp949, "\xB0\x1b", std::nullopt},
        {"0x80 alone", Encoding::cp949, "\x80", std::nullopt},
        {"0xFF alone", Encoding::cp949, "\xFF", std::nullopt},
#ifndef _WIN32  // Windows maps the user-defined area to private-use characters, and back
        {"a pair the converter does not map", Encoding::cp949, "\xC9\xA1", std::nullopt},
#endif
        {"UTF-8 on a CP949 console", Encoding::cp949, "\xED\x99\x8D", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(console::stored_word(c.typed, c.console), c.stored) << c.what;
}

// Reading standard input through the descriptor calls, each of which may fail.
struct ReadCase {
    const char* what;
    std::deque<int> read_faults;
    std::deque<int> wait_faults;
    int failed_with;  // 0: the answers come through
};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.what; }

class ReadFaults : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadFaults, RetryWaitOrFail) {
    const ReadCase& c = GetParam();
    TextInput text("7 8\n", 2);
    text.calls.read_faults = c.read_faults;
    text.calls.wait_faults = c.wait_faults;
    if (c.failed_with != 0) {
        try {
            for (int token = 0; token < 3; ++token) console::read_int_token(text.in);
            FAIL() << "a failed read was taken for input";
        } catch (const console::InputFailed& failure) {
            EXPECT_EQ(failure.error, c.failed_with);
        }
        return;
    }
    EXPECT_EQ(console::read_int_token(text.in).value, 7);
    EXPECT_EQ(console::read_int_token(text.in).value, 8);
    EXPECT_EQ(console::read_int_token(text.in).status, Token::end);
}

INSTANTIATE_TEST_SUITE_P(
    Input, ReadFaults,
    testing::Values(ReadCase{"interrupted", {EINTR, 0, EINTR}, {}, 0},
                    // A non-blocking descriptor with nothing yet: wait, then read again.
                    ReadCase{"not yet", {EAGAIN, 0, EAGAIN, EAGAIN}, {}, 0},
                    ReadCase{"directory", {EISDIR}, {}, EISDIR},
                    ReadCase{"error after data", {0, EIO}, {}, EIO},
                    ReadCase{"cannot wait", {EAGAIN}, {EBADF}, EBADF}));

TEST(ReadFaults, EndOfInputIsNotAFailure) {
    TextInput text("");
    EXPECT_EQ(console::read_int_token(text.in).status, Token::end);
    EXPECT_EQ(console::read_int_token(text.in).status, Token::end);
    EXPECT_EQ(text.calls.ends, 2) << "each question asks the descriptor again";
}

// What the program has written goes out before every read, and only then: into a pipe a
// prompt must never be held while the program waits for its answer.
TEST(ConsoleInput, WritesHeldOutputBeforeEveryRead) {
    testing_support::ScriptedCalls out_calls;
    console::ConsoleOutput output(1, out_calls, console::Encoding::utf8);
    testing_support::ScriptedCalls in_calls("1 2\n3\n", 4);
    console::ConsoleInput in(0, in_calls, &output);
    std::ostream out(&output);

    out << "a : ";
    EXPECT_EQ(out_calls.written, "");
    EXPECT_EQ(console::read_int_token(in).value, 1);
    EXPECT_EQ(out_calls.written, "a : ");
    out << "b : ";
    EXPECT_EQ(console::read_int_token(in).value, 2);  // already read: no write
    EXPECT_EQ(out_calls.written, "a : ");
    out << "c : ";
    EXPECT_EQ(console::read_int_token(in).value, 3);
    EXPECT_EQ(out_calls.written, "a : b : c : ");
}

}  // namespace
