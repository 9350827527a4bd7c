#include "dialogue_run.hpp"

#include "console_text.hpp"
#include "process.hpp"

namespace testing_support {

TEST_P(DialogueRun, WritesExactlyTheDialogue) {
    const DialogueCase& c = GetParam();
    const auto result = run_program(program_path(c.program), c.input);
    ASSERT_FALSE(result.timed_out) << c.name;
    EXPECT_EQ(result.out, on_console(c.expected)) << c.name;
    EXPECT_EQ(result.exit_status, c.exit_status) << c.name;
}

std::vector<DialogueCase> dialogues_of(std::string_view program, std::vector<DialogueCase> cases) {
    for (DialogueCase& c : cases) c.program = program;
    return cases;
}

std::string dialogue_name(const testing::TestParamInfo<DialogueCase>& info) { return info.param.name; }

}  // namespace testing_support
