#pragma once
// Table-driven runs of a built program: scripted input, and every byte it must write.

#include <ostream>
#include <string>
#include <string_view>

namespace testing_support {

struct DialogueCase {
    const char* name;
    std::string input;
    std::string expected;  // as a code-page-949 console shows it
    int exit_status;
};

// Names the case in test listings instead of dumping its bytes.
inline void PrintTo(const DialogueCase& c, std::ostream* os) { *os << c.name; }

// Runs `program` with the case's input through pipes and checks its output, byte for byte in
// the build's encoding, and its exit status.
void expect_dialogue(std::string_view program, const DialogueCase& c);

}  // namespace testing_support
