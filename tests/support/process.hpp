#pragma once
// Runs a built program as a user would: scripted standard input, captured standard output.

#include <string>
#include <string_view>

namespace testing_support {

struct ProcessResult {
    std::string out;       // every byte written to standard output
    int exit_status = -1;  // -1 when the program did not exit normally
    int signal = 0;        // the signal that ended it, if any
    bool timed_out = false;
};

// Full path of a program built next to the tests (bin/NAME of the build tree).
std::string program_path(std::string_view name);

// Starts `path` with `input` as its whole standard input (then end of input) and standard
// output on a pipe; stderr is discarded. Kills it after `timeout_ms` milliseconds.
ProcessResult run_program(const std::string& path, std::string_view input,
                          int timeout_ms = 20000);

// Like run_program, but standard output goes to `output_path` (a file or a device).
ProcessResult run_program_to(const std::string& path, std::string_view input, const std::string& output_path,
                             int timeout_ms = 20000);

}  // namespace testing_support
