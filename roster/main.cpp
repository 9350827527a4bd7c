#include "console/session.hpp"
#include "roster.hpp"

int main() { return console::run("roster", roster::run); }
