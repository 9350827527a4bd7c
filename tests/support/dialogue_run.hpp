#pragma once
// Table-driven runs of a built program: scripted input, and every byte it must write. A
// program's table is one instantiation of DialogueRun:
//
//   DIALOGUE_TABLE(Roster, "roster", DialogueCase{"EndOfInputAtTheMenuQuits", "", menu(0), 0}, ...);

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

struct DialogueCase {
    const char* name;
    std::string input;
    std::string expected;  // as a code-page-949 console shows it
    int exit_status;
    std::string program = {};  // given by dialogues_of
};

// Names the case in test listings instead of dumping its bytes.
inline void PrintTo(const DialogueCase& c, std::ostream* os) { *os << c.name; }

// Runs the case's program with its input through pipes and checks its output, byte for byte on
// the console the tests run under, and its exit status.
class DialogueRun : public testing::TestWithParam<DialogueCase> {};

// The cases of `program`'s table.
std::vector<DialogueCase> dialogues_of(std::string_view program, std::vector<DialogueCase> cases);
std::string dialogue_name(const testing::TestParamInfo<DialogueCase>& info);

}  // namespace testing_support

#define DIALOGUE_TABLE(suite, program, ...)                                                            \
    using testing_support::DialogueRun;                                                               \
    INSTANTIATE_TEST_SUITE_P(suite, DialogueRun,                                                      \
                             testing::ValuesIn(testing_support::dialogues_of(program, {__VA_ARGS__})), \
                             testing_support::dialogue_name)
