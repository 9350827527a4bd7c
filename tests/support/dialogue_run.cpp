#include "dialogue_run.hpp"

#include <gtest/gtest.h>

#include "console_text.hpp"
#include "process.hpp"

namespace testing_support {

void expect_dialogue(std::string_view program, const DialogueCase& c) {
    const auto result = run_program(program_path(program), c.input);
    ASSERT_FALSE(result.timed_out) << c.name;
    EXPECT_EQ(result.out, on_console(c.expected)) << c.name;
    EXPECT_EQ(result.exit_status, c.exit_status) << c.name;
}

}  // namespace testing_support
