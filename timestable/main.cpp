#include "console/run.hpp"
#include "dialogue.hpp"

int main() { return console::run("timestable", timestable::run_dialogue); }
