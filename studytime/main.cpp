#include "console/session.hpp"
#include "studytime.hpp"

int main() { return console::run("studytime", studytime::run); }
