#pragma once
// Runs a built program as a user would: scripted standard input, captured standard output.

#include <cstddef>
#include <string>
#include <string_view>

namespace testing_support {

struct ProcessResult {
    std::string out;       // every byte written to standard output
    std::string err;       // and to standard error
    int exit_status = -1;  // -1 when the program did not exit normally
    int signal = 0;        // the signal that ended it, if any
    bool timed_out = false;
};

// How long a run may take before it is stopped as hung. Under Wine every pause and cls starts
// the command interpreter, a second or more each on a loaded machine, and a dialogue has dozens.
#ifdef _WIN32
constexpr int hung_after_ms = 120000;
#else
constexpr int hung_after_ms = 20000;
#endif

// Full path of a program built next to the tests (bin/NAME of the build tree).
std::string program_path(std::string_view name);

// Starts `path` with `input` as its whole standard input (then end of input) and standard
// output on a pipe; stderr is discarded. Kills it after `timeout_ms` milliseconds.
ProcessResult run_program(const std::string& path, std::string_view input,
                          int timeout_ms = hung_after_ms);

// Like run_program, but as a script that talks with the program: each line of `input` is sent
// only once the program has written a prompt (its output has grown and ends with ": ") and so
// waits for it. A program that keeps its prompt to itself is never answered and times out.
// With `nonblocking_input` the program's end of the pipe is in non-blocking mode, as a parent
// that shares it may leave it, so every read that comes before its answer finds nothing yet.
ProcessResult run_program_answering(const std::string& path, std::string_view input, bool nonblocking_input,
                                    int timeout_ms = hung_after_ms);

// Like run_program, but standard input is the file or directory at `input_path`.
ProcessResult run_program_from(const std::string& path, const std::string& input_path, int timeout_ms = hung_after_ms);

// Like run_program, but standard output goes to `output_path` (a file or a device).
ProcessResult run_program_to(const std::string& path, std::string_view input, const std::string& output_path,
                             int timeout_ms = hung_after_ms);

// Like run_program, but the reader of standard output goes away: the pipe has no reader at all
// when `keep_bytes` is 0, otherwise it is closed once `keep_bytes` bytes have been read (those
// are in `out`).
ProcessResult run_program_to_closed_pipe(const std::string& path, std::string_view input, std::size_t keep_bytes,
                                         int timeout_ms = hung_after_ms);

}  // namespace testing_support
