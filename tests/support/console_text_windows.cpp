// What a Windows build writes for a text that a code-page-949 console shows: the CP949 bytes
// unchanged, with the runtime's CRLF line ends, and at every pause the command interpreter's
// own prompt, whose words depend on the interpreter and its language. That prompt is taken
// from the interpreter once, by running its pause exactly as a program does, with no input.
#include <stdexcept>
#include <string>

#include "console_text.hpp"
#include "process_windows.hpp"

namespace testing_support {
namespace {

const std::string& interpreter_pause_text() {
    static const std::string text = [] {
        const ProcessResult result = run_command_line("cmd.exe /c pause", "");
        if (result.timed_out || result.out.empty()) throw std::runtime_error("cmd.exe /c pause wrote no prompt");
        return result.out;
    }();
    return text;
}

}  // namespace

std::string on_console(std::string_view cp949_text) {
    std::string out;
    while (!cp949_text.empty()) {
        if (cp949_text.starts_with(pause_line)) {
            out += interpreter_pause_text();
            cp949_text.remove_prefix(pause_line.size());
            continue;
        }
        if (cp949_text.front() == '\n') {
            out += "\r\n";
        } else {
            out += cp949_text.front();
        }
        cp949_text.remove_prefix(1);
    }
    return out;
}

}  // namespace testing_support
