#pragma once

namespace roster {

// The roster program: menu, chosen operation, pause, until the user quits (choice 8 or the
// end of input).
void run();

}  // namespace roster
