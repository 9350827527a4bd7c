#include "console/session.hpp"
#include "fastclock.hpp"

int main() { return console::run("fastclock", fastclock::run); }
