#include "console/session.hpp"
#include "menu.hpp"

int main() { return console::run("studytime", studytime::run); }
