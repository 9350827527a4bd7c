#include "console/session.hpp"
#include "dialogue.hpp"

int main() { return console::run("timestable", timestable::run); }
