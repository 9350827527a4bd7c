#include "console/session.hpp"
#include "recursion.hpp"

int main() { return console::run("recursion", recursion::run); }
