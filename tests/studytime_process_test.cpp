// The built studytime program, run through pipes: exact bytes of its output and its exit status.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "support/console_text.hpp"
#include "support/dialogue_run.hpp"
#include "support/process.hpp"

namespace {

using testing_support::pause_line;

std::string menu(const std::string& hours, const std::string& minutes, const std::string& day) {
    return " 총 공부 시간 : " + hours + " : " + minutes + "\n=====공부 시간 관리 프로그램(" + day +
           "Day)=====\n              1.시간 등록\n              2.종료\n              입력 : ";
}

std::string exit_screen(const std::string& hours, const std::string& minutes) {
    return "총 공부 시간 : " + hours + " : " + minutes + "\n" + std::string(pause_line);
}

const std::string registration = "시간 : 분 : ";
const std::string refused_token = "정수(-2147483648 ~ 2147483647)를 입력하세요.\n";
const std::string out_of_range = "더할 수 없습니다. 총 공부 시간이 범위를 벗어납니다.\n";

using RunCase = testing_support::DialogueCase;

DIALOGUE_TABLE(
    Studytime, "studytime",
        RunCase{"CrLfLineEnds", "1\r\n1\r\n59\r\n2\r\n",
                menu("0", "0", "1") + registration + menu("1", "59", "2") + exit_screen("1", "59"), 0},
        RunCase{"EndOfInputAtTheMenuLeavesWithTheExitScreen", "1\n3\n20\n",
                menu("0", "0", "1") + registration + menu("3", "20", "2") + exit_screen("3", "20"), 0},
        RunCase{"CarryAtSixtyMinutes", "1\n1\n59\n1\n0\n1\n2\n",
                menu("0", "0", "1") + registration + menu("1", "59", "2") + registration + menu("2", "0", "3") +
                    exit_screen("2", "0"),
                0},
        RunCase{"NegativeMinutesStayNegative", "1 1 10 1 0 -30 2",
                menu("0", "0", "1") + registration + menu("1", "10", "2") + registration + menu("1", "-20", "3") +
                    exit_screen("1", "-20"),
                0},
        RunCase{"OtherChoicesRedrawTheSameScreen", "0\n3\n-1\n2\n",
                menu("0", "0", "1") + menu("0", "0", "1") + menu("0", "0", "1") + menu("0", "0", "1") +
                    exit_screen("0", "0"),
                0},
        RunCase{"RefusedChoiceAsksAgainWithoutTheMenu", "one\n1x 2\n2\n",
                menu("0", "0", "1") + refused_token + "              입력 : " + refused_token +
                    "              입력 : " + exit_screen("0", "0"),
                0},
        RunCase{"RefusedMinutesAskOnlyForTheMinutes", "1\n4\n99999999999 7\n5\n2\n",
                menu("0", "0", "1") + registration + refused_token + "분 : " + menu("4", "5", "2") +
                    exit_screen("4", "5"),
                0},
        RunCase{"TotalBeyondTheRangeIsRefused", "1\n2147483647\n0\n1\n0\n60\n1\n-1\n60\n2\n",
                menu("0", "0", "1") + registration + menu("2147483647", "0", "2") + registration + out_of_range +
                    std::string(pause_line) + menu("2147483647", "0", "2") + registration +
                    menu("2147483647", "0", "3") + exit_screen("2147483647", "0"),
                0},
        RunCase{"EndOfInputAtTheHoursFails", "1\n", menu("0", "0", "1") + "시간 : \n", 1},
        RunCase{"EndOfInputAtTheMinutesFails", "1\n5\n", menu("0", "0", "1") + registration + "\n", 1});

}  // namespace
