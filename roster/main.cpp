#include "console/session.hpp"
#include "menu.hpp"

int main() { return console::run("roster", roster::run); }
