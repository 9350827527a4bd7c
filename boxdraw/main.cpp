#include "console/session.hpp"
#include "boxdraw.hpp"

int main() { return console::run("boxdraw", boxdraw::run); }
