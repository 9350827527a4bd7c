#include "console/run.hpp"
#include "menu.hpp"

int main() { return console::run(roster::run_menu); }
