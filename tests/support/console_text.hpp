#pragma once
// What the build writes for a text that a code-page-949 console shows.
//
// Test sources write expected texts as ordinary literals, which the build compiles to CP949.
// The CP949 build writes those bytes as they are; the UTF-8 build converts them and follows
// every box-drawing character with a filler that keeps it two columns wide. A Windows build
// writes CR LF line ends, and at each pause_line the command interpreter's own prompt.

#include <string>
#include <string_view>

namespace testing_support {

std::string on_console(std::string_view cp949_text);

// The pause prompt line as it appears when standard input is not a terminal.
inline constexpr std::string_view pause_line = "계속하려면 아무 키나 누르십시오 . . . \n";

// What a dialogue run in-process (capture.hpp) captures of a pause. On Windows the command
// interpreter writes its prompt to the process's own standard output, past the capture.
#ifdef _WIN32
inline constexpr std::string_view captured_pause_line = "";
#else
inline constexpr std::string_view captured_pause_line = pause_line;
#endif

}  // namespace testing_support
