#pragma once

// Puts back what a program holds outside its dialogue, as it is when the program starts.
void fresh_start();
