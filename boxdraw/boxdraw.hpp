#pragma once

namespace boxdraw {

// The whole program: the size entry, the box, and a key to end.
void run();

}  // namespace boxdraw
