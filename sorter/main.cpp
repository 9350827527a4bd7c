#include "console/run.hpp"
#include "sorter.hpp"

int main() { return console::run(sorter::run_sorter); }
