#pragma once
// What a program writes for a text, on the console the tests run under.
//
// Test sources write expected texts as ordinary (UTF-8) literals. Every test runs under one
// console encoding, which the suite chooses through LC_ALL: a UTF-8 console gets the text with
// a filler after every box-drawing character, which keeps it two columns wide; a CP949 console
// gets the CP949 bytes. A Windows build writes CP949 with CR LF line ends, and at each
// pause_line the command interpreter's own prompt.

#include <string>
#include <string_view>

#include "console/encoding.hpp"

namespace testing_support {

// The console encoding of the programs these tests run: CP949 where LC_ALL names a CP949
// locale (and on Windows), UTF-8 otherwise.
console::Encoding console_encoding();

// What a program writes for `text` (UTF-8, as a code-page-949 console shows it).
std::string on_console(std::string_view text);

// The bytes a person's keyboard sends for `text` (UTF-8) on the console.
std::string typed(std::string_view text);

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
