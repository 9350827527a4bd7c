#include "fuzz/fresh_start.hpp"
#include "recursion/recursion.hpp"

// Each input stands for a new run of the program, and a new run starts with the accumulator
// at 0 (static storage); in one process only the harness can put it back.
void fresh_start() { recursion::digit_accumulator = 0; }
