// What a Windows build writes for a text that a code-page-949 console shows: its CP949 bytes,
// with the runtime's CRLF line ends, and at every pause the command interpreter's
// own prompt, whose words depend on the interpreter and its language. That prompt is taken
// from the interpreter once, by running its pause exactly as a program does, with no input.
#ifndef NOMINMAX  // the C++ runtime's headers, included first, may have defined it
#define NOMINMAX
#endif
#include <windows.h>

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

std::string to_cp949(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int size = static_cast<int>(utf8.size());
    std::wstring wide(utf8.size(), L'\0');
    wide.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), size)));
    std::string out(utf8.size() * 2, '\0');
    out.resize(static_cast<std::size_t>(WideCharToMultiByte(949, 0, wide.data(), static_cast<int>(wide.size()), out.data(),
                                                            static_cast<int>(out.size()), nullptr, nullptr)));
    return out;
}

}  // namespace

console::Encoding console_encoding() { return console::Encoding::cp949; }

std::string typed(std::string_view text) { return to_cp949(text); }

std::string on_console(std::string_view text) {
    std::string out;
    while (!text.empty()) {
        const std::size_t pause = text.find(pause_line);
        const std::string_view piece = text.substr(0, pause);
        for (const char c : to_cp949(piece)) {
            if (c == '\n') out += '\r';
            out += c;
        }
        if (pause == std::string_view::npos) break;
        out += interpreter_pause_text();
        text.remove_prefix(pause + pause_line.size());
    }
    return out;
}

}  // namespace testing_support
