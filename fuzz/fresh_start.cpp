#include "fuzz/fresh_start.hpp"

// A program that keeps no state outside its dialogue starts fresh by itself.
void fresh_start() {}
