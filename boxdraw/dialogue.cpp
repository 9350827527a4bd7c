#include "boxdraw.hpp"

#include "box_size.hpp"
#include "console/services.hpp"

namespace boxdraw {

void run() {
    BoxSize size{};
    size.enter_size();
    size.draw_box();
    console::wait_key();
}

}  // namespace boxdraw
