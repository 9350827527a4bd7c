// The built boxdraw program, run through pipes: exact bytes of its output and its exit status.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "support/console_text.hpp"
#include "support/dialogue_run.hpp"
#include "support/process.hpp"

namespace {

using testing_support::on_console;
using testing_support::pause_line;
using testing_support::run_program;

const std::string prompts = "가로 입력 : 세로 단 입력 : ";
const std::string refusal = prompts + "가로 또는 세로가 1보다 작습니다.\n" + std::string(pause_line);

using RunCase = testing_support::DialogueCase;

DIALOGUE_TABLE(
    Boxdraw, "boxdraw",
        // Scripts saved with CR LF line ends answer as with LF (so do the rows of every program).
        RunCase{"CrLfLineEnds", "0\r\n5\r\n4\r\n3\r\n", refusal + prompts + "┌──┐\n│    │\n└──┘\n", 0},
        RunCase{"OneByOne", "1 1\n", prompts + "┌\n", 0},
        RunCase{"OneRowIsOpenBelow", "3 1\n", prompts + "┌─┐\n", 0},
        RunCase{"OneColumnIsOpenRight", "1 3\n", prompts + "┌\n│\n└\n", 0},
        RunCase{"RefusalsThenABox", "0 5\n5 0\n-1 -1\n5 4\n",
                refusal + refusal + refusal + prompts + "┌───┐\n│      │\n│      │\n└───┘\n", 0},
        RunCase{"RefusedTokenAsksTheSamePromptAgain", "abc\n2 99999999999\n2\n",
                "가로 입력 : 정수(-2147483648 ~ 2147483647)를 입력하세요.\n가로 입력 : "
                "세로 단 입력 : 정수(-2147483648 ~ 2147483647)를 입력하세요.\n세로 단 입력 : ┌┐\n└┘\n",
                0},
        RunCase{"EndOfInputAtTheHeightFails", "0\n", "가로 입력 : 세로 단 입력 : \n", 1});

TEST(BoxdrawRun, WideBoxIsWrittenWhole) {
    // Wider than one prepared line and than the program's output buffer.
    const int width = 40000;
    const auto result = run_program(testing_support::program_path("boxdraw"), std::to_string(width) + " 3\n");
    std::string expected = prompts + "┌";
    std::string middle;
    for (int x = 2; x < width; ++x) middle += "─";
    expected += middle + "┐\n│";
    for (int x = 2; x < width; ++x) expected += "  ";
    expected += "│\n└" + middle + "┘\n";
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_TRUE(result.out == on_console(expected)) << "output of " << result.out.size() << " bytes differs";
}

#ifndef _WIN32  // through Wine it takes minutes; the Windows output's own code is tested apart
TEST(BoxdrawRun, TallBoxIsWrittenWhole) {
    // Millions of lines: every line end of a pipe's output is held and written in blocks, and
    // none may be lost or doubled on the way.
    const int height = 3000000;
    const auto result = run_program(testing_support::program_path("boxdraw"), "2 " + std::to_string(height) + "\n", 60000);
    const std::string middle = on_console("││\n");
    std::string expected = on_console(prompts + "┌┐\n");
    expected.reserve(expected.size() + middle.size() * height);
    for (int y = 2; y < height; ++y) expected += middle;
    expected += on_console("└┘\n");
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(result.out.size(), expected.size());
    EXPECT_TRUE(result.out == expected) << "the bytes differ";
}
#endif

}  // namespace
