#include "console/session.hpp"
#include "timestable.hpp"

int main() { return console::run("timestable", timestable::run); }
