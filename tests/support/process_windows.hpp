#pragma once
// Windows only: running a whole command line the way run_program runs a built program.

#include <string>
#include <string_view>

#include "process.hpp"

namespace testing_support {

ProcessResult run_command_line(const std::string& command_line, std::string_view input, int timeout_ms = hung_after_ms);

}  // namespace testing_support
