// What every C++ program pays to start, write one line with iostreams and end; the programs'
// start-up is measured against it.
#include <iostream>

int main() { std::cout << "ready" << std::endl; }
