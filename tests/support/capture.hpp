#pragma once
// Runs a dialogue in-process: standard input reads a given text and standard output is
// captured as the programs wrote it (UTF-8, box-drawing characters without fillers), through a
// console session of their own (never a terminal) whose input comes in the encoding the tests
// run under.

#include <iostream>
#include <string>
#include <string_view>

#include "console/session.hpp"
#include "console_text.hpp"
#include "scripted_calls.hpp"

namespace testing_support {

class ScopedConsole {
public:
    explicit ScopedConsole(std::string_view input = {})
        : calls_(std::string(input)),
          session_("test", {.input_calls = &calls_, .output_calls = &calls_, .typed = console_encoding(), .box_columns = 2}) {}
    ScopedConsole(const ScopedConsole&) = delete;
    ScopedConsole& operator=(const ScopedConsole&) = delete;

    // All that was written so far.
    std::string output() {
        std::cout.flush();
        return calls_.written;
    }
    // What is left of the input, unread.
    std::string rest() { return rest_of(session_.input()); }

private:
    ScriptedCalls calls_;
    console::Session session_;
};

}  // namespace testing_support
