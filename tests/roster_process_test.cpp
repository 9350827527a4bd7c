// The built roster program, run through pipes: exact bytes of its output and its exit status.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "console/encoding.hpp"

#include "support/console_text.hpp"
#include "support/dialogue_run.hpp"
#include "support/process.hpp"

namespace {

using testing_support::on_console;
using testing_support::pause_line;
using testing_support::run_program;

std::string menu(int count) {
    return "======학생관리 프로그램======\n      1.학생 등록\n      2.학생 목록<번호순>\n      3.학생 목록<학년순>\n"
           "      4.학생 검색\n      5.학년 검색\n      6.마지막 학생 삭제\n      7.학생 전체 삭제\n      8.종료\n"
           "   (학생 수 : " + std::to_string(count) + ")\n입력 : ";
}

std::string grade_block_empty(int grade) {
    const std::string g = std::to_string(grade);
    return "┌─────" + g + " 학년─────┐\n└─────────────┘\n" + g + "학년 학생이 없습니다.\n";
}

const std::string registration_prompts = "이름 : 나이 : 학년 : 성별(남자 0,여자 1) : ";

using RunCase = testing_support::DialogueCase;

std::string ten_registrations() {
    std::string input;
    for (int i = 0; i < 10; ++i) input += "1\nN" + std::to_string(i) + " 17 1 0\n";
    return input;
}

std::string ten_registration_screens() {
    std::string out;
    for (int i = 0; i < 10; ++i) out += menu(i) + std::to_string(i + 1) + "번 학생 정보\n" + registration_prompts + std::string(pause_line);
    return out;
}

DIALOGUE_TABLE(
    Roster, "roster",
        RunCase{"CrLfLineEnds", "1\r\nKim\r\n17\r\n3\r\n0\r\n4\r\nKim\r\n8\r\n",
                menu(0) + "1번 학생 정보\n이름 : 나이 : 학년 : 성별(남자 0,여자 1) : " + std::string(pause_line) + menu(1) +
                    "이름 입력 :     ====1번 학생====\n    이름 : Kim\n    나이 : 17\n    성별 : 남자\n    학년 : 3\n\n" +
                    std::string(pause_line) + menu(1),
                0},
        RunCase{"EndOfInputAtTheMenuQuits", "", menu(0), 0},
        RunCase{"RegisterThenListByGrade", "1\nKim\n17\n4\n3\n0\n3\n8\n",
                menu(0) + "1번 학생 정보\n이름 : 나이 : 학년 : 잘못 입력하셧습니다.(1~3)\n학년 : 성별(남자 0,여자 1) : " +
                    std::string(pause_line) + menu(1) + grade_block_empty(1) + grade_block_empty(2) +
                    "┌─────3 학년─────┐\n    ====1번 학생====\n    이름 : Kim\n    나이 : 17\n    성별 : 남자\n"
                    "    학년 : 3\n\n└─────────────┘\n" + std::string(pause_line) + menu(1),
                0},
        RunCase{"EmptyTableListsNothing", "2\n3\n6\n8\n",
                menu(0) + std::string(pause_line) + menu(0) + grade_block_empty(1) + grade_block_empty(2) +
                    grade_block_empty(3) + std::string(pause_line) + menu(0) + "삭제할 학생이 없습니다.\n" +
                    std::string(pause_line) + menu(0),
                0},
        RunCase{"UnknownChoicesOnlyPause", "0\n9\n-1\n8\n",
                menu(0) + std::string(pause_line) + menu(0) + std::string(pause_line) + menu(0) + std::string(pause_line) + menu(0),
                0},
        RunCase{"RefusedChoiceAsksAgainWithoutTheMenu", "two\n2x 8\n8\n",
                menu(0) + "정수(-2147483648 ~ 2147483647)를 입력하세요.\n입력 : "
                          "정수(-2147483648 ~ 2147483647)를 입력하세요.\n입력 : ",
                0},
        RunCase{"GradeSearchWithoutStudents", "5\n9\n8\n",
                menu(0) + "학년 입력 : ┌─────9 학년─────┐\n└─────────────┘\n9학년 학생이 없습니다.\n" +
                    std::string(pause_line) + menu(0),
                0},
        RunCase{"NameSearchFindsTheFirstOnly", "1\nKim 20 2 1\n1\nKim 30 1 0\n4\nKim\n4\nLee\n8\n",
                menu(0) + "1번 학생 정보\n" + registration_prompts + std::string(pause_line) + menu(1) +
                    "2번 학생 정보\n" + registration_prompts + std::string(pause_line) + menu(2) +
                    "이름 입력 :     ====1번 학생====\n    이름 : Kim\n    나이 : 20\n    성별 : 여자\n    학년 : 2\n\n" +
                    std::string(pause_line) + menu(2) + "이름 입력 : 해당 학생이 없습니다.\n" +
                    std::string(pause_line) + menu(2),
                0},
        RunCase{"FullTableRefusesAndDeleteAllEmptiesIt", ten_registrations() + "1\n7\n8\n",
                ten_registration_screens() + menu(10) + "더이상 학생을 등록할 수 없습니다.\n" + std::string(pause_line) +
                    menu(10) + std::string(pause_line) + menu(0),
                0},
        RunCase{"EndOfInputInTheDialogueFails", "1\nKim\n17\n",
                menu(0) + "1번 학생 정보\n이름 : 나이 : 학년 : \n", 1},
        RunCase{"EndOfInputAtTheGradeSearchFails", "5\n", menu(0) + "학년 입력 : \n", 1});

TEST(RosterRun, KoreanNameTypedIsShownOnItsCard) {
    const auto result = run_program(testing_support::program_path("roster"), testing_support::typed("1\n홍길동 18 1 1\n2\n8\n"));
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_NE(result.out.find(on_console("    이름 : 홍길동\n")), std::string::npos);
}

#ifndef _WIN32
// The console's encoding follows the user's locale, as the C library reads it: LC_ALL, then
// LC_CTYPE, then LANG. A locale that is not installed, and none at all, mean UTF-8.
TEST(ConsoleEncoding, FollowsTheLocale) {
    struct Case {
        const char* lc_all;
        const char* lc_ctype;
        const char* lang;
        console::Encoding encoding;
    };
    using console::Encoding;
    const Case cases[] = {
        {"C.UTF-8", nullptr, nullptr, Encoding::utf8},
        {"ko_KR.UTF-8", nullptr, nullptr, Encoding::utf8},
        {"ko_KR.CP949", nullptr, nullptr, Encoding::cp949},
        {"ko_KR.EUC-KR", nullptr, nullptr, Encoding::cp949},
        {"C", nullptr, nullptr, Encoding::utf8},
        {"POSIX", nullptr, nullptr, Encoding::utf8},
        {nullptr, nullptr, nullptr, Encoding::utf8},               // no locale set
        {"xx_XX.CP949", nullptr, nullptr, Encoding::utf8},         // not installed
        {nullptr, "ko_KR.CP949", "C.UTF-8", Encoding::cp949},      // LC_CTYPE before LANG
        {"C.UTF-8", "ko_KR.CP949", nullptr, Encoding::utf8},       // LC_ALL before LC_CTYPE
        {"", nullptr, "ko_KR.EUC-KR", Encoding::cp949},            // an empty LC_ALL counts as unset
    };
    const std::string saved = std::getenv("LC_ALL") != nullptr ? std::getenv("LC_ALL") : "";
    const auto set = [](const char* name, const char* value) {
        if (value != nullptr) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    };
    const std::string menu_title = "======학생관리 프로그램======\n";
    for (const Case& c : cases) {
        set("LC_ALL", c.lc_all);
        set("LC_CTYPE", c.lc_ctype);
        set("LANG", c.lang);
        const auto result = run_program(testing_support::program_path("roster"), "8\n");
        const std::string title = c.encoding == Encoding::cp949 ? "======\xC7\xD0\xBB\xFD\xB0\xFC\xB8\xAE \xC7\xC1\xB7\xCE\xB1\xD7\xB7\xA5======\n"
                                                                : menu_title;
        EXPECT_TRUE(result.out.starts_with(title)) << (c.lc_all ? c.lc_all : "-") << " " << (c.lc_ctype ? c.lc_ctype : "-")
                                                   << " " << (c.lang ? c.lang : "-");
        EXPECT_EQ(result.exit_status, 0);
    }
    setenv("LC_ALL", saved.c_str(), 1);
    unsetenv("LC_CTYPE");
    unsetenv("LANG");
}
#endif

}  // namespace
