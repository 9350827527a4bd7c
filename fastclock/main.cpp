#include "console/run.hpp"
#include "fastclock.hpp"

int main() { return console::run(fastclock::run_fastclock); }
