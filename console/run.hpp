#pragma once
// The one way a program's main runs its dialogue.

#include <string_view>

namespace console {

// Runs `body` in a console session over the process's standard input and output and returns
// the exit status (see Session::run). `program` is the program's name, for its messages on
// standard error. Where a session is already open (a harness that runs main in-process with
// streams of its own), the body runs in that one.
int run(std::string_view program, void (*body)());

}  // namespace console
