#pragma once
// The one way a program's main runs its dialogue.

namespace console {

// Runs `body` and returns the process's exit status: 0 when it ends as the program means to;
// 1 when input ends before the task is done (a line end is written first, so the shell's
// prompt starts on a line of its own) or when standard output cannot be written.
int run(void (*body)());

}  // namespace console
