#include "console/session.hpp"
#include "dialogue.hpp"

int main() { return console::run("boxdraw", boxdraw::run); }
