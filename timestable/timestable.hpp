#pragma once

namespace timestable {

// The whole program: the range entry, the table, and a key to end.
void run();

}  // namespace timestable
