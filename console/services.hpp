#pragma once
// The four console services the programs use besides standard input and output. Whatever the
// program has written before is on the screen before the console acts.
#include <cstdint>

namespace console {

// Blanks the console; the next output starts at the top-left cell.
void clear_screen();
// Writes the pause prompt, waits for one key (consumed whole) and ends the line.
void pause_screen();
// Waits for one key without echo and without Enter; the key is ignored.
void wait_key();
// The next output starts at (column, row), both counted from 0 at the top left.
void move_cursor(std::int16_t column, std::int16_t row);

}  // namespace console
