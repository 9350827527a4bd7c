#include "console/session.hpp"
#include "sorter.hpp"

int main() { return console::run("sorter", sorter::run); }
