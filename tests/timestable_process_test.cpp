// The built timestable program, run through pipes: exact bytes of its output and its exit status.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "support/console_text.hpp"
#include "support/dialogue_run.hpp"
#include "support/process.hpp"

namespace {

using testing_support::pause_line;

const std::string prompts = "시작 단 입력 : 끝 단 입력 : ";

const std::string table_2_to_3 =
    "=======2단=======\t=======3단=======\t\n"
    "    2 x 1 = 2\t\t    3 x 1 = 3\t\t\n    2 x 2 = 4\t\t    3 x 2 = 6\t\t\n"
    "    2 x 3 = 6\t\t    3 x 3 = 9\t\t\n    2 x 4 = 8\t\t    3 x 4 = 12\t\t\n"
    "    2 x 5 = 10\t\t    3 x 5 = 15\t\t\n    2 x 6 = 12\t\t    3 x 6 = 18\t\t\n"
    "    2 x 7 = 14\t\t    3 x 7 = 21\t\t\n    2 x 8 = 16\t\t    3 x 8 = 24\t\t\n"
    "    2 x 9 = 18\t\t    3 x 9 = 27\t\t\n";

const std::string table_9_to_9 =
    "=======9단=======\t\n    9 x 1 = 9\t\t\n    9 x 2 = 18\t\t\n    9 x 3 = 27\t\t\n    9 x 4 = 36\t\t\n"
    "    9 x 5 = 45\t\t\n    9 x 6 = 54\t\t\n    9 x 7 = 63\t\t\n    9 x 8 = 72\t\t\n    9 x 9 = 81\t\t\n";

std::string refused(const std::string& message) { return prompts + message + "\n" + std::string(pause_line); }

using RunCase = testing_support::DialogueCase;

DIALOGUE_TABLE(
    Timestable, "timestable",
        RunCase{"CrLfLineEnds", "2\r\n3\r\n", prompts + table_2_to_3, 0},
        RunCase{"EachMessageThenAcceptance", "1 5\n3 10\n9 2\n-5 3\n9 9\n",
                refused("시작 단이 2보다 작거나 9보다 큽니다.") + refused("끝 단이 2보다 작거나 9보다 큽니다.") +
                    refused("시작 단이 끝 단보다 큽니다.") + refused("시작 단이 2보다 작거나 9보다 큽니다.") + prompts +
                    table_9_to_9,
                0},
        RunCase{"RefusedTokenAsksTheSamePromptAgain", "2.5\n2 x\n3\n",
                "시작 단 입력 : 정수(-2147483648 ~ 2147483647)를 입력하세요.\n시작 단 입력 : "
                "끝 단 입력 : 정수(-2147483648 ~ 2147483647)를 입력하세요.\n끝 단 입력 : " + table_2_to_3,
                0},
        RunCase{"EndOfInputAtTheSecondPromptFails", "2\n", prompts + "\n", 1},
        RunCase{"EndOfInputAfterARefusalFails", "0 0\n", refused("시작 단이 2보다 작거나 9보다 큽니다.") +
                    "시작 단 입력 : \n", 1});

}  // namespace
