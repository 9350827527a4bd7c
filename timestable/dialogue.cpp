#include "timestable.hpp"

#include "console/services.hpp"
#include "table_range.hpp"

namespace timestable {

void run() {
    TableRange range{};
    range.enter_range();
    range.print_table();
    console::wait_key();
}

}  // namespace timestable
