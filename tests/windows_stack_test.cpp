// Windows programs are linked with a stack that holds the deepest recursion the recursion
// drills serve, even where every call is kept: a Windows thread has 1 MiB unless the program
// says otherwise, too little for 65535 unoptimised frames.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/console_text.hpp"
#include "support/process.hpp"

namespace {

// The unoptimised copy of the recursion program, built next to this test.
std::string unoptimised_recursion() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string own(path, length);
    return own.substr(0, own.find_last_of("\\/") + 1) + "recursion_unoptimised.exe";
}

TEST(WindowsStack, UnoptimisedRecursionServesTheLargestSum) {
    const auto result = testing_support::run_program(unoptimised_recursion(), "65535 1\n");
    ASSERT_FALSE(result.timed_out);
    EXPECT_EQ(result.out, testing_support::on_console("1.정수 입력 : 1 ~ 65535 : 2147450880\n2.정수 입력 : 1 -> 1\n"));
    EXPECT_EQ(result.exit_status, 0);
}

}  // namespace
