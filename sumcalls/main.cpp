#include "console/session.hpp"
#include "sumcalls.hpp"

int main() { return console::run("sumcalls", sumcalls::run); }
